// The desktop of tests: the user's answers are scripted in queues, and everything the program
// asks of the desktop is recorded (texts as the program passed them, cp932).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/desktop.h"
#include "foundation/sjis.h"

namespace kestrova::test {

class ScriptedDesktop final : public Desktop {
 public:
  struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
  };
  struct StartedProgram {
    std::string program;
    std::vector<std::string> arguments;
  };

  MessageAnswer Message(std::string_view text, std::string_view caption, MessageIcon icon,
                        MessageButtons buttons) override {
    messages.push_back({std::string(text), std::string(caption), icon, buttons});
    if (answers.empty()) return fallback.Message(text, caption, icon, buttons);
    MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool ShellOpen(std::string_view target) override {
    opened.emplace_back(target);
    return accepts;
  }
  bool StartProgram(std::string_view program, const std::vector<std::string>& arguments) override {
    started.push_back({std::string(program), arguments});
    return accepts;
  }
  bool SetClipboardText(std::string_view text) override {
    clipboard.emplace_back(text);
    return accepts;
  }
  int PickFolder(std::string_view, std::string_view title, std::string& result) override {
    pickerTitles.emplace_back(title);
    if (folders.empty()) return 2;
    result = folders.front();
    folders.pop_front();
    return 1;
  }
  bool IsCtrlHeld() override { return ctrlHeld; }
  void Pump(int n) override {
    pumps.push_back(n);
    if (onPump) onPump();
  }
  void Sleep(int milliseconds) override { sleeps.push_back(milliseconds); }

  // The message texts shown so far, as UTF-8.
  std::vector<std::string> Texts() const {
    std::vector<std::string> utf8;
    for (const ShownMessage& m : messages) utf8.push_back(Utf8(m.text));
    return utf8;
  }

  // The script. A message without a queued answer takes OK, or Cancel / No for a question,
  // as nobody answering would; a picker without a queued folder is cancelled.
  std::deque<MessageAnswer> answers;
  std::deque<std::string> folders;
  bool ctrlHeld = false;
  bool accepts = true;           // what shell open, program start and the clipboard report
  std::function<void()> onPump;  // what the user does while the window pumps its messages

  // The record.
  std::vector<ShownMessage> messages;
  std::vector<std::string> opened;
  std::vector<StartedProgram> started;
  std::vector<std::string> clipboard;
  std::vector<std::string> pickerTitles;
  std::vector<int> pumps;
  std::vector<int> sleeps;

 private:
  NullDesktop fallback;
};

}  // namespace kestrova::test
