#include "ui/win32/dpi.h"

namespace kestrova {

namespace {

template <typename Function>
Function Lookup(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (handle == nullptr) return nullptr;
  // The cast through a generic function pointer is how a looked-up address gets its type.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

}  // namespace

void EnableDpiAwareness() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 is the handle value -4.
  if (auto set = Lookup<SetContext>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
    if (set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
  }
  SetProcessDPIAware();
}

UINT DpiOf(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  if (auto get = Lookup<GetDpi>(L"user32.dll", "GetDpiForWindow")) {
    if (window != nullptr) {
      const UINT dpi = get(window);
      if (dpi != 0) return dpi;
    }
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace kestrova
