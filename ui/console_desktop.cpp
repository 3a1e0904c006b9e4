#include "ui/console_desktop.h"

#include <string>

#include "foundation/sjis.h"
#include "foundation/text_functions.h"

namespace kestrova {

namespace {

// A message box's text on one console line per line of the message.
std::string Indented(std::string_view utf8) {
  std::string out;
  for (char c : utf8) {
    if (c == '\r') continue;
    out += c;
    if (c == '\n') out += "    ";
  }
  return out;
}

}  // namespace

MessageAnswer ConsoleDesktop::Message(std::string_view text, std::string_view caption,
                                      MessageIcon icon, MessageButtons buttons) {
  ++messages_;
  const char* kind = icon == MessageIcon::kError     ? "error"
                     : icon == MessageIcon::kWarning ? "warning"
                                                     : "message";
  // Message texts carry names and values from pages and options: no escape sequence of
  // theirs reaches the terminal.
  std::string head = caption.empty() ? "" : " [" + Utf8(VisibleText(caption)) + "]";
  std::fprintf(out_, "%s%s: %s\n", kind, head.c_str(),
               Indented(Utf8(VisibleText(text, true))).c_str());
  std::fflush(out_);
  // Nobody can answer in headless mode: a question takes its safe answer.
  switch (buttons) {
    case MessageButtons::kOk:
      return MessageAnswer::kOk;
    case MessageButtons::kOkCancel:
      return MessageAnswer::kCancel;
    case MessageButtons::kYesNo:
      return MessageAnswer::kNo;
  }
  return MessageAnswer::kOk;
}

bool ConsoleDesktop::ShellOpen(std::string_view target) {
  std::fprintf(out_, "headless: not opening %s\n", Utf8(VisibleText(target)).c_str());
  return false;
}

bool ConsoleDesktop::StartProgram(std::string_view program, const std::vector<std::string>&) {
  std::fprintf(out_, "headless: not starting %s\n", Utf8(VisibleText(program)).c_str());
  return false;
}

bool ConsoleDesktop::SetClipboardText(std::string_view) {
  std::fprintf(out_, "headless: no clipboard\n");
  return false;
}

int ConsoleDesktop::PickFolder(std::string_view, std::string_view, std::string&) { return 2; }

}  // namespace kestrova
