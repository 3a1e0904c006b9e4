// The sim's pages read by the program's own page parsers: two independent readings of the
// same markup rules must agree on every record, deal and detail value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/files.h"
#include "foundation/sjis.h"
#include "service/detail_page_parser.h"
#include "service/result_page_parser.h"
#include "sim/civil_date.h"
#include "sim/listing_fill.h"
#include "sim/listing_pages.h"
#include "sim/listing_text.h"
#include "sim/setting_tables.h"
#include "store/program_state.h"
#include "tests/support/temp_folder.h"

namespace kestrova::test {
namespace {

using sim::ListingUniverse;
using sim::Property;
using sim::SearchQuery;

std::vector<std::string> Split(const std::string& text, char c) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(c, start)) != std::string::npos; start = at + 1) {
    parts.push_back(text.substr(start, at - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// A result cell as the record carries it: the page's "&nbsp;" is "-", ASCII spaces go.
std::string CellAsRecorded(const std::string& cell) {
  return Replace(Replace(cell, "&nbsp;", "-"), " ", "");
}

// The location with the full-width spaces after city and ward taken out, the one before the
// building name kept.
std::string LocationAsRecorded(const Property& p) {
  std::string text = sim::LocationText(p);
  for (const char* unit : {"市", "郡", "区"}) text = Replace(text, std::string(unit) + "　", unit);
  for (const char* head : {"東", "西", "南", "北", "中"})
    text = Replace(text, std::string("　") + head, head);
  return text;
}

class ParserCrossCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(sim::LoadSettingTables(std::string(KESTROVA_SOURCE_DIR) + "/Setting", tables_, error),
              0)
        << error;
    state_.detailHeader.lines.LoadLines(
        platform::ProgramPath(std::string(KESTROVA_SOURCE_DIR) + "/Setting/Syousai_Header.dat"));
    ASSERT_GT(state_.detailHeader.lines.Count(), 0);
  }

  // Saves the page as received (UTF-8) and has the parser read the file.
  TextList Parse(const std::string& page, SearchKind kind) {
    std::string path = folder_.Path("page.html");
    EXPECT_TRUE(WriteFileAtomic(path, page));
    TextList rows;
    ParseResultPage(state_, path, rows, kind);
    return rows;
  }

  static SearchQuery Query(bool sale, std::vector<int> types, int days) {
    SearchQuery q;
    q.sale = sale;
    q.typeCodes = std::move(types);
    q.codes = {"27128", "27203", "27301"};
    q.firstDay = sim::DayNumber({2011, 5, 1});
    q.lastDay = q.firstDay + days - 1;
    return q;
  }

  sim::SettingTables tables_;
  ProgramState state_;
  TempFolder folder_;
};

TEST_F(ParserCrossCheckTest, EveryResultRowBecomesTheRecordOfItsProperty) {
  ListingUniverse universe(tables_, 7, 8);
  SearchQuery query = Query(true, {13, 15}, 7);
  std::vector<sim::ListingKey> keys =
      universe.Listings(query.codes, query.firstDay, query.lastDay, query.typeCodes);
  ASSERT_GT(keys.size(), 10u);
  ASSERT_LT(keys.size(), 100u);
  TextList rows = Parse(sim::ResultPage(universe, query), SearchKind::kListings);

  std::vector<std::string> records;
  for (const std::string& r : rows.ToVector()) {
    if (!r.empty()) records.push_back(Utf8(r));
  }
  ASSERT_EQ(records.size(), keys.size());
  bool sawInherited = false;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    Property p = universe.Make(keys[i]);
    std::vector<std::string> f = Split(records[i], '\t');
    ASSERT_EQ(f.size(), 31u) << records[i];
    EXPECT_EQ(f[30], "");
    EXPECT_EQ(f[0], p.hasFloorPlan ? "有" : "無");
    EXPECT_EQ(f[1], std::to_string(p.typeCode) + sim::TypeLabel(p.typeCode)) << i;
    sawInherited |= i > 0 && universe.Make(keys[i - 1]).typeCode == p.typeCode;
    const auto& names = tables_.fieldNames[static_cast<std::size_t>(sim::TypeIndex(p.typeCode))];
    for (std::size_t j = 2; j < 30; ++j) {
      std::string expected = names[j] == "所在地" ? LocationAsRecorded(p)
                                                  : CellAsRecorded(sim::ResultValue(p, names[j]));
      EXPECT_EQ(f[j], expected) << "row " << i << " field " << j << " " << names[j];
    }
    EXPECT_EQ(f[2], p.number);
    EXPECT_EQ(f[18], sim::FormatSlashDate(p.registered));
  }
  EXPECT_TRUE(sawInherited) << "no row took its type from the row above";
  EXPECT_EQ(state_.newRowsFound, 1);
  EXPECT_EQ(state_.errorList.Count(), 0);
}

TEST_F(ParserCrossCheckTest, HundredthHitIsReportedAndOnlyHundredRowsArrive) {
  ListingUniverse universe(tables_, 7, 40);
  SearchQuery query = Query(false, {23, 25}, 7);
  TextList rows = Parse(sim::ResultPage(universe, query), SearchKind::kListings);
  int records = 0;
  for (const std::string& r : rows.ToVector()) records += !r.empty();
  EXPECT_EQ(records, 100);
  ASSERT_EQ(state_.errorList.Count(), 1);
  EXPECT_NE(std::string(state_.errorList.Get(0)).find("20001"), std::string::npos);
}

TEST_F(ParserCrossCheckTest, NinetyNineHitsAreNotReportedAsLost) {
  ListingUniverse universe(tables_, 7, 8);
  SearchQuery query = Query(true, {13, 15}, 7);
  std::size_t total =
      universe.Listings(query.codes, query.firstDay, query.lastDay, query.typeCodes).size();
  ASSERT_LT(total, 100u);
  Parse(sim::ResultPage(universe, query), SearchKind::kListings);
  EXPECT_EQ(state_.errorList.Count(), 0);
}

TEST_F(ParserCrossCheckTest, ClosedDealPageFillsDealStoreWithDateAndBarePrice) {
  ListingUniverse universe(tables_, 7, 8);
  SearchQuery query = Query(true, {11, 14, 12}, 30);
  query.closedDeals = true;
  std::vector<sim::ListingKey> keys =
      universe.ClosedDeals(query.codes, query.firstDay, query.lastDay, query.typeCodes);
  ASSERT_GT(keys.size(), 3u);
  ASSERT_LT(keys.size(), 100u);
  TextList rows = Parse(sim::ResultPage(universe, query), SearchKind::kClosedDeals);
  EXPECT_EQ(state_.newRows.Count(), 0);
  EXPECT_EQ(state_.dealStore.Count(), static_cast<int>(keys.size()));
  for (const auto& key : keys) {
    Property p = universe.Make(key);
    ASSERT_GE(p.closingDay, query.firstDay);
    ASSERT_LE(p.closingDay, query.lastDay);
    std::string expected =
        sim::FormatSlashDate(p.closingDay) + "\t" + std::to_string(p.closingPriceTenThousand);
    EXPECT_EQ(Utf8(state_.dealStore.GetView(p.number)), expected) << p.number;
  }
}

TEST_F(ParserCrossCheckTest, DetailPageGivesTheFieldsOfTheHeader) {
  ListingUniverse universe(tables_, 7, 8);
  SearchQuery query = Query(true, {13}, 14);
  std::vector<sim::ListingKey> keys =
      universe.Listings(query.codes, query.firstDay, query.lastDay, query.typeCodes);
  ASSERT_FALSE(keys.empty());
  int header = state_.detailHeader.lines.Count();
  auto piece = [&](const std::vector<std::string>& pieces, const char* name) {
    int i = state_.detailHeader.IndexOf(Sjis(name));
    EXPECT_GE(i, 0) << name;
    return i < 0 ? std::string() : pieces[static_cast<std::size_t>(i)];
  };
  for (const auto& key : keys) {
    Property p = universe.Make(key);
    std::string path = folder_.Path(p.number + ".html");
    ASSERT_TRUE(WriteFileAtomic(path, sim::DetailPage(universe, p.number)));
    ParseDetailPage(state_, path);
    std::string value = Utf8(state_.detailStore.GetView(p.number));
    std::vector<std::string> pieces = Split(value, '\t');
    ASSERT_EQ(pieces.size(), static_cast<std::size_t>(header + 1)) << value;
    EXPECT_EQ(piece(pieces, "物件番号"), p.number);
    EXPECT_EQ(piece(pieces, "物件種目"), "中古マンション");
    EXPECT_EQ(piece(pieces, "所在地１"), p.prefecture);
    EXPECT_EQ(piece(pieces, "所在地２"), p.city + p.ward);  // the space between them goes
    EXPECT_EQ(piece(pieces, "価格"), std::to_string(p.priceTenThousand));
    EXPECT_EQ(piece(pieces, "所在階"), std::to_string(p.floor));
    EXPECT_EQ(piece(pieces, "賃料"), "");
    EXPECT_EQ(piece(pieces, "交通１<>沿線名"), p.line1);
    EXPECT_EQ(piece(pieces, "交通１<>駅名"), p.station1);
    if (p.bus1 == 0) {
      EXPECT_EQ(piece(pieces, "交通１<>駅より徒歩"),
                std::to_string(p.walk1) + "分" + std::to_string(p.walk1 * 80));
      EXPECT_EQ(piece(pieces, "交通１<>バス停より徒歩"), "");  // the bare unit counts as empty
    } else {
      EXPECT_EQ(piece(pieces, "交通１<>駅より徒歩"), "");
      EXPECT_EQ(piece(pieces, "交通１<>バス停より徒歩"), std::to_string(p.walk1) + "分");
    }
    EXPECT_EQ(piece(pieces, "交通２<>沿線名"), p.line2);
    EXPECT_EQ(piece(pieces, "建物名"), p.building);
  }
}

TEST_F(ParserCrossCheckTest, DetailPageOfUnknownNumberStoresUnderDummy) {
  ListingUniverse universe(tables_, 7, 8);
  std::string path = folder_.Path("unknown.html");
  ASSERT_TRUE(WriteFileAtomic(path, sim::DetailPage(universe, "0000000000000")));
  ParseDetailPage(state_, path);
  EXPECT_EQ(state_.detailStore.Count(), 1);
  EXPECT_GE(state_.detailStore.store().IndexOf("dummy"), 0);
}

}  // namespace
}  // namespace kestrova::test
