// A desktop for service tests: records the modal messages, answers OK, pumps nothing.
#pragma once

#include <string>
#include <vector>

#include "foundation/desktop.h"

namespace kestrova::test {

class RecordingDesktop final : public NullDesktop {
 public:
  MessageAnswer Message(std::string_view text, std::string_view, MessageIcon,
                        MessageButtons) override {
    messages.emplace_back(text);
    return MessageAnswer::kOk;
  }
  void Sleep(int) override {}
  std::vector<std::string> messages;
};

}  // namespace kestrova::test
