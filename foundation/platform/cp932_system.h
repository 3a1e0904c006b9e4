// The system's own cp932 mapping, asked once per character to fill the codec's tables
// (platform/cp932.cpp), so both platforms convert by one rule.
#pragma once

#include <string_view>

namespace kestrova::platform {

// The UTF-16 unit of one cp932 character (one byte, or a lead and a trail byte); 0 when the
// system maps it to nothing.
char16_t SystemCp932Unit(std::string_view character);

}  // namespace kestrova::platform
