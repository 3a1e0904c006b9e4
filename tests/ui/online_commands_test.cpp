#include "service/online_commands.h"

#include <gtest/gtest.h>

#include "foundation/settings_keys.h"
#include "foundation/text_functions.h"
#include "service/result_page_parser.h"
#include "store/property_record.h"
#include "tests/ui/online_fixture.h"

namespace kestrova::test {
namespace {

using OnlinePropertySearchTest = OnlineTest;

TEST_F(OnlinePropertySearchTest, FullRunSavesPagesDownloadsAndMergesTheStore) {
  StartReady();
  ScriptService();
  ASSERT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRan);

  // Login, both style sheets, then per form its search and the downloads of its rows: the
  // three-row page has one floor plan, so each form brings three detail pages and one PDF.
  std::vector<std::string> paths = fake.Paths();
  ASSERT_GE(paths.size(), 3u);
  EXPECT_EQ(paths[0], kLoginPath);
  EXPECT_EQ(paths[1], kStyleSheetPath);
  EXPECT_EQ(paths[2], kStyleSheetFipPath);
  EXPECT_EQ(CountPath(kSearchPath), 6);
  EXPECT_EQ(CountPath(kDetailPath), 3);  // later forms find the pages on disk
  EXPECT_EQ(CountPath(kFloorPlanPath), 1);
  EXPECT_EQ(fake.Requests()[0].body, "riyousyaId=12345678&password=secret");

  for (int i = 0; i < 6; ++i)
    EXPECT_TRUE(Exists("\\Log\\検索_20110508143000_" + std::to_string(i) + ".html")) << i;
  EXPECT_TRUE(Exists("\\pdf\\13\\大阪市北区\\100012345678.html"));
  EXPECT_TRUE(Exists("\\pdf\\13\\大阪市北区\\100012345678.pdf"));
  EXPECT_TRUE(Exists("\\pdf\\13\\豊中市\\100012345679.html"));
  EXPECT_FALSE(Exists("\\pdf\\13\\豊中市\\100012345679.pdf"));  // floor-plan mark 無
  EXPECT_TRUE(Exists("\\pdf\\11\\三島郡島本町\\100012345680.html"));
  EXPECT_TRUE(Exists("\\Tmp\\style.css"));
  EXPECT_TRUE(Exists("\\dat\\TotalData.txt"));
  EXPECT_TRUE(Exists("\\csv_total\\TotalData_csvdata.csv"));
  // The detail store is written at the end of the command, not only at close.
  EXPECT_TRUE(Exists("\\dat\\SyousaiInfo.dat"));

  std::string store;
  ReadWholeFile(File("\\dat\\TotalData.txt"), store);
  EXPECT_NE(store.find("100012345678"), std::string::npos);
  EXPECT_NE(store.find("100012345680"), std::string::npos);

  const MainFields& f = window->Fields();
  EXPECT_EQ(f.lastDate, "2011/05/07");
  EXPECT_EQ(f.searchCount, "6");
  EXPECT_EQ(Utf8(f.fee), "1200 円");
  EXPECT_EQ(Utf8(f.statusLine), "CSV情報を更新しました。");
  EXPECT_EQ(state.newRowsFound, 0);
  ASSERT_GE(view.titles.size(), 2u);
  EXPECT_EQ(view.titles[view.titles.size() - 2], "Kestrova[実行中..]");
  EXPECT_EQ(view.titles.back(), "Kestrova");
  EXPECT_EQ(view.progress.back(), std::make_pair(6, 6));
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(OnlinePropertySearchTest, StatusLineShowsCodesAndGroupLabelOfEachForm) {
  StartReady();
  ScriptService();
  window->Command(MainCommand::kPropertySearch);
  auto shown = [&](const std::string& s) {
    return std::find(view.statuses.begin(), view.statuses.end(), s) != view.statuses.end();
  };
  EXPECT_TRUE(shown("(27128,27111,)1売  /1売物件/1土地/4外全/"));
  EXPECT_TRUE(shown("(27128,27111,)1売  /1売物件/2戸建/"));
  EXPECT_TRUE(shown("(27128,27111,)1売  /3賃貸  /3マン/5外一/"));
  EXPECT_TRUE(shown("終了"));
}

TEST_F(OnlinePropertySearchTest, SecondRunSkipsFilesAlreadyOnDisk) {
  StartReady();
  ScriptService();
  window->Command(MainCommand::kPropertySearch);
  const std::size_t first = fake.Requests().size();
  window->Command(MainCommand::kPropertySearch);
  std::vector<std::string> paths = fake.Paths();
  std::vector<std::string> second(paths.begin() + static_cast<long>(first), paths.end());
  // The login and six searches only: style sheets, pages and PDFs are all on disk.
  EXPECT_EQ(second.size(), 7u);
  EXPECT_EQ(std::count(second.begin(), second.end(), kSearchPath), 6);
}

TEST_F(OnlinePropertySearchTest, UncheckedSkipFetchesEveryPageAgain) {
  StartReady();
  ScriptService();
  window->Fields().skipExisting = 0;
  window->Command(MainCommand::kPropertySearch);
  EXPECT_EQ(CountPath(kDetailPath), 18);  // three rows on each of six pages
  EXPECT_EQ(CountPath(kFloorPlanPath), 6);
}

TEST_F(OnlinePropertySearchTest, NoDownloadsWhenNeitherDetailNorPdfIsChecked) {
  StartReady();
  ScriptService();
  window->Fields().detail = 0;
  window->Fields().pdf = 0;
  window->Command(MainCommand::kPropertySearch);
  EXPECT_EQ(CountPath(kDetailPath), 0);
  EXPECT_EQ(CountPath(kFloorPlanPath), 0);
  EXPECT_TRUE(Exists("\\dat\\TotalData.txt"));
}

TEST_F(OnlinePropertySearchTest, FailingFormIsLoggedAndKeepsTheLastFetchedDate) {
  StartReady();
  ScriptService();
  window->Fields().lastDate = "2011/04/30";
  // The second search form fails; the others are answered.
  int searches = 0;
  fake.responder = [&](const TransportRequest& r) -> std::optional<TransportResult> {
    if (PathOfUrl(r.url) == kSearchPath && ++searches == 2) return Answer(500, "");
    return std::nullopt;
  };
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRan);
  EXPECT_EQ(CountPath(kSearchPath), 6);
  EXPECT_EQ(window->Fields().lastDate, "2011/04/30");
  EXPECT_FALSE(Exists("\\Log\\検索_20110508143000_1.html"));
  EXPECT_TRUE(Exists("\\Log\\検索_20110508143000_2.html"));
  // The status error line, then the line of the failed form with its body.
  ASSERT_EQ(state.errorList.Count(), 2);
  EXPECT_NE(FindText(state.errorList.View(1), "sortKey1=6&sortKey2=0"), std::string_view::npos);
  const std::string log = Utf8(window->Fields().logBox);
  EXPECT_EQ(log.rfind("エラーが 2件 発生しました。\r\n", 0), 0u) << log;
  EXPECT_NE(log.find("最終取得日付は更新していません（1/6 件の検索が失敗したため）"),
            std::string::npos)
      << log;
  // The rows of the forms that were answered still reach the store.
  EXPECT_TRUE(Exists("\\dat\\TotalData.txt"));
}

TEST_F(OnlinePropertySearchTest, FailedDownloadLeavesNoFileAndKeepsAnEarlierOne) {
  StartReady();
  ScriptService();
  fake.SetAnswer(kDetailPath, Answer(500, "oops"));
  window->Fields().skipExisting = 0;
  MakeFolder(File("\\pdf\\13\\大阪市北区"));
  WriteFileAtomic(File("\\pdf\\13\\大阪市北区\\100012345678.html"), "earlier page");
  window->Command(MainCommand::kPropertySearch);
  std::string kept;
  ReadWholeFile(File("\\pdf\\13\\大阪市北区\\100012345678.html"), kept);
  EXPECT_EQ(kept, "earlier page");
  EXPECT_FALSE(Exists("\\pdf\\13\\豊中市\\100012345679.html"));
  // Each failed detail request is logged with its body.
  bool logged = false;
  for (int i = 0; i < state.errorList.Count(); ++i) {
    logged |= FindText(state.errorList.View(i), "dataSyurui=1&bukkenNo=100012345679") !=
              std::string_view::npos;
  }
  EXPECT_TRUE(logged);
  // A failed download is no failed search: the date still moves.
  EXPECT_EQ(window->Fields().lastDate, "2011/05/07");
}

TEST_F(OnlinePropertySearchTest, UnsafePropertyNumberGetsNoDownloadButIsStored) {
  StartReady();
  ScriptService();
  std::string page = TestPage("result_listing.html");
  page = ReplaceAll(page, "100012345678", "../../escape");
  fake.SetAnswer(kSearchPath, Answer(200, page));
  window->Command(MainCommand::kPropertySearch);

  for (const TransportRequest& r : fake.Requests()) {
    EXPECT_EQ(r.body.find("escape"), std::string::npos) << r.body;
  }
  EXPECT_FALSE(std::filesystem::exists(home.native() + "/escape.html"));
  EXPECT_FALSE(std::filesystem::exists(home.native() + "/pdf/escape.html"));
  bool named = false;
  for (int i = 0; i < state.errorList.Count(); ++i) {
    named |= FindText(state.errorList.View(i), "../../escape") != std::string_view::npos;
  }
  EXPECT_TRUE(named);
  std::string store;
  ReadWholeFile(File("\\dat\\TotalData.txt"), store);
  EXPECT_NE(store.find("../../escape"), std::string::npos);
  EXPECT_TRUE(Exists("\\pdf\\13\\豊中市\\100012345679.html"));  // the other rows go on
}

TEST_F(OnlinePropertySearchTest, WrongPasswordEndsWithLoginErrorAndKeepsTheDate) {
  StartReady();
  ScriptService();
  fake.SetAnswer(kLoginPath, Answer(200, "<html>ログインできません</html>"));
  window->Fields().lastDate = "2011/04/30";
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRefused);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(Utf8(desktop.messages[0].text), "ログインエラー");
  EXPECT_EQ(fake.Paths(), std::vector<std::string>{kLoginPath});
  EXPECT_EQ(window->Fields().lastDate, "2011/04/30");
  EXPECT_NE(Utf8(window->Fields().logBox).find("ログインできなかったため"), std::string::npos);
  EXPECT_EQ(Utf8(window->Fields().fee), "0 円");
  EXPECT_EQ(view.titles.back(), "Kestrova");
  EXPECT_FALSE(fake.isOpen);
}

TEST_F(OnlinePropertySearchTest, PasswordWithFormCharactersIsPercentEncoded) {
  StartReady();
  ScriptService();
  window->Fields().password = "a&b=c+d%e f";
  window->Fields().detail = 0;
  window->Fields().pdf = 0;
  window->Command(MainCommand::kPropertySearch);
  EXPECT_EQ(fake.Requests()[0].body, "riyousyaId=12345678&password=a%26b%3Dc%2Bd%25e%20f");
}

TEST_F(OnlinePropertySearchTest, ErrorSummaryCountsEveryErrorOfTheProgramRun) {
  StartReady();
  ScriptService();
  fake.SetAnswer(kFloorPlanPath, Answer(404, ""));
  window->Command(MainCommand::kPropertySearch);
  const int errors = state.errorList.Count();
  ASSERT_GT(errors, 0);
  ScriptService();
  window->Command(MainCommand::kPropertySearch);  // no new errors: pages are on disk
  EXPECT_EQ(state.errorList.Count(), errors);
  EXPECT_EQ(Utf8(window->Fields().logBox)
                .rfind("エラーが " + std::to_string(errors) + "件 発生しました。", 0),
            0u);
}

TEST_F(OnlinePropertySearchTest, SecondCommandDuringARunIsRefused) {
  StartReady();
  ScriptService();
  CommandResult inner = CommandResult::kUnknown;
  fake.responder = [&](const TransportRequest& r) -> std::optional<TransportResult> {
    // A button pressed while the messages of the run are pumped.
    if (PathOfUrl(r.url) == kSearchPath && inner == CommandResult::kUnknown)
      inner = window->Command(MainCommand::kClosedDealSearch);
    return std::nullopt;
  };
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRan);
  EXPECT_EQ(inner, CommandResult::kRefused);
  EXPECT_EQ(CountPath(kLoginPath), 1);
  EXPECT_FALSE(window->busy());
}

using LoginChecksTest = OnlineTest;

TEST_F(LoginChecksTest, InputChecksStopInTheirOrderBeforeAnyRequest) {
  StartReady("");
  ScriptService();
  MainFields& f = window->Fields();
  // Each step leaves the earlier faults mended, so the next check is the one that fails.
  f.agreed = 0;
  f.startDate.clear();
  f.codes.clear();
  f.password.clear();
  const std::vector<std::pair<std::function<void()>, std::string>> steps = {
      {[&] {}, "規約に同意しないと利用できません"},
      {[&] { f.agreed = 1; }, "日付を設定してください"},
      {[&] { f.startDate = "2011/05/01"; }, "5桁の市町村コードを設定してください"},
      {[&] { f.codes = "27128"; }, "パスワードを設定してください"},
      {[&] { f.password = "x"; }, "ログインID未設定"},
  };
  for (const auto& [mend, message] : steps) {
    mend();
    desktop.messages.clear();
    EXPECT_EQ(window->Command(MainCommand::kFeeCheck), CommandResult::kRefused) << message;
    ASSERT_EQ(desktop.messages.size(), 1u) << message;
    EXPECT_EQ(Utf8(desktop.messages[0].text), message);
  }
  EXPECT_TRUE(fake.Requests().empty());
}

TEST_F(LoginChecksTest, FullWidthInputIsNormalisedAndStored) {
  StartReady();
  ScriptService();
  MainFields& f = window->Fields();
  f.startDate = Sjis("２０１１．０５．０１");
  f.codes = Sjis("２７１２８、27111");
  f.password = Sjis("ｐ１２３");
  window->Command(MainCommand::kFeeCheck);
  EXPECT_EQ(f.startDate, "2011,05,01");
  EXPECT_EQ(f.codes, "27128,27111");
  EXPECT_EQ(Utf8(f.password), "ｐ123");
  EXPECT_EQ(state.settings.GetView(keys::kMunicipalityCodes), "27128,27111");
}

TEST_F(LoginChecksTest, FeeCheckLogsInFetchesStyleSheetsAndSearchesNothing) {
  StartReady();
  ScriptService();
  EXPECT_EQ(window->Command(MainCommand::kFeeCheck), CommandResult::kRan);
  EXPECT_EQ(fake.Paths(),
            (std::vector<std::string>{kLoginPath, kStyleSheetPath, kStyleSheetFipPath}));
  EXPECT_EQ(Utf8(window->Fields().fee), "1200 円");
  EXPECT_EQ(Utf8(window->Fields().statusLine), "終了");
  EXPECT_EQ(window->Fields().logBox, "");
  // Style sheets on disk are not fetched again.
  window->Command(MainCommand::kFeeCheck);
  EXPECT_EQ(CountPath(kStyleSheetPath), 1);
  EXPECT_EQ(CountPath(kLoginPath), 2);
}

TEST_F(LoginChecksTest, FailedStyleSheetLeavesNoFileSoTheNextLoginTriesAgain) {
  StartReady();
  ScriptService();
  fake.SetAnswer(kStyleSheetPath, Answer(404, ""));
  window->Command(MainCommand::kFeeCheck);
  EXPECT_FALSE(Exists("\\Tmp\\style.css"));
  EXPECT_TRUE(Exists("\\Tmp\\style_fip.css"));
  fake.SetAnswer(kStyleSheetPath, Answer(200, "body{}"));
  window->Command(MainCommand::kFeeCheck);
  EXPECT_TRUE(Exists("\\Tmp\\style.css"));
}

TEST(LoginSessionTest, FeeTextReadsLeadingDigitsOnly) {
  EXPECT_EQ(Utf8(FeeText(Sjis("前日までの利用料<td class=\"x\">1200円"))), "1200 円");
  EXPECT_EQ(Utf8(FeeText(Sjis("前日までの利用料<td class=\"x\">1,234円"))), "1 円");
  EXPECT_EQ(Utf8(FeeText(Sjis("前日までの利用料<td class=\"x\">なし円"))), "0 円");
  EXPECT_EQ(Utf8(FeeText(Sjis("日報検索のみ"))), "0 円");
}

TEST(LoginSessionTest, LoadBalancingNoticeComparesParityOfShortenedIdAndHour) {
  EXPECT_EQ(LoadBalancingNotice("12345678", 14), "");
  std::string notice = Utf8(LoadBalancingNotice("12345678", 15));
  EXPECT_EQ(notice.rfind("負荷分散の為、\r\nログインID:123456\r\n(※下二桁を除いたID)", 0), 0u)
      << notice;
  EXPECT_NE(notice.find("でご利用ください"), std::string::npos);
  EXPECT_EQ(LoadBalancingNotice("12345778", 15), "");  // 123457 odd, 15 odd
  EXPECT_NE(LoadBalancingNotice("12345778", 0), "");
  // An ID of two characters or fewer shortens to nothing, read as 0 (even).
  EXPECT_EQ(LoadBalancingNotice("7", 2), "");
  EXPECT_NE(LoadBalancingNotice("7", 3), "");
}

TEST_F(LoginChecksTest, NoticeShownOnlyWhenDownloadsAreAsked) {
  clock.Advance(3600);  // 15:30, login 12345678: parities differ
  StartReady();
  ScriptService();
  window->Fields().pdf = 0;
  window->Fields().detail = 0;
  window->Command(MainCommand::kFeeCheck);
  EXPECT_TRUE(desktop.messages.empty());
  window->Fields().detail = 1;
  window->Command(MainCommand::kFeeCheck);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_NE(Utf8(desktop.messages[0].text).find("ログインID:123456"), std::string::npos);
  EXPECT_EQ(CountPath(kLoginPath), 2);  // the run goes on after the notice
}

using OnlineClosedDealSearchTest = OnlineTest;

TEST_F(OnlineClosedDealSearchTest, RecordsDealsSavesPagesAndDownloadsNothing) {
  StartReady();
  ScriptService();
  fake.SetAnswer(kSearchPath, Answer(200, TestPage("result_deals.html")));
  window->Fields().lastDate = "2011/04/30";
  EXPECT_EQ(window->Command(MainCommand::kClosedDealSearch), CommandResult::kRan);
  EXPECT_EQ(CountPath(kSearchPath), 6);
  EXPECT_EQ(CountPath(kDetailPath) + CountPath(kFloorPlanPath), 0);
  EXPECT_TRUE(Exists("\\Log\\成約_20110508143000_0.html"));
  EXPECT_FALSE(Exists("\\Log\\検索_20110508143000_0.html"));
  const int deals = state.dealStore.Count();
  ASSERT_GT(deals, 0);
  EXPECT_EQ(Utf8(window->Fields().statusLine), "成約情報：0→" + std::to_string(deals) + " 件");
  EXPECT_TRUE(Exists("\\csv_total\\TotalData_csvdata.csv"));
  EXPECT_TRUE(Exists("\\dat\\SeiyakuInfo.dat"));
  EXPECT_EQ(window->Fields().lastDate, "2011/04/30");
  // The deal searches post the closed-deal order with the closed-deal start date.
  const std::string& body = fake.Requests()[3].body;
  EXPECT_NE(body.find("dataSyuruiKubun=2&dataSyuruiStr=2&"), std::string::npos) << body;

  // The same deals again: equal counts, no CSV rewritten.
  RemoveFile(File("\\csv_total\\TotalData_csvdata.csv"));
  window->Command(MainCommand::kClosedDealSearch);
  EXPECT_EQ(Utf8(window->Fields().statusLine),
            "成約情報：" + std::to_string(deals) + "→" + std::to_string(deals) + " 件");
  EXPECT_FALSE(Exists("\\csv_total\\TotalData_csvdata.csv"));
}

using DatePresetTest = OnlineTest;

TEST_F(DatePresetTest, LastPlusOneToYesterdayAndLastToToday) {
  clock.Set(FixedClock("2011/06/05 09:00:00").Current());
  StartReady();
  window->Fields().lastDate = "2011/05/31";
  window->Command(MainCommand::kPresetLastPlusOne);
  EXPECT_EQ(window->Fields().startDate, "2011/06/01");
  EXPECT_EQ(window->Fields().endDate, "2011/06/04");
  window->Fields().startDate = "2011/05/20";
  window->Command(MainCommand::kPresetLastToToday);
  EXPECT_EQ(window->Fields().endDate, "2011/06/05");
  EXPECT_EQ(window->Fields().startDate, "2011/05/31");
  window->Fields().lastDate = "2037/01/01";
  window->Command(MainCommand::kPresetLastPlusOne);
  EXPECT_EQ(window->Fields().startDate, "");
}

}  // namespace
}  // namespace kestrova::test
