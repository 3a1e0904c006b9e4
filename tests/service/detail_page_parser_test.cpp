#include "service/detail_page_parser.h"

#include <gtest/gtest.h>

#include "store/detail_files.h"
#include "tests/service/page_fixture.h"
#include "tests/support/source_paths.h"

namespace kestrova::test {
namespace {

// A detail page of label cells each followed by its value cell (UTF-8).
std::string DetailPage(const std::vector<std::pair<std::string, std::string>>& cells) {
  std::string html = "<html><body>\n<table class=\"dtTable\">\n";
  for (const auto& [label, value] : cells) {
    html += "<tr><td class=\"dtLabel\">" + label + "</td><td class=\"dtValue\">" + value +
            "</td></tr>\n";
  }
  return html + "</table>\n</body></html>\n";
}

class DetailPageParserTest : public PageParserTest {
 protected:
  void UseHeader(const std::vector<std::string>& lines) {
    state.detailHeader.lines.Clear();
    for (const auto& l : lines) state.detailHeader.lines.Add(Sjis(l));
  }
  // The value stored for key, split into its pieces (one more than the header has lines).
  std::vector<std::string> Pieces(const std::string& key) const {
    return Fields(state.detailStore.GetView(key));
  }
  std::string ParseInline(const std::string& utf8Page) {
    ParseDetailPage(state, SavePage("detail.html", utf8Page));
    return std::string(state.detailStore.GetView(state.detailStore.store().KeyTextAt(0)));
  }
};

TEST_F(DetailPageParserTest, StoresTheStrippedPiecesUnderThePropertyNumber) {
  UseHeader({"物件番号", "価格"});
  ParseDetailPage(state,
                  SavePage("p.html", DetailPage({{"物件番号", "12345"}, {"価格", "1,980万円"}})));
  EXPECT_TRUE(state.detailStore.changed());
  ASSERT_EQ(state.detailStore.Count(), 1);
  EXPECT_EQ(state.detailStore.GetView("12345"), "12345\t1980\t");
}

class ShippedHeaderTest : public DetailPageParserTest {
 protected:
  void SetUp() override {
    state.detailHeader.lines.LoadLines(
        platform::ProgramPath(std::string(KESTROVA_SOURCE_DIR) + "/Setting/Syousai_Header.dat"));
    ASSERT_GT(state.detailHeader.lines.Count(), 10);
    ParseDetailPage(state, PagePath("detail_mansion.html"));
    pieces = Pieces("100012345678");
  }
  std::string Piece(const std::string& name) const {
    int i = state.detailHeader.IndexOf(Sjis(name));
    EXPECT_GE(i, 0) << name;
    return i < 0 ? std::string("?") : pieces[static_cast<std::size_t>(i)];
  }
  std::vector<std::string> pieces;
};

TEST_F(ShippedHeaderTest, GivesExactlyOnePiecePerHeaderLine) {
  ASSERT_EQ(state.detailStore.Count(), 1);
  EXPECT_EQ(CountTabs(state.detailStore.GetView("100012345678")), state.detailHeader.lines.Count());
  ASSERT_EQ(pieces.size(), static_cast<std::size_t>(state.detailHeader.lines.Count() + 1));
}

TEST_F(ShippedHeaderTest, CopiesTheCellAfterEachLabel) {
  EXPECT_EQ(Piece("物件番号"), "100012345678");
  EXPECT_EQ(Piece("物件種目"), Sjis("中古マンション"));
  EXPECT_EQ(Piece("構造"), "RC");
  EXPECT_EQ(Piece("賃料"), "");  // not on the page
}

TEST_F(ShippedHeaderTest, LocationLabelsLoseFullWidthSpacesOtherFieldsKeepThem) {
  EXPECT_EQ(Piece("所在地２"), Sjis("大阪市北区"));
  EXPECT_EQ(Piece("その他所在地表示"), Sjis("２番３号"));
  EXPECT_EQ(Piece("建物名"), Sjis("梅田　タワー"));
  EXPECT_EQ(Piece("駐車場"), Sjis("空有　月額25000"));
}

TEST_F(ShippedHeaderTest, LandmarkChoosesWhichTransportEntryIsRead) {
  EXPECT_EQ(Piece("交通１<>駅名"), Sjis("梅田"));
  EXPECT_EQ(Piece("交通２<>駅名"), Sjis("東梅田"));
  EXPECT_EQ(Piece("交通１<>駅より徒歩"), Sjis("5分"));
  EXPECT_EQ(Piece("交通２<>駅より徒歩"), Sjis("7分"));
  EXPECT_EQ(Piece("交通１<>バス停より徒歩"), "");  // a lone minutes unit is empty
  EXPECT_EQ(Piece("交通２<>バス停より徒歩"), Sjis("バス5分400"));
}

TEST_F(ShippedHeaderTest, UnitsFollowingDigitsAreStripped) {
  EXPECT_EQ(Piece("価格"), "1980");
  EXPECT_EQ(Piece("管理費"), "12000");
  EXPECT_EQ(Piece("専有面積"), "65.50");
  EXPECT_EQ(Piece("所在階"), "12");
  EXPECT_EQ(Piece("間取"), "3LDK");
}

TEST_F(ShippedHeaderTest, TabsAndLineEndsInsideACellGoAndPlaceNamesStayWhole) {
  EXPECT_EQ(Piece("備考"), Sjis("南向き、眺望良好。神戸市在住の売主"));
}

TEST_F(ShippedHeaderTest, ParsingTheSamePageAgainGivesTheSameValue) {
  std::string first(state.detailStore.GetView("100012345678"));
  ParseDetailPage(state, PagePath("detail_mansion.html"));
  EXPECT_EQ(state.detailStore.Count(), 1);
  EXPECT_EQ(state.detailStore.GetView("100012345678"), first);
}

TEST_F(DetailPageParserTest, PageWithoutPropertyNumberIsStoredUnderDummy) {
  UseHeader({"物件番号", "価格"});
  ParseDetailPage(state, PagePath("detail_no_number.html"));
  EXPECT_EQ(state.detailStore.GetView("dummy"), "\t3200\t");
}

TEST_F(DetailPageParserTest, EmptyPropertyNumberCellStoresNothing) {
  UseHeader({"物件番号", "価格"});
  ParseDetailPage(state,
                  SavePage("p.html", DetailPage({{"物件番号", "<b></b>"}, {"価格", "5万円"}})));
  EXPECT_EQ(state.detailStore.Count(), 0);
}

TEST_F(DetailPageParserTest, UnreadablePageChangesNothing) {
  UseHeader({"物件番号"});
  ParseDetailPage(state, folder.Path("missing.html"));
  EXPECT_EQ(state.detailStore.Count(), 0);
  EXPECT_FALSE(state.detailStore.changed());
}

TEST_F(DetailPageParserTest, LabelInsideALongerCellTextIsNotFound) {
  UseHeader({"物件番号", "価格", "面積"});
  std::string v =
      ParseInline(DetailPage({{"物件番号", "1"}, {"価格改定", "100万円"}, {"土地面積", "50㎡"}}));
  // "価格" stands before other text in its cell; "面積" ends the cell "土地面積", so it is found.
  EXPECT_EQ(v, "1\t\t50\t");
}

TEST_F(DetailPageParserTest, MissingLandmarkGivesAnEmptyPieceAndKeepsThePositions) {
  UseHeader({"物件番号", "交通３<>駅名", "価格"});
  std::string v = ParseInline(DetailPage({{"物件番号", "1"}, {"駅名", "梅田"}, {"価格", "9万円"}}));
  EXPECT_EQ(v, "1\t\t9\t");
}

TEST_F(DetailPageParserTest, LocationSpacesGoOnlyUnderLocationLabels) {
  UseHeader({"物件番号", "所在地２", "所在地名"});
  std::string v = ParseInline(
      DetailPage({{"物件番号", "1"}, {"所在地２", "大阪市　北区"}, {"所在地名", "大阪市　北区"}}));
  EXPECT_EQ(v, Sjis("1\t大阪市北区\t大阪市　北区\t"));
}

TEST_F(DetailPageParserTest, LoneUnitsOfMinutesAndMonthsAreEmpty) {
  UseHeader({"物件番号", "徒歩", "礼金", "敷金"});
  std::string v = ParseInline(
      DetailPage({{"物件番号", "1"}, {"徒歩", "分"}, {"礼金", "ヶ月"}, {"敷金", "2ヶ月"}}));
  EXPECT_EQ(v, Sjis("1\t\t\t2ヶ月\t"));
}

TEST_F(DetailPageParserTest, CellCutOffByTheEndOfThePageIsEmpty) {
  UseHeader({"物件番号", "価格"});
  ParseDetailPage(
      state, SavePage("p.html", "<table><tr><td>物件番号</td><td>77</td><td>価格</td><td>1,0"));
  EXPECT_EQ(state.detailStore.GetView("77"), "77\t\t");
}

TEST_F(DetailPageParserTest, BlankHeaderLineGivesAnEmptyPiece) {
  UseHeader({"物件番号", "", "価格"});
  std::string v = ParseInline(DetailPage({{"物件番号", "1"}, {"価格", "9万円"}}));
  EXPECT_EQ(v, "1\t\t9\t");
}

TEST_F(DetailPageParserTest, KeyIsCutToWholeCharactersWithinNinetyNineBytes) {
  UseHeader({"物件番号"});
  auto repeat = [](int n) {
    std::string s = "1";
    for (int i = 0; i < n; ++i) s += "番";
    return s;
  };
  ParseDetailPage(state, SavePage("p.html", DetailPage({{"物件番号", repeat(60)}})));  // 121 bytes
  ASSERT_EQ(state.detailStore.Count(), 1);
  EXPECT_EQ(std::string(state.detailStore.store().KeyTextAt(0)), Sjis(repeat(49)));  // 99 bytes
}

TEST_F(DetailPageParserTest, ReparsedPropertyReplacesItsValue) {
  UseHeader({"物件番号", "価格"});
  ParseDetailPage(state, SavePage("a.html", DetailPage({{"物件番号", "5"}, {"価格", "1万円"}})));
  ParseDetailPage(state, SavePage("b.html", DetailPage({{"物件番号", "5"}, {"価格", "2万円"}})));
  EXPECT_EQ(state.detailStore.Count(), 1);
  EXPECT_EQ(state.detailStore.GetView("5"), "5\t2\t");
}

TEST_F(DetailPageParserTest, NulByteInACellNeverReachesTheStore) {
  UseHeader({"物件番号", "備考"});
  std::string page = DetailPage({{"物件番号", "8"}, {"備考", "a"}});
  page.insert(page.find(">a<") + 1, 1, '\0');
  ParseDetailPage(state, SavePage("p.html", page));
  EXPECT_EQ(state.detailStore.GetView("8"), "8\ta\t");
  EXPECT_EQ(state.detailStore.store().FormatPairs("<===>").find('\0'), std::string::npos);
}

}  // namespace
}  // namespace kestrova::test
