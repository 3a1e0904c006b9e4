// A fresh folder per test under the system's temporary folder, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "foundation/platform/platform.h"

namespace kestrova::test {

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kestrova-test-XXXXXX").string();
    native_ = mkdtemp(tmpl.data()) ? tmpl : std::string();
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
