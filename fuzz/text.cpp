// TextList::Split and RemovePattern. Three flag bytes (Split's flags, Split's separator,
// RemovePattern's flags), then the parts divided by the part separator: text, delimiters,
// pattern, replacement.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "fuzz/fuzz_input.h"

using namespace kestrova;

namespace {

std::string Joined(const TextList& list) {
  std::string out;
  for (int i = 0; i < list.Count(); ++i) out.append(list.View(i)).append(1, '\x1f');
  return out;
}

void CheckSplit(std::string_view text, std::string_view delimiters, int flags, char separator) {
  TextList list;
  list.Add("earlier");
  const int count = list.Split(text, delimiters, flags, separator);
  FUZZ_CHECK(count == list.Count(), text);
  if (count > 0 && (flags & kSplitAppend)) FUZZ_CHECK(list.View(0) == "earlier", text);
  // With their delimiters kept, the tokens are the text cut into pieces.
  // (Entries are texts ending at a NUL, so only for a text without one.)
  const bool hasNul = text.find('\0') != std::string_view::npos;
  if ((flags & kSplitKeepDelimiter) && !(flags & kSplitAppend) && count > 0 && !hasNul) {
    std::string concatenated;
    for (int i = 0; i < count; ++i) concatenated.append(list.View(i));
    FUZZ_CHECK(concatenated == text, text);
  }
  // A text taken from the list's own buffer splits as a copy of it does.
  TextList self;
  self.Add(text);
  const std::string stored(self.View(0));
  self.Split(self.View(0), delimiters, flags & ~kSplitAppend, separator);
  TextList copy;
  copy.Split(stored, delimiters, flags & ~kSplitAppend, separator);
  FUZZ_CHECK(Joined(self) == Joined(copy), text);
}

void CheckRemovePattern(std::string_view text, std::string_view pattern, std::string_view with,
                        int flags) {
  const std::string removed = RemovePattern(text, pattern, with, flags);
  std::string inPlace(text);
  RemovePatternInPlace(inPlace, pattern, with, flags);
  FUZZ_CHECK(inPlace == removed, text);
  // Without a wildcard or case folding a pattern is a plain text, replaced as ReplaceAll does.
  const bool wildcard = (flags & kPatternWildcard) && pattern.find('*') != std::string_view::npos;
  if (!wildcard && !(flags & (kPatternFoldText | kPatternFoldPattern))) {
    FUZZ_CHECK(removed == ReplaceAll(text, pattern, with), text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int splitFlags = data[0];
  const char separator = static_cast<char>(data[1]);
  const int patternFlags = data[2] & (kPatternWildcard | kPatternFoldText | kPatternFoldPattern);
  auto parts = fuzz::Parts(data + 3, size - 3, 4);
  CheckSplit(parts[0], parts[1], splitFlags, separator);
  CheckRemovePattern(parts[0], parts[2], parts[3], patternFlags);
  return 0;
}
