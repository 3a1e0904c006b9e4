// The markup of the sim's pages and the bytes of its PDFs, read the way a client reads them.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "foundation/platform/platform.h"
#include "sim/civil_date.h"
#include "sim/floor_plan_pdf.h"
#include "sim/listing_pages.h"
#include "sim/listing_text.h"
#include "sim/service_pages.h"
#include "sim/setting_tables.h"

namespace kestrova::sim {
namespace {

const std::string kRowMarker = "<td class=\"rlTeB\" rowspan=\"2\" nowrap>";

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
  return n;
}

std::vector<std::string> Chunks(const std::string& page) {
  std::vector<std::string> chunks;
  std::size_t at = page.find(kRowMarker);
  while (at != std::string::npos) {
    std::size_t next = page.find(kRowMarker, at + 1);
    chunks.push_back(page.substr(at + kRowMarker.size(), next == std::string::npos
                                                             ? std::string::npos
                                                             : next - at - kRowMarker.size()));
    at = next;
  }
  return chunks;
}

class PagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(LoadSettingTables(std::string(KESTROVA_SOURCE_DIR) + "/Setting", tables_, error), 0)
        << error;
  }
  SearchQuery Query(std::vector<int> types, int days, bool closed = false) const {
    SearchQuery q;
    q.closedDeals = closed;
    q.sale = types[0] < 20;
    q.typeCodes = types;
    q.codes = {"27128", "27111"};
    q.firstDay = DayNumber({2011, 5, 1});
    q.lastDay = q.firstDay + days - 1;
    return q;
  }
  SettingTables tables_;
};

TEST_F(PagesTest, EachRowGroupHasFiveRowsWithTheCellCountsOfTheRecord) {
  ListingUniverse u(tables_, 1, 8);
  std::vector<std::string> chunks = Chunks(ResultPage(u, Query({13, 15}, 7)));
  ASSERT_GT(chunks.size(), 5u);
  for (const std::string& chunk : chunks) {
    ASSERT_NE(chunk.find("td class=\"rbTeT\""), std::string::npos);
    // Cells per row: the counter, the type and six fields; five; the plan and five; five; seven.
    std::vector<std::size_t> cells;
    std::size_t start = 0;
    for (int k = 0; k < 5; ++k) {
      std::size_t end = chunk.find("</tr>", start);
      ASSERT_NE(end, std::string::npos);
      cells.push_back(Count(chunk.substr(start, end - start), "</td>"));
      start = end + 5;
    }
    EXPECT_EQ(cells, (std::vector<std::size_t>{8, 5, 6, 5, 7}));
  }
}

TEST_F(PagesTest, TypeLabelStandsOnlyWhereTheTypeChanges) {
  ListingUniverse u(tables_, 1, 8);
  std::vector<std::string> chunks = Chunks(ResultPage(u, Query({13, 15}, 7)));
  std::vector<int> labelled;
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    bool condo = chunks[i].find("売り・マンション</") != std::string::npos;
    bool part = chunks[i].find("売り・建物一部</") != std::string::npos;
    if (condo || part) labelled.push_back(static_cast<int>(i));
  }
  ASSERT_EQ(labelled.size(), 2u);
  EXPECT_EQ(labelled[0], 0);
  EXPECT_GT(labelled[1], 1);
}

TEST_F(PagesTest, PageHeaderHoldsNoRowMarkerNoTypeLabelAndNoHundredBelowHundred) {
  ListingUniverse u(tables_, 1, 8);
  std::string page = ResultPage(u, Query({13, 15}, 7));
  std::string header = page.substr(0, page.find(kRowMarker));
  EXPECT_EQ(header.find("rbTeT"), std::string::npos);
  EXPECT_EQ(header.find("売り・"), std::string::npos);
  EXPECT_EQ(header.find("賃貸・"), std::string::npos);
  EXPECT_EQ(page.find("100 件目"), std::string::npos);
}

TEST_F(PagesTest, MoreThanHundredHitsShowTheFirstHundredAndSaySo) {
  ListingUniverse u(tables_, 1, 60);
  std::string page = ResultPage(u, Query({23, 25}, 7));
  EXPECT_EQ(Count(page, kRowMarker), 100u);
  EXPECT_NE(page.find("100 件目"), std::string::npos);
}

TEST_F(PagesTest, NoHitsGiveAPageWithoutRows) {
  ListingUniverse u(tables_, 1, 0);
  std::string page = ResultPage(u, Query({13}, 7));
  EXPECT_EQ(page.find(kRowMarker), std::string::npos);
  EXPECT_NE(page.find("該当する物件はありませんでした"), std::string::npos);
}

TEST_F(PagesTest, ClosedDealRowsCarryClosingDateAndPrice) {
  ListingUniverse u(tables_, 1, 8);
  SearchQuery q = Query({11, 14}, 30, true);
  auto keys = u.ClosedDeals(q.codes, q.firstDay, q.lastDay, q.typeCodes);
  std::vector<std::string> chunks = Chunks(ResultPage(u, q));
  ASSERT_EQ(chunks.size(), keys.size());
  ASSERT_FALSE(chunks.empty());
  Property p = u.Make(keys[0]);
  EXPECT_NE(
      chunks[0].find("<td class=\"rbTeT\">" + PriceText(p.closingPriceTenThousand, true) + "</td>"),
      std::string::npos);
  // Field 18 opens the fourth row.
  EXPECT_NE(chunks[0].find("<tr>\n<td class=\"rbTeM\">" + FormatSlashDate(p.closingDay) + "</td>"),
            std::string::npos);
  EXPECT_NE(chunks[0].find("成約"), std::string::npos);
}

TEST_F(PagesTest, EveryPageConvertsToCp932WithoutLoss) {
  ListingUniverse u(tables_, 4, 30);
  std::vector<std::string> pages = {ResultPage(u, Query({13, 15}, 14)),
                                    ResultPage(u, Query({21, 24}, 14)),
                                    ResultPage(u, Query({22, 23}, 14)),
                                    ResultPage(u, Query({11, 12}, 14)),
                                    MenuPage("demo", 1200),
                                    LoginFailedPage(),
                                    LoginFormPage(),
                                    SearchProblemPage("x")};
  for (const auto& key :
       u.Listings({"27128", "13101", "01101", "47381"}, DayNumber({2011, 5, 1}),
                  DayNumber({2011, 5, 3}), {11, 12, 13, 14, 15, 21, 22, 23, 24, 25})) {
    pages.push_back(DetailPage(u, u.NumberOf(key)));
  }
  for (const std::string& page : pages) {
    std::string sjis = platform::Utf8ToCp932(page, "\x7F");
    EXPECT_EQ(sjis.find('\x7F'), std::string::npos) << page.substr(0, 300);
    EXPECT_EQ(platform::Cp932ToUtf8(sjis), page);
  }
}

TEST_F(PagesTest, DetailLabelsEndTheirCellsAndLandmarksComeInOrder) {
  ListingUniverse u(tables_, 1, 8);
  auto keys = u.Listings({"27128"}, DayNumber({2011, 5, 1}), DayNumber({2011, 5, 7}), {13});
  ASSERT_FALSE(keys.empty());
  Property p = u.Make(keys[0]);
  std::string page = DetailPage(u, p.number);
  EXPECT_NE(page.find("<td class=\"dtTh\">価格</td><td class=\"dtTd\">" +
                      PriceText(p.priceTenThousand, true) + "</td>"),
            std::string::npos);
  std::size_t first = page.find("交通１"), second = page.find("交通２");
  ASSERT_NE(first, std::string::npos);
  if (!p.line2.empty()) {
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    // The station of the first transport entry is the first 駅名 after its landmark.
    std::size_t station = page.find("駅名</td><td class=\"dtTd\">", first);
    EXPECT_EQ(page.compare(station + std::string("駅名</td><td class=\"dtTd\">").size(),
                           p.station1.size(), p.station1),
              0);
  }
  // A label without a landmark is never inside a landmark block.
  EXPECT_LT(page.find("物件番号</td"), first);
}

TEST(FloorPlanPdfTest, CrossReferenceOffsetsPointAtTheirObjects) {
  SettingTables tables;
  UseBuiltInMunicipalities(tables);
  ListingUniverse u(tables, 1, 8);
  Property p = u.Make({"27128", DayNumber({2011, 5, 1}), 2});
  std::string pdf = FloorPlanPdf(p);
  ASSERT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
  ASSERT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
  std::size_t sx = pdf.rfind("startxref\n");
  ASSERT_NE(sx, std::string::npos);
  std::size_t xref = std::stoul(pdf.substr(sx + 10));
  ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
  std::smatch m;
  std::string table = pdf.substr(xref);
  ASSERT_TRUE(std::regex_search(table, m, std::regex("^xref\n0 (\\d+)\n")));
  int objects = std::stoi(m[1]);
  ASSERT_EQ(objects, 6);
  std::size_t entries = xref + m.length(0);
  EXPECT_EQ(pdf.substr(entries, 20), "0000000000 65535 f \n");
  for (int i = 1; i < objects; ++i) {
    std::string entry = pdf.substr(entries + 20 * static_cast<std::size_t>(i), 20);
    ASSERT_EQ(entry.substr(10), " 00000 n \n");
    std::size_t offset = std::stoul(entry.substr(0, 10));
    EXPECT_EQ(pdf.compare(offset, std::to_string(i).size() + 6, std::to_string(i) + " 0 obj"), 0)
        << i;
  }
  // The stream length is the byte count between "stream\n" and "endstream".
  std::size_t len = pdf.find("/Length ");
  std::size_t streamStart = pdf.find("stream\n", len) + 7;
  EXPECT_EQ(pdf.find("endstream", streamStart) - streamStart, std::stoul(pdf.substr(len + 8)));
  EXPECT_NE(pdf.find("Property No. " + p.number), std::string::npos);
}

TEST(FloorPlanPdfTest, DiffersPerProperty) {
  SettingTables tables;
  UseBuiltInMunicipalities(tables);
  ListingUniverse u(tables, 1, 8);
  std::set<std::string> drawings;
  for (int i = 0; i < 8; ++i) {
    std::string pdf = FloorPlanPdf(u.Make({"27128", DayNumber({2011, 5, 1}), i}));
    drawings.insert(pdf.substr(pdf.find("stream\n"), pdf.find("BT") - pdf.find("stream\n")));
  }
  EXPECT_GE(drawings.size(), 7u);
}

}  // namespace
}  // namespace kestrova::sim
