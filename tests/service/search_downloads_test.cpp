#include "service/search_downloads.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/files.h"
#include "foundation/sjis.h"
#include "service/result_page_parser.h"
#include "store/program_state.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

std::string Folder(const char* type, const char* location) {
  return Utf8(PropertyFolder(type, Sjis(location)));
}

TEST(PropertyFolderTest, MunicipalityEndsAtTheFirstWardCityTownOrVillage) {
  EXPECT_EQ(Folder("13", "大阪市中央区本町"), "13\\大阪市中央区");
  EXPECT_EQ(Folder("13", "豊中市新千里東町"), "13\\豊中市");
  EXPECT_EQ(Folder("11", "三島郡島本町山崎"), "11\\三島郡島本町");
  EXPECT_EQ(Folder("12", "南河内郡千早赤阪村"), "12\\南河内郡千早赤阪村");
  EXPECT_EQ(Folder("21", "堺市堺区"), "21\\堺市堺区");  // 区 before 市
  // No marker: the type folder alone.
  EXPECT_EQ(Folder("14", "不明"), "14");
}

TEST(PropertyFolderTest, MarkerSearchRespectsDoubleByteCharacters) {
  // "ｋ" (82 8B) followed by a kanji starting with E6 holds the bytes of "区" (8B E6) across the
  // two characters; only the real "市" ends the municipality.
  const std::string location = std::string("\x82\x8B\xE6\x40") + Sjis("市北");
  EXPECT_EQ(PropertyFolder("13", location), "13\\" + location.substr(0, location.size() - 2));
}

TEST(PropertyFolderTest, OfRowReadsTypeAndLocationFields) {
  std::string row =
      Sjis("有\t13売り・マンション\t100012345678\t1,980万円\t一般媒介\t大阪市北区梅田１丁目\t梅田");
  EXPECT_EQ(Utf8(PropertyFolderOfRow(row)), "13\\大阪市北区");
}

TEST(PropertyFolderTest, UnsafeNamesAreRefused) {
  EXPECT_TRUE(IsSafePropertyPath("13", Sjis("大阪市北区梅田"), "100012345678"));
  EXPECT_FALSE(IsSafePropertyPath("13", Sjis("大阪市北区"), "../../escape"));
  EXPECT_FALSE(IsSafePropertyPath("13", Sjis("大阪市北区"), ".."));
  EXPECT_FALSE(IsSafePropertyPath("13", Sjis("大阪市北区"), "a\\b"));
  EXPECT_FALSE(IsSafePropertyPath("13", Sjis("大阪市北区"), ""));
  EXPECT_FALSE(IsSafePropertyPath("13", Sjis("../大阪市北区"), "1"));
  EXPECT_FALSE(IsSafePropertyPath("13", Sjis("大阪\x01市"), "1"));
  // A trail byte 0x5C inside a character ("ソ" is 0x83 0x5C) is no separator.
  EXPECT_TRUE(IsSafePropertyPath("13", Sjis("ソ市"), "1"));
}

TEST(PropertyFolderTest, NamesLongerThanTheLimitAreRefused) {
  const std::string ward = Sjis("区");
  std::string longWard;  // 150 kanji and 区: 302 bytes of cp932, 453 of UTF-8
  for (int i = 0; i < 150; ++i) longWard += Sjis("大");
  EXPECT_FALSE(IsSafePropertyPath("13", longWard + ward + Sjis("本町"), "1"));
  EXPECT_FALSE(IsSafePropertyPath("13", Sjis("大阪市北区"), std::string(400, '7')));
  // The limit counts the bytes of the file-system (UTF-8) form: 65 kanji and 市 are 132 bytes
  // of cp932 and 198 of UTF-8; 66 kanji and 区 are 134 and 201.
  EXPECT_TRUE(IsSafePropertyPath("13", Sjis("大阪市北区"), std::string(kMaxPageNameBytes, '7')));
  EXPECT_FALSE(
      IsSafePropertyPath("13", Sjis("大阪市北区"), std::string(kMaxPageNameBytes + 1, '7')));
  EXPECT_TRUE(IsSafePropertyPath("13", longWard.substr(0, 130) + Sjis("市"), "1"));
  EXPECT_FALSE(IsSafePropertyPath("13", longWard.substr(0, 132) + ward, "1"));
}

class DownloadFilesTest : public ::testing::Test {
 protected:
  DownloadFilesTest() { state.environment.SetId(kEnvProgramFolder, home.path()); }
  test::TempFolder home;
  ProgramState state;
};

TEST_F(DownloadFilesTest, ResultPageNamesCarryStampAndCounter) {
  EXPECT_EQ(Utf8(ResultPagePath(state, "20110507093000", 3, SearchKind::kListings)),
            Utf8(home.path()) + "\\Log\\検索_20110507093000_3.html");
  EXPECT_EQ(Utf8(ResultPagePath(state, "20110507093000", 0, SearchKind::kClosedDeals)),
            Utf8(home.path()) + "\\Log\\成約_20110507093000_0.html");
}

TEST_F(DownloadFilesTest, MakeFolderForTriesOncePerRunAndMakesMissingParents) {
  const std::string file = home.path() + Sjis("\\pdf\\13\\大阪市北区\\1.html");
  MakeFolderFor(state, file);
  EXPECT_TRUE(std::filesystem::is_directory(test::FsPath(home.native() + "/pdf/13/大阪市北区")));
  // Removed behind the program's back: this run does not try again.
  std::filesystem::remove_all(test::FsPath(home.native() + "/pdf/13/大阪市北区"));
  MakeFolderFor(state, file);
  EXPECT_FALSE(std::filesystem::exists(test::FsPath(home.native() + "/pdf/13/大阪市北区")));
  EXPECT_EQ(state.madeFolders.size(), 1u);
}

}  // namespace
}  // namespace kestrova
