// ScheduleDialog: the daily run of this program folder ("自動取得の設定") over the toolkit-free
// ScheduleWindow; OK applies it, and a failure keeps the dialog open.
#pragma once

#include <string>

#include "ui/schedule_window.h"
#include "ui/win32/dialog.h"

namespace kestrova {

class ScheduleDialog final : public Win32Dialog, public ScheduleView {
 public:
  // loginId: the main window's (cp932).
  ScheduleDialog(ProgramState& state, Scheduler& scheduler, std::string loginId);

  void ReadFields(ScheduleFields& fields) override;
  void ShowFields(const ScheduleFields& fields) override;

 protected:
  void OnCreated() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  ScheduleWindow window_;
};

}  // namespace kestrova
