// Program texts are written in the source as UTF-8 and held as cp932. SJIS("...") converts a
// literal once per call site; Sjis() converts any UTF-8 text.
#pragma once

#include <string>
#include <string_view>

#include "foundation/platform/platform.h"

namespace kestrova {

inline std::string Sjis(std::string_view utf8) { return platform::Utf8ToCp932(utf8); }
inline std::string Utf8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

}  // namespace kestrova

#define SJIS(literal)                                                                \
  ([]() -> const std::string& {                                                      \
    static const std::string converted = ::kestrova::platform::Utf8ToCp932(literal); \
    return converted;                                                                \
  }())
