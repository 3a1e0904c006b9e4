#include "ui/win32/maintenance_dialog.h"

#include "ui/win32/resource_ids.h"
#include "ui/win32/win32_text.h"

namespace kestrova {

MaintenanceDialog::MaintenanceDialog(ProgramState& state)
    : Win32Dialog(IDD_MAINTENANCE), window_(state, *this) {}

void MaintenanceDialog::OnCreated() {
  SetProgramIcon();
  window_.Open();
}

void MaintenanceDialog::ReadFields(MaintenanceFields& fields) {
  fields.csvFolder = IsChecked(hwnd(), 1055) ? 1 : 0;
  fields.backups = IsChecked(hwnd(), 1056) ? 1 : 0;
  fields.logs = IsChecked(hwnd(), 1013) ? 1 : 0;
  fields.splitOnCut = IsChecked(hwnd(), 1060) ? 1 : 0;
  fields.retention = ControlText(hwnd(), 1033);
  fields.saleOrder = ControlText(hwnd(), 1059);
  fields.rentOrder = ControlText(hwnd(), 1035);
}

void MaintenanceDialog::ShowFields(const MaintenanceFields& fields) {
  SetChecked(hwnd(), 1055, fields.csvFolder != 0);
  SetChecked(hwnd(), 1056, fields.backups != 0);
  SetChecked(hwnd(), 1013, fields.logs != 0);
  SetChecked(hwnd(), 1060, fields.splitOnCut != 0);
  SetControlText(hwnd(), 1033, fields.retention);
  SetControlText(hwnd(), 1059, fields.saleOrder);
  SetControlText(hwnd(), 1035, fields.rentOrder);
  SetControlText(hwnd(), 1009, fields.statusLine);
}

void MaintenanceDialog::SetTitle(std::string_view title) {
  SetWindowTextW(hwnd(), WideText(title).c_str());
}

bool MaintenanceDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message == WM_CLOSE) {
    // While operation ① pumps messages the window must not go away under it.
    if (!window_.busy()) {
      window_.Close();
      End(IDOK);
    }
    return true;
  }
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  const int id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) {
    // Enter and Escape leave the window without storing anything, never during an operation.
    if (!window_.busy()) End(id);
    return true;
  }
  if (id == 1055 || id == 1056 || id == 1013 || id == 1060) return false;  // the boxes
  window_.Command(static_cast<MaintenanceCommand>(id));
  return true;
}

void RunMaintenance(ProgramState& state, HWND parent) {
  MaintenanceDialog dialog(state);
  dialog.RunModal(parent);
}

}  // namespace kestrova
