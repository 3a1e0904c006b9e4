#include "ui/win32/schedule_dialog.h"

#include <utility>

#include "ui/win32/resource_ids.h"
#include "ui/win32/win32_text.h"

namespace kestrova {

ScheduleDialog::ScheduleDialog(ProgramState& state, Scheduler& scheduler, std::string loginId)
    : Win32Dialog(IDD_SCHEDULE), window_(state, *this, scheduler, std::move(loginId)) {}

void ScheduleDialog::OnCreated() {
  SetProgramIcon();
  SendDlgItemMessageW(hwnd(), IDC_SCHEDULE_TIME, EM_LIMITTEXT, 5, 0);  // HH:MM
  window_.Open();
}

void ScheduleDialog::ReadFields(ScheduleFields& fields) {
  fields.on = IsChecked(hwnd(), IDC_SCHEDULE_ON) ? 1 : 0;
  fields.time = ControlText(hwnd(), IDC_SCHEDULE_TIME);
  fields.deals = IsChecked(hwnd(), IDC_SCHEDULE_DEALS) ? 1 : 0;
}

void ScheduleDialog::ShowFields(const ScheduleFields& fields) {
  SetChecked(hwnd(), IDC_SCHEDULE_ON, fields.on != 0);
  SetControlText(hwnd(), IDC_SCHEDULE_TIME, fields.time);
  SetChecked(hwnd(), IDC_SCHEDULE_DEALS, fields.deals != 0);
  SetControlText(hwnd(), IDC_SCHEDULE_NEXT, fields.nextRun);
  SetControlText(hwnd(), IDC_SCHEDULE_LAST, fields.lastRun);
}

bool ScheduleDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message == WM_CLOSE) {
    End(IDCANCEL);
    return true;
  }
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  switch (LOWORD(wParam)) {
    case IDOK:
      // A failure has been said in a message; the dialog stays for another try.
      if (window_.Apply()) End(IDOK);
      return true;
    case IDCANCEL:
      End(IDCANCEL);
      return true;
  }
  return false;
}

}  // namespace kestrova
