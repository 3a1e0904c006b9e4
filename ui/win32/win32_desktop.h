// The desktop of the windowed Windows program: MessageBoxW, ShellExecuteW, the Unicode
// clipboard, the folder picker (IFileDialog), programs started by CreateProcessW without a
// shell, and the PeekMessage pump that keeps the windows alive while a command works.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "foundation/desktop.h"

namespace kestrova {

class Win32Desktop : public Desktop {
 public:
  // Modal messages and pickers open over this window (none: over nothing).
  void SetWindow(HWND window) { window_ = window; }
  HWND window() const { return window_; }

  MessageAnswer Message(std::string_view text, std::string_view caption, MessageIcon icon,
                        MessageButtons buttons) override;
  bool ShellOpen(std::string_view target) override;
  bool StartProgram(std::string_view program, const std::vector<std::string>& arguments) override;
  bool SetClipboardText(std::string_view text) override;
  int PickFolder(std::string_view initialFolder, std::string_view title,
                 std::string& result) override;
  bool IsCtrlHeld() override;
  // Dispatches the pending messages unless the last dispatch is less than kPumpInterval ago.
  void Pump(int n) override;
  // Waits with the windows alive: a dispatch every kPumpInterval until the time is up.
  void Sleep(int ms) override;
  bool KeepsAWindowAlive() const override { return true; }

  void ResetPumpStats() { pacer_.Reset(); }
  const PumpStats& pumpStats() const { return pacer_.stats(); }

  static constexpr std::chrono::milliseconds kPumpInterval{30};

 private:
  HWND window_ = nullptr;
  PumpPacer pacer_{kPumpInterval};
};

// Every message waiting for the thread, dispatched as the dialogs expect; never blocks.
void DispatchPendingMessages();

// One argument quoted so that CommandLineToArgvW (and the C runtime) read it back unchanged:
// no space, tab or quote of it can end it early or add another.
std::wstring QuoteArgument(std::wstring_view argument);
// The program and its arguments as one command line for CreateProcessW.
std::wstring CommandLineOf(std::wstring_view program, const std::vector<std::wstring>& arguments);

}  // namespace kestrova
