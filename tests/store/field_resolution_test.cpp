#include "store/field_resolution.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "store/program_state.h"

namespace kestrova {
namespace {

class FieldResolutionTest : public ::testing::Test {
 protected:
  FieldResolutionTest() {
    for (const char* n : {"物件種別", "物件番号", "最寄駅", "徒歩", "所在地", "取引態様/報酬形態",
                          "接道状況/方向", "幅員/接面", "価格", "価格"}) {
      names.Add(Sjis(n));
    }
    for (const char* d : {"物件番号", "所在地１", "所在地２", "その他所在地表示",
                          "交通１<>駅より徒歩", "築年月", "交通２<>バス停より徒歩"}) {
      state.detailHeader.lines.Add(Sjis(d));
    }
  }
  // Resolves a spec for a record whose fields follow names (UTF-8 values, converted).
  std::string Resolve(const std::string& spec, const std::vector<std::string>& values) {
    std::string line;
    for (const auto& v : values) line += Sjis(v) + "\t";
    TextList fields(line, "\t");
    return ResolveField(state, names, fields, Sjis(spec));
  }
  std::string U(const std::string& spec, const std::vector<std::string>& values) {
    return Utf8(Resolve(spec, values));
  }

  TextList names;
  ProgramState state;
  const std::vector<std::string> flat = {"13売り・マンション",
                                         "100",
                                         "阪急宝塚線梅田",
                                         "5/12",
                                         "大阪市北区梅田１丁目　梅田ハイツ12階",
                                         "媒介/分かれ",
                                         "公道/南",
                                         "6.0/8.5",
                                         "1980",
                                         "2000"};
};

TEST_F(FieldResolutionTest, PlainNameGivesTheFirstColumnOfThatName) {
  EXPECT_EQ(U("物件番号", flat), "100");
  EXPECT_EQ(U("価格", flat), "1980");
  EXPECT_EQ(U("無い列", flat), "");
}

TEST_F(FieldResolutionTest, AlternativesAreTriedUntilOneGivesAValue) {
  EXPECT_EQ(U("無い列|物件番号", flat), "100");
  EXPECT_EQ(U("||物件番号|価格", flat), "100");
  EXPECT_EQ(U("#物件番号|最寄駅", flat), "阪急宝塚線梅田");
  EXPECT_EQ(U("#物件番号", flat), "");
  std::vector<std::string> noStation = flat;
  noStation[2] = "";
  EXPECT_EQ(U("$駅$|最寄駅|物件番号", noStation), "100");
}

TEST_F(FieldResolutionTest, StationPartFallsBackToTheWholeColumn) {
  std::vector<std::string> rec = flat;
  rec[2] = "梅田";
  EXPECT_EQ(U("$駅$|最寄駅", rec), "梅田");
  EXPECT_EQ(U("$駅$|最寄駅", flat), "梅田");
  EXPECT_EQ(U("$沿線$", flat), "阪急宝塚線");
}

TEST_F(FieldResolutionTest, EmptyStationColumnGivesNoLine) {
  std::vector<std::string> rec = flat;
  rec[2] = "";
  EXPECT_EQ(U("$沿線$", rec), "");
  EXPECT_EQ(U("$沿線$|物件番号", rec), "100");
}

TEST_F(FieldResolutionTest, SlashColumnsGiveTheirPieces) {
  EXPECT_EQ(U("$徒歩分$", flat), "5");
  EXPECT_EQ(U("$バス$", flat), "12");
  EXPECT_EQ(U("$取引態様$", flat), "媒介");
  EXPECT_EQ(U("$報酬形態$", flat), "分かれ");
  EXPECT_EQ(U("$接道状況$", flat), "公道");
  EXPECT_EQ(U("$接道方向$", flat), "南");
  EXPECT_EQ(U("$接道接面$", flat), "8.5");
  std::vector<std::string> rec = flat;
  rec[3] = "徒歩7分";
  EXPECT_EQ(U("$徒歩分$", rec), "徒歩7分");
  EXPECT_EQ(U("$バス$", rec), "");
  EXPECT_EQ(U("$バス$|物件番号", rec), "100");
}

TEST_F(FieldResolutionTest, TypeColumnGivesDataKindAndShortName) {
  EXPECT_EQ(U("$データ種類$", flat), "売物件");
  EXPECT_EQ(U("$物件種別$", flat), "売マン");
  const char* shortNames[][2] = {
      {"11売り・土地", "売土地"},       {"12売り・戸建", "売戸建"}, {"14売り・外全", "売外全"},
      {"15売り・外一", "売外一"},       {"21賃貸・土地", "貸土地"}, {"22賃貸・戸建", "貸戸建"},
      {"23賃貸・マンション", "貸マン"}, {"24賃貸・外全", "貸外全"}, {"25賃貸・建物一部", "貸外一"}};
  for (const auto& [type, expected] : shortNames) {
    std::vector<std::string> rec = flat;
    rec[0] = type;
    EXPECT_EQ(U("$物件種別$", rec), expected) << type;
    EXPECT_EQ(U("$データ種類$", rec), type[0] == '1' ? "売物件" : "賃貸物件") << type;
  }
  std::vector<std::string> odd = flat;
  odd[0] = "31その他";
  EXPECT_EQ(U("$データ種類$", odd), "");
  EXPECT_EQ(U("$物件種別$", odd), "");
  odd[0] = "16";
  EXPECT_EQ(U("$データ種類$", odd), "売物件");
  EXPECT_EQ(U("$物件種別$", odd), "");
}

TEST_F(FieldResolutionTest, LocationColumnGivesAddressBuildingAndFloor) {
  EXPECT_EQ(U("$所在地$", flat), "大阪市北区梅田１丁目");
  EXPECT_EQ(U("$マンション名$", flat), "梅田ハイツ");
  EXPECT_EQ(U("$階数$", flat), "12");
  std::vector<std::string> rec = flat;
  rec[4] = "豊中市新千里東町";
  EXPECT_EQ(U("$所在地$", rec), "豊中市新千里東町");
  EXPECT_EQ(U("$マンション名$", rec), "");
  EXPECT_EQ(U("$階数$|物件番号", rec), "100");
}

TEST_F(FieldResolutionTest, UnknownDerivedOrAbsentColumnGivesNothing) {
  EXPECT_EQ(U("$未知$|物件番号", flat), "100");
  names.Clear();
  names.Add(Sjis("物件番号"));
  EXPECT_EQ(U("$駅$|物件番号", {"100"}), "100");
}

TEST_F(FieldResolutionTest, DetailFieldsByName) {
  state.detailStore.Set("100", Sjis("100\t大阪市\t北区\t梅田\t5分400\t平成5年3月\t3分\t"));
  EXPECT_EQ(U("%築年月%", flat), "平成5年3月");
  EXPECT_EQ(U("%築%年月%", flat), "平成5年3月");  // every "%" is removed to get the name
  EXPECT_EQ(U("%物件番号%", flat), "100");
  EXPECT_EQ(U("%無い項目%|価格", flat), "1980");
}

TEST_F(FieldResolutionTest, CombinedLocationJoinsThePresentParts) {
  state.detailStore.Set("100", Sjis("100\t大阪市\t北区\t梅田\t5分400\t平成5年3月\t3分\t"));
  EXPECT_EQ(U("&所在地&", flat), "大阪市北区梅田");  // "所在地３" is not a detail field here
  EXPECT_EQ(U("&所在地&|物件番号", flat), "大阪市北区梅田");
  state.detailStore.Set("100", Sjis("100\t\t\t\t5分400\t\t\t"));
  EXPECT_EQ(U("&所在地&|$所在地$", flat), "大阪市北区梅田１丁目");
}

TEST_F(FieldResolutionTest, PropertyWithoutDetailUsesTheNextAlternative) {
  std::vector<std::string> other = flat;
  other[1] = "200";
  state.detailStore.Set("100", Sjis("100\t大阪市\t\t\t\t\t\t"));
  EXPECT_EQ(U("&所在地&|物件番号", other), "200");
  EXPECT_EQ(U("%築年月%|物件番号", other), "200");
}

TEST_F(FieldResolutionTest, TransportPiecesSplitAtMinutesOrMetres) {
  state.detailStore.Set("100", Sjis("100\t\t\t\t5分400\t\t3ｍ80\t"));
  EXPECT_EQ(U("&交通１<>駅より徒歩&", flat), "5");
  EXPECT_EQ(U("&交通１<>駅より徒歩ｍ&", flat), "400");
  EXPECT_EQ(U("&交通２<>バス停より徒歩&", flat), "3");
  // Not a detail field here: the next rows and then the next alternative are tried.
  EXPECT_EQ(U("&交通２<>駅より徒歩&|物件番号", flat), "100");
  EXPECT_EQ(U("&交通１<>バス停より徒歩&|物件番号", flat), "100");
  EXPECT_EQ(U("&何か&|物件番号", flat), "100");
}

TEST_F(FieldResolutionTest, FirstTransportRowWhoseFieldExistsWins) {
  state.detailStore.Set("100", Sjis("100\t\t\t\t5分400\t\t3分\t"));
  // Both markers in one alternative: the row order decides, not the text order.
  EXPECT_EQ(U("&交通２<>バス停より徒歩&&交通１<>駅より徒歩ｍ&", flat), "400");
  // A row whose field is missing is skipped in favour of a later row that has one.
  EXPECT_EQ(U("&交通１<>バス停より徒歩&&交通２<>バス停より徒歩&", flat), "3");
}

TEST_F(FieldResolutionTest, ClosedDealDateAndPrice) {
  state.dealStore.Set("100", Sjis("2012/03/01\t1980"));
  EXPECT_EQ(U("@成約日付@", flat), "2012/03/01");
  EXPECT_EQ(U("@成約価格@", flat), "1980");
  EXPECT_EQ(U("@成約価格@x|物件番号", flat), "100");  // not exactly the marker: a column name
  std::vector<std::string> other = flat;
  other[1] = "200";
  EXPECT_EQ(U("@成約価格@", other), "");
  EXPECT_EQ(U("@成約日付@|価格", other), "1980");
}

TEST_F(FieldResolutionTest, NoPropertyNumberColumnMeansNoStoreValues) {
  state.detailStore.Set("100", Sjis("100\t大阪市\t\t\t\t\t\t"));
  state.dealStore.Set("100", Sjis("2012/03/01\t1980"));
  names.Clear();
  for (const char* n : {"物件種別", "番号"}) names.Add(Sjis(n));
  EXPECT_EQ(U("&所在地&", {"13売り・マンション", "100"}), "");
  EXPECT_EQ(U("@成約日付@", {"13売り・マンション", "100"}), "");
  EXPECT_EQ(U("番号", {"13売り・マンション", "100"}), "100");
}

TEST_F(FieldResolutionTest, ValuesAreCutAt2000BytesOnACharacterBoundary) {
  std::vector<std::string> rec = flat;
  rec[8] = std::string(2500, 'x');
  EXPECT_EQ(Resolve("価格", rec), std::string(2000, 'x'));
  rec[8] = std::string(1999, 'x') + "あ";
  EXPECT_EQ(Resolve("価格", rec), std::string(1999, 'x'));
}

TEST(SplitLineStationTest, ParenthesisOfEitherWidthClosesTheLine) {
  LineStation a = SplitLineStation(Sjis("JR(東西線)北新地"));
  EXPECT_EQ(Utf8(a.line), "JR(東西線）");
  EXPECT_EQ(Utf8(a.station), "北新地");
  LineStation b = SplitLineStation(Sjis("ＪＲ（東西線）北新地（地下）"));
  EXPECT_EQ(Utf8(b.line), "ＪＲ（東西線）");
  EXPECT_EQ(Utf8(b.station), "北新地（地下");  // pieces after the second are ignored
  LineStation c = SplitLineStation(Sjis("JR(東西線)"));
  EXPECT_EQ(Utf8(c.line), "JR(東西線）");
  EXPECT_EQ(c.station, "");
}

TEST(SplitLineStationTest, OtherwiseTheLineEndsAtTheFirstLineMark) {
  LineStation a = SplitLineStation(Sjis("阪急宝塚線梅田"));
  EXPECT_EQ(Utf8(a.line), "阪急宝塚線");
  EXPECT_EQ(Utf8(a.station), "梅田");
  LineStation b = SplitLineStation(Sjis("JR線東西線北新地"));
  EXPECT_EQ(Utf8(b.line), "JR線");
  EXPECT_EQ(Utf8(b.station), "東西");
  LineStation c = SplitLineStation(Sjis("梅田"));
  EXPECT_EQ(Utf8(c.line), "梅田線");
  EXPECT_EQ(c.station, "");
}

TEST(SplitLineStationTest, EmptyTextGivesNothing) {
  LineStation a = SplitLineStation("");
  EXPECT_EQ(a.line, "");
  EXPECT_EQ(a.station, "");
}

TEST(SplitLineStationTest, LineMarkIsOnlyFoundAtACharacterBoundary) {
  // "＄" is 81 90 and "髜" FC 40: together they hold 90 FC, the bytes of "線".
  const std::string text = "\x81\x90\xFC\x40" + Sjis("駅");
  ASSERT_NE(text.find(Sjis("線")), std::string::npos);
  LineStation a = SplitLineStation(text);
  EXPECT_EQ(a.line, text + Sjis("線"));
  EXPECT_EQ(a.station, "");
}

TEST(SplitAddressTest, BuildingAndFloorAfterTheFullWidthSpace) {
  AddressParts a = SplitAddress(Sjis("大阪市北区梅田１丁目　梅田ハイツ12階"));
  EXPECT_EQ(Utf8(a.address), "大阪市北区梅田１丁目");
  EXPECT_EQ(Utf8(a.building), "梅田ハイツ");
  EXPECT_EQ(a.floor, "12");
  AddressParts b = SplitAddress(Sjis("大阪市北区梅田１丁目　梅田ハイツ10階"));
  EXPECT_EQ(b.floor, "10");
  AddressParts c = SplitAddress(Sjis("北区　ハイツ007階部分"));
  EXPECT_EQ(Utf8(c.building), "ハイツ");
  EXPECT_EQ(c.floor, "7");
}

TEST(SplitAddressTest, FullWidthDigitsStayInTheBuildingName) {
  AddressParts a = SplitAddress(Sjis("大阪市北区　梅田ハイツ１２階"));
  EXPECT_EQ(Utf8(a.building), "梅田ハイツ１２");
  EXPECT_EQ(a.floor, "0");
}

TEST(SplitAddressTest, WithoutSpaceOrFloorMark) {
  AddressParts a = SplitAddress(Sjis("大阪市北区梅田"));
  EXPECT_EQ(Utf8(a.address), "大阪市北区梅田");
  EXPECT_EQ(a.building, "");
  EXPECT_EQ(a.floor, "");
  AddressParts b = SplitAddress(Sjis("豊中市　千里タワー"));
  EXPECT_EQ(Utf8(b.building), "千里タワー");
  EXPECT_EQ(b.floor, "");
  AddressParts c = SplitAddress(Sjis("豊中市　12階"));
  EXPECT_EQ(c.building, "");
  EXPECT_EQ(c.floor, "12");
}

TEST(SplitAddressTest, PiecesAfterTheSecondAreIgnored) {
  AddressParts a = SplitAddress(Sjis("北区　ハイツ3階　別棟5階"));
  EXPECT_EQ(Utf8(a.address), "北区");
  EXPECT_EQ(Utf8(a.building), "ハイツ");
  EXPECT_EQ(a.floor, "3");
}

TEST(SplitPiecesTest, KeepsEmptyPiecesAndGivesNoneForEmptyText) {
  Pieces p;
  SplitPieces("a\t\tb\t", '\t', p);
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[1], "");
  EXPECT_EQ(p[2], "b");
  EXPECT_EQ(p[3], "");
  SplitPieces("", '\t', p);
  EXPECT_TRUE(p.empty());
  EXPECT_EQ(PieceAt(p, 0), "");
  EXPECT_EQ(PieceAt(p, -1), "");
}

TEST(SplitPieceTest, MatchesTextListSplit) {
  const std::string delimiters = Sjis("年;月;日");
  const std::string y = Sjis("年"), m = Sjis("月"), d = Sjis("日");
  // The last text holds the bytes of "年" (94 4E) across two characters: 81 94 and 4E.
  for (const std::string& text :
       {Sjis("2012年3月30日"), Sjis("年月"), std::string(), Sjis("平成5年"), Sjis("月月月"),
        Sjis("年"), std::string("\x81\x94\x4E") + Sjis("年x")}) {
    TextList expected(text, delimiters);
    std::string_view first[4];
    FirstPieces(text, {y, m, d}, first, 4);
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(SplitPiece(text, {y, m, d}, i), expected.View(i)) << Utf8(text) << " piece " << i;
      if (i < 4) {
        EXPECT_EQ(first[i], expected.View(i)) << Utf8(text) << " first pieces " << i;
      }
    }
  }
}

}  // namespace
}  // namespace kestrova
