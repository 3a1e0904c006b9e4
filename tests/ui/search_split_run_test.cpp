// Runs whose result pages the service cuts at 100 hits: the cut searches are searched again in
// parts, and the last fetched date moves only when nothing was lost. (A redirected search is
// run end to end against kestrova-sim --expire-after.)
#include <gtest/gtest.h>

#include "foundation/settings_keys.h"
#include "foundation/text_functions.h"
#include "service/online_commands.h"
#include "service/search_split.h"
#include "tests/ui/online_fixture.h"
#include "ui/headless.h"

namespace kestrova::test {
namespace {

std::string FieldValue(const std::string& body, const std::string& name) {
  std::string padded = "&" + body;
  std::size_t at = padded.find("&" + name + "=");
  if (at == std::string::npos) return "";
  at += name.size() + 2;
  return padded.substr(at, padded.find('&', at) - at);
}

// Days a search body covers (the ranges of these tests stay within one month).
int DaysOf(const std::string& body) {
  return std::stoi(FieldValue(body, "tourokuTime2D")) -
         std::stoi(FieldValue(body, "tourokuTime1D")) + 1;
}

class SearchSplitRunTest : public OnlineTest {
 protected:
  void SetUp() override {
    StartReady();
    ScriptService();
    MainFields& f = window->Fields();
    f.rent = 0;  // three forms: land, condominium, house
    f.pdf = 0;
    f.skipExisting = 0;  // every row taken brings its detail page, so rows can be counted
    f.lastDate = "2011/04/30";
  }
  // The service cuts the search pages for which cut(body) holds.
  void CutWhen(std::function<bool(const std::string&)> cut,
               const char* page = "result_listing.html") {
    std::string cutPage = TestPage(page) + "<p>全 150 件（1 件目-100 件目を表示）</p>";
    fake.responder = [cut, cutPage](const TransportRequest& r) -> std::optional<TransportResult> {
      if (PathOfUrl(r.url) == kSearchPath && cut(r.body)) return Answer(200, cutPage);
      return std::nullopt;
    };
  }
  static bool Land(const std::string& body) { return FieldValue(body, "bukkenSyubetu1Str") == "1"; }
  bool Shown(const std::string& status) const {
    return std::find(view.statuses.begin(), view.statuses.end(), status) != view.statuses.end();
  }
  std::string Log() const { return Utf8(window->Fields().logBox); }
};

TEST_F(SearchSplitRunTest, CutSearchesAreSentAgainInPartsAndOnlyUncutPagesGiveRows) {
  CutWhen([](const std::string& b) { return Land(b) && DaysOf(b) > 2; });
  ASSERT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRan);

  // 01-07 cut: 01-04 cut (01-02, 03-04), 05-07 cut (05-06, 07-07); then condominium, house.
  EXPECT_EQ(CountPath(kSearchPath), 9);
  EXPECT_EQ(window->Fields().searchCount, "9");
  EXPECT_EQ(view.progress.front(), std::make_pair(1, 3));
  EXPECT_EQ(view.progress.back(), std::make_pair(9, 9));
  for (int i = 0; i < 9; ++i)
    EXPECT_TRUE(Exists("\\Log\\検索_20110508143000_" + std::to_string(i) + ".html")) << i;
  EXPECT_EQ(FieldValue(fake.Requests()[5].body, "tourokuTime2D"), "02");
  EXPECT_TRUE(Shown("(27128,27111,)1売  /1売物件/1土地/4外全/ 2011/05/07～2011/05/07"));
  // Six pages taken, three rows each; the three split pages gave none.
  EXPECT_EQ(CountPath(kDetailPath), 18);

  EXPECT_EQ(state.errorList.Count(), 0);
  EXPECT_EQ(window->Fields().lastDate, "2011/05/07");
  EXPECT_NE(Log().find("100件で打ち切られた検索を分割し、検索を 6 回追加しました"),
            std::string::npos)
      << Log();
  EXPECT_EQ(Log().find("最終取得日付は更新していません"), std::string::npos) << Log();
}

TEST_F(SearchSplitRunTest, OnlyADayOfOneCodeIsLostAndThenTheDateStays) {
  MainFields& f = window->Fields();
  f.startDate = f.endDate = "2011/05/03";
  f.codes = "27128,27111,27203";
  // The three codes together are cut, and 27111 alone still is.
  CutWhen([](const std::string& b) {
    return Land(b) &&
           (!FieldValue(b, "syozaiti12").empty() || FieldValue(b, "syozaiti11") == "27111");
  });
  window->Command(MainCommand::kPropertySearch);

  EXPECT_EQ(CountPath(kSearchPath), 6);
  ASSERT_EQ(state.errorList.Count(), 1);
  EXPECT_NE(FindText(state.errorList.View(0), "\t20001\t"), std::string_view::npos);
  // The lost page still gives the rows it shows: five pages taken.
  EXPECT_EQ(CountPath(kDetailPath), 15);
  EXPECT_EQ(window->Fields().lastDate, "2011/04/30");
  EXPECT_NE(Log().find("検索を 3 回追加しました"), std::string::npos) << Log();
  EXPECT_NE(Log().find("最終取得日付は更新していません（1 件の検索結果が100件で打ち切られたため）"),
            std::string::npos)
      << Log();
}

TEST_F(SearchSplitRunTest, HeadlessSearchExitsWithFourOnlyWhenListingsWereLost) {
  MainFields& f = window->Fields();
  f.startDate = f.endDate = "2011/05/03";
  f.codes = "27111";
  window->Close();  // the settings of the headless runs below
  window.reset();
  auto headless = [this] {
    ProgramState run;
    run.clock = &clock;
    run.desktop = &desktop;
    std::FILE* out = std::tmpfile();
    const int status = RunHeadless(
        run, {"search", {home.path() + "\\kestrova"}, {"12345678", ""}, {}, out},
        [this](const SettingsStore&) {
          return std::unique_ptr<Transport>(new ForwardingTransport(fake));
        },
        out);
    std::fclose(out);
    return status;
  };
  // A single day of a single code is still cut: it cannot be split further.
  CutWhen([](const std::string& b) { return Land(b); });
  EXPECT_EQ(headless(), 4);
  fake.responder = nullptr;
  EXPECT_EQ(headless(), 0);
}

TEST_F(SearchSplitRunTest, SplittingOffTakesEveryCutPageAsItIs) {
  state.settings.Set(keys::kSplitOnCut, "0");
  CutWhen([](const std::string& b) { return Land(b); });
  window->Command(MainCommand::kPropertySearch);

  EXPECT_EQ(CountPath(kSearchPath), 3);
  EXPECT_EQ(CountPath(kDetailPath), 9);
  ASSERT_EQ(state.errorList.Count(), 1);
  EXPECT_NE(FindText(state.errorList.View(0), "\t20001\t"), std::string_view::npos);
  EXPECT_EQ(window->Fields().lastDate, "2011/04/30");
  EXPECT_EQ(Log().find("回追加しました"), std::string::npos) << Log();
}

TEST_F(SearchSplitRunTest, ClosedDealSearchesAreSplitToo) {
  window->Fields().dealStartDate = "2011/05/01";
  CutWhen([](const std::string& b) { return Land(b) && DaysOf(b) > 4; }, "result_deals.html");
  window->Command(MainCommand::kClosedDealSearch);

  EXPECT_EQ(CountPath(kSearchPath), 5);
  EXPECT_TRUE(Exists("\\Log\\成約_20110508143000_4.html"));
  EXPECT_EQ(state.errorList.Count(), 0);
  EXPECT_GT(state.dealStore.Count(), 0);
  EXPECT_NE(Log().find("検索を 2 回追加しました"), std::string::npos) << Log();
}

}  // namespace
}  // namespace kestrova::test
