#include "fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

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
  std::string base = "/dev/shm";
  if (!std::filesystem::is_directory(base)) {
    const char* tmp = std::getenv("TMPDIR");
    base = tmp && *tmp ? tmp : "/tmp";
  }
  std::string pattern = base + "/kestrova-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) Fail("mkdtemp", pattern);
  return pattern;
}

}  // namespace

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    std::string made = MakeScratchFolder();
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(ScratchFolder(), ec);
    });
    return made;
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
