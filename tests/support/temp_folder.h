// A fresh folder per test under the system's temporary folder, removed afterwards.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif  // _WIN32

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "foundation/platform/platform.h"

namespace kestrova::test {

// A native path (UTF-8 on every platform) as the standard library's path, so a Windows file
// with a Japanese name is reached by that name.
inline std::filesystem::path FsPath(const std::string& native) {
  return std::filesystem::path(std::u8string(native.begin(), native.end()));
}

// A path of the standard library as UTF-8 with "/" separators, as the tests compare names.
inline std::string GenericUtf8(const std::filesystem::path& path) {
  const std::u8string utf8 = path.generic_u8string();
  return std::string(utf8.begin(), utf8.end());
}

#ifdef _WIN32
// Removes a tree through the wide functions, which reach below the old path limit where the
// standard library's removal stops.
inline void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(h, &data));
    FindClose(h);
  }
  RemoveDirectoryW(path.c_str());
}
#endif  // _WIN32

class TempFolder {
 public:
  TempFolder() {
    // A name no other folder has: created exclusively, tried again on a clash.
    std::random_device random;
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    for (int attempt = 0; attempt < 100 && native_.empty(); ++attempt) {
      const auto candidate = base / ("kestrova-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, ec)) {
        const std::u8string utf8 = candidate.u8string();
        native_.assign(utf8.begin(), utf8.end());
      }
    }
  }
  ~TempFolder() {
    std::error_code ec;
    if (native_.empty()) return;
#ifdef _WIN32
    // Trees deeper than the old path limit of Windows go too: the \\?\ prefix lifts it.
    RemoveTree(L"\\\\?\\" + FsPath(native_).wstring());
#else
    std::filesystem::remove_all(FsPath(native_), ec);
#endif  // _WIN32
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
  std::ifstream in(FsPath(native), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteNative(const std::string& native, const std::string& bytes) {
  std::ofstream out(FsPath(native), std::ios::binary);
  out << bytes;
}

}  // namespace kestrova::test
