#include "foundation/md5.h"

#include <gtest/gtest.h>

#include <random>

#include "foundation/system_utils.h"
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

TEST(Md5Test, MillionTimesAMatchesTheKnownDigest) {
  EXPECT_EQ(MdText(std::string(1000000, 'a')), "7707d6ae4e027c70eea2a935c2296f21");
}

// Lengths around the 56-byte padding limit and the 64-byte block exercise both padding cases.
TEST(Md5Test, DigestDoesNotDependOnHowTheBytesArrive) {
  std::mt19937 rng(3);
  for (std::size_t length : {0u, 1u, 55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u}) {
    std::string data;
    for (std::size_t i = 0; i < length; ++i) data += static_cast<char>(rng());
    const std::string whole = MdText(data);
    for (std::size_t chunk : {1u, 3u, 63u, 64u, 65u}) {
      Md5 md5;
      for (std::size_t at = 0; at < data.size(); at += chunk) {
        md5.Update(std::string_view(data).substr(at, chunk));
      }
      std::string hex;
      char two[3];
      for (std::uint8_t b : md5.Finish()) {
        std::snprintf(two, sizeof two, "%02x", b);
        hex += two;
      }
      EXPECT_EQ(hex, whole) << "length " << length << " chunk " << chunk;
    }
  }
}

TEST(Md5Test, FileDigestEqualsTextDigestAcrossBlockBoundaries) {
  test::TempFolder dir;
  for (std::size_t size : {0u, 7999u, 8000u, 8001u, 20000u}) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>(i * 7 + 1);
    test::WriteNative(dir.native() + "/f.bin", bytes);
    std::string hex = "untouched";
    ASSERT_TRUE(MdFile(dir.Path("f.bin"), hex));
    EXPECT_EQ(hex, MdText(bytes)) << size;
  }
  std::string missing = "untouched";
  EXPECT_FALSE(MdFile(dir.Path("none"), missing));
  EXPECT_EQ(missing, "untouched");
}

}  // namespace
}  // namespace kestrova
