// Test texts written in the source as UTF-8 with LF line ends, turned into the bytes the program
// writes and reads: code page 932 with CR LF.
#pragma once

#include <string>
#include <string_view>

#include "foundation/platform/platform.h"

namespace kestrova::test {

inline std::string Cp932Lines(std::string_view utf8) {
  std::string text;
  text.reserve(utf8.size() + utf8.size() / 16);
  for (char c : utf8) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return platform::Utf8ToCp932(text);
}

}  // namespace kestrova::test
