// MainWindowDialog: the main window's Win32 controls over the toolkit-free MainWindow. It moves
// values between the controls and the fields and forwards every button; the rules are
// MainWindow's.
#pragma once

#include <functional>
#include <map>
#include <utility>

#include "ui/main_window.h"
#include "ui/schedule.h"
#include "ui/win32/dialog.h"

namespace kestrova {

class MainWindowDialog final : public Win32Dialog, public MainWindowView {
 public:
  MainWindowDialog(ProgramState& state, TransportFactory transports);

  // The start-up sequence, then the login ID question when no ID is known. false when the
  // start-up check failed and the program ends. The window must have been created.
  bool StartUp(const EnvironmentSource& source, const LoginIdSources& loginId);
  MainWindow& window() { return window_; }
  // The window a button opens (1013 local search, 1043 maintenance, 1054 code lookup).
  void SetWindowOpener(MainCommand id, std::function<void()> open) {
    openers_[id] = std::move(open);
  }
  void ShowAbout();
  // The daily run of this program folder, set through schtasks.exe.
  void ShowSchedule();
  // How the schedule dialog runs schtasks.exe (tests record the calls instead).
  void SetScheduleRunner(ProgramRunner runner) { scheduleRunner_ = std::move(runner); }

  void ReadFields(MainFields& fields) override;
  void ShowFields(const MainFields& fields) override;
  void SetTitle(std::string_view title) override;
  void SearchProgress(int done, int total) override;
  void ShowBusy(bool busy, bool stoppable) override;
  bool OpenWindow(MainCommand id) override;
  void EndWindow() override;

 protected:
  void OnCreated() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Logging off or shutting down: true when Windows may end the program now.
  bool EndSessionAllowed();
  void ContextMenu(LPARAM at);
  void ShowLog(const std::string& text);
  static bool LogOverflows(HWND box);

  ProgramState& state_;
  MainWindow window_;
  std::map<MainCommand, std::function<void()>> openers_;
  ProgramRunner scheduleRunner_ = SystemProgramRunner();
  HBRUSH background_ = nullptr;
  bool ended_ = false;
};

}  // namespace kestrova
