// String functions over cp932 text that never split a double-byte character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrova {

// A lead byte of code page 932 (0x81-0x9F, 0xE0-0xFC); it and the byte after form one character.
constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
// Length in bytes of the character starting at text[i] (1 or 2; 1 for a lead byte at the end).
std::size_t CharLength(std::string_view text, std::size_t i);

// The text with every control byte but TAB (and CR and LF when lineBreaks is set) replaced by
// "?", so that text from outside cannot move a terminal's cursor or start a line of a log.
// A valid trail byte is part of its character and never replaced.
std::string VisibleText(std::string_view text, bool lineBreaks = false);

// ASCII A-Z and full-width Ａ-Ｚ to lower case; other double-byte characters unchanged.
std::string FoldCase(std::string_view text);
void FoldCaseInPlace(std::string& text);
// Position of the first occurrence of what at a character start, or npos.
std::size_t FindText(std::string_view text, std::string_view what, std::size_t from = 0);
// Index of the last non-overlapping occurrence scanning from the left, or -1.
int FindLastText(std::string_view text, std::string_view what);
// Truncates text at the last occurrence of what; unchanged if none.
void CutAtLast(std::string& text, std::string_view what);
// Truncates text at the last occurrence of what when that occurrence ends the text.
void StripSuffix(std::string& text, std::string_view what);
// Every occurrence replaced, left to right, inserted text not rescanned. Never cut.
std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with);
void ReplaceAllInPlace(std::string& text, std::string_view what, std::string_view with);

inline constexpr int kPatternWildcard = 0x02;
inline constexpr int kPatternFoldText = 0x04;
inline constexpr int kPatternFoldPattern = 0x08;
// Replaces every match of pattern ("*" a wildcard with kPatternWildcard). "<*>" removes tags
// but keeps the cell marker "<***>". Never cut.
std::string RemovePattern(std::string_view text, std::string_view pattern, std::string_view with,
                          int flags = kPatternWildcard);
void RemovePatternInPlace(std::string& text, std::string_view pattern, std::string_view with = {},
                          int flags = kPatternWildcard);
// The text between the first middle at or after start and the first end after that middle;
// empty when any marker is missing.
std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view middle,
                           std::string_view end);

// Every NUL byte becomes a space. Lines read from a file keep what follows a stray NUL
// (a torn write, a binary block) and stay NUL-terminated texts.
void ReplaceNuls(char* data, std::size_t length);
// Where the line that starts at from ends (its first CR or LF, or the end of the text); next
// receives where the line after it starts. CR LF, a lone CR and a lone LF each end one line.
std::size_t FindLineEnd(std::string_view text, std::size_t from, std::size_t* next);

// Decimal reading as atoi does it: leading blanks, a sign, digits up to the first non-digit.
int ToInt(std::string_view text);

}  // namespace kestrova
