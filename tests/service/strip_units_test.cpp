#include <gtest/gtest.h>

#include "foundation/sjis.h"
#include "service/detail_page_parser.h"

namespace kestrova {
namespace {

// StripUnits of a UTF-8 text, compared in cp932.
std::string Stripped(const std::string& utf8) {
  std::string text = Sjis(utf8);
  StripUnits(text);
  return text;
}

TEST(StripUnitsTest, PriceLosesItsThousandsSeparatorAndUnit) {
  EXPECT_EQ(Stripped("1,980万円"), "1980");
  EXPECT_EQ(Stripped("12,000円"), "12000");
  EXPECT_EQ(Stripped("1,234,567円"), "1234567");
}

TEST(StripUnitsTest, EveryUnitAfterADigitGoes) {
  EXPECT_EQ(Stripped("65.50㎡"), "65.50");
  EXPECT_EQ(Stripped("400ｍ"), "400");
  EXPECT_EQ(Stripped("1.2km"), "1.2");
  EXPECT_EQ(Stripped("120戸"), "120");
  EXPECT_EQ(Stripped("12階"), "12");
  EXPECT_EQ(Stripped("60%"), "60");
}

TEST(StripUnitsTest, DistanceAfterMinutesKeepsTheMinutes) {
  EXPECT_EQ(Stripped("5分400ｍ"), Sjis("5分400"));
  EXPECT_EQ(Stripped("5分"), Sjis("5分"));
}

TEST(StripUnitsTest, UnitCharactersInsideWordsStay) {
  EXPECT_EQ(Stripped("神戸市"), Sjis("神戸市"));
  EXPECT_EQ(Stripped("円山町"), Sjis("円山町"));
  EXPECT_EQ(Stripped("一戸建て"), Sjis("一戸建て"));
  EXPECT_EQ(Stripped("階段室型"), Sjis("階段室型"));
  EXPECT_EQ(Stripped("ｍａｎｓｉｏｎ"), Sjis("ｍａｎｓｉｏｎ"));
  EXPECT_EQ(Stripped("Ok market"), "Ok market");
}

TEST(StripUnitsTest, FullWidthDigitsCountAsDigits) {
  EXPECT_EQ(Stripped("１２階"), Sjis("１２"));
  EXPECT_EQ(Stripped("１，９８０万円"), Sjis("１，９８０"));  // only the ASCII comma is a separator
  EXPECT_EQ(Stripped("１,９８０万円"), Sjis("１９８０"));
}

TEST(StripUnitsTest, CommaStaysUnlessBetweenTwoDigits) {
  EXPECT_EQ(Stripped("南向き,角部屋"), Sjis("南向き,角部屋"));
  EXPECT_EQ(Stripped("5,"), "5,");
  EXPECT_EQ(Stripped(",5"), ",5");
  EXPECT_EQ(Stripped("1,,2"), "1,,2");
  EXPECT_EQ(Stripped("3階,4階"), "34");
}

TEST(StripUnitsTest, UnitsAreRemovedInTheirOrderOverTheTextAsItStands) {
  // "円" goes after "万円" has been tried, so 1万5000円 keeps its 万.
  EXPECT_EQ(Stripped("1万5000円"), Sjis("1万5000"));
  EXPECT_EQ(Stripped("3階建"), Sjis("3建"));
}

TEST(StripUnitsTest, EmptyAndUnitOnlyTextsAreKept) {
  EXPECT_EQ(Stripped(""), "");
  EXPECT_EQ(Stripped("円"), Sjis("円"));
  EXPECT_EQ(Stripped("万円"), Sjis("万円"));
}

TEST(StripUnitsTest, ALoneLeadByteAtTheEndIsKept) {
  std::string text = "5\x82";
  StripUnits(text);
  EXPECT_EQ(text, "5\x82");
}

}  // namespace
}  // namespace kestrova
