// The program's own MD5 (RFC 1321).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrova {

class Md5 {
 public:
  Md5();
  void Update(std::string_view bytes);
  std::array<std::uint8_t, 16> Finish();

 private:
  void Block(const std::uint8_t* block);
  std::uint32_t state_[4];
  std::uint64_t length_ = 0;
  std::uint8_t pending_[64];
  std::size_t pendingLength_ = 0;
};

}  // namespace kestrova
