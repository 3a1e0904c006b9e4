#include "foundation/system_utils.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include "foundation/desktop.h"
#include "foundation/sjis.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

TEST(Md5Test, MatchesTheTestSuiteOfRfc1321) {
  EXPECT_EQ(MdText(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(MdText("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(MdText("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(MdText("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(MdText("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(MdText("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(MdText("1234567890123456789012345678901234567890123456789012345678901234567890123456"
                   "7890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5Test, FileDigestReadsInBlocks) {
  test::TempFolder dir;
  std::string big;
  for (int i = 0; i < 20000; ++i) big += static_cast<char>(i * 7);
  test::WriteNative(dir.native() + "/f.bin", big);
  std::string hex = "untouched";
  ASSERT_TRUE(MdFile(dir.Path("f.bin"), hex));
  EXPECT_EQ(hex, MdText(big));
  std::string missing = "untouched";
  EXPECT_FALSE(MdFile(dir.Path("none"), missing));
  EXPECT_EQ(missing, "untouched");
}

TEST(Base64Test, MatchesTheVectorsOfRfc4648) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(Base64Encode(plain), encoded);
    std::string back;
    ASSERT_TRUE(Base64Decode(encoded, back));
    EXPECT_EQ(back, plain);
  }
}

TEST(Base64Test, DecodeRules) {
  std::string out;
  EXPECT_FALSE(Base64Decode("Zm9vYg", out));  // length 6
  ASSERT_TRUE(Base64Decode("Zm9v!!!!YmFy", out));
  EXPECT_EQ(out, "foobar");  // the foreign group is skipped
  std::string bytes("\x00\xFF\x10", 3);
  ASSERT_TRUE(Base64Decode(Base64Encode(bytes), out));
  EXPECT_EQ(out, bytes);
}

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

TEST(ScrambleTest, BytesFromTheEighthPassOnAreOnlyEncoded) {
  std::string key = "ab";
  std::string text(20, 'x');
  std::string decoded;
  ASSERT_TRUE(Base64Decode(Scramble(text, key), decoded));
  EXPECT_NE(decoded.substr(0, 2), "xx");
  EXPECT_EQ(decoded.substr(14), std::string(6, 'x'));
}

std::string IconvCp932(char32_t c) {
  char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF), 0, 0};
  char out[8];
  char* ip = in;
  char* op = out;
  std::size_t il = 2, ol = sizeof out;
  static iconv_t cd = iconv_open("CP932", "UTF-16LE");
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return " ";
  return std::string(out, static_cast<std::size_t>(op - out));
}

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

TEST(Utf8ToAnsiTest, AgreesWithIconvForEveryBmpCharacter) {
  int differences = 0;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    if (c == 0xFEFF || c == 0xFFFE) continue;  // dropped as a byte-order mark when first
    std::string got = Utf8ToAnsi(EncodeUtf8(c));
    std::string want = IconvCp932(c);
    if (got != want && ++differences < 5) ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c);
  }
  EXPECT_EQ(differences, 0);
}

TEST(Utf8ToAnsiTest, DropsLeadingByteOrderMarkAndBlanksTheUnconvertible) {
  EXPECT_EQ(Utf8ToAnsi("\xEF\xBB\xBF" "abc"), "abc");
  EXPECT_EQ(Utf8ToAnsi("a\xEF\xBB\xBF"), "a" + IconvCp932(0xFEFF));
  EXPECT_EQ(Utf8ToAnsi("\xC3\xA9"), " ");  // é has no cp932 form
  EXPECT_EQ(Utf8ToAnsi("日報検索"), Sjis("日報検索"));
  EXPECT_EQ(Utf8ToAnsi("\xE6\x97"), " ");  // cut at the end: missing bytes count as 0
}

TEST(CopyTest, CopyNAndCopyNChars) {
  EXPECT_EQ(CopyN("abcdef", 3), "abc");
  EXPECT_EQ(CopyN("ab", 5), "ab");
  std::string two = Sjis("日本");
  EXPECT_EQ(CopyNChars(two, 3), Sjis("日"));
  EXPECT_EQ(CopyNChars(two, 4), two);
  EXPECT_EQ(CopyNChars("a" + two, 2), "a");
}

class RecordingDesktop : public NullDesktop {
 public:
  bool ShellOpen(std::string_view t) override {
    opened = std::string(t);
    return true;
  }
  bool SetClipboardText(std::string_view t) override {
    clip = std::string(t);
    return true;
  }
  int PickFolder(std::string_view, std::string_view title, std::string& r) override {
    askedTitle = std::string(title);
    r = answer;
    return answer.empty() ? 2 : 1;
  }
  std::string opened, clip, askedTitle, answer;
};

TEST(DesktopUtilsTest, GoThroughTheDesktop) {
  RecordingDesktop d;
  EXPECT_EQ(ShellOpen(d, "x.pdf"), 1);
  EXPECT_EQ(d.opened, "x.pdf");
  EXPECT_EQ(InetMemToClip(d, "rows"), 0);
  EXPECT_EQ(d.clip, "rows");
  std::string result = "before";
  EXPECT_EQ(GetOpenFolderName(d, "", result), 2);
  EXPECT_EQ(result, "before");
  EXPECT_EQ(d.askedTitle, Sjis("フォルダを選択してください"));
  d.answer = "\\chosen";
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
