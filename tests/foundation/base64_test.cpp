#include <gtest/gtest.h>

#include "foundation/system_utils.h"

namespace kestrova {
namespace {

TEST(Base64Test, MatchesTheVectorsOfRfc4648) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(Base64Encode(plain), encoded);
    std::string back;
    ASSERT_TRUE(Base64Decode(encoded, back));
    EXPECT_EQ(back, plain);
  }
}

TEST(Base64Test, OneByteGivesTwoCharactersAndTwoFills) {
  EXPECT_EQ(Base64Encode("\xFF"), "/w==");
  EXPECT_EQ(Base64Encode(std::string("\0", 1)), "AA==");
}

TEST(Base64Test, EveryByteValueRoundTrips) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  for (std::size_t cut = 0; cut < 4; ++cut) {
    std::string part = bytes.substr(cut);
    std::string encoded = Base64Encode(part);
    EXPECT_EQ(encoded.size() % 4, 0u);
    EXPECT_EQ(encoded.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::string::npos);
    std::string back;
    ASSERT_TRUE(Base64Decode(encoded, back));
    EXPECT_EQ(back, part);
  }
}

TEST(Base64Test, RefusesLengthsThatAreNotAMultipleOfFour) {
  std::string out = "stale";
  EXPECT_FALSE(Base64Decode("Zm9vYg", out));
  EXPECT_FALSE(Base64Decode("Zm9", out));
  EXPECT_TRUE(out.empty());
}

TEST(Base64Test, SkipsGroupsWithForeignCharacters) {
  std::string out;
  ASSERT_TRUE(Base64Decode("Zm9v!!!!YmFy", out));
  EXPECT_EQ(out, "foobar");
  ASSERT_TRUE(Base64Decode("Zm9vY\nFy", out));  // a line break spoils its group
  EXPECT_EQ(out, "foo");
  ASSERT_TRUE(Base64Decode("Zg==Zm9v", out));  // fill characters only end the text
  EXPECT_EQ(out, "foo");
}

}  // namespace
}  // namespace kestrova
