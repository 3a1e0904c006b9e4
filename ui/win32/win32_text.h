// Program text (cp932) at the edge of the Win32 controls, and small helpers the dialogs share
// for reading and setting their controls by id.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kestrova {

// Through UTF-8 with the program's own codec, so a control shows what the files and the
// console show (0x5C is the backslash, the NEC and IBM rows map as they do everywhere else).
std::wstring WideText(std::string_view cp932);
std::string ProgramText(std::wstring_view wide);
// A UTF-8 text (a caption written in the source) for a control.
std::wstring WideUtf8(std::string_view utf8);

std::wstring ControlTextW(HWND dialog, int id);
// The control's text as cp932.
std::string ControlText(HWND dialog, int id);
// Sets the text only on a real change: an edit keeps its caret and undo history otherwise.
// true when the text changed.
bool SetControlText(HWND dialog, int id, std::string_view cp932);
bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);

}  // namespace kestrova
