// The odd-number fault: the first listing of each listing result page carries a text of the
// command line as its property number, and detail and floor-plan requests for it answer as for
// any listing — on the page builders directly and through the running sim.
#include <gtest/gtest.h>

#include <filesystem>

#include "sim/civil_date.h"
#include "sim/listing_pages.h"
#include "sim/odd_listing.h"
#include "sim/setting_tables.h"
#include "sim/sim_options.h"
#include "tests/sim/result_rows.h"
#include "tests/sim/sim_process.h"

namespace kestrova::sim {
namespace {

const std::string kPlanIcon = "/reinsip/img/zumen.gif";

// Where the floor-plan cell of a row group stands: the first cell of its third table row.
std::pair<std::size_t, std::size_t> PlanCellSpan(const std::string& chunk) {
  std::size_t row = chunk.find("<tr>\n");
  if (row != std::string::npos) row = chunk.find("<tr>\n", row + 1);
  std::size_t end = row == std::string::npos ? row : chunk.find("</td>", row);
  if (end == std::string::npos) return {chunk.size(), 0};
  return {row, end - row};
}

std::string PlanCell(const std::string& chunk) {
  auto [at, size] = PlanCellSpan(chunk);
  return chunk.substr(at, size);
}

bool IsThirteenDigits(const std::string& number) {
  return number.size() == 13 && number.find_first_not_of("0123456789") == std::string::npos;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

TEST(OddNumberOptionTest, TakesTheTextAsGivenInBothForms) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(ParseSimOptions({"--odd-number", "../../escape"}, o, error), 0) << error;
  EXPECT_EQ(o.oddNumber, "../../escape");
  SimOptions inlineForm;
  ASSERT_EQ(ParseSimOptions({"--odd-number=a/b"}, inlineForm, error), 0) << error;
  EXPECT_EQ(inlineForm.oddNumber, "a/b");
  EXPECT_TRUE(SimOptions{}.oddNumber.empty());
}

TEST(OddNumberOptionTest, EmptyOrMissingTextIsAUsageError) {
  SimOptions o;
  std::string error;
  EXPECT_EQ(ParseSimOptions({"--odd-number", ""}, o, error), -1);
  EXPECT_NE(error.find("--odd-number"), std::string::npos);
  EXPECT_EQ(ParseSimOptions({"--odd-number"}, o, error), -1);
  EXPECT_NE(error.find("needs a value"), std::string::npos);
}

class OddListingPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(LoadSettingTables(std::string(KESTROVA_SOURCE_DIR) + "/Setting", tables_, error), 0)
        << error;
  }
  SearchQuery Query(std::vector<int> types, bool closed = false) const {
    SearchQuery q;
    q.closedDeals = closed;
    q.sale = types[0] < 20;
    q.typeCodes = types;
    q.codes = {"27128", "27111"};
    q.firstDay = DayNumber({2011, 5, 1});
    q.lastDay = q.firstDay + (closed ? 29 : 6);
    return q;
  }
  SettingTables tables_;
};

TEST_F(OddListingPageTest, FirstRowCarriesTheTextAndEveryOtherRowIsUnchanged) {
  ListingUniverse u(tables_, 1, 8);
  // Several pages, so that a first listing with and one without its own floor plan are seen.
  bool sawOwnPlan = false, sawAddedPlan = false;
  for (std::vector<int> types : {std::vector<int>{13, 15}, {11}, {21, 23}, {12, 14}}) {
    SearchQuery q = Query(types);
    std::vector<std::string> plain = RowChunks(ResultPage(u, q));
    OddListing odd("../../escape");
    std::vector<std::string> chunks = RowChunks(ResultPage(u, q, &odd));
    ASSERT_GT(plain.size(), 1u);
    ASSERT_EQ(chunks.size(), plain.size());
    EXPECT_EQ(NumberOf(chunks[0]), "../../escape");
    bool ownPlan = PlanCell(plain[0]).find(kPlanIcon) != std::string::npos;
    (ownPlan ? sawOwnPlan : sawAddedPlan) = true;
    // Apart from the number (and the icon where the listing had none) the row is the same.
    std::string expected = Replaced(plain[0], NumberOf(plain[0]), "../../escape");
    std::string oddPlan = PlanCell(chunks[0]);
    EXPECT_NE(oddPlan.find(kPlanIcon), std::string::npos);
    auto [at, size] = PlanCellSpan(expected);
    ASSERT_GT(size, 0u);
    expected.replace(at, size, oddPlan);
    EXPECT_EQ(chunks[0], expected);
    for (std::size_t i = 1; i < chunks.size(); ++i) {
      EXPECT_EQ(chunks[i], plain[i]) << i;
      EXPECT_TRUE(IsThirteenDigits(NumberOf(chunks[i]))) << i;
    }
  }
  EXPECT_TRUE(sawOwnPlan);
  EXPECT_TRUE(sawAddedPlan);
}

TEST_F(OddListingPageTest, TextIsEscapedWhereThePageWouldTakeItForMarkup) {
  ListingUniverse u(tables_, 1, 8);
  OddListing odd("<b>&\"x");
  std::string page = ResultPage(u, Query({13, 15}), &odd);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_EQ(NumberOf(RowChunks(page)[0]), "&lt;b&gt;&amp;&quot;x");
}

TEST_F(OddListingPageTest, ClosedDealPagesAndInactiveOptionKeepEveryNumber) {
  ListingUniverse u(tables_, 1, 8);
  OddListing odd("a/b");
  SearchQuery closed = Query({11, 14}, true);
  EXPECT_EQ(ResultPage(u, closed, &odd), ResultPage(u, closed));
  OddListing inactive("");
  SearchQuery listings = Query({13, 15});
  EXPECT_EQ(ResultPage(u, listings, &inactive), ResultPage(u, listings));
  EXPECT_FALSE(inactive.Matches(""));
}

TEST_F(OddListingPageTest, DetailOfTheTextShowsTheListingItReplaced) {
  ListingUniverse u(tables_, 1, 8);
  OddListing odd("..");
  SearchQuery q = Query({13, 15});
  std::string realNumber = NumberOf(RowChunks(ResultPage(u, q))[0]);
  ResultPage(u, q, &odd);
  ListingKey key = odd.Latest(u);
  EXPECT_EQ(u.NumberOf(key), realNumber);
  std::string detail = DetailPageOf(u, odd.Make(u, key));
  EXPECT_NE(detail.find("物件番号</td><td class=\"dtTd\">..</td>"), std::string::npos);
  EXPECT_EQ(detail, Replaced(DetailPage(u, realNumber), ">" + realNumber + "<", ">..<"));
}

TEST_F(OddListingPageTest, MatchesTheTextInUtf8AndInCp932Only) {
  OddListing odd("../物件");
  EXPECT_TRUE(odd.Matches("../物件"));
  EXPECT_TRUE(odd.Matches("../\x95\xA8\x8C\x8F"));  // "物件" in cp932
  EXPECT_FALSE(odd.Matches("../"));
  EXPECT_FALSE(odd.Matches("1234567890123"));
}

TEST_F(OddListingPageTest, BeforeAnyResultPageTheTextStillNamesAListing) {
  ListingUniverse u(tables_, 1, 8);
  OddListing odd("a/b");
  Property p = odd.Make(u, odd.Latest(u));
  EXPECT_EQ(p.number, "a/b");
  EXPECT_TRUE(p.hasFloorPlan);
  EXPECT_NE(DetailPageOf(u, p).find("物件詳細情報"), std::string::npos);
}

}  // namespace
}  // namespace kestrova::sim

namespace kestrova::test {
namespace {

const char* const kLogin = "/reinsip/an0100/an010002_login.do";
const char* const kSearch = "/reinsip/in0100/in010001_search.do";
const char* const kDetail = "/reinsip/in0300/in030001_init.do";
const char* const kPlan = "/reinsip/in0200/in020001_zumenDownload.do";

std::string SearchForm(const std::string& kind, const std::string& dataType) {
  return "sortKey1=6&sortKey2=0&dataSyuruiKubun=" + kind + "&dataSyuruiStr=" + dataType +
         "&bukkenSyubetu1Str=3&bukkenSyubetu2Str=5&syozaiti11=27128&syozaiti12=27111"
         "&syozaiti13=&tourokuTime1Y=2011&tourokuTime1M=05&tourokuTime1D=01"
         "&tourokuTime2Y=2011&tourokuTime2M=05&tourokuTime2D=31";
}

class OddNumberServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(SimBinary())) << SimBinary() << " is not built";
    ASSERT_TRUE(sim_.Start({"--odd-number", "../../escape"}));
    client_ = sim_.Client();
    auto login = client_->Post(kLogin, "riyousyaId=demo&password=demo%2Dpass", kFormType);
    ASSERT_TRUE(login) << httplib::to_string(login.error());
    session_ = {{"Cookie", SessionCookie(login)}};
  }
  SimProcess sim_;
  std::unique_ptr<httplib::SSLClient> client_;
  httplib::Headers session_;
};

TEST_F(OddNumberServerTest, FirstListingRowCarriesTheTextOthersKeepTheirNumbers) {
  auto search = client_->Post(kSearch, session_, SearchForm("1", "1"), kFormType);
  ASSERT_TRUE(search);
  ASSERT_EQ(search->status, 200);
  std::vector<std::string> chunks = sim::RowChunks(search->body);
  ASSERT_GT(chunks.size(), 1u);
  EXPECT_EQ(sim::NumberOf(chunks[0]), "../../escape");
  EXPECT_NE(chunks[0].find(sim::kPlanIcon), std::string::npos);
  for (std::size_t i = 1; i < chunks.size(); ++i) {
    EXPECT_TRUE(sim::IsThirteenDigits(sim::NumberOf(chunks[i]))) << i;
  }
}

TEST_F(OddNumberServerTest, ClosedDealRowsKeepTheirNumbers) {
  auto search = client_->Post(kSearch, session_, SearchForm("2", "2"), kFormType);
  ASSERT_TRUE(search);
  std::vector<std::string> chunks = sim::RowChunks(search->body);
  ASSERT_FALSE(chunks.empty());
  for (const std::string& chunk : chunks) EXPECT_TRUE(sim::IsThirteenDigits(sim::NumberOf(chunk)));
}

TEST_F(OddNumberServerTest, DetailAndPlanOfTheEncodedTextAnswerNormally) {
  auto search = client_->Post(kSearch, session_, SearchForm("1", "1"), kFormType);
  ASSERT_TRUE(search);
  auto detail =
      client_->Post(kDetail, session_, "dataSyurui=1&bukkenNo=%2E%2E%2F%2E%2E%2Fescape", kFormType);
  ASSERT_TRUE(detail);
  EXPECT_EQ(detail->status, 200);
  EXPECT_NE(detail->body.find("物件詳細情報"), std::string::npos);
  EXPECT_NE(detail->body.find("物件番号</td><td class=\"dtTd\">../../escape</td>"),
            std::string::npos);

  auto pdf = client_->Post(kPlan, session_, "seiyakuFlg=0&bukkenNo=..%2F..%2Fescape", kFormType);
  ASSERT_TRUE(pdf);
  EXPECT_EQ(pdf->status, 200);
  EXPECT_EQ(pdf->get_header_value("Content-Type"), "application/pdf");
  EXPECT_EQ(pdf->body.rfind("%PDF-1.4", 0), 0u);
  EXPECT_EQ(pdf->get_header_value("Content-Disposition"),
            "attachment; filename=\"../../escape.pdf\"");
}

TEST_F(OddNumberServerTest, OtherUnknownNumbersAreStillNotFound) {
  auto detail = client_->Post(kDetail, session_, "dataSyurui=1&bukkenNo=..%2Fescape", kFormType);
  ASSERT_TRUE(detail);
  EXPECT_NE(detail->body.find("指定された物件は見つかりません"), std::string::npos);
  auto pdf = client_->Post(kPlan, session_, "seiyakuFlg=0&bukkenNo=..%2Fescape", kFormType);
  ASSERT_TRUE(pdf);
  EXPECT_EQ(pdf->status, 404);
}

}  // namespace
}  // namespace kestrova::test
