#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "foundation/folder_lock.h"
#include "tests/e2e/headless_run.h"

namespace kestrova::test {
namespace {

namespace fs = std::filesystem;

class HeadlessRunTest : public ::testing::Test {
 protected:
  // Starts the sim with the extra options and writes the home's settings for it.
  void Start(const std::vector<std::string>& simOptions = {},
             const std::string& password = "demo-pass") {
    ASSERT_TRUE(sim.Start(simOptions));
    WriteSettings(home.native(), SettingsFor(sim, password));
  }
  ProgramRun Run(const std::string& command,
                 const std::vector<std::string>& extra = {"--login-id", "demo"}) {
    std::vector<std::string> args = {"--home", home.native()};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back("--headless");
    args.push_back(command);
    return RunKestrova(args);
  }
  std::string At(const std::string& relative) const { return home.native() + "/" + relative; }
  std::size_t Lines(const std::string& relative) const {
    std::string text = ReadNative(At(relative));
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }
  std::map<std::string, fs::file_time_type> Times(const std::string& folder) const {
    std::map<std::string, fs::file_time_type> times;
    for (const std::string& f : FilesBelow(At(folder))) times[f] = fs::last_write_time(f);
    return times;
  }

  TempFolder home;
  SimProcess sim;
};

TEST_F(HeadlessRunTest, SearchWritesPagesDownloadsStoreAndCsvFiles) {
  Start();
  ProgramRun run = Run("search");
  ASSERT_EQ(run.status, 0) << run.console;

  EXPECT_EQ(FilesBelow(At("Log"), ".html").size(), 6u);
  const std::size_t pages = FilesBelow(At("pdf"), ".html").size();
  const std::size_t pdfs = FilesBelow(At("pdf"), ".pdf").size();
  EXPECT_GT(pages, 10u);
  EXPECT_GT(pdfs, 0u);
  EXPECT_LE(pdfs, pages);
  // The store holds one record per property; every property got its detail page.
  EXPECT_EQ(Lines("dat/TotalData.txt"), pages);
  EXPECT_TRUE(fs::exists(At("dat/SyousaiInfo.dat")));
  EXPECT_TRUE(fs::exists(At("csv_total/TotalData_csvdata.csv")));
  EXPECT_TRUE(fs::exists(At("csv_total/TotalData_kanri_csvdata.csv")));
  EXPECT_EQ(FilesBelow(At("csv"), "_csvdata.csv").size(), 1u);
  EXPECT_EQ(FilesBelow(At("csv"), ".txt").size(), 1u);
  EXPECT_TRUE(fs::exists(At("Tmp/style.css")));
  EXPECT_FALSE(fs::exists(At("Err/ErrLog.txt"))) << ReadNative(At("Err/ErrLog.txt"));

  EXPECT_NE(run.console.find("検索 1/6 (27128,27111,)1売  /1売物件/1土地/4外全/"),
            std::string::npos)
      << run.console;
  EXPECT_NE(run.console.find("検索 6/6 "), std::string::npos);
  EXPECT_NE(run.console.find("CSV情報を更新しました。"), std::string::npos);
  EXPECT_EQ(SettingOf(home.native(), "最終日付"), "2011/05/02");
  EXPECT_EQ(SettingOf(home.native(), "検索回数"), "6");
  EXPECT_EQ(platform::Cp932ToUtf8(ReadNative(At("dat/LoginId.txt"))), "demo\r\n");
}

TEST_F(HeadlessRunTest, SecondRunLeavesExistingDownloadsAlone) {
  Start();
  ASSERT_EQ(Run("search").status, 0);
  const auto before = Times("pdf");
  ASSERT_FALSE(before.empty());
  // The ID is remembered: the second run needs no --login-id.
  ProgramRun second = Run("search", {});
  ASSERT_EQ(second.status, 0) << second.console;
  EXPECT_EQ(Times("pdf"), before);
  EXPECT_EQ(second.console.find("取得中"), std::string::npos) << second.console;
  EXPECT_EQ(SettingOf(home.native(), "検索回数"), "12");
}

TEST_F(HeadlessRunTest, ClosedDealSearchRecordsDealsAndDownloadsNothing) {
  Start();
  ProgramRun run = Run("deals");
  ASSERT_EQ(run.status, 0) << run.console;
  std::vector<std::string> logs = FilesBelow(At("Log"), ".html");
  ASSERT_EQ(logs.size(), 6u);
  for (const std::string& f : logs) EXPECT_NE(f.find("/成約_"), std::string::npos) << f;
  EXPECT_TRUE(FilesBelow(At("pdf")).empty());
  EXPECT_GT(Lines("dat/SeiyakuInfo.dat"), 0u);
  EXPECT_NE(run.console.find("成約情報：0→"), std::string::npos) << run.console;
  EXPECT_EQ(SettingOf(home.native(), "最終日付"), "2011/04/30");
  // The close's monthly tidy may leave an empty store file; no record reaches it.
  EXPECT_EQ(Lines("dat/TotalData.txt"), 0u);
}

TEST_F(HeadlessRunTest, WrongPasswordIsALoginErrorAndKeepsTheLastDate) {
  Start({}, "wrong-pass");
  ProgramRun run = Run("search");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.console.find("ログインエラー"), std::string::npos) << run.console;
  EXPECT_EQ(SettingOf(home.native(), "最終日付"), "2011/04/30");
  // No result page; the run history's line is the only file there.
  EXPECT_EQ(FilesBelow(At("Log")), std::vector<std::string>{At("Log/RunHistory.txt")});
}

TEST_F(HeadlessRunTest, FailingSearchFormsAreLoggedAndKeepTheLastDate) {
  Start({"--fail", "/reinsip/in0100/in010001_search.do=500"});
  ProgramRun run = Run("search");
  EXPECT_EQ(run.status, 0) << run.console;
  EXPECT_NE(run.console.find("最終取得日付は更新していません（6/6 件の検索が失敗したため）"),
            std::string::npos)
      << run.console;
  EXPECT_EQ(SettingOf(home.native(), "最終日付"), "2011/04/30");
  // One status line and one form line per failed search, each ended by "\n".
  std::string errors = ReadNative(At("Err/ErrLog.txt"));
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 12);
  EXPECT_NE(errors.find("sortKey1=6&sortKey2=0&dataSyuruiKubun=1"), std::string::npos);
  EXPECT_EQ(Lines("dat/TotalData.txt"), 0u);
}

TEST_F(HeadlessRunTest, UnsafePropertyNumberWritesNothingOutsideThePdfFolder) {
  Start({"--odd-number", "../../escape"});
  ProgramRun run = Run("search");
  ASSERT_EQ(run.status, 0) << run.console;
  for (const std::string& f : FilesBelow(home.native())) {
    EXPECT_EQ(f.find("escape"), std::string::npos) << f;
  }
  EXPECT_FALSE(fs::exists(home.native() + "/../escape.html"));
  EXPECT_NE(ReadNative(At("Err/ErrLog.txt")).find("../../escape"), std::string::npos);
  // The record itself is kept.
  EXPECT_NE(ReadNative(At("dat/TotalData.txt")).find("../../escape"), std::string::npos);
  EXPECT_GT(FilesBelow(At("pdf"), ".pdf").size(), 0u);
}

TEST_F(HeadlessRunTest, OverLongPropertyNumberIsRefusedAndLogged) {
  const std::string number(400, '7');
  Start({"--odd-number", number});
  ProgramRun run = Run("search");
  ASSERT_EQ(run.status, 0) << run.console;
  // Its downloads are refused with a line of their own; the record is kept, the rest go on.
  const std::string errors = platform::Cp932ToUtf8(ReadNative(At("Err/ErrLog.txt")));
  EXPECT_NE(errors.find("\t20002\tファイル名として長すぎる名前のためダウンロードしません: "),
            std::string::npos)
      << errors;
  EXPECT_NE(errors.find(number), std::string::npos);
  EXPECT_NE(ReadNative(At("dat/TotalData.txt")).find(number), std::string::npos);
  for (const std::string& f : FilesBelow(At("pdf")))
    EXPECT_EQ(f.find("7777777777"), std::string::npos);
  EXPECT_GT(FilesBelow(At("pdf"), ".pdf").size(), 0u);
}

TEST_F(HeadlessRunTest, SecondProcessOnTheFolderIsRefusedAndNamesTheFirst) {
  Start();
  {
    FolderLock other;
    std::string holder;
    ASSERT_EQ(other.Acquire(home.path(), holder), 0);
    ProgramRun run = Run("fee");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.console.find("別の Kestrova が使用中です（pid " + std::to_string(::getpid()) +
                               ", host "),
              std::string::npos)
        << run.console;
    // Refused before anything was read or written.
    EXPECT_FALSE(fs::exists(At("Tmp")));
    EXPECT_EQ(SettingOf(home.native(), "最終日付"), "2011/04/30");
  }
  EXPECT_EQ(Run("fee").status, 0);
}

TEST_F(HeadlessRunTest, MissingLoginIdIsAnInputFault) {
  Start();
  ProgramRun run = Run("search", {});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.console.find("ログインID未設定"), std::string::npos) << run.console;
}

TEST_F(HeadlessRunTest, LoginIdFromTheEnvironment) {
  Start();
  ProgramRun run =
      RunKestrova({"--home", home.native(), "--headless", "fee"}, {"KESTROVA_LOGIN_ID=demo"});
  EXPECT_EQ(run.status, 0) << run.console;
  EXPECT_NE(run.console.find("終了"), std::string::npos) << run.console;
  EXPECT_TRUE(fs::exists(At("Tmp/style_fip.css")));
  // Only an ID given on the command line is remembered.
  EXPECT_FALSE(fs::exists(At("dat/LoginId.txt")));
}

TEST(HeadlessUsageTest, BadArgumentsAreAUsageError) {
  EXPECT_EQ(RunKestrova({"--headless", "frobnicate"}).status, 2);
  EXPECT_EQ(RunKestrova({"--home"}).status, 2);
  EXPECT_EQ(RunKestrova({"--bogus"}).status, 2);
  ProgramRun help = RunKestrova({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.console.find("--headless"), std::string::npos);
}

TEST(HeadlessUsageTest, WithoutADisplayTheProgramNamesHeadlessAndExitsWithTwo) {
  // An empty DISPLAY is no display: Qt would abort the process on it.
  ProgramRun run = RunKestrova({}, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
  EXPECT_EQ(run.status, 2) << run.console;
  EXPECT_NE(run.console.find("use --headless COMMAND"), std::string::npos) << run.console;
}

TEST(HeadlessHomeTest, NewHomeNamedWithTrailByte0x5CIsPreparedAndTidied) {
  // 表 is 0x95 0x5C in cp932: its second byte is the path separator.
  TempFolder parent;
  const std::string home = parent.native() + "/物件表";
  ProgramRun run = RunKestrova({"--home", home, "--headless", "tidy"});
  ASSERT_EQ(run.status, 0) << run.console;
  EXPECT_TRUE(fs::is_regular_file(home + "/Setting/HeaderInfo.dat"));
  EXPECT_EQ(ReadNative(home + "/利用規約.txt"),
            ReadNative(std::string(KESTROVA_SOURCE_DIR) + "/利用規約.txt"));
  // The close sequence wrote the settings file, with this month's tidy, into that home.
  EXPECT_NE(SettingOf(home, "データ整理最終"), "");
  std::vector<std::string> entries;
  for (const auto& e : fs::directory_iterator(parent.native())) {
    entries.push_back(e.path().filename().string());
  }
  EXPECT_EQ(entries, std::vector<std::string>{"物件表"});
}

}  // namespace
}  // namespace kestrova::test
