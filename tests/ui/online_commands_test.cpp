#include "service/online_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "foundation/settings_keys.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "service/http_exchange.h"
#include "service/result_page_parser.h"
#include "store/error_log.h"
#include "store/property_record.h"
#include "tests/support/failing_writes.h"
#include "tests/ui/online_fixture.h"

namespace kestrova::test {
namespace {

using OnlinePropertySearchTest = OnlineTest;

const std::string kNotWritten = "書き込みできませんでした: ";

// The texts (UTF-8) of the error lines under code.
std::vector<std::string> ErrorTexts(const ProgramState& state, int code) {
  std::vector<std::string> texts;
  const std::string mark = "\t" + std::to_string(code) + "\t";
  for (int i = 0; i < state.errorList.Count(); ++i) {
    const std::string_view line = state.errorList.View(i);
    const std::size_t at = line.find(mark);
    if (at != line.npos) texts.push_back(Utf8(line.substr(at + mark.size())));
  }
  return texts;
}

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
  ASSERT_TRUE(MakeFolder(File("\\pdf\\13\\大阪市北区")));
  ASSERT_TRUE(WriteFileAtomic(File("\\pdf\\13\\大阪市北区\\100012345678.html"), "earlier page"));
  window->Command(MainCommand::kPropertySearch);
  std::string kept;
  ReadWholeFile(File("\\pdf\\13\\大阪市北区\\100012345678.html"), kept);
  EXPECT_EQ(kept, "earlier page");
  EXPECT_FALSE(Exists("\\pdf\\13\\豊中市\\100012345679.html"));
  // Each failed download is logged with its property number, its path and its cause.
  const std::vector<std::string> failed = ErrorTexts(state, kExchangeStatusError);
  const std::string line = "ダウンロードできませんでした: 物件番号 100012345679 " +
                           std::string(kDetailPath) + " (status 500)";
  EXPECT_NE(std::find(failed.begin(), failed.end(), line), failed.end())
      << (failed.empty() ? "" : failed[0]);
  // A failed download is no failed search: the date still moves.
  EXPECT_EQ(window->Fields().lastDate, "2011/05/07");
}

TEST_F(OnlinePropertySearchTest, DownloadWithoutAnAnswerLogsItsNumberPathAndCause) {
  StartReady();
  ScriptService();
  TransportResult silent;
  silent.code = kExchangeSendFailed;
  silent.failure = TransportFailure::kTimeout;
  silent.error = "nothing received for 5 s";
  fake.SetAnswer(kFloorPlanPath, silent);
  window->Command(MainCommand::kPropertySearch);
  const std::vector<std::string> failed = ErrorTexts(state, kExchangeSendFailed);
  ASSERT_FALSE(failed.empty());
  EXPECT_EQ(failed[0], "ダウンロードできませんでした: 物件番号 100012345678 " +
                           std::string(kFloorPlanPath) + " (time-out: nothing received for 5 s)");
}

TEST_F(OnlinePropertySearchTest, ControlBytesOfAPageNeverReachTheErrorLog) {
  StartReady();
  ScriptService();
  // A property number with an escape sequence and a line break, as a hostile page sends it.
  std::string page = TestPage("result_listing.html");
  page = ReplaceAll(page, "100012345678", "1\x1b[2J\r\n2");
  fake.SetAnswer(kSearchPath, Answer(200, page));
  window->Command(MainCommand::kPropertySearch);
  window->Close();
  std::string log;
  ASSERT_TRUE(ReadWholeFile(File("\\Err\\ErrLog.txt"), log));
  EXPECT_NE(log.find("1?[2J"), std::string::npos) << log;
  EXPECT_EQ(log.find('\x1b'), std::string::npos);
  for (std::size_t at = log.find('\n'); at != std::string::npos; at = log.find('\n', at + 1))
    EXPECT_TRUE(at > 0 && log[at - 1] == '\r') << at;
  // Every line is a line of the log: time, code, text.
  TextList lines;
  lines.LoadLinesFromText(log);
  for (int i = 0; i < lines.Count(); ++i)
    EXPECT_GE(std::count(lines.View(i).begin(), lines.View(i).end(), '\t'), 2) << lines.View(i);
}

TEST_F(OnlinePropertySearchTest, StoreThatCannotBeWrittenIsReportedAndKeepsTheDate) {
  StartReady();
  ScriptService();
  window->Fields().lastDate = "2011/04/30";
  {
    FailingWrites full({"\\dat\\TotalData.txt"});
    EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRan);
  }
  EXPECT_EQ(ErrorTexts(state, kStoreWriteFailed),
            std::vector<std::string>{kNotWritten +
                                     Utf8(platform::DisplayPath(File("\\dat\\TotalData.txt")))});
  for (const std::string& shown : view.statuses) EXPECT_NE(shown, "CSV情報を更新しました。");
  EXPECT_EQ(Utf8(window->Fields().statusLine), "取得したデータを保存できませんでした。");
  EXPECT_EQ(window->Fields().lastDate, "2011/04/30");
  EXPECT_NE(Utf8(window->Fields().logBox).find("（取得したデータを保存できなかったため）"),
            std::string::npos);
}

TEST_F(OnlinePropertySearchTest, DownloadsThatCannotBeSavedAreLoggedAndKeepTheDate) {
  StartReady();
  ScriptService();
  window->Fields().lastDate = "2011/04/30";
  {
    FailingWrites full({".pdf", "100012345679.html"});
    window->Command(MainCommand::kPropertySearch);
  }
  // Each answer that did not reach the disk is a line with its path (and, not saved, is asked
  // for again by the later forms of the run).
  const std::vector<std::string> texts = ErrorTexts(state, kPageWriteFailed);
  const std::string pdf =
      kNotWritten + Utf8(platform::DisplayPath(File("\\pdf\\13\\大阪市北区\\100012345678.pdf")));
  const std::string page =
      kNotWritten + Utf8(platform::DisplayPath(File("\\pdf\\13\\豊中市\\100012345679.html")));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), pdf), CountPath(kFloorPlanPath));
  EXPECT_EQ(
      std::count(texts.begin(), texts.end(), pdf) + std::count(texts.begin(), texts.end(), page),
      state.errorList.Count());
  EXPECT_EQ(window->Fields().lastDate, "2011/04/30");
  EXPECT_NE(
      Utf8(window->Fields().logBox)
          .find("（" + std::to_string(texts.size()) + " 件のダウンロードを保存できなかったため）"),
      std::string::npos);
  EXPECT_EQ(Utf8(window->Fields().statusLine), "CSV情報を更新しました。");  // the store was written
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
  EXPECT_EQ(Utf8(desktop.messages[0].text), "ログインエラー：ログインIDまたはパスワードが違います");
  EXPECT_EQ(fake.Paths(), std::vector<std::string>{kLoginPath});
  EXPECT_EQ(window->Fields().lastDate, "2011/04/30");
  EXPECT_NE(Utf8(window->Fields().logBox).find("ログインできなかったため"), std::string::npos);
  EXPECT_EQ(window->Fields().fee, "");
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

// ---- stop ----------------------------------------------------------------------------------

TEST_F(OnlinePropertySearchTest, StopEndsAfterTheRequestInFlightAndKeepsWhatItFetched) {
  StartReady();
  ScriptService();
  fake.responder = [&](const TransportRequest& r) -> std::optional<TransportResult> {
    // The stop button pressed while the second search is on its way.
    if (PathOfUrl(r.url) == kSearchPath && CountPath(kSearchPath) == 2) window->RequestStop();
    return std::nullopt;
  };
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kStopped);
  // The second form's answer arrived; none of its downloads and no third form followed.
  EXPECT_EQ(CountPath(kSearchPath), 2);
  EXPECT_EQ(CountPath(kDetailPath), 3);
  const MainFields& f = window->Fields();
  EXPECT_EQ(f.lastDate, "2011/05/01");
  EXPECT_EQ(f.searchCount, "2");
  EXPECT_EQ(Utf8(f.logBox),
            "中止しました（検索 2/6 件を送信済み）\r\n"
            "最終取得日付は更新していません（中止したため）");
  EXPECT_EQ(view.titles.back(), "Kestrova");
  EXPECT_EQ(fake.closes, 1);
  std::string store;
  ReadWholeFile(File("\\dat\\TotalData.txt"), store);
  EXPECT_NE(store.find("100012345680"), std::string::npos);  // the rows so far were merged

  // The next command starts afresh: the stop was for that run only.
  fake.responder = nullptr;
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRan);
  EXPECT_EQ(window->Fields().lastDate, "2011/05/07");
}

TEST_F(OnlinePropertySearchTest, StopWhileAnAnswerIsAwaitedEndsTheRunWithoutAFailure) {
  StartReady();
  ScriptService();
  // A service that holds the second search: the stop signal comes while its answer is
  // awaited, and the transport, asking between its waits, ends the request.
  bool asked = false;
  fake.responder = [&](const TransportRequest& r) -> std::optional<TransportResult> {
    if (PathOfUrl(r.url) != kSearchPath || CountPath(kSearchPath) != 2) return std::nullopt;
    state.stopSignal = 15;
    asked = r.stopRequested && r.stopRequested();
    TransportResult held;
    held.code = 10003;
    held.failure = TransportFailure::kStopped;
    return held;
  };
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kStopped);
  EXPECT_TRUE(asked);
  EXPECT_EQ(CountPath(kSearchPath), 2);
  // The held form went out and counts as sent; it is no failure of the service.
  EXPECT_EQ(state.errorList.Count(), 0) << Utf8(state.errorList.View(0));
  EXPECT_EQ(Utf8(window->Fields().logBox),
            "中止しました（検索 2/6 件を送信済み）\r\n"
            "最終取得日付は更新していません（中止したため）");
}

TEST_F(OnlinePropertySearchTest, StopWhileTheLoginIsAwaitedIsNoLoginError) {
  StartReady();
  ScriptService();
  fake.responder = [&](const TransportRequest&) -> std::optional<TransportResult> {
    state.stopSignal = 15;
    TransportResult held;
    held.code = 10003;
    held.failure = TransportFailure::kStopped;
    return held;
  };
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kStopped);
  EXPECT_EQ(fake.Paths(), std::vector<std::string>{kLoginPath});
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_EQ(state.errorList.Count(), 0);
  EXPECT_EQ(Utf8(window->Fields().logBox).rfind("中止しました（ログイン前）", 0), 0u);
}

TEST_F(OnlinePropertySearchTest, TwoTimeOutsInARowEndTheDownloadsOfThatKind) {
  StartReady();
  ScriptService();
  // Detail pages: a time-out, an answer (which starts the count again), then time-outs only.
  int details = 0;
  fake.responder = [&](const TransportRequest& r) -> std::optional<TransportResult> {
    if (PathOfUrl(r.url) != kDetailPath || ++details == 2) return std::nullopt;
    TransportResult late;
    late.code = 10003;
    late.failure = TransportFailure::kTimeout;
    late.error = "nothing received for 5 s";
    return late;
  };
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRan);
  // Row 1 times out, row 2 answers, row 3 and the next form's row 1 time out: no more asked.
  EXPECT_EQ(CountPath(kDetailPath), 4);
  EXPECT_EQ(CountPath(kSearchPath), 6);
  EXPECT_EQ(CountPath(kFloorPlanPath), 1);  // the other kind goes on
  EXPECT_EQ(ErrorTexts(state, 10003).size(), 3u);
  EXPECT_EQ(ErrorTexts(state, kDownloadsGivenUpCode),
            std::vector<std::string>{"詳細ページの取得が 2 回続けてタイムアウトしたため、"
                                     "この実行では以降の詳細ページを取得しません"});
  // The log box shows it as the run's last error.
  EXPECT_NE(Utf8(window->Fields().logBox).find("以降の詳細ページを取得しません"),
            std::string::npos);

  // The next run asks again.
  details = 1;
  fake.responder = nullptr;
  window->Command(MainCommand::kPropertySearch);
  EXPECT_GT(CountPath(kDetailPath), 4);
}

TEST_F(OnlinePropertySearchTest, StopSignalDuringTheLoginWaitSendsNothing) {
  StartReady();
  ScriptService();
  state.stopSignal = 15;
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kStopped);
  EXPECT_TRUE(fake.Paths().empty());
  EXPECT_EQ(Utf8(window->Fields().logBox).rfind("中止しました（ログイン前）", 0), 0u);
  EXPECT_EQ(window->Fields().lastDate, "2011/05/01");
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

TEST_F(LoginChecksTest, ValueChecksFollowThePresenceChecksAndStopBeforeAnyRequest) {
  StartReady();
  ScriptService();
  MainFields& f = window->Fields();
  f.agreed = 0;
  f.startDate = "9999/99/12/04";
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRefused);
  EXPECT_EQ(Utf8(desktop.messages.back().text), "規約に同意しないと利用できません");
  f.agreed = 1;
  const std::string dateHint = "が正しくありません（年/月/日で入力してください）：";
  const std::string codeHint = "市町村コードは5桁の数字をカンマで区切って入力してください：";
  struct Case {
    std::function<void()> set;
    MainCommand command;
    std::string message;
  };
  const std::vector<Case> cases = {
      {[&] { f.startDate = "9999/99/12/04"; }, MainCommand::kPropertySearch,
       "取得開始日付" + dateHint + "9999/99/12/04"},
      {[&] { f.startDate = "2026/02/30"; }, MainCommand::kFeeCheck,
       "取得開始日付" + dateHint + "2026/02/30"},
      {[&] { f.startDate = "2011/05/01 10:00"; }, MainCommand::kPropertySearch,
       "取得開始日付" + dateHint + "2011/05/01,10,00"},  // blank and ":" became ","
      {[&] { f.startDate = "2011/05/01", f.endDate = "2023/02/29"; }, MainCommand::kPropertySearch,
       "取得終了日付" + dateHint + "2023/02/29"},
      {[&] { f.endDate = "2024/02/29", f.dealStartDate = "2011/13/01"; },
       MainCommand::kClosedDealSearch, "成約取得開始日" + dateHint + "2011/13/01"},
      {[&] { f.dealStartDate = "2011/1/1", f.codes = "2712"; }, MainCommand::kPropertySearch,
       codeHint + "2712"},
      {[&] { f.codes = "27128,2711a"; }, MainCommand::kPropertySearch, codeHint + "2711a"},
      {[&] { f.codes = "27128,,27111"; }, MainCommand::kPropertySearch, codeHint + "（空の項目）"},
  };
  for (const Case& c : cases) {
    c.set();
    desktop.messages.clear();
    EXPECT_EQ(window->Command(c.command), CommandResult::kRefused) << c.message;
    ASSERT_EQ(desktop.messages.size(), 1u) << c.message;
    EXPECT_EQ(Utf8(desktop.messages[0].text), c.message);
  }
  EXPECT_TRUE(fake.Requests().empty());
  // A leap day and a one-digit month and day are real dates.
  f.codes = "27128";
  EXPECT_EQ(window->Command(MainCommand::kClosedDealSearch), CommandResult::kRan);
}

TEST_F(LoginChecksTest, FormsAboveTheLimitAreRefusedWithCountAndFee) {
  StartReady();
  ScriptService();
  MainFields& f = window->Fields();
  // 100,001 codes: 33,334 code groups of six forms each, counted without building them.
  std::string many = "27128";
  for (int i = 0; i < 100000; ++i) many += ",27111";
  f.codes = many;
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRefused);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(Utf8(desktop.messages[0].text)
                .rfind("検索 200004 回（約2000040円）は1回の実行の上限 300 回", 0),
            0u)
      << Utf8(desktop.messages[0].text);
  // Seven codes make three groups, 18 forms: refused above a limit of 17, sent at 18.
  f.codes = "27128,27111,27100,27101,27102,27103,27104";
  state.settings.Set(Sjis("//ini/設定2/検索上限"), "17");
  desktop.messages.clear();
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRefused);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(Utf8(desktop.messages[0].text).rfind("検索 18 回（約180円）", 0), 0u);
  EXPECT_TRUE(fake.Requests().empty());
  state.settings.Set(Sjis("//ini/設定2/検索上限"), "18");
  f.detail = f.pdf = 0;
  EXPECT_EQ(window->Command(MainCommand::kPropertySearch), CommandResult::kRan);
  EXPECT_EQ(CountPath(kSearchPath), 18);
}

TEST_F(LoginChecksTest, ServiceUrlOtherThanHttpsIsRefusedBeforeAnyRequest) {
  StartReady();
  ScriptService();
  state.settings.Set(Sjis("//ini/設定2/接続先URL"), "http://127.0.0.1:8080");
  EXPECT_EQ(window->Command(MainCommand::kFeeCheck), CommandResult::kRefused);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(Utf8(desktop.messages[0].text).rfind("接続先URLが https ではないため接続しません", 0),
            0u);
  EXPECT_EQ(fake.opens, 0);
  EXPECT_TRUE(fake.Requests().empty());
  ASSERT_EQ(state.errorList.Count(), 1);
  EXPECT_NE(Utf8(state.errorList.View(0)).find("\t10001\tnot https: http://127.0.0.1:8080"),
            std::string::npos);
  state.settings.Set(Sjis("//ini/設定2/接続先URL"), " HTTPS://system.reins.jp/ ");
  EXPECT_EQ(window->Command(MainCommand::kFeeCheck), CommandResult::kRan);
}

TEST_F(LoginChecksTest, FailedLoginSaysWhichFailureItWasAndShowsNoFee) {
  StartReady();
  ScriptService();
  auto failure = [](TransportFailure why, const char* error) {
    TransportResult r;
    r.code = 10003;
    r.failure = why;
    r.error = error;
    return r;
  };
  struct Case {
    TransportResult answer;
    std::string message;
    std::string line;  // code and text of the error line
  };
  const std::vector<Case> cases = {
      {failure(TransportFailure::kCertificate, "SSL certificate problem"),
       "接続先のサーバー証明書を信頼できません",
       "10003\tPassword Login Error.. certificate not trusted: SSL certificate problem"},
      {failure(TransportFailure::kTimeout, "nothing received for 1 s"),
       "接続先から応答がありません（タイムアウト）",
       "10003\tPassword Login Error.. time-out: nothing received for 1 s"},
      {failure(TransportFailure::kConnection, "Empty reply from server"),
       "接続先に接続できませんでした",
       "10003\tPassword Login Error.. connection failed: Empty reply from server"},
      {Answer(503, ""), "接続先がエラーを返しました（ステータス 503）",
       "10004\tPassword Login Error.. status 503"},
      {Answer(200, "<html>ID/PWが違います</html>"), "ログインIDまたはパスワードが違います",
       "20003\tPassword Login Error.. wrong ID or password (no menu after login)"},
  };
  for (const Case& c : cases) {
    window->Fields().fee = "1200 円";  // from an earlier login
    fake.SetAnswer(kLoginPath, c.answer);
    desktop.messages.clear();
    EXPECT_EQ(window->Command(MainCommand::kFeeCheck), CommandResult::kRefused) << c.message;
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(Utf8(desktop.messages[0].text), "ログインエラー：" + c.message);
    const std::string line = Utf8(state.errorList.View(state.errorList.Count() - 1));
    EXPECT_EQ(line.substr(line.find('\t') + 1), c.line);
    EXPECT_EQ(window->Fields().fee, "") << c.message;
  }
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
