// Per-monitor DPI: the manifest declares the awareness; the functions that Windows 10 added are
// looked up at run time, so the program still starts on an older Windows (and under Wine).
#pragma once

#include <windows.h>

namespace kestrova {

// Asks for per-monitor (v2) awareness where the system has it, else the system-wide one. The
// manifest already does so; this covers a program started without its manifest.
void EnableDpiAwareness();
// The window's DPI (96 = 100 %).
UINT DpiOf(HWND window);
inline int ScaleForDpi(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

}  // namespace kestrova
