// Text operations the page parsers run over whole pages: character-aligned search, split and
// replace that cost little more than a byte search, tag removal in linear time, and the repair
// of text that is not well-formed cp932.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// The first occurrence of what at or after from that starts at a character start (counting
// characters from from), or npos; the same answer as FindText.
std::size_t FindAligned(std::string_view text, std::string_view what, std::size_t from = 0);
// The pieces of text between occurrences of delimiter, as Split gives them (a text without the
// delimiter is one piece; a delimiter at the end gives an empty last piece). At most maxPieces
// pieces are made; the last of them then runs to the end of the text. Views into text.
std::vector<std::string_view> SplitAligned(std::string_view text, std::string_view delimiter,
                                           std::size_t maxPieces = static_cast<std::size_t>(-1));
// Every occurrence replaced, left to right, the inserted text not rescanned.
void ReplaceAllAligned(std::string& text, std::string_view what, std::string_view with);

// Removes every HTML tag as the pattern "<*>" does: a "<" starts a tag that runs to the next
// ">", except that "<*" is a tag only as the literal text "<*>" (so "<***>" survives).
void RemoveTagsInPlace(std::string& text);

// Whether text is what a converted page always is: no NUL byte (one stored in a record or a
// pair file would end that file early when it is read back line by line) and no lead byte
// without its trail byte (it would swallow the "<", TAB or line end that follows it).
bool IsCleanPageText(std::string_view text);
// Drops NUL bytes and lead bytes that have no valid trail byte.
std::string CleanPageText(std::string_view text);

}  // namespace kestrova
