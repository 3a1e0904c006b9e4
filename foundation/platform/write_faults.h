// The write faults that tests set through FailWritesTo, asked by each platform's file layer
// before it writes.
#pragma once

#include <string_view>

namespace kestrova::platform {

// true when a write to path is to fail as on a full disk.
bool WriteFaultAt(std::string_view path);

}  // namespace kestrova::platform
