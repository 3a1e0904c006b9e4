#include "foundation/system_utils.h"

#include <gtest/gtest.h>

#include "foundation/desktop.h"
#include "foundation/sjis.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

TEST(ScrambleTest, RoundTripsForAnyTextAndKey) {
  for (std::string key : {"k", "zip_code", "a longer key of bytes \xE9\x01"}) {
    for (std::size_t n : {0u, 1u, 7u, 50u, 300u}) {
      std::string text;
      for (std::size_t i = 0; i < n; ++i) text += static_cast<char>(i * 31 + 5);
      std::string scrambled = Scramble(text, key);
      std::string plain;
      ASSERT_TRUE(Unscramble(scrambled, key, plain));
      EXPECT_EQ(plain, text);
      if (n > 0) {
        EXPECT_NE(scrambled, Base64Encode(text));
      }
    }
  }
}

// Pass k adds each key byte times 2 to the power k: with key "ab" the first pass adds 0xC2 and
// 0xC4 (the bytes doubled once), the second 0x84 and 0x88.
TEST(ScrambleTest, FollowsTheKeySchedule) {
  std::string decoded;
  ASSERT_TRUE(Base64Decode(Scramble(std::string(4, '\x01'), "ab"), decoded));
  EXPECT_EQ(decoded, "\xC3\xC5\x85\x89");
}

TEST(ScrambleTest, BytesFromTheEighthPassOnAreOnlyEncoded) {
  std::string key = "ab";
  std::string text(20, 'x');
  std::string decoded;
  ASSERT_TRUE(Base64Decode(Scramble(text, key), decoded));
  EXPECT_NE(decoded.substr(0, 2), "xx");
  EXPECT_EQ(decoded.substr(14), std::string(6, 'x'));
}

TEST(CopyTest, CopyNAndCopyNChars) {
  EXPECT_EQ(CopyN("abcdef", 3), "abc");
  EXPECT_EQ(CopyN("ab", 5), "ab");
  std::string two = Sjis("日本");
  EXPECT_EQ(CopyNChars(two, 3), Sjis("日"));
  EXPECT_EQ(CopyNChars(two, 4), two);
  EXPECT_EQ(CopyNChars("a" + two, 2), "a");
  // A text that was cut inside a character does not pass its lone lead byte on.
  EXPECT_EQ(CopyNChars("ab\x93", 5), "ab");
  EXPECT_EQ(CopyNChars(std::string("ab\0cd", 5), 5), "ab");
  EXPECT_EQ(CopyNChars(two, 0), "");
}

TEST(DesktopUtilsTest, GoThroughTheDesktop) {
  test::ScriptedDesktop d;
  EXPECT_EQ(ShellOpen(d, "x.pdf"), 1);
  EXPECT_EQ(d.opened, std::vector<std::string>{"x.pdf"});
  EXPECT_EQ(InetMemToClip(d, "rows"), 0);
  EXPECT_EQ(d.clipboard, std::vector<std::string>{"rows"});
  std::string result = "before";
  EXPECT_EQ(GetOpenFolderName(d, "", result), 2);
  EXPECT_EQ(result, "before");
  EXPECT_EQ(d.pickerTitles, std::vector<std::string>{Sjis("フォルダを選択してください")});
  d.folders.push_back("\\chosen");
  EXPECT_EQ(GetOpenFolderName(d, "", result, "t"), 1);
  EXPECT_EQ(result, "\\chosen");
  NullDesktop none;
  EXPECT_EQ(ShellOpen(none, "x"), 0);
}

TEST(CheckEnvironmentTest, RefusesAFolderItCannotWrite) {
  test::TempFolder dir;
  EXPECT_EQ(CheckEnvironment(dir.path()).code, 0);
  EnvironmentCheck missing = CheckEnvironment(dir.Path("absent"));
  EXPECT_EQ(missing.code, 1);
  EXPECT_FALSE(missing.message.empty());
  std::string name;
  EXPECT_EQ(GetSystemName(name), 0);
  EXPECT_FALSE(name.empty());
}

}  // namespace
}  // namespace kestrova
