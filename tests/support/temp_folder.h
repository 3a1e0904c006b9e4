// A fresh folder per test under the system's temporary folder, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "foundation/platform/platform.h"

namespace kestrova::test {

class TempFolder {
 public:
  TempFolder() {
    // A name no other folder has: created exclusively, tried again on a clash.
    std::random_device random;
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    for (int attempt = 0; attempt < 100 && native_.empty(); ++attempt) {
      const auto candidate = base / ("kestrova-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, ec)) native_ = candidate.string();
    }
  }
  ~TempFolder() {
    std::error_code ec;
    if (!native_.empty()) std::filesystem::remove_all(native_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder as the program names it: cp932 with "\\" separators.
  std::string path() const { return platform::ProgramPath(native_); }
  const std::string& native() const { return native_; }
  // A program path of a file in the folder ("name" is cp932, "\\" separated).
  std::string Path(const std::string& name) const { return path() + "\\" + name; }

 private:
  std::string native_;
};

inline std::string ReadNative(const std::string& native) {
  std::ifstream in(native, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteNative(const std::string& native, const std::string& bytes) {
  std::ofstream out(native, std::ios::binary);
  out << bytes;
}

}  // namespace kestrova::test
