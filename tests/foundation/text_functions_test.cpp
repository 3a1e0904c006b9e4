#include "foundation/text_functions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "foundation/sjis.h"

namespace kestrova {
namespace {

using namespace std::string_literals;

TEST(FoldCaseTest, FoldsAsciiAndFullWidthLettersOnly) {
  EXPECT_EQ(FoldCase("AbZ1["), "abz1[");
  EXPECT_EQ(FoldCase(Sjis("ＡＺａ")), Sjis("ａｚａ"));
  // 0x83 0x41 (katakana ア): the trail byte "A" is not a letter.
  EXPECT_EQ(FoldCase(Sjis("ア")), Sjis("ア"));
  EXPECT_EQ(FoldCase(Sjis("Ｇ漢")), Sjis("ｇ漢"));
}

TEST(FindTextTest, MatchesOnlyAtCharacterStarts) {
  std::string so = Sjis("ソ");  // 0x83 0x5C
  EXPECT_EQ(FindText(so + "\\", "\\"), 2u);
  EXPECT_EQ(FindText(so, "\\"), std::string_view::npos);
  EXPECT_EQ(FindText("abcabc", "bc"), 1u);
  EXPECT_EQ(FindText("abcabc", "bc", 2), 4u);
  EXPECT_EQ(FindText("abc", ""), std::string_view::npos);
}

TEST(VisibleTextTest, ReplacesLoneControlBytesAndKeepsCharacters) {
  const std::string so = Sjis("ソ表");  // trail bytes 0x5C and 0x5C
  EXPECT_EQ(VisibleText(so + "\t\x1b[2J\x7F\x07x"), so + "\t?[2J??x");
  // A lead byte whose next byte is a control byte is no character: the control byte goes.
  EXPECT_EQ(VisibleText("\x83\x1b"
                        "a\x81"),
            "\x83?a\x81");
  EXPECT_EQ(VisibleText("a\r\nb\0c"s), "a??b?c");
  EXPECT_EQ(VisibleText("a\r\nb\0c"s, true), "a\r\nb?c");
}

TEST(FindLastTextTest, NonOverlappingFromTheLeft) {
  EXPECT_EQ(FindLastText("a\\b\\c", "\\"), 3);
  EXPECT_EQ(FindLastText("aaa", "aa"), 0);
  EXPECT_EQ(FindLastText("aaaa", "aa"), 2);
  EXPECT_EQ(FindLastText("abc", "x"), -1);
}

TEST(PathCutTest, CutAtLastAndStripSuffix) {
  std::string path = "C:\\a\\b.txt";
  CutAtLast(path, "\\");
  EXPECT_EQ(path, "C:\\a");
  std::string name = "name\\";
  StripSuffix(name, "\\");
  EXPECT_EQ(name, "name");
  std::string aaa = "aaa";
  StripSuffix(aaa, "aa");
  EXPECT_EQ(aaa, "aaa");
  std::string none = "abc";
  CutAtLast(none, "x");
  EXPECT_EQ(none, "abc");
}

TEST(ReplaceAllTest, ReplacesLeftToRightWithoutRescanning) {
  EXPECT_EQ(ReplaceAll("a-b-c", "-", "--"), "a--b--c");
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  std::string so = Sjis("ソ");
  EXPECT_EQ(ReplaceAll(so + "\\", "\\", "/"), so + "/");
}

TEST(ReplaceAllTest, NeverCutsLongTexts) {
  std::string text(30000, 'x');
  std::string out = ReplaceAll(text, "x", "yz");
  EXPECT_EQ(out.size(), 60000u);
  std::string inPlace = text;
  ReplaceAllInPlace(inPlace, "x", "ab");
  EXPECT_EQ(inPlace.size(), 60000u);
  std::string untouched = "abc";
  ReplaceAllInPlace(untouched, "q", "zz");
  EXPECT_EQ(untouched, "abc");
}

TEST(RemovePatternTest, RemovesTagsButKeepsCellMarker) {
  EXPECT_EQ(RemovePattern("<td class=\"x\">cell</td>", "<*>", ""), "cell");
  EXPECT_EQ(RemovePattern("<td>a</td><***><td>b</td>", "<*>", ""), "a<***>b");
  EXPECT_EQ(RemovePattern("a < b", "<*>", ""), "a < b");
  EXPECT_EQ(RemovePattern("x(note)y(more)", "(*)", ""), "xy");
  EXPECT_EQ(RemovePattern("a\tb\tc", "\t", ""), "abc");
}

TEST(RemovePatternTest, TrailingWildcardTakesTheRest) {
  EXPECT_EQ(RemovePattern("keep<rest of text", "<*", ""), "keep");
}

TEST(RemovePatternTest, WildcardIsLiteralWithoutFlag) {
  EXPECT_EQ(RemovePattern("<b>a<*>", "<*>", "", 0), "<b>a");
}

TEST(RemovePatternTest, FoldsCaseWhenAsked) {
  EXPECT_EQ(RemovePattern("xABy", "ab", "", kPatternFoldText), "xy");
  EXPECT_EQ(RemovePattern("xaby", "AB", "", kPatternFoldPattern), "xy");
  EXPECT_EQ(RemovePattern("xABy", "ab", "", 0), "xABy");
}

TEST(RemovePatternTest, NeverCutsLongTexts) {
  std::string cells;
  for (int i = 0; i < 3000; ++i) cells += "<td>cell" + std::to_string(i) + "</td>";
  std::string out = RemovePattern(cells, "<*>", "");
  EXPECT_GT(cells.size(), 20000u);
  EXPECT_EQ(out.substr(out.size() - 8), "cell2999");
}

TEST(RemovePatternTest, KeepsDoubleByteCharactersWhole) {
  std::string text = Sjis("<td>大阪市</td>");
  EXPECT_EQ(RemovePattern(text, "<*>", ""), Sjis("大阪市"));
}

TEST(ExtractBetweenTest, TakesTextBetweenMiddleAndEnd) {
  std::string page = Sjis("<p>前日までの利用料<span class=\"fee\">1234円</span>");
  EXPECT_EQ(ExtractBetween(page, Sjis("前日までの利用料"), "\">", Sjis("円")), "1234");
  EXPECT_EQ(ExtractBetween("<td>a</td><td>b</td>", "<td", ">", "</td>"), "a");
  EXPECT_EQ(ExtractBetween("abc", "x", ">", "<"), "");
  EXPECT_EQ(ExtractBetween("start>no end", "start", ">", "<"), "");
}

TEST(ToIntTest, ReadsLikeAtoi) {
  EXPECT_EQ(ToInt("  -42x"), -42);
  EXPECT_EQ(ToInt("12abc"), 12);
  EXPECT_EQ(ToInt("abc"), 0);
  EXPECT_EQ(ToInt("+7"), 7);
  EXPECT_EQ(ToInt(""), 0);
  EXPECT_EQ(ToInt("1,980"), 1);
}

// Line ends at every distance from the start (the search goes sixteen bytes at a time): the
// first CR or LF ends the line; CR LF counts as one end, a lone CR or LF as one each.
TEST(FindLineEndTest, FirstCrOrLfAtAnyDistance) {
  std::mt19937 rng(9);
  const char alphabet[] = {'a', '\r', '\n', '\x82', '\0'};
  for (int round = 0; round < 2000; ++round) {
    std::string text(rng() % 70, 'x');
    for (char& c : text) c = alphabet[rng() % (rng() % 4 == 0 ? 5 : 1)];
    const std::size_t from = text.empty() ? 0 : rng() % (text.size() + 1);
    std::size_t end = text.find_first_of("\r\n", from);
    if (end == std::string::npos) end = text.size();
    std::size_t after = end;
    if (end < text.size()) after = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    std::size_t next = 0;
    ASSERT_EQ(FindLineEnd(text, from, &next), end) << round;
    ASSERT_EQ(next, after) << round;
  }
}

}  // namespace
}  // namespace kestrova
