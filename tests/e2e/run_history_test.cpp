// The run history line of real headless runs against kestrova-sim: what a search fetched and
// kept, and a refused login.
#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/dates.h"
#include "foundation/folder_lock.h"
#include "tests/e2e/headless_run.h"

namespace kestrova::test {
namespace {

// The fields of the history's lines (UTF-8), each line checked for its CR LF end.
std::vector<std::vector<std::string>> HistoryOf(const std::string& home) {
  const std::string bytes = ReadNative(home + "/Log/RunHistory.txt");
  std::vector<std::vector<std::string>> lines;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) break;
    std::vector<std::string> fields;
    const std::string line = platform::Cp932ToUtf8(bytes.substr(at, end - at));
    for (std::size_t from = 0;;) {
      const std::size_t tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    lines.push_back(fields);
    at = end + 2;
  }
  EXPECT_EQ(at, bytes.size()) << "a line without CR LF";
  return lines;
}

std::string Count(std::size_t n) { return std::to_string(n); }

TEST(RunHistoryRunTest, SearchRecordsWhatItFetchedAndALoginErrorWhyItDidNot) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start());
  TempFolder home;
  WriteSettings(home.native(), SettingsFor(sim));
  const std::vector<std::string> args = {"--home", home.native(), "--login-id", "demo",
                                         "--headless"};
  auto run = [&](const std::string& command) {
    std::vector<std::string> line = args;
    line.push_back(command);
    return RunKestrova(line);
  };
  ProgramRun search = run("search");
  ASSERT_EQ(search.status, 0) << search.console;
  const std::string total = ReadNative(home.native() + "/dat/TotalData.txt");
  const std::size_t records =
      static_cast<std::size_t>(std::count(total.begin(), total.end(), '\n'));
  ASSERT_GT(records, 0u);
  std::vector<std::vector<std::string>> history = HistoryOf(home.native());
  ASSERT_EQ(history.size(), 1u);
  std::vector<std::string> f = history[0];
  ASSERT_EQ(f.size(), 14u);
  EXPECT_EQ(f[0].size(), 19u);  // YYYY/MM/DD hh:mm:ss
  EXPECT_LE(f[0], f[1]);
  EXPECT_EQ(f[2], "search");
  EXPECT_EQ(f[3], "0");
  EXPECT_EQ(f[4], "0");
  EXPECT_EQ(f[5], Count(records));
  EXPECT_EQ(f[6], Count(records));
  EXPECT_EQ(f[7], Count(FilesBelow(home.native() + "/pdf", ".html").size()));
  EXPECT_EQ(f[8], Count(FilesBelow(home.native() + "/pdf", ".pdf").size()));
  EXPECT_EQ((std::vector<std::string>(f.begin() + 9, f.end())),
            (std::vector<std::string>{"0", "0", "0", "0", "0"}));

  // The closed deals are counted before and after; the store stays as it was.
  ProgramRun deals = run("deals");
  ASSERT_EQ(deals.status, 0) << deals.console;
  const std::string dealFile = ReadNative(home.native() + "/dat/SeiyakuInfo.dat");
  const std::size_t dealCount =
      static_cast<std::size_t>(std::count(dealFile.begin(), dealFile.end(), '\n'));
  history = HistoryOf(home.native());
  ASSERT_EQ(history.size(), 2u);
  f = history[1];
  EXPECT_EQ(f[2], "deals");
  EXPECT_EQ(f[4], Count(records));
  EXPECT_EQ(f[5], Count(records));
  EXPECT_EQ(f[6], "0");
  EXPECT_EQ(f[9], "0");
  EXPECT_EQ(f[10], Count(dealCount));

  // A wrong password: refused, its error line counted, nothing new.
  std::string settings = SettingsFor(sim, "wrong-pass");
  WriteSettings(home.native(), settings);
  ProgramRun refused = run("search");
  EXPECT_EQ(refused.status, 1) << refused.console;
  history = HistoryOf(home.native());
  ASSERT_EQ(history.size(), 3u);
  f = history[2];
  EXPECT_EQ(f[2], "search");
  EXPECT_EQ(f[3], "1");
  EXPECT_EQ(f[4], f[5]);
  EXPECT_EQ(f[6], "0");
  EXPECT_EQ(f[7], "0");
  EXPECT_EQ(f[11], "1");
  EXPECT_EQ(f[13], "0");

  // A local command keeps no history line.
  ASSERT_EQ(run("tidy").status, 0);
  EXPECT_EQ(HistoryOf(home.native()).size(), 3u);
}

// The scheduled run: the dates from the day after the last fetched one to yesterday, both
// searches, one history line, and no notice without a session bus.
TEST(RunHistoryRunTest, DailyRunSearchesUpToYesterdayThenTheClosedDeals) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start());
  TempFolder home;
  const SystemClock clock;
  const std::string now = Now(clock);
  const std::string threeDaysAgo = AddToDate(now, kDays, -3).substr(0, 10);
  const std::string yesterday = AddToDate(now, kDays, -1).substr(0, 10);
  std::string settings = SettingsFor(sim, "demo-pass", threeDaysAgo);
  settings.replace(settings.find("成約開始日=2011/05/01"),
                   std::string("成約開始日=2011/05/01").size(), "成約開始日=" + threeDaysAgo);
  WriteSettings(home.native(), settings);
  ProgramRun run =
      RunKestrova({"--home", home.native(), "--login-id", "demo", "--headless", "daily", "--deals"},
                  {"DBUS_SESSION_BUS_ADDRESS="});
  ASSERT_EQ(run.status, 0) << run.console;
  EXPECT_EQ(SettingOf(home.native(), "開始日付"), AddToDate(now, kDays, -2).substr(0, 10));
  EXPECT_EQ(SettingOf(home.native(), "最終日付"), yesterday);
  EXPECT_NE(run.console.find("成約情報：0→"), std::string::npos) << run.console;
  EXPECT_NE(run.console.find("no desktop notice"), std::string::npos) << run.console;
  const std::vector<std::vector<std::string>> history = HistoryOf(home.native());
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0][2], "daily --deals");
  EXPECT_EQ(history[0][3], "0");
  EXPECT_NE(history[0][6], "0");   // new records
  EXPECT_NE(history[0][10], "0");  // closed deals after
  EXPECT_NE(
      run.console.find("Kestrova: 新着 " + history[0][6] + " 件、成約 " + history[0][10] + " 件"),
      std::string::npos)
      << run.console;

  // Again the same day: nothing left to fetch, so no property search form is sent (each one
  // is charged); the closed deals are searched again.
  const std::string forms = SettingOf(home.native(), "検索回数");
  run =
      RunKestrova({"--home", home.native(), "--headless", "daily"}, {"DBUS_SESSION_BUS_ADDRESS="});
  EXPECT_EQ(run.status, 0) << run.console;
  EXPECT_NE(run.console.find("daily: the listings up to " + yesterday + " are fetched already"),
            std::string::npos)
      << run.console;
  EXPECT_EQ(SettingOf(home.native(), "検索回数"), forms);
  EXPECT_NE(run.console.find("Kestrova: 新着 0 件\n"), std::string::npos) << run.console;
  ASSERT_EQ(HistoryOf(home.native()).size(), 2u);
  EXPECT_EQ(HistoryOf(home.native())[1][2], "daily");

  // A refused login is the notice's reason; the closed-deal search is not tried.
  WriteSettings(home.native(), SettingsFor(sim, "wrong-pass", threeDaysAgo));
  run = RunKestrova({"--home", home.native(), "--headless", "daily", "--deals"},
                    {"DBUS_SESSION_BUS_ADDRESS="});
  EXPECT_EQ(run.status, 1) << run.console;
  EXPECT_NE(run.console.find("Kestrova: 取得に失敗しました（ログインエラー）"), std::string::npos)
      << run.console;
  EXPECT_EQ(HistoryOf(home.native()).size(), 3u);

  // The window left open on the folder: the run cannot start, and the notice says why.
  FolderLock window;
  std::string holder;
  ASSERT_EQ(window.Acquire(home.path(), holder), 0);
  run =
      RunKestrova({"--home", home.native(), "--headless", "daily"}, {"DBUS_SESSION_BUS_ADDRESS="});
  EXPECT_EQ(run.status, 1) << run.console;
  EXPECT_NE(run.console.find("Kestrova: 取得に失敗しました（このプログラムフォルダは別の Kestrova "
                             "が使用中です"),
            std::string::npos)
      << run.console;
  EXPECT_EQ(HistoryOf(home.native()).size(), 3u);
}

}  // namespace
}  // namespace kestrova::test
