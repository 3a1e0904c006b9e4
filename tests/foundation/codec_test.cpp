// The cp932 codec and the conversion of received UTF-8 pages: one table of bytes that both
// platforms must give, and on POSIX every character checked against iconv(3) used directly,
// independently of the program's own tables.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <iconv.h>
#endif  // _WIN32

#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"

namespace kestrova {
namespace {

#ifndef _WIN32  // iconv is the POSIX system's converter
std::string EncodeUtf8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

// iconv's CP932 form of one code point; " " when it has none, as the page conversion writes.
std::string IconvCp932(char32_t c) {
  char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF)};
  char out[8];
  char* ip = in;
  char* op = out;
  std::size_t il = 2, ol = sizeof out;
  static iconv_t cd = iconv_open("CP932", "UTF-16LE");
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return " ";
  return std::string(out, static_cast<std::size_t>(op - out));
}

TEST(Utf8ToAnsiTest, AgreesWithIconvForEveryBmpCharacter) {
  int differences = 0;
  int converted = 0;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    // "x" first, so a code point that reads as a byte-order mark is not dropped.
    std::string got = Utf8ToAnsi("x" + EncodeUtf8(c));
    std::string want = "x" + IconvCp932(c);
    if (got != want && ++differences < 5) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c);
    }
    if (want != "x ") ++converted;
  }
  EXPECT_EQ(differences, 0);
  EXPECT_GT(converted, 7000);  // the whole of cp932, not a table that failed to build
}
#else
TEST(Utf8ToAnsiTest, AgreesWithIconvForEveryBmpCharacter) {
  GTEST_SKIP() << "iconv is not there; the shared table below holds on both platforms";
}
#endif  // _WIN32

TEST(Utf8ToAnsiTest, DropsALeadingByteOrderMarkOnly) {
  EXPECT_EQ(Utf8ToAnsi("\xEF\xBB\xBF"
                       "abc"),
            "abc");
  EXPECT_EQ(Utf8ToAnsi("\xEF\xBF\xBE"
                       "abc"),
            "abc");                              // the swapped mark too
  EXPECT_EQ(Utf8ToAnsi("a\xEF\xBB\xBF"), "a ");  // later, U+FEFF is a character without a form
}

TEST(Utf8ToAnsiTest, BlanksWhatCp932CannotHold) {
  EXPECT_EQ(Utf8ToAnsi("\xC3\xA9"), " ");          // é
  EXPECT_EQ(Utf8ToAnsi("a\xE2\x82\xACz"), "a z");  // €
  EXPECT_EQ(Utf8ToAnsi("日報検索"), "\x93\xFA\x95\xF1\x8C\x9F\x8D\xF5");
}

TEST(Utf8ToAnsiTest, DecodesWithoutValidation) {
  EXPECT_EQ(Utf8ToAnsi("\xE6\x97"), " ");  // cut short: the missing byte counts as 0 (U+65C0)
  // A four-byte form is read as a three-byte one plus a stray byte; neither is a character.
  // The stray 0x80 reads as a three-byte form of unit 0.
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80"), std::string(" \0", 2));
  // An ASCII continuation byte still counts as the second byte of its sequence.
  EXPECT_EQ(Utf8ToAnsi("\xC3"
                       "A"
                       "b"),
            " b");  // U+00C1, which cp932 does not hold
}

TEST(CodecTest, EveryDoubleByteCharacterRoundTripsThroughUtf8) {
  int pairs = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string cp932{static_cast<char>(lead), static_cast<char>(trail)};
      std::string utf8 = platform::Cp932ToUtf8(cp932);
      if (utf8.find("\xEF\xBF\xBD") != std::string::npos) continue;  // an unassigned code
      ++pairs;
      std::string back = platform::Utf8ToCp932(utf8);
      // NEC and IBM rows share characters: each comes back as one of cp932's own codes.
      EXPECT_EQ(platform::Cp932ToUtf8(back), utf8) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_GT(pairs, 7000);
}

// The bytes both platforms give: the systems' converters differ in their extensions, best
// fits and replacement characters, the program's codec must not.
TEST(CodecTest, BothPlatformsGiveTheseBytes) {
  const struct {
    const char* cp932;
    const char* utf8;
  } decoded[] = {
      {"\x83\x5C\x95\x5C", "ソ表"}, {"\\~", "\\~"},
      {"\x87\x54\xFA\x40", "Ⅰⅰ"},   {"\xED\x40\xFA\x5C", "纊纊"},
      {"\x81\x60\x81\x5F", "～＼"}, {"\xB1\xDF", "ｱﾟ"},
      {"\xF0\x40", "\xEE\x80\x80"}, {"\x80\xA0\xFD\xFF", "\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\x85\x40", "\uFFFD@"},      {"\x81\x20", "\uFFFD "},
  };
  for (const auto& c : decoded) EXPECT_EQ(platform::Cp932ToUtf8(c.cp932), c.utf8) << c.utf8;
  const struct {
    const char* utf8;
    const char* cp932;
  } encoded[] = {
      {"≒∵￢", "\x81\xE0\x81\xE6\x81\xCA"},  // the JIS codes before the NEC row
      {"Ⅰⅰ纊", "\x87\x54\xFA\x40\xFA\x5C"},  // the IBM codes before their NEC copies
      {"¥‾〜—−¢£¬‖", "\\~\x81\x60\x81\x5C\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x61"},
      {"é€\xF0\x9F\x98\x80", "???"},
  };
  for (const auto& c : encoded) EXPECT_EQ(platform::Utf8ToCp932(c.utf8), c.cp932) << c.utf8;
  EXPECT_EQ(Utf8ToAnsi("\xC3\xA9\xE2\x82\xAC"), "  ");
}

TEST(CodecTest, BackslashAndTildeStayAscii) {
  EXPECT_EQ(platform::Cp932ToUtf8("a\\b~"), "a\\b~");
  EXPECT_EQ(platform::Utf8ToCp932("a\\b~"), "a\\b~");
  EXPECT_EQ(platform::Cp932FromUnit(u'\\'), "\\");
  EXPECT_EQ(platform::Cp932FromUnit(0x30BD), "\x83\x5C");  // ソ
  EXPECT_EQ(platform::Cp932FromUnit(0x00E9), "");
}

TEST(CodecTest, UnmappedBytesAndCharactersAreMarked) {
  EXPECT_EQ(platform::Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // a lead byte without its trail
  EXPECT_EQ(platform::Utf8ToCp932("a\xC3\xA9z"), "a?z");
  EXPECT_EQ(platform::Utf8ToCp932("a\xC3\xA9z", "_"), "a_z");
  EXPECT_EQ(platform::Utf8ToCp932("\xF0\x9F\x98\x80"), "?");
}

TEST(NativePathTest, ConvertsBeforeTurningSeparators) {
  // ソ ends in 0x5C: converting first keeps it from becoming a "/".
  std::string path = Sjis("\\tmp\\ソフト\\表.txt");
#ifdef _WIN32
  EXPECT_EQ(platform::NativePath(path), "\\tmp\\ソフト\\表.txt");  // UTF-8 with "\\"
#else
  EXPECT_EQ(platform::NativePath(path), "/tmp/ソフト/表.txt");
#endif  // _WIN32
  EXPECT_EQ(platform::ProgramPath("/tmp/ソフト/表.txt"), path);
  EXPECT_EQ(platform::ProgramPath(platform::NativePath(path)), path);
}

TEST(NativePathTest, MessagesShowPathsAsThePlatformWritesThem) {
  std::string path = Sjis("\\tmp\\ソフト\\表.txt");
#ifdef _WIN32
  EXPECT_EQ(platform::DisplayPath(path), path);
#else
  EXPECT_EQ(platform::DisplayPath(path), Sjis("/tmp/ソフト/表.txt"));  // still cp932
#endif  // _WIN32
}

}  // namespace
}  // namespace kestrova
