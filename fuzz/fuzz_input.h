// Shared by the fuzz drivers: an input cut into parts, a scratch folder for the drivers that go
// through files, and a check that stops the run the way a sanitizer does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::fuzz {

// Divides the parts of one input. 0x1E is never a trail byte of cp932 and no data file holds
// it, so a part can carry every other byte, CR, LF and NUL included.
inline constexpr char kPartSeparator = '\x1e';

// The input cut at kPartSeparator into exactly count parts: missing parts are empty, and the
// last one keeps whatever follows (separators included).
std::vector<std::string_view> Parts(const std::uint8_t* data, std::size_t size, std::size_t count);

// A folder of this process under /dev/shm (or the temporary folder), made on first use and removed
// at exit; as a native path without a trailing "/".
const std::string& ScratchFolder();

// ScratchFolder() with the "Setting" and "csv_total" folders of a program folder made in it.
const std::string& ScratchProgramFolder();

// Writes the bytes to the native path; aborts when that fails (the drivers rely on the file).
void WriteNative(const std::string& path, std::string_view bytes);

// Reports the broken property with the input's context and aborts, so libFuzzer keeps the
// input as a crash and a replay fails.
[[noreturn]] void Fail(const char* what, std::string_view detail = {});

}  // namespace kestrova::fuzz

#define FUZZ_CHECK(condition, detail) \
  ((condition) ? void() : ::kestrova::fuzz::Fail(#condition, (detail)))
