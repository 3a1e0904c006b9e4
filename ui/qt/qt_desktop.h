// The desktop of the windowed program: Qt message boxes, the desktop's file and web openers,
// programs started without a shell, the folder picker, the clipboard, and the message pump
// that keeps the window alive while a command works.
#pragma once

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <string>
#include <vector>

#include "foundation/desktop.h"

namespace kestrova {

class QtDesktop : public Desktop {
 public:
  // Modal messages and pickers open over the window (none: over nothing).
  void SetWindow(QWidget* window) { window_ = window; }

  MessageAnswer Message(std::string_view text, std::string_view caption, MessageIcon icon,
                        MessageButtons buttons) override;
  bool ShellOpen(std::string_view target) override;
  bool StartProgram(std::string_view program, const std::vector<std::string>& arguments) override;
  bool SetClipboardText(std::string_view text) override;
  int PickFolder(std::string_view initialFolder, std::string_view title,
                 std::string& result) override;
  bool IsCtrlHeld() override;
  // Dispatches the pending events unless the last dispatch is less than kPumpInterval ago: a
  // loop that calls this per line pays for a dispatch only every few dozen milliseconds.
  void Pump(int n) override;
  // Waits with the window alive: a dispatch every kPumpInterval until the time is up.
  void Sleep(int ms) override;
  bool KeepsAWindowAlive() const override { return true; }

  // Starts a new measurement of the pump (the benchmark's longest gap).
  void ResetPumpStats() { pacer_.Reset(); }
  const PumpStats& pumpStats() const { return pacer_.stats(); }

  static constexpr std::chrono::milliseconds kPumpInterval{30};

 private:
  QPointer<QWidget> window_;
  PumpPacer pacer_{kPumpInterval};
};

}  // namespace kestrova
