// The cp932 codec of both platforms: tables filled once from the system's mapping, then the
// same rules everywhere, so a text converts to the same bytes on Windows and on POSIX.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "foundation/platform/cp932_system.h"
#include "foundation/platform/platform.h"

namespace kestrova::platform {

namespace {

constexpr char16_t kNone = 0;

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Codes 0xED40-0xEEFC repeat IBM characters that 0xFA40-0xFC4B hold as well: a character with
// two codes is written with the lower one, except that these NEC copies always give way.
bool Prefer(unsigned candidate, unsigned current) {
  auto necCopy = [](unsigned code) { return code >= 0xED00 && code <= 0xEEFF; };
  if (necCopy(candidate) != necCopy(current)) return necCopy(current);
  return candidate < current;
}

// Characters written with the code of a look-alike, one way only: the forms of JIS X 0208 that
// code page 932 shows with other characters (YEN SIGN as the backslash, WAVE DASH as the
// full-width tilde, ...). Pages written by other systems use them.
constexpr struct {
  char16_t unit;
  unsigned code;
} kLookAlikes[] = {{0x00A2, 0x8191}, {0x00A3, 0x8192}, {0x00A5, 0x5C},
                   {0x00AC, 0x81CA}, {0x2014, 0x815C}, {0x2016, 0x8161},
                   {0x203E, 0x7E},   {0x2212, 0x817C}, {0x301C, 0x8160}};

struct Tables {
  std::array<char16_t, 256> single{};
  std::vector<char16_t> pair = std::vector<char16_t>(0x10000, kNone);  // lead << 8 | trail
  std::vector<unsigned> encode = std::vector<unsigned>(0x10000, 0);    // unit -> code
  std::array<bool, 256> sameAscii{};  // the byte is the ASCII character of its own value

  Tables() {
    // Only ASCII and the half-width katakana are single-byte characters: 0x80, 0xA0 and
    // 0xFD-0xFF are bytes of no character, whatever extension a system maps them to.
    for (unsigned b = 1; b < 0x100; ++b) {
      if (b >= 0x80 && !(b >= 0xA1 && b <= 0xDF)) continue;
      const char c = static_cast<char>(b);
      single[b] = SystemCp932Unit(std::string_view(&c, 1));
      if (single[b] != kNone) encode[single[b]] = b;
      sameAscii[b] = b < 0x80 && single[b] == b;
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLead(static_cast<unsigned char>(lead))) continue;
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        const char c[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const char16_t unit = SystemCp932Unit(std::string_view(c, 2));
        if (unit == kNone) continue;
        const unsigned code = lead << 8 | trail;
        pair[code] = unit;
        if (encode[unit] == 0 || Prefer(code, encode[unit])) encode[unit] = code;
      }
    }
    for (const auto& alike : kLookAlikes) {
      if (encode[alike.unit] == 0) encode[alike.unit] = alike.code;
    }
  }
};

const Tables& Table() {
  static const Tables tables;
  return tables;
}

}  // namespace

std::string Cp932FromUnit(char16_t unit) {
  const unsigned code = Table().encode[unit];
  if (code == 0) return {};
  if (code < 0x100) return std::string(1, static_cast<char>(code));
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

std::string Cp932ToUtf8(std::string_view cp932) {
  const Tables& t = Table();
  // Each byte becomes at most three: written through a pointer, the string cut to size after.
  std::string out(cp932.size() * 3, '\0');
  char* to = out.data();
  auto put = [&to](char32_t c) {
    if (c < 0x80) {
      *to++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *to++ = static_cast<char>(0xC0 | (c >> 6));
      *to++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *to++ = static_cast<char>(0xE0 | (c >> 12));
      *to++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *to++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  };
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    // ASCII (most of a CSV line) stands as it is.
    if (t.sameAscii[b]) {
      *to++ = static_cast<char>(b);
      continue;
    }
    char16_t unit = b == 0 ? char16_t(0) : t.single[b];
    if (IsLead(b) && i + 1 < cp932.size()) {
      unit = t.pair[b << 8 | static_cast<unsigned char>(cp932[i + 1])];
      if (unit != kNone) ++i;
    }
    // A byte without a mapping (or a lone lead byte) stands as U+FFFD; the next byte is read
    // afresh, so a broken pair never swallows the character behind it.
    put(unit == kNone && b != 0 ? char32_t(0xFFFD) : char32_t(unit));
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
  return out;
}

std::string Utf8ToCp932(std::string_view utf8, std::string_view replacement) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    auto b = static_cast<unsigned char>(utf8[i]);
    char32_t c;
    std::size_t n;
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F;
      n = 2;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F;
      n = 3;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07;
      n = 4;
    } else {
      out.append(replacement);
      ++i;
      continue;
    }
    if (i + n > utf8.size()) {
      out.append(replacement);
      break;
    }
    bool valid = true;
    for (std::size_t k = 1; k < n; ++k) {
      auto trail = static_cast<unsigned char>(utf8[i + k]);
      if ((trail & 0xC0) != 0x80) valid = false;
      c = (c << 6) | (trail & 0x3F);
    }
    if (!valid) {
      out.append(replacement);
      ++i;
      continue;
    }
    i += n;
    std::string bytes = c < 0x10000 ? Cp932FromUnit(static_cast<char16_t>(c)) : std::string();
    out.append(bytes.empty() ? replacement : std::string_view(bytes));
  }
  return out;
}

}  // namespace kestrova::platform
