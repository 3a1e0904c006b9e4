#include "foundation/text_functions.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>

namespace kestrova {

std::size_t CharLength(std::string_view text, std::size_t i) {
  if (i + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[i]))) return 2;
  return 1;
}

std::string VisibleText(std::string_view text, bool lineBreaks) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size();) {
    const auto c = static_cast<unsigned char>(out[i]);
    const auto next = i + 1 < out.size() ? static_cast<unsigned char>(out[i + 1]) : 0;
    if (IsLeadByte(c) && next >= 0x40 && next != 0x7F && next <= 0xFC) {
      i += 2;
      continue;
    }
    const bool kept = c == '\t' || (lineBreaks && (c == '\r' || c == '\n'));
    if ((c < 0x20 && !kept) || c == 0x7F) out[i] = '?';
    ++i;
  }
  return out;
}

void FoldCaseInPlace(std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c >= 'A' && c <= 'Z') {
      text[i] = static_cast<char>(c + 0x20);
      ++i;
    } else if (IsLeadByte(c) && i + 1 < text.size()) {
      auto t = static_cast<unsigned char>(text[i + 1]);
      // Full-width Ａ-Ｚ (0x82 0x60-0x79) to ａ-ｚ (0x82 0x81-0x9A).
      if (c == 0x82 && t >= 0x60 && t <= 0x79) text[i + 1] = static_cast<char>(t + 0x21);
      i += 2;
    } else {
      ++i;
    }
  }
}

std::string FoldCase(std::string_view text) {
  std::string out(text);
  FoldCaseInPlace(out);
  return out;
}

std::size_t FindText(std::string_view text, std::string_view what, std::size_t from) {
  if (what.empty()) return std::string_view::npos;
  const char first = what[0];
  for (std::size_t i = from; i + what.size() <= text.size(); i += CharLength(text, i)) {
    if (text[i] == first && std::memcmp(text.data() + i, what.data(), what.size()) == 0) return i;
  }
  return std::string_view::npos;
}

int FindLastText(std::string_view text, std::string_view what) {
  int last = -1;
  std::size_t at = 0;
  while ((at = FindText(text, what, at)) != std::string_view::npos) {
    last = static_cast<int>(at);
    at += what.size();
  }
  return last;
}

void CutAtLast(std::string& text, std::string_view what) {
  int at = FindLastText(text, what);
  if (at >= 0) text.resize(static_cast<std::size_t>(at));
}

void StripSuffix(std::string& text, std::string_view what) {
  int at = FindLastText(text, what);
  if (at >= 0 && static_cast<std::size_t>(at) + what.size() == text.size()) {
    text.resize(static_cast<std::size_t>(at));
  }
}

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  std::size_t at;
  while ((at = FindText(text, what, pos)) != std::string_view::npos) {
    out.append(text.substr(pos, at - pos));
    out.append(with);
    pos = at + what.size();
  }
  out.append(text.substr(pos));
  return out;
}

void ReplaceAllInPlace(std::string& text, std::string_view what, std::string_view with) {
  if (what.empty() || FindText(text, what) == std::string_view::npos) return;
  text = ReplaceAll(text, what, with);
}

namespace {

// Compares pattern and text at position i for as long as they agree; returns how many
// pattern bytes agreed.
std::size_t Agreement(std::string_view text, std::size_t i, std::string_view pattern) {
  std::size_t k = 0;
  while (k < pattern.size() && i + k < text.size() && text[i + k] == pattern[k]) ++k;
  return k;
}

}  // namespace

std::string RemovePattern(std::string_view input, std::string_view pattern, std::string_view with,
                          int flags) {
  std::string out;
  if (pattern.empty()) return std::string(input);
  std::string foldedText;
  std::string foldedPattern;
  std::string_view text = input;
  std::string_view pat = pattern;
  if (flags & kPatternFoldText) {
    foldedText = FoldCase(input);
    text = foldedText;
  }
  if (flags & kPatternFoldPattern) {
    foldedPattern = FoldCase(pattern);
    pat = foldedPattern;
  }
  const bool wildcard = (flags & kPatternWildcard) != 0;
  out.reserve(input.size());
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t k = Agreement(text, i, pat);
    if (k == pat.size()) {
      out.append(with);
      i += k;
      continue;
    }
    if (wildcard && pat[k] == '*') {
      std::string_view rest = pat.substr(k + 1);
      if (rest.empty()) {
        out.append(with);
        return out;
      }
      std::size_t found = FindText(text, rest, i + k);
      if (found != std::string_view::npos) {
        out.append(with);
        i = found + rest.size();
        continue;
      }
    }
    std::size_t n = CharLength(input, i);
    out.append(input.substr(i, n));
    i += n;
  }
  return out;
}

void RemovePatternInPlace(std::string& text, std::string_view pattern, std::string_view with,
                          int flags) {
  text = RemovePattern(text, pattern, with, flags);
}

std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view middle,
                           std::string_view end) {
  std::size_t s = FindText(text, start);
  if (s == std::string_view::npos) return {};
  std::size_t m = FindText(text, middle, s);
  if (m == std::string_view::npos) return {};
  m += middle.size();
  std::size_t e = FindText(text, end, m);
  if (e == std::string_view::npos) return {};
  return std::string(text.substr(m, e - m));
}

void ReplaceNuls(char* data, std::size_t length) {
  char* end = data + length;
  while (void* nul = std::memchr(data, 0, static_cast<std::size_t>(end - data))) {
    data = static_cast<char*>(nul);
    *data++ = ' ';
  }
}

std::size_t FindLineEnd(std::string_view text, std::size_t from, std::size_t* next) {
  const char* data = text.data();
  const std::size_t n = text.size();
  std::size_t end = n;
#if defined(__SSE2__)
  // Sixteen bytes at a time against both CR and LF: one pass over the line.
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  std::size_t i = from;
  for (; i + 16 <= n; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const auto hits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
    if (hits != 0) {
      end = i + static_cast<std::size_t>(__builtin_ctz(hits));
      break;
    }
  }
  if (end == n) {
    for (; i < n; ++i) {
      if (data[i] == '\r' || data[i] == '\n') {
        end = i;
        break;
      }
    }
  }
#else
  // Two memchr calls: a search for either byte at once would test every byte against both.
  const void* lf = std::memchr(data + from, '\n', n - from);
  end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : n;
  if (const void* cr = std::memchr(data + from, '\r', end - from))
    end = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
#endif
  *next = end;
  if (end < n)
    *next = (data[end] == '\r' && end + 1 < n && data[end + 1] == '\n') ? end + 2 : end + 1;
  return end;
}

int ToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                             text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i++] - '0');
    if (value > 2147483648LL) value = 2147483648LL;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) value = 2147483647LL;
  return static_cast<int>(value);
}

}  // namespace kestrova
