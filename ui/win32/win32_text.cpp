#include "ui/win32/win32_text.h"

#include "foundation/platform/win32_text.h"
#include "foundation/sjis.h"

namespace kestrova {

std::wstring WideText(std::string_view cp932) { return WideUtf8(Utf8(cp932)); }

std::string ProgramText(std::wstring_view wide) { return platform::ProgramText(wide); }

std::wstring WideUtf8(std::string_view utf8) { return platform::Wide(utf8, CP_UTF8); }

std::wstring ControlTextW(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

std::string ControlText(HWND dialog, int id) { return ProgramText(ControlTextW(dialog, id)); }

bool SetControlText(HWND dialog, int id, std::string_view cp932) {
  const std::wstring text = WideText(cp932);
  if (ControlTextW(dialog, id) == text) return false;
  SetDlgItemTextW(dialog, id, text.c_str());
  return true;
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetChecked(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace kestrova
