#include "foundation/text_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "foundation/message_pump.h"
#include "foundation/sjis.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

std::vector<std::string> Tokens(std::string_view text, std::string_view delimiters, int flags = 0,
                                char separator = 0) {
  TextList list;
  int n = list.Split(text, delimiters, flags, separator);
  EXPECT_EQ(n, list.Count());
  return list.ToVector();
}

using V = std::vector<std::string>;

TEST(TextListSplitTest, CountsTokensAroundDelimiters) {
  EXPECT_EQ(Tokens("", ";"), V{});
  EXPECT_EQ(Tokens("abc", ";"), V{"abc"});
  EXPECT_EQ(Tokens("a;", ";"), (V{"a", ""}));
  EXPECT_EQ(Tokens("a;;b", ";"), (V{"a", "", "b"}));
  EXPECT_EQ(Tokens("a;b;", ";"), (V{"a", "b", ""}));
}

TEST(TextListSplitTest, ChoosesAlternativesBySeparator) {
  EXPECT_EQ(Tokens("a,b;c", ","), (V{"a", "b;c"}));
  // A list that begins with ";" is one delimiter.
  EXPECT_EQ(Tokens("a;b", ";"), (V{"a", "b"}));
  EXPECT_EQ(Tokens("2011/05/01 10:20", "/; ;:"), (V{"2011", "05", "01", "10", "20"}));
  EXPECT_EQ(Tokens("x\r\ny\rz\nw", "\r\n;\r;\n"), (V{"x", "y", "z", "w"}));
  EXPECT_EQ(Tokens("a<\t>b<\t>", "<\t>"), (V{"a", "b", ""}));
  EXPECT_EQ(Tokens("a|b", "|", 0, '#'), (V{"a", "b"}));
  // A separator at the very end of the list is ignored.
  EXPECT_EQ(Tokens(Sjis("東線西"), Sjis("線;")), (V{Sjis("東"), Sjis("西")}));
}

TEST(TextListSplitTest, EarlierAlternativeWinsOverLongerLaterOne) {
  EXPECT_EQ(Tokens("a\r\nb", "\r;\r\n"), (V{"a", "\nb"}));
  EXPECT_EQ(Tokens("a\r\nb", "\r\n;\r"), (V{"a", "b"}));
}

TEST(TextListSplitTest, EmptyAlternativesAreIgnored) {
  EXPECT_EQ(Tokens("a,b:c", ",;;:"), (V{"a", "b", "c"}));
  EXPECT_EQ(Tokens("abc", ";;", 0, ';'), V{});  // nothing but separators: no delimiter at all
}

TEST(TextListSplitTest, KeepsDelimiterWithPathComponents) {
  EXPECT_EQ(Tokens("C:\\dir\\file.txt", "\\\\;//;\\;/", kSplitKeepDelimiter),
            (V{"C:\\", "dir\\", "file.txt"}));
  EXPECT_EQ(Tokens("\\\\server\\share", "\\\\;//;\\;/", kSplitKeepDelimiter),
            (V{"\\\\", "server\\", "share"}));
}

TEST(TextListSplitTest, NeverSplitsInsideDoubleByteCharacter) {
  std::string so = Sjis("ソ");  // 0x83 0x5C: the trail byte is a backslash
  ASSERT_EQ(so, "\x83\x5C");
  EXPECT_EQ(Tokens(so + "\\x", "\\"), (V{so, "x"}));
}

TEST(TextListSplitTest, FoldsCaseForMatchingOnly) {
  EXPECT_EQ(Tokens("aXbxc", "x", kSplitFoldCase), (V{"a", "b", "c"}));
  EXPECT_EQ(Tokens("ABxCD", "X", 0x08), (V{"AB", "CD"}));
  EXPECT_EQ(Tokens(Sjis("一Ａ二ａ三"), Sjis("ａ"), kSplitFoldCase),
            (V{Sjis("一"), Sjis("二"), Sjis("三")}));
}

TEST(TextListSplitTest, AppendsWithFlag) {
  TextList list("a;b", ";");
  list.Split("c;d", ";", kSplitAppend);
  EXPECT_EQ(list.ToVector(), (V{"a", "b", "c", "d"}));
  list.Split("e", ";");
  EXPECT_EQ(list.ToVector(), V{"e"});
}

TEST(TextListTest, GetOutOfRangeGivesEmptyText) {
  TextList list;
  EXPECT_STREQ(list.Get(-1), "");
  EXPECT_STREQ(list.Get(0), "");
  list.Add("x");
  list.Add("y");
  EXPECT_STREQ(list.Get(-1), "y");
  EXPECT_STREQ(list.Get(-2), "x");
  EXPECT_STREQ(list.Get(-3), "");
  EXPECT_STREQ(list.Get(2), "");
}

TEST(TextListTest, AddInsertsReplacesAndCuts) {
  TextList list;
  list.Add("b");
  list.Add("a", 0, 0);
  list.Add("c", 0, 2);
  EXPECT_EQ(list.ToVector(), (V{"a", "b", "c"}));
  list.Add("B", 0, 1, kAddReplace);
  EXPECT_EQ(list.ToVector(), (V{"a", "B", "c"}));
  list.Add("hello", 3);
  EXPECT_STREQ(list.Get(3), "hel");
}

TEST(TextListTest, ReservedEntryCanBeOverwrittenInPlace) {
  TextList list;
  list.Add("abc", 0, kAppend, kAddReserve);
  const char* before = list.Get(0);
  list.OverwriteInPlace(0, "123456789");
  EXPECT_EQ(list.Get(0), before);
  EXPECT_STREQ(list.Get(0), "123456789");
  list.Add("next");
  // 3 bytes reserved as 10 + NUL: the next entry starts 11 bytes later.
  EXPECT_EQ(list.Get(1) - list.Get(0), 11);
}

TEST(TextListTest, AddingOwnEntrySurvivesGrowth) {
  TextList list;
  list.Add(std::string(4000, 'q'));
  for (int i = 0; i < 5; ++i) list.Add(list.View(-1));
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(list.View(5), std::string(4000, 'q'));
}

TEST(TextListTest, GrowsFarBeyondInitialCapacities) {
  TextList list;
  for (int i = 0; i < 100000; ++i) list.Add("entry" + std::to_string(i));
  ASSERT_EQ(list.Count(), 100000);
  EXPECT_STREQ(list.Get(0), "entry0");
  EXPECT_STREQ(list.Get(99999), "entry99999");
  EXPECT_EQ(list.Find(0, "entry54321"), 54321);
  EXPECT_EQ(list.Find(54322, "entry54321"), -1);
}

TEST(TextListTest, RemoveEmptiesOrTakesOut) {
  TextList list("a;b;c", ";");
  EXPECT_EQ(list.Remove(5), -1);
  EXPECT_EQ(list.Remove(1), 0);
  EXPECT_EQ(list.ToVector(), (V{"a", "", "c"}));
  EXPECT_EQ(list.Remove(1, kRemoveTakeOut), 0);
  EXPECT_EQ(list.ToVector(), (V{"a", "c"}));
}

TEST(TextListTest, FindSortedMatchesBruteForceInsertionPoints) {
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    std::vector<std::string> words;
    int n = static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) words.push_back(std::to_string(rng() % 100));
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    TextList list;
    for (const auto& w : words) list.Add(w);
    for (int probe = 0; probe < 100; ++probe) {
      std::string key = std::to_string(probe);
      int position = -7;
      int found = list.FindSorted(key, &position);
      auto it = std::lower_bound(words.begin(), words.end(), key);
      int expected = static_cast<int>(it - words.begin());
      EXPECT_EQ(position, expected) << key;
      EXPECT_EQ(found, (it != words.end() && *it == key) ? expected : -1) << key;
    }
  }
}

class CountingPump : public MessagePump {
 public:
  void Pump(int n) override { pumped += n; }
  int pumped = 0;
};

TEST(TextListTest, SortOrdersByUnsignedBytesAndPumps) {
  std::mt19937 rng(3);
  TextList list;
  std::vector<std::string> reference;
  for (int i = 0; i < 30000; ++i) {
    std::string s;
    for (int k = 0; k < 6; ++k) s += static_cast<char>(0x20 + rng() % 0xD0);
    list.Add(s);
    reference.push_back(s);
  }
  CountingPump pump;
  list.Sort(0, &pump);
  std::sort(reference.begin(), reference.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
  });
  EXPECT_EQ(list.ToVector(), reference);
  EXPECT_GT(pump.pumped, 0);
  list.Sort(kSortDescending);
  std::reverse(reference.begin(), reference.end());
  EXPECT_EQ(list.ToVector(), reference);
}

TEST(TextListTest, SortFoldsCaseWhenAsked) {
  TextList list("b;A;a;C", ";");
  list.Sort(kSortFoldCase);
  EXPECT_EQ(list.ToVector(), (V{"A", "a", "b", "C"}));
  list.Sort();
  EXPECT_EQ(list.ToVector(), (V{"A", "C", "a", "b"}));
}

TEST(TextListTest, LoadsAndSavesLines) {
  test::TempFolder dir;
  test::WriteNative(dir.native() + "/in.txt", "a\r\nb\rc\nd");
  TextList list;
  list.Add("kept");
  list.LoadLines(dir.Path("in.txt"));
  EXPECT_EQ(list.ToVector(), (V{"kept", "a", "b", "c", "d"}));
  list.LoadLines(dir.Path("missing.txt"));
  EXPECT_EQ(list.Count(), 5);
  ASSERT_TRUE(list.SaveLines(dir.Path("out.txt")));
  EXPECT_EQ(test::ReadNative(dir.native() + "/out.txt"), "kept\r\na\r\nb\r\nc\r\nd\r\n");
  ASSERT_TRUE(list.SaveLines(dir.Path("raw.txt"), 0));
  EXPECT_EQ(test::ReadNative(dir.native() + "/raw.txt"), "keptabcd");
}

// A NUL or a block of binary bytes in a file ends neither a line nor the file: every line of
// the file is an entry, and a NUL inside a line is kept as a space.
TEST(TextListTest, NulAndBinaryBytesLoseNoLine) {
  test::TempFolder dir;
  std::string binary(65536, '\0');
  std::mt19937 random(7);
  for (char& c : binary) c = static_cast<char>(random() % 256);
  const std::string text =
      std::string("first\r\nwi\0th nul\r\n\0\0\r\n", 22) + binary + "\r\nlast\r\n";
  test::WriteNative(dir.native() + "/in.txt", text);
  // The lines as a byte reader that knows only CR, LF and CR LF sees them, NUL as a space.
  std::vector<std::string> expected(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      expected.emplace_back();
    } else {
      expected.back() += text[i] == '\0' ? ' ' : text[i];
    }
  }
  expected.pop_back();  // the text ends with a line end

  TextList fromFile;
  fromFile.LoadLines(dir.Path("in.txt"));
  TextList fromText;
  fromText.LoadLinesFromText(text);
  ASSERT_GT(expected.size(), 5u);
  EXPECT_EQ(fromFile.ToVector(), expected);
  EXPECT_EQ(fromText.ToVector(), expected);
  EXPECT_EQ(fromFile.View(1), "wi th nul");
  EXPECT_EQ(fromFile.View(2), "  ");
  EXPECT_EQ(fromFile.View(-1), "last");

  TextList withEnds;
  withEnds.LoadLines(dir.Path("in.txt"), 0);
  ASSERT_EQ(withEnds.Count(), static_cast<int>(expected.size()));
  EXPECT_EQ(withEnds.View(1), "wi th nul\n");
  EXPECT_EQ(withEnds.View(-1), "last\n");
}

}  // namespace
}  // namespace kestrova
