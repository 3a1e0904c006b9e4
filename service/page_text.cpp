// Page-sized text operations. A page runs to hundreds of kilobytes and is searched many times, so
// the searches look for bytes with memchr and only then check that a hit stands at a character
// start, instead of stepping through the page one character at a time.
#include "service/page_text.h"

#include <cstdint>
#include <cstring>

#include "foundation/text_functions.h"

namespace kestrova {

namespace {

bool IsLead(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

}  // namespace

namespace {

// The first byte-level occurrence of what (not empty) at or after start, or npos. The second
// byte is compared before the call to memcmp, because in a page the first byte of most markers
// ("<", "t", "/") stands everywhere.
std::size_t FindBytes(std::string_view text, std::string_view what, std::size_t start) {
  const std::size_t m = what.size();
  if (start > text.size() || text.size() - start < m) return std::string_view::npos;
  const char* base = text.data();
  const char* p = base + start;
  const char* last = base + (text.size() - m);  // the last place a match can start
  const char first = what[0];
  for (;;) {
    p = static_cast<const char*>(std::memchr(p, first, static_cast<std::size_t>(last - p) + 1));
    if (!p) return std::string_view::npos;
    if (m == 1 || (p[1] == what[1] && std::memcmp(p + 2, what.data() + 2, m - 2) == 0)) {
      return static_cast<std::size_t>(p - base);
    }
    if (p == last) return std::string_view::npos;
    ++p;
  }
}

}  // namespace

std::size_t FindAligned(std::string_view text, std::string_view what, std::size_t from) {
  if (what.empty() || from > text.size()) return std::string_view::npos;
  // anchor is a known character start. A byte outside the lead range ends a character, so the
  // bytes between the last such byte (or the anchor) and a hit pair up as lead and trail: the
  // hit is a character start when their count is even.
  std::size_t anchor = from;
  std::size_t start = from;
  for (;;) {
    std::size_t at = FindBytes(text, what, start);
    if (at == std::string_view::npos) return at;
    std::size_t k = at;
    while (k > anchor && IsLead(text[k - 1])) --k;
    if ((at - k) % 2 == 0) return at;
    anchor = start = at + 1;  // at is a trail byte, so the next character starts behind it
  }
}

std::vector<std::string_view> SplitAligned(std::string_view text, std::string_view delimiter,
                                           std::size_t maxPieces) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (pieces.size() < maxPieces) {
    std::size_t at = FindAligned(text, delimiter, start);
    if (at == std::string_view::npos) {
      pieces.push_back(text.substr(start));
      break;
    }
    pieces.push_back(text.substr(start, at - start));
    start = at + delimiter.size();
  }
  return pieces;
}

void ReplaceAllAligned(std::string& text, std::string_view what, std::string_view with) {
  std::size_t at = FindAligned(text, what);
  if (at == std::string_view::npos) return;
  if (with.size() == what.size()) {
    // Same length: the characters around each hit keep their places, so overwrite in place.
    for (; at != std::string_view::npos; at = FindAligned(text, what, at + what.size())) {
      text.replace(at, with.size(), with);
    }
    return;
  }
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  while (at != std::string_view::npos) {
    out.append(text, start, at - start);
    out.append(with);
    start = at + what.size();
    at = FindAligned(text, what, start);
  }
  out.append(text, start, std::string::npos);
  text = std::move(out);
}

void RemoveTagsInPlace(std::string& text) {
  if (text.find('<') == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  // Where the next ">" stands; once none is left, no later "<" can start a tag either, which
  // keeps a long run of unclosed "<" linear.
  std::size_t nextClose = 0;
  bool closeKnown = false;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t open = FindAligned(text, "<", i);
    if (open == std::string::npos) {
      out.append(text, i, std::string::npos);
      break;
    }
    out.append(text, i, open - i);
    i = open;
    if (i + 1 < text.size() && text[i + 1] == '*') {
      // The pattern's "*" agreed literally: a tag only when "<*>" stands there.
      if (i + 2 < text.size() && text[i + 2] == '>') {
        i += 3;
      } else {
        out += '<';
        ++i;
      }
      continue;
    }
    if (!closeKnown || (nextClose != std::string::npos && nextClose <= i)) {
      nextClose = FindAligned(text, ">", i + 1);
      closeKnown = true;
    }
    if (nextClose == std::string::npos) {
      out += '<';
      ++i;
    } else {
      i = nextClose + 1;
    }
  }
  text = std::move(out);
}

bool IsCleanPageText(std::string_view text) {
  constexpr std::uint64_t kLow = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  std::size_t i = 0;
  while (i < text.size()) {
    // Runs of ASCII without NUL, most of a page, are passed eight bytes at a time.
    if (text.size() - i >= 8) {
      std::uint64_t v;
      std::memcpy(&v, text.data() + i, 8);
      if (((v | ((v - kLow) & ~v)) & kHigh) == 0) {
        i += 8;
        continue;
      }
    }
    auto c = static_cast<unsigned char>(text[i]);
    if (c == 0) return false;
    if (IsLeadByte(c)) {
      if (i + 1 >= text.size() || !IsTrailByte(static_cast<unsigned char>(text[i + 1])))
        return false;
      ++i;
    }
    ++i;
  }
  return true;
}

std::string CleanPageText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c == 0) continue;
    if (IsLeadByte(c)) {
      if (i + 1 >= text.size() || !IsTrailByte(static_cast<unsigned char>(text[i + 1]))) continue;
      out += text[i++];
    }
    out += text[i];
  }
  return out;
}

}  // namespace kestrova
