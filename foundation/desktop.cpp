#include "foundation/desktop.h"

namespace kestrova {

MessageAnswer NullDesktop::Message(std::string_view, std::string_view, MessageIcon,
                                   MessageButtons buttons) {
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

}  // namespace kestrova
