#include "service/page_text.h"

#include <gtest/gtest.h>

#include <random>

#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"

namespace kestrova {
namespace {

// Random texts over a few bytes that matter: markers, ASCII, lead bytes (0x81, 0x82, 0x94) and
// bytes that are trail bytes or single-byte katakana (0xA0, 0x40).
std::string RandomText(std::mt19937& random, const std::string& alphabet, int maxLength) {
  std::string s;
  int n = static_cast<int>(random() % static_cast<unsigned>(maxLength + 1));
  for (int i = 0; i < n; ++i) s += alphabet[random() % alphabet.size()];
  return s;
}

TEST(FindAlignedTest, AgreesWithTheCharacterWalkOnRandomText) {
  const std::string alphabet = "a<>\x81\x82\x94\xa0@";
  std::mt19937 random(7);
  const char* needles[] = {"a", "@", "\x82@", "\x81\x82", "<a", "\x94\x81\x82"};
  for (int round = 0; round < 4000; ++round) {
    std::string s = RandomText(random, alphabet, 20);
    std::size_t from = s.empty() ? 0 : random() % s.size();
    // from must be a character start, as every caller passes one.
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
      if (i >= from) {
        from = i;
        break;
      }
    }
    for (const char* w : needles) {
      EXPECT_EQ(FindAligned(s, w, from), FindText(s, w, from))
          << testing::PrintToString(s) << " " << from;
    }
  }
}

TEST(FindAlignedTest, HitInsideADoubleByteCharacterIsSkipped) {
  // ソ is 0x83 0x5C: its trail byte is the backslash.
  std::string so = Sjis("ソ");
  ASSERT_EQ(so, "\x83\x5c");
  EXPECT_EQ(FindAligned(so + "\\", "\\"), 2u);
  EXPECT_EQ(FindAligned(so, "\\"), std::string_view::npos);
  EXPECT_EQ(FindAligned("abc", ""), std::string_view::npos);
  EXPECT_EQ(FindAligned("abc", "c", 9), std::string_view::npos);
}

TEST(SplitAlignedTest, GivesTheSamePiecesAsTheTokenizer) {
  const std::string alphabet = "ab<\x81\x82/tr>";
  std::mt19937 random(11);
  for (int round = 0; round < 3000; ++round) {
    std::string s = RandomText(random, alphabet, 30);
    if (s.empty()) continue;  // the tokenizer gives no entry for an empty text
    TextList expected(s, "</tr>");
    std::vector<std::string_view> pieces = SplitAligned(s, "</tr>");
    ASSERT_EQ(pieces.size(), static_cast<std::size_t>(expected.Count()))
        << testing::PrintToString(s);
    for (std::size_t i = 0; i < pieces.size(); ++i)
      EXPECT_EQ(pieces[i], expected.View(static_cast<int>(i)));
  }
}

TEST(SplitAlignedTest, StopsAfterTheGivenNumberOfPieces) {
  std::vector<std::string_view> pieces = SplitAligned("a;b;c;d", ";", 2);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0], "a");
  EXPECT_EQ(pieces[1], "b");
  EXPECT_EQ(SplitAligned("a;", ";").size(), 2u);
  EXPECT_EQ(SplitAligned("", ";").size(), 1u);
}

TEST(ReplaceAllAlignedTest, AgreesWithReplaceAllOnRandomText) {
  const std::string alphabet = "ab\x81\x82@";
  std::mt19937 random(13);
  for (int round = 0; round < 3000; ++round) {
    std::string s = RandomText(random, alphabet, 20);
    for (const char* w : {"a", "\x82@", "ab"}) {
      std::string mine = s;
      ReplaceAllAligned(mine, w, "<x>");
      EXPECT_EQ(mine, ReplaceAll(s, w, "<x>")) << testing::PrintToString(s);
    }
  }
}

TEST(RemoveTagsTest, KeepsTheCellMarkerAndRemovesALiteralStarTag) {
  std::string s = "x<***>y<*>z<**>w<b>";
  RemoveTagsInPlace(s);
  EXPECT_EQ(s, "x<***>yz<**>w");
}

TEST(RemoveTagsTest, DoubleByteCharactersAreNeverCut) {
  // 0x83 0x3E is not valid cp932, but the walk by character must still treat it as one.
  std::string s = "<a\x83>b>c";
  RemoveTagsInPlace(s);
  EXPECT_EQ(s, "c");
  std::string t = "\x83<b>";
  RemoveTagsInPlace(t);
  EXPECT_EQ(t, "\x83<b>") << "the < is the trail byte of the first character";
}

TEST(RemoveTagsTest, AgreesWithThePatternRemovalOnRandomText) {
  const std::string alphabet = "<>*a \x82\xa0\x81/";
  std::mt19937 random(20110507);
  for (int round = 0; round < 3000; ++round) {
    std::string s = RandomText(random, alphabet, 24);
    std::string mine = s;
    RemoveTagsInPlace(mine);
    EXPECT_EQ(mine, RemovePattern(s, "<*>", "")) << "input: " << s;
  }
}

TEST(PageTextTest, DropsNulBytesAndLeadBytesWithoutTrail) {
  std::string raw("a\0b\x87\rc\x82\xa0\x82", 9);
  EXPECT_FALSE(IsCleanPageText(raw));
  EXPECT_EQ(CleanPageText(raw), "ab\rc\x82\xa0");
  EXPECT_TRUE(IsCleanPageText(Sjis("大阪市　北区<td>")));
  EXPECT_EQ(CleanPageText(Sjis("大阪市　北区")), Sjis("大阪市　北区"));
}

TEST(PageTextTest, FindsTheFaultWhereverItStandsInALongText) {
  const std::string ascii(40, 'a');
  EXPECT_TRUE(IsCleanPageText(ascii));
  for (std::size_t at = 0; at < ascii.size(); ++at) {
    std::string withNul = ascii;
    withNul[at] = '\0';
    EXPECT_FALSE(IsCleanPageText(withNul)) << at;
    std::string loneLead = ascii;
    loneLead[at] = '\x82';
    loneLead.insert(at + 1, "\r");
    EXPECT_FALSE(IsCleanPageText(loneLead)) << at;
    EXPECT_EQ(CleanPageText(withNul).size(), ascii.size() - 1);
  }
  EXPECT_FALSE(IsCleanPageText(ascii + "\x82"));
  EXPECT_TRUE(IsCleanPageText(ascii + Sjis("梅田") + ascii));
}

}  // namespace
}  // namespace kestrova
