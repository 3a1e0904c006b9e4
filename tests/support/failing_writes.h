// A full disk for a test: writes to paths holding any of the given texts fail while the
// object lives.
#pragma once

#include <initializer_list>
#include <string_view>

#include "foundation/files.h"

namespace kestrova::test {

class FailingWrites {
 public:
  FailingWrites(std::initializer_list<std::string_view> pathParts) {
    for (std::string_view part : pathParts) FailWritesTo(part);
  }
  ~FailingWrites() { ClearWriteFaults(); }
  FailingWrites(const FailingWrites&) = delete;
  FailingWrites& operator=(const FailingWrites&) = delete;
};

}  // namespace kestrova::test
