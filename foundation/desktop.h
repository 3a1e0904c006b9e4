// The one seam between the program and the desktop: modal messages, shell open, clipboard,
// folder picker, the message pump and the Ctrl key. The toolkit, the console and tests each
// implement it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/message_pump.h"

namespace kestrova {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kQuestion };
enum class MessageButtons { kOk, kOkCancel, kYesNo };
// What the user answered.
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

class Desktop : public MessagePump {
 public:
  // Texts are cp932.
  virtual MessageAnswer Message(std::string_view text, std::string_view caption, MessageIcon icon,
                                MessageButtons buttons) = 0;
  // true when the desktop accepted the request to open the file or address.
  virtual bool ShellOpen(std::string_view target) = 0;
  // Starts the program with these arguments, each passed as it is: no shell sees them, so a
  // record's text can never become part of a command. true when the program was started.
  virtual bool StartProgram(std::string_view program,
                            const std::vector<std::string>& arguments) = 0;
  // Replaces the clipboard's content with the text; true when it did.
  virtual bool SetClipboardText(std::string_view text) = 0;
  // 1 and the chosen folder, or 2 when cancelled.
  virtual int PickFolder(std::string_view initialFolder, std::string_view title,
                         std::string& result) = 0;
  virtual bool IsCtrlHeld() = 0;
};

// No desktop: messages answer OK (or the default), shell and clipboard report failure,
// the folder picker cancels, the pump does nothing.
class NullDesktop : public Desktop {
 public:
  MessageAnswer Message(std::string_view, std::string_view, MessageIcon,
                        MessageButtons buttons) override;
  bool ShellOpen(std::string_view) override { return false; }
  bool StartProgram(std::string_view, const std::vector<std::string>&) override { return false; }
  bool SetClipboardText(std::string_view) override { return false; }
  int PickFolder(std::string_view, std::string_view, std::string&) override { return 2; }
  bool IsCtrlHeld() override { return false; }
  void Pump(int) override {}
};

}  // namespace kestrova
