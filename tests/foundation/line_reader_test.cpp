#include "foundation/line_reader.h"

#include <gtest/gtest.h>

#include "foundation/dates.h"
#include "foundation/files.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

std::vector<std::string> Lines(const std::string& text, int strip) {
  LineReaderPtr r = Open(text, "mr");
  std::vector<std::string> lines;
  while (ReadLine(r.get(), strip)) lines.push_back(r->Line());
  return lines;
}

using V = std::vector<std::string>;

TEST(LineReaderTest, ReadsEveryKindOfLineEnd) {
  EXPECT_EQ(Lines("a\r\nb\rc\nd", 1), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(Lines("a\r\nb\rc\nd", 0), (V{"a\n", "b\n", "c\n", "d"}));
  EXPECT_EQ(Lines("a\r\n", 1), V{"a"});
  EXPECT_EQ(Lines("", 1), V{});
  EXPECT_EQ(Lines("\n\nx", 1), (V{"", "", "x"}));
}

TEST(LineReaderTest, NulEndsNeitherLineNorData) {
  // A NUL inside a line reads as a space; the lines after it are read as well.
  std::string text("one\ntwo\0three\n\0\nfour", 20);
  EXPECT_EQ(Lines(text, 1), (V{"one", "two three", " ", "four"}));
  EXPECT_EQ(Lines(text, 0), (V{"one\n", "two three\n", " \n", "four"}));
}

TEST(LineReaderTest, AbsentReaderIsHarmless) {
  EXPECT_EQ(ReadLine(nullptr), 0);
  WriteText(nullptr, "x");
  WriteBytes(nullptr, "x");
  LineReaderPtr none;
  Close(none);
  EXPECT_EQ(Open("whatever", "zz"), nullptr);
}

TEST(LineReaderTest, WriteTextConvertsLineEnds) {
  LineReaderPtr w = Open("3000", "mw");
  WriteText(w.get(), "x\ny\r\n");
  EXPECT_EQ(w->Text(), "x\r\ny\r\n");
  LineReaderPtr lf = Open("3000", "mw");
  WriteText(lf.get(), "a\r\nb\rc", 1);
  EXPECT_EQ(lf->Text(), "a\nb\nc");
}

TEST(LineReaderTest, WritingToMemoryReaderCopiesFirst) {
  std::string caller = "abc";
  LineReaderPtr r = Open(caller, "mr");
  WriteBytes(r.get(), "XY");
  EXPECT_EQ(caller, "abc");
  EXPECT_EQ(r->mode, "mw");
  EXPECT_EQ(r->Text(), "XYc");
}

TEST(LineReaderTest, BuffersGrowForLargeAnswers) {
  LineReaderPtr w = Open("3000", "mw");
  std::string chunk(4096, 'z');
  for (int i = 0; i < 1000; ++i) WriteBytes(w.get(), chunk);
  EXPECT_EQ(w->Text().size(), 4096u * 1000u);
}

TEST(LineReaderTest, SaveKeepsTheTimesTheReaderWasOpenedWith) {
  test::TempFolder dir;
  FixedClock clock("2011/05/07 09:30:00");
  LineReaderPtr w = Open("3000", "mw", nullptr, &clock);
  WriteBytes(w.get(), "page");
  ASSERT_TRUE(Save(w.get(), dir.Path("page.html")));
  EXPECT_EQ(test::ReadNative(dir.native() + "/page.html"), "page");
  FileTimes t = GetFileTimes(dir.Path("page.html"));
  EXPECT_EQ(t.lastWrite, static_cast<std::int64_t>(clock.Current()) * 1000000000LL);

  LineReaderPtr r = Open(dir.Path("page.html"), "fr");
  ASSERT_NE(r, nullptr);
  WriteText(r.get(), "PA");
  ASSERT_TRUE(Save(r.get(), dir.Path("page.html")));
  EXPECT_EQ(test::ReadNative(dir.native() + "/page.html"), "PAge");
  EXPECT_EQ(GetFileTimes(dir.Path("page.html")).lastWrite, t.lastWrite);
}

TEST(LineReaderTest, SaveTextWritesCrLf) {
  test::TempFolder dir;
  LineReaderPtr w = Open("3000", "mw");
  WriteBytes(w.get(), "a\nb\rc\r\nd");
  ASSERT_EQ(SaveText(w.get(), dir.Path("t.txt")), 0);
  EXPECT_EQ(test::ReadNative(dir.native() + "/t.txt"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(SaveText(w.get(), dir.Path("no\\such\\folder.txt")), -1);
}

TEST(LineReaderTest, OpenFailsForMissingFile) {
  test::TempFolder dir;
  EXPECT_EQ(Open(dir.Path("missing.txt"), "fr"), nullptr);
  EXPECT_EQ(Open(dir.path(), "fr"), nullptr);
}

TEST(LineReaderTest, WideToAnsiConvertsUtf16) {
  // BOM, "A", "あ" (U+3042), CR LF
  std::string utf16(
      "\xFF\xFE"
      "A\0"
      "\x42\x30"
      "\r\0\n\0",
      10);
  LineReaderPtr r = Open(std::string_view(utf16.data(), utf16.size()), "mr");
  WideToAnsi(r.get());
  EXPECT_EQ(r->Text(), "A\x82\xA0\r\n");
  LineReaderPtr plain = Open("no nul here", "mr");
  WideToAnsi(plain.get());
  EXPECT_EQ(plain->Text(), "no nul here");
}

TEST(LineReaderTest, LongPathsAreFine) {
  test::TempFolder dir;
  std::string folder = dir.path();
  for (int i = 0; i < 12; ++i) folder += "\\" + std::string(90, 'd');
  ASSERT_TRUE(MakeFolder(folder));
  LineReaderPtr w = Open("3000", "mw");
  WriteBytes(w.get(), "deep");
  std::string path = folder + "\\f.txt";
  ASSERT_GT(path.size(), 999u);
  ASSERT_TRUE(Save(w.get(), path));
  LineReaderPtr r = Open(path, "fr");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->Text(), "deep");
}

}  // namespace
}  // namespace kestrova
