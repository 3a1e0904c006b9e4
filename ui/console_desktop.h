// The desktop of headless mode: messages go to the console in UTF-8, nothing can be opened,
// copied or picked, and there is no window to keep alive.
#pragma once

#include <cstdio>

#include "foundation/desktop.h"

namespace kestrova {

class ConsoleDesktop final : public Desktop {
 public:
  explicit ConsoleDesktop(std::FILE* out = stderr) : out_(out) {}
  MessageAnswer Message(std::string_view text, std::string_view caption, MessageIcon icon,
                        MessageButtons buttons) override;
  bool ShellOpen(std::string_view target) override;
  bool StartProgram(std::string_view program, const std::vector<std::string>& arguments) override;
  bool SetClipboardText(std::string_view text) override;
  int PickFolder(std::string_view initialFolder, std::string_view title,
                 std::string& result) override;
  bool IsCtrlHeld() override { return false; }
  void Pump(int) override {}
  int messageCount() const { return messages_; }

 private:
  std::FILE* out_;
  int messages_ = 0;
};

}  // namespace kestrova
