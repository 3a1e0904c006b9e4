// The maintenance window as a Win32 dialog: a thin view over MaintenanceWindow.
#pragma once

#include "ui/maintenance_window.h"
#include "ui/win32/dialog.h"

namespace kestrova {

class MaintenanceDialog final : public Win32Dialog, public MaintenanceView {
 public:
  explicit MaintenanceDialog(ProgramState& state);

  void ReadFields(MaintenanceFields& fields) override;
  void ShowFields(const MaintenanceFields& fields) override;
  void SetTitle(std::string_view title) override;

 protected:
  void OnCreated() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  MaintenanceWindow window_;
};

// The maintenance window opened from the main window, modally.
void RunMaintenance(ProgramState& state, HWND parent);

}  // namespace kestrova
