#include "ui/win32/small_dialogs.h"

#include "foundation/desktop.h"
#include "store/program_state.h"
#include "ui/version.h"
#include "ui/win32/dpi.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/win32_text.h"

namespace kestrova {

AboutDialog::AboutDialog(ProgramState& state) : Win32Dialog(IDD_ABOUT), state_(state) {}

void AboutDialog::OnCreated() {
  SetProgramIcon();
  SendDlgItemMessageW(hwnd(), IDC_PICTURE, BM_SETIMAGE, IMAGE_ICON,
                      reinterpret_cast<LPARAM>(ProgramIcon(ScaleForDpi(48, DpiOf(hwnd())))));
  SetDlgItemTextW(hwnd(), IDC_VERSION, WideUtf8(VersionText()).c_str());
}

bool AboutDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message == WM_CLOSE) {
    End(IDCANCEL);
    return true;
  }
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  switch (LOWORD(wParam)) {
    case IDC_PICTURE:
      // Nothing is reported when the page cannot be opened.
      state_.desktop->ShellOpen(HomePageTarget());
      return true;
    case IDC_CLOSE:
    case IDOK:
    case IDCANCEL:
      End(IDOK);
      return true;
  }
  return false;
}

InputDialog::InputDialog(const InputTexts& texts) : Win32Dialog(IDD_INPUT), texts_(texts) {}

void InputDialog::OnCreated() {
  SetProgramIcon();
  // The prompt box grows with the prompt, line for line.
  SetControlText(hwnd(), IDC_PROMPT, texts_.prompt);
  SetControlText(hwnd(), IDC_VALUE, texts_.value);
  const int lines =
      static_cast<int>(SendDlgItemMessageW(hwnd(), IDC_PROMPT, EM_GETLINECOUNT, 0, 0));
  if (lines > 2) {
    RECT unit{0, 0, 0, 10 * (lines - 2)};
    MapDialogRect(hwnd(), &unit);
    const int grow = unit.bottom;
    auto place = [&](int id, int down, int taller) {
      RECT r;
      GetWindowRect(Item(id), &r);
      MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
      SetWindowPos(Item(id), nullptr, r.left, r.top + down, r.right - r.left,
                   r.bottom - r.top + taller, SWP_NOZORDER);
    };
    place(IDC_PROMPT, 0, grow);
    place(IDC_VALUE, grow, 0);
    place(IDC_OK, grow, 0);
    RECT window;
    GetWindowRect(hwnd(), &window);
    SetWindowPos(hwnd(), nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top + grow, SWP_NOMOVE | SWP_NOZORDER);
  }
  SetFocus(Item(IDC_VALUE));
}

bool InputDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message == WM_CLOSE) {
    End(IDCANCEL);
    return true;
  }
  if (message != WM_COMMAND) return false;
  switch (LOWORD(wParam)) {
    case IDC_OK:
    case IDOK:
      texts_.value = ControlText(hwnd(), IDC_VALUE);
      End(IDOK);
      return true;
    case IDCANCEL:
      End(IDCANCEL);
      return true;
  }
  return false;
}

bool InputDialog::Ask(InputTexts& texts, HWND parent) {
  InputDialog dialog(texts);
  if (dialog.RunModal(parent) != IDOK) return false;
  texts.value = dialog.texts_.value;
  return true;
}

}  // namespace kestrova
