#include "service/result_page_parser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "store/property_record.h"
#include "tests/service/page_fixture.h"

namespace kestrova::test {
namespace {

using ResultPageParserTest = PageParserTest;

// The rows of the hand-written three-row listing page, in record form.
class ListingPageTest : public PageParserTest {
 protected:
  void SetUp() override {
    ParseResultPage(state, PagePath("result_listing.html"), rows, SearchKind::kListings);
  }
  std::vector<std::string> Row(int i) const { return Fields(rows.View(i)); }
  TextList rows;
};

TEST_F(ListingPageTest, GivesOneRecordPerRowAndATrailingEmptyEntry) {
  ASSERT_EQ(rows.Count(), 4);
  EXPECT_EQ(rows.View(3), "");
  EXPECT_EQ(RecordField(rows.View(0), kFieldNumber), "100012345678");
  EXPECT_EQ(RecordField(rows.View(1), kFieldNumber), "100012345679");
  EXPECT_EQ(RecordField(rows.View(2), kFieldNumber), "100012345680");
}

TEST_F(ListingPageTest, CopiesEveryCellToItsFieldPosition) {
  const std::vector<std::string> expected = {
      "有", "13売り・マンション", "100012345678", "1,980万円", "一般媒介",
      "大阪市北区梅田１丁目２番３号　梅田タワー１２階", "梅田", "徒歩5分",
      // segment 1, cells 0-4
      "65.50㎡", "3LDK", "12階", "2005年3月", "梅田タワー",
      // segment 2, cells 1-5 (its cell 0, a non-breaking space, is not used)
      "8.20㎡", "12,000円", "9,800円", "120戸", "RC",
      // segment 3, cells 0-4
      "2011/05/06", "2011/05/01", "2011/05/06", "公開中", "可",
      // segment 4, cells 0-6
      "北浜不動産", "06-1234-5678", "山田", "南向き", "-", "", "K-001"};
  std::vector<std::string> cp932;
  for (const auto& f : expected) cp932.push_back(Sjis(f));
  EXPECT_EQ(std::string(rows.View(0)), JoinRecord(cp932));
}

TEST_F(ListingPageTest, EveryRecordHasExactlyThirtyTabsTheLastOneAtTheEnd) {
  for (int i = 0; i < 3; ++i) {
    std::string_view line = rows.View(i);
    EXPECT_EQ(CountTabs(line), kRecordFields) << i;
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\t') << i;
    EXPECT_EQ(line.find_first_of("\r\n"), std::string_view::npos) << i;
  }
}

TEST_F(ListingPageTest, RowWithoutLabelInheritsTheTypeOfThePreviousRow) {
  EXPECT_EQ(Row(1)[kFieldType], Sjis("13売り・マンション"));
  EXPECT_EQ(Row(2)[kFieldType], Sjis("11売り・土地"));
}

TEST_F(ListingPageTest, FloorPlanIconInALaterSegmentMarksTheRow) {
  EXPECT_EQ(Row(0)[kFieldFloorPlan], Sjis("有"));
  EXPECT_EQ(Row(1)[kFieldFloorPlan], Sjis("無"));
  EXPECT_EQ(Row(2)[kFieldFloorPlan], Sjis("無"));
}

TEST_F(ListingPageTest, LocationLosesOnlyTheSpacesInsideTheMunicipality) {
  EXPECT_EQ(Row(0)[kFieldLocation], Sjis("大阪市北区梅田１丁目２番３号　梅田タワー１２階"));
  EXPECT_EQ(Row(1)[kFieldLocation], Sjis("豊中市新千里東町１丁目　千里マンション"));
  EXPECT_EQ(Row(2)[kFieldLocation], Sjis("三島郡島本町　山崎５丁目"));
}

TEST_F(ListingPageTest, RowWithFewerSegmentsGivesEmptyFields) {
  std::vector<std::string> f = Row(1);
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[8], Sjis("72.10㎡"));
  EXPECT_EQ(f[9], "4LDK");
  for (int i = 10; i < kRecordFields; ++i) EXPECT_EQ(f[static_cast<std::size_t>(i)], "") << i;
}

TEST_F(ListingPageTest, AppendsTheRowsToTheRunWideList) {
  EXPECT_EQ(state.newRowsFound, 1);
  ASSERT_EQ(state.newRows.Count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(state.newRows.View(i), rows.View(i));
  TextList second;
  ParseResultPage(state, PagePath("result_listing.html"), second, SearchKind::kListings);
  EXPECT_EQ(state.newRows.Count(), 8);
  EXPECT_EQ(state.newRows.View(4), rows.View(0));
}

TEST_F(ResultPageParserTest, FirstRowWithoutLabelHasAnEmptyType) {
  std::string page = ResultPage({ResultRow({{"1 件目", "", "111", "5 万円"}}),
                                 ResultRow({{"2 件目", "賃貸・戸建て", "222", "6 万円"}}),
                                 ResultRow({{"3 件目", "", "333", "7 万円"}})});
  TextList rows;
  ParseResultText(state, Sjis(page), rows, SearchKind::kListings);
  ASSERT_EQ(rows.Count(), 4);
  EXPECT_EQ(RecordField(rows.View(0), kFieldType), "");
  EXPECT_EQ(RecordField(rows.View(1), kFieldType), Sjis("22賃貸・戸建て"));
  EXPECT_EQ(RecordField(rows.View(2), kFieldType), Sjis("22賃貸・戸建て"));
}

TEST_F(ResultPageParserTest, TableOrderDecidesBetweenTwoLabelsOfOneRow) {
  std::string page = ResultPage({ResultRow({{"1 件目", "賃貸・土地", "111", "x", "売り・土地"}})});
  TextList rows;
  ParseResultText(state, Sjis(page), rows, SearchKind::kListings);
  EXPECT_EQ(RecordField(rows.View(0), kFieldType), Sjis("11売り・土地"));
}

TEST_F(ResultPageParserTest, LabelNotDirectlyBeforeAClosingTagIsNoLabel) {
  std::string page = ResultPage({ResultRow({{"1 件目", "売り・土地です", "111"}})});
  TextList rows;
  ParseResultText(state, Sjis(page), rows, SearchKind::kListings);
  EXPECT_EQ(RecordField(rows.View(0), kFieldType), "");
}

TEST_F(ResultPageParserTest, HundredthHitIsLoggedAndTheRowsAreKept) {
  TextList rows;
  ParseResultPage(state, PagePath("result_hundred.html"), rows, SearchKind::kListings);
  ASSERT_EQ(state.errorList.Count(), 1);
  EXPECT_EQ(std::string(state.errorList.View(0)),
            "2011/05/07 09:30:00\t20001\t" +
                Sjis("100件以上の為、取りこぼしました(検索対象の日付の範囲を縮めてください)"));
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(RecordField(rows.View(0), kFieldNumber), "300000000100");
  EXPECT_EQ(RecordField(rows.View(0), kFieldType), Sjis("23賃貸・マンション"));
  EXPECT_EQ(RecordField(rows.View(0), kFieldPrice), Sjis("8.5万円"));
}

TEST_F(ResultPageParserTest, HundredWithoutTheSpaceIsNotLogged) {
  TextList rows;
  ParseResultText(state, Sjis(ResultPage({ResultRow({{"100件目", "", "1"}})})), rows,
                  SearchKind::kListings);
  EXPECT_EQ(state.errorList.Count(), 0);
  EXPECT_EQ(rows.Count(), 2);
}

TEST_F(ResultPageParserTest, PageWithoutTableGivesNoRowsAndLeavesTheRunListAlone) {
  state.newRows.Add("earlier row");
  TextList rows;
  rows.Add("row of an earlier page");
  ParseResultPage(state, PagePath("result_no_table.html"), rows, SearchKind::kListings);
  EXPECT_EQ(rows.Count(), 0);  // never the rows of an earlier page
  EXPECT_EQ(state.newRows.Count(), 1);
  EXPECT_EQ(state.newRowsFound, 0);
  EXPECT_EQ(state.errorList.Count(), 0);
}

TEST_F(ResultPageParserTest, UnreadableFileGivesNothing) {
  TextList rows;
  rows.Add("row of an earlier page");
  ParseResultPage(state, folder.Path("missing.html"), rows, SearchKind::kListings);
  EXPECT_EQ(rows.Count(), 0);
  EXPECT_EQ(state.newRows.Count(), 0);
  EXPECT_EQ(state.newRowsFound, 0);
  EXPECT_FALSE(state.dealStore.changed());
}

TEST_F(ResultPageParserTest, TruncatedPageKeepsTheCompleteRowAndCutsTheLast) {
  TextList full;
  ParseResultPage(state, PagePath("result_listing.html"), full, SearchKind::kListings);
  TextList rows;
  ParseResultPage(state, PagePath("result_truncated.html"), rows, SearchKind::kListings);
  ASSERT_EQ(rows.Count(), 3);
  EXPECT_EQ(rows.View(0), full.View(0));
  std::vector<std::string> f = Fields(rows.View(1));
  ASSERT_EQ(f.size(), 31u);
  EXPECT_EQ(f[kFieldNumber], "100012345679");
  EXPECT_EQ(f[kFieldLocation].rfind(Sjis("豊中市"), 0), 0u);
  for (int i = 6; i < kRecordFields; ++i) EXPECT_EQ(f[static_cast<std::size_t>(i)], "") << i;
}

TEST_F(ResultPageParserTest, ClosedDealPageStoresDateAndBarePrice) {
  TextList rows;
  ParseResultPage(state, PagePath("result_deals.html"), rows, SearchKind::kClosedDeals);
  EXPECT_TRUE(state.dealStore.changed());
  ASSERT_EQ(state.dealStore.Count(), 2);
  EXPECT_EQ(state.dealStore.GetView("200000000001"), "2011/04/28\t1980");
  EXPECT_EQ(state.dealStore.GetView("200000000002"), "2011/04/30\t12500");
  EXPECT_EQ(rows.Count(), 0);
  EXPECT_EQ(state.newRows.Count(), 0);
  EXPECT_EQ(state.newRowsFound, 0);
}

TEST_F(ResultPageParserTest, ClosedDealRowWithoutNumberStoresNothing) {
  std::string page =
      ResultPage({ResultRow({{"1 件目", "", "", "1,000 万円"}, {}, {}, {"2011/04/01"}})});
  TextList rows;
  ParseResultText(state, Sjis(page), rows, SearchKind::kClosedDeals);
  EXPECT_EQ(state.dealStore.Count(), 0);
}

TEST_F(ResultPageParserTest, ClosedDealOfTheSameNumberReplacesTheEarlierOne) {
  TextList rows;
  ParseResultText(state,
                  Sjis(ResultPage({ResultRow({{"1", "", "7", "1 万円"}, {}, {}, {"2011/01/01"}}),
                                   ResultRow({{"2", "", "7", "2 万円"}, {}, {}, {"2011/02/02"}})})),
                  rows, SearchKind::kClosedDeals);
  EXPECT_EQ(state.dealStore.Count(), 1);
  EXPECT_EQ(state.dealStore.GetView("7"), "2011/02/02\t2");
}

TEST_F(ResultPageParserTest, NulByteInThePageNeverReachesARecord) {
  std::string page = Sjis(ResultPage({ResultRow({{"1", "", "12", "3"}})}));
  std::string bytes = page;
  bytes.insert(bytes.find("12"), 1, '\0');
  std::string path = SavePage("nul_byte.html", bytes);
  TextList rows;
  ParseResultPage(state, path, rows, SearchKind::kListings);
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(RecordField(rows.View(0), kFieldNumber), "12");
  EXPECT_EQ(state.newRows.View(0).find('\0'), std::string_view::npos);
}

TEST(CleanRowSegmentTest, CellEndsBecomeTheMarkerAndTagsGo) {
  std::string s = "<td class=\"rbTeT\"><a href=\"x\">12 34</a></td>\r\n<td>\t&nbsp;</td><td></td>";
  CleanRowSegment(s);
  EXPECT_EQ(s, "1234<***>-<***><***>");
}

TEST(CleanRowSegmentTest, KeepsFullWidthSpacesAndTextBeforeTheFirstCellEnd) {
  std::string s = Sjis("件目</td><td>大阪市　北区</td>");
  CleanRowSegment(s);
  EXPECT_EQ(s, Sjis("件目<***>大阪市　北区<***>"));
}

TEST(CleanRowSegmentTest, LessThanWithoutAClosingSignStays) {
  std::string s = "c</td>a < b";
  CleanRowSegment(s);
  EXPECT_EQ(s, "c<***>a<b");
  // A later closing sign ends the shortest tag, even the one of the cell marker.
  std::string t = "a < b</td>c";
  CleanRowSegment(t);
  EXPECT_EQ(t, "ac");
}

TEST(CleanRowSegmentTest, TagRemovalCanFormANonBreakingSpace) {
  std::string s = "&nb<i>sp; &nb sp;";
  CleanRowSegment(s);
  EXPECT_EQ(s, "--");
}

TEST_F(ResultPageParserTest, BrokenDoubleByteCharacterCannotHideALineEnd) {
  // A lead byte directly before a CR would make the pair one character that survives cleaning.
  std::string page = Sjis(ResultPage({ResultRow({{"1", "", "12", "3"}})}));
  page.insert(page.find("12"), "\x87\r\n");
  TextList rows;
  ParseResultText(state, page, rows, SearchKind::kListings);
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(RecordField(rows.View(0), kFieldNumber), "12");
}

TEST(TypeTableTest, TenLabelsPairedWithTheirTypeTexts) {
  const TypeTable& t = TypeTable::Get();
  ASSERT_EQ(t.labels.Count(), 10);
  ASSERT_EQ(t.typeTexts.Count(), 10);
  std::vector<std::string> codes;
  for (int i = 0; i < 10; ++i) {
    std::string label(t.labels.View(i));
    std::string text(t.typeTexts.View(i));
    ASSERT_GE(label.size(), 2u);
    EXPECT_EQ(label.substr(label.size() - 2), "</");
    EXPECT_EQ(text.substr(2), label.substr(0, label.size() - 2)) << i;
    codes.push_back(text.substr(0, 2));
  }
  std::sort(codes.begin(), codes.end());
  EXPECT_EQ(codes,
            (std::vector<std::string>{"11", "12", "13", "14", "15", "21", "22", "23", "24", "25"}));
  EXPECT_EQ(t.typeTexts.View(1), Sjis("14売り・建物全部"));  // order of the table, not of the codes
}

TEST(TypeTableTest, LabelIsFoundOnlyAtACharacterStart) {
  const TypeTable& t = TypeTable::Get();
  std::string label = Sjis("売り・土地</");
  EXPECT_EQ(t.Detect("x" + label), Sjis("11売り・土地"));
  // After a lone lead byte, the label's first byte is taken as that character's trail byte.
  EXPECT_EQ(t.Detect("\x82" + label), "");
  EXPECT_EQ(t.Detect(label.substr(0, label.size() - 1)), "");
}

}  // namespace
}  // namespace kestrova::test
