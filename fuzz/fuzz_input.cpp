#include "fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace kestrova::fuzz {

std::vector<std::string_view> Parts(const std::uint8_t* data, std::size_t size, std::size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    // memchr, not string_view::find: libFuzzer watches the libc search functions and so learns
    // the separator.
    const void* at = rest.empty() ? nullptr : std::memchr(rest.data(), kPartSeparator, rest.size());
    if (!at) break;
    std::size_t n = static_cast<std::size_t>(static_cast<const char*>(at) - rest.data());
    parts.push_back(rest.substr(0, n));
    rest.remove_prefix(n + 1);
  }
  parts.push_back(rest);
  parts.resize(count);
  return parts;
}

namespace {

std::string MakeScratchFolder() {
  namespace fs = std::filesystem;
  std::error_code ec;
  // Memory-backed where there is one: the drivers write a file or two per input.
  fs::path base =
      fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path(ec);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path folder = base / ("kestrova-fuzz-" + std::to_string(random()));
    if (fs::create_directory(folder, ec)) return folder.string();
  }
  Fail("making a scratch folder", base.string());
}

}  // namespace

const std::string& ScratchFolder() {
  // Never destroyed, so the removal at exit still has the name.
  static const std::string* folder = [] {
    const std::string* made = new std::string(MakeScratchFolder());
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(ScratchFolder(), ec);
    });
    return made;
  }();
  return *folder;
}

const std::string& ScratchProgramFolder() {
  static const std::string folder = [] {
    const std::string& native = ScratchFolder();
    std::filesystem::create_directories(native + "/Setting");
    std::filesystem::create_directories(native + "/csv_total");
    return native;
  }();
  return folder;
}

void WriteNative(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) Fail("writing a scratch file", path);
}

void Fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  if (!detail.empty()) {
    std::fprintf(stderr, "  at: ");
    for (unsigned char c : detail.substr(0, 400)) {
      if (c >= 0x20 && c < 0x7f) {
        std::fputc(c, stderr);
      } else {
        std::fprintf(stderr, "\\x%02x", c);
      }
    }
    std::fputc('\n', stderr);
  }
  std::abort();
}

}  // namespace kestrova::fuzz
