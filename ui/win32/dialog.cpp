#include "ui/win32/dialog.h"

#include <map>

#include "ui/win32/dpi.h"
#include "ui/win32/resource_ids.h"

namespace kestrova {

HINSTANCE ProgramModule() { return GetModuleHandleW(nullptr); }

HICON ProgramIcon(int size) {
  static std::map<int, HICON> icons;  // loaded once per size, as the shell caches them anyway
  HICON& icon = icons[size];
  if (icon == nullptr) {
    icon = static_cast<HICON>(LoadImageW(ProgramModule(), MAKEINTRESOURCEW(IDI_KESTROVA),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  }
  return icon;
}

bool DispatchDialogMessage(const MSG& message) {
  if (message.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && IsDialogMessageW(root, const_cast<MSG*>(&message))) return true;
  TranslateMessage(&message);
  DispatchMessageW(&message);
  return true;
}

Win32Dialog::~Win32Dialog() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
}

bool Win32Dialog::Create(HWND parent) {
  if (hwnd_ != nullptr) return true;
  hwnd_ = CreateDialogParamW(ProgramModule(), MAKEINTRESOURCEW(templateId_), parent, Procedure,
                             reinterpret_cast<LPARAM>(this));
  if (hwnd_ == nullptr) return false;
  OnCreated();
  return true;
}

int Win32Dialog::RunModal(HWND parent) {
  if (!Create(parent)) return -1;
  ended_ = false;
  const bool ownerEnabled = parent != nullptr && IsWindowEnabled(parent);
  if (ownerEnabled) EnableWindow(parent, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  MSG message;
  while (!ended_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    DispatchDialogMessage(message);
  }
  // The owner comes back before this window goes, so the focus returns to it.
  if (ownerEnabled) EnableWindow(parent, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  return result_;
}

void Win32Dialog::End(int result) {
  result_ = result;
  ended_ = true;
  if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_HIDE);
}

void Win32Dialog::SetProgramIcon() {
  const UINT dpi = DpiOf(hwnd_);
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(ProgramIcon(ScaleForDpi(16, dpi))));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(ProgramIcon(ScaleForDpi(32, dpi))));
}

INT_PTR CALLBACK Win32Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Win32Dialog*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
    return TRUE;
  }
  auto* self = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (message == WM_DPICHANGED) {
    // The window takes the size and place Windows suggests for the new monitor.
    const RECT* r = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (message == WM_GETMINMAXINFO && self->minimum_.cx > 0) {
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {self->minimum_.cx, self->minimum_.cy};
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
    return TRUE;
  }
  LRESULT result = 0;
  if (!self->OnMessage(message, wParam, lParam, result)) return FALSE;
  // Messages whose answer is the return value itself; all others answer through DWLP_MSGRESULT.
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_QUERYDRAGICON:
      return static_cast<INT_PTR>(result);
    default:
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

}  // namespace kestrova
