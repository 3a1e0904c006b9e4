#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "foundation/environment.h"
#include "store/detail_files.h"
#include "tests/ui/online_fixture.h"
#include "ui/command_line.h"
#include "ui/headless.h"

namespace kestrova::test {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public OnlineTest {
 protected:
  bool Start(const LoginIdSources& id = {}) {
    return window->StartUp({home.path() + "\\kestrova"}, id);
  }
  std::string Ini() const { return Utf8(ReadNative(home.native() + "/kestrova.ini")); }
  void WriteIni(const std::string& utf8) {
    WriteNative(home.native() + "/kestrova.ini", Sjis(utf8));
  }
  std::string Setting(const char* key) const { return Utf8(state.settings.GetText(Sjis(key))); }
};

TEST_F(MainWindowTest, FirstStartFillsDefaultsDatesAndFolders) {
  ASSERT_TRUE(Start());
  const MainFields& f = window->Fields();
  EXPECT_EQ(f.sale, 1);
  EXPECT_EQ(f.rent, 1);
  EXPECT_EQ(f.skipExisting, 1);
  EXPECT_EQ(f.pdf, 1);
  EXPECT_EQ(f.detail, 1);
  EXPECT_EQ(f.agreed, 0);
  EXPECT_EQ(f.searchCount, "0");
  // Clock 2011/05/08: last fetch a week ago, start equal to it, end yesterday.
  EXPECT_EQ(f.lastDate, "2011/05/01");
  EXPECT_EQ(f.startDate, "2011/05/01");
  EXPECT_EQ(f.endDate, "2011/05/07");
  EXPECT_EQ(f.dealStartDate, "2011/02/08");
  for (const char* d : {"Err", "Tmp", "Log", "pdf", "csv", "csv_total", "dat", "pdf/11", "pdf/15",
                        "pdf/21", "pdf/25"}) {
    EXPECT_TRUE(fs::is_directory(home.native() + "/" + d)) << d;
  }
  EXPECT_EQ(Setting("//ini/設定2/負荷軽減スリープ"), "1000");
  EXPECT_EQ(Setting("//ini/設定2/接続先URL"), "https://system.reins.jp");
  EXPECT_EQ(Setting("//ini/都道府県検索/市町村名"), "おおさかし");
  EXPECT_EQ(view.titles.back(), "Kestrova");

  EXPECT_FALSE(fs::exists(home.native() + "/kestrova.ini"));
  window->Close();
  const std::string ini = Ini();
  EXPECT_NE(ini.find("最終日付=2011/05/01"), std::string::npos) << ini;
  EXPECT_NE(ini.find("同意=0"), std::string::npos);
  EXPECT_NE(ini.find("データ整理最終=2011/05"), std::string::npos);
}

TEST_F(MainWindowTest, SettingsFileOverridesDefaultsAndKeepsUnknownKeys) {
  WriteIni("[設定]\r\n開始日付=2011/04/20\r\n売買=0\r\n[独自]\r\nメモ=残す\r\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(window->Fields().startDate, "2011/04/20");  // kept while the last date is filled
  EXPECT_EQ(window->Fields().lastDate, "2011/05/01");
  EXPECT_EQ(window->Fields().sale, 0);
  window->Close();
  EXPECT_NE(Ini().find("[独自]\r\nメモ=残す"), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("売買=0"), std::string::npos);
}

TEST_F(MainWindowTest, MissingTypeFolderIsNotRecreatedWhenPdfExists) {
  fs::create_directories(home.native() + "/pdf/11");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(fs::is_directory(home.native() + "/pdf/11"));
  EXPECT_FALSE(fs::exists(home.native() + "/pdf/13"));
}

TEST_F(MainWindowTest, CloseAppendsErrorLinesAndLeavesUnchangedFilesAlone) {
  ASSERT_TRUE(Start());
  WriteNative(home.native() + "/dat/SyousaiInfo.dat", "old");
  WriteNative(home.native() + "/dat/SeiyakuInfo.dat", "old");
  const auto before = fs::last_write_time(home.native() + "/dat/SyousaiInfo.dat");
  window->Close();
  EXPECT_FALSE(fs::exists(home.native() + "/Err/ErrLog.txt"));
  EXPECT_EQ(fs::last_write_time(home.native() + "/dat/SyousaiInfo.dat"), before);
  EXPECT_EQ(ReadNative(home.native() + "/dat/SeiyakuInfo.dat"), "old");

  WriteNative(home.native() + "/Err/ErrLog.txt", "earlier\n");
  state.errorList.Add("a\t10003\tone");
  state.errorList.Add("b\t10004\ttwo");
  window->Close();
  EXPECT_EQ(ReadNative(home.native() + "/Err/ErrLog.txt"),
            "earlier\na\t10003\tone\nb\t10004\ttwo\n");
}

TEST_F(MainWindowTest, MonthlyTidyRunsAtTheFirstCloseOfEachMonth) {
  ASSERT_TRUE(Start());
  window->Close();
  EXPECT_EQ(Setting("//ini/設定2/データ整理最終"), "2011/05");
  // A past-data file appears only when the tidy runs: remove it and close again this month.
  fs::remove(home.native() + "/dat/TotalData_Kako.txt");
  window->Close();
  EXPECT_FALSE(fs::exists(home.native() + "/dat/TotalData_Kako.txt"));
  clock.Set(FixedClock("2011/06/01 08:00:00").Current());
  window->Close();
  EXPECT_TRUE(fs::exists(home.native() + "/dat/TotalData_Kako.txt"));
  EXPECT_EQ(Setting("//ini/設定2/データ整理最終"), "2011/06");
}

TEST_F(MainWindowTest, LoginIdFromCommandLineIsRememberedAndBeatsTheOthers) {
  ASSERT_TRUE(Start({"agent7", "fromenv"}));
  EXPECT_EQ(window->Fields().loginInfo, "agent7");
  EXPECT_EQ(ReadNative(home.native() + "/dat/LoginId.txt"), "agent7\r\n");
  EXPECT_EQ(RememberedLoginId(state), "agent7");

  ProgramState second;
  RecordingView otherView;
  MainWindow again(second, otherView, nullptr);
  second.clock = &clock;
  ASSERT_TRUE(again.StartUp({home.path() + "\\kestrova"}, {"", "fromenv"}));
  EXPECT_EQ(again.Fields().loginInfo, "fromenv");
  ProgramState third;
  MainWindow remembered(third, otherView, nullptr);
  third.clock = &clock;
  ASSERT_TRUE(remembered.StartUp({home.path() + "\\kestrova"}, {}));
  EXPECT_EQ(remembered.Fields().loginInfo, "agent7");
  remembered.SetLoginId("typed9");
  EXPECT_EQ(RememberedLoginId(third), "typed9");
}

TEST_F(MainWindowTest, ResetCounterAndUnknownCommand) {
  ASSERT_TRUE(Start());
  window->Fields().searchCount = "42";
  EXPECT_EQ(window->Command(kCommandResetCounter), CommandResult::kRan);
  EXPECT_EQ(window->Fields().searchCount, "0");
  EXPECT_EQ(window->Command(4711), CommandResult::kUnknown);
}

class HeadlessTest : public MainWindowTest {
 protected:
  int Run(const std::string& command, const std::string& loginId = "12345678") {
    std::FILE* out = std::tmpfile();
    HeadlessRun run{command, {home.path() + "\\kestrova"}, {loginId, ""}};
    ProgramState fresh;
    fresh.clock = &clock;
    fresh.desktop = &desktop;
    int status = RunHeadless(
        fresh, run,
        [this](const SettingsStore&) {
          return std::unique_ptr<Transport>(new ForwardingTransport(fake));
        },
        out);
    std::rewind(out);
    console.clear();
    for (int c; (c = std::fgetc(out)) != EOF;) console += static_cast<char>(c);
    std::fclose(out);
    return status;
  }
  std::string console;
};

TEST_F(HeadlessTest, RefusedCommandsExitWithOne) {
  EXPECT_EQ(Run("fee"), 1);  // terms not agreed
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(Utf8(desktop.messages[0]), "規約に同意しないと利用できません");
  EXPECT_EQ(Run("clean"), 1);
  WriteIni("[設定]\r\n同意=1\r\nログインパス=x\r\n市町村コード=27128\r\n");
  desktop.messages.clear();
  fs::remove(home.native() + "/dat/LoginId.txt");  // remembered by the runs above
  EXPECT_EQ(Run("search", ""), 1);
  ASSERT_FALSE(desktop.messages.empty());
  EXPECT_EQ(Utf8(desktop.messages.back()), "ログインID未設定");
  EXPECT_TRUE(fake.Requests().empty());
}

TEST_F(HeadlessTest, FeeCheckRunsAndShowsTheFee) {
  WriteIni(
      "[設定]\r\n同意=1\r\nログインパス=x\r\n市町村コード=27128\r\n[設定2]\r\n負荷軽減スリープ="
      "0\r\n");
  ScriptService();
  EXPECT_EQ(Run("fee"), 0) << console;
  EXPECT_NE(console.find("終了"), std::string::npos) << console;
  EXPECT_EQ(CountPath(kLoginPath), 1);
  // The close wrote the settings and remembered the ID.
  EXPECT_NE(Ini().find("ログインパス=x"), std::string::npos);
  EXPECT_EQ(ReadNative(home.native() + "/dat/LoginId.txt"), "12345678\r\n");
}

TEST_F(HeadlessTest, MaintenanceCommandsAndTidyRun) {
  WriteIni("[設定]\r\n同意=1\r\n");
  fs::create_directories(home.native() + "/Log");
  WriteNative(home.native() + "/Log/old.html", "x");
  EXPECT_EQ(Run("clean"), 0) << console;
  EXPECT_FALSE(fs::exists(home.native() + "/Log/old.html"));
  EXPECT_NE(console.find("ﾛｸﾞを削除しました(1件)"), std::string::npos) << console;
  EXPECT_EQ(Run("rebuild-csv"), 0);
  EXPECT_TRUE(fs::exists(home.native() + "/csv_total/TotalData_csvdata.csv"));
  EXPECT_EQ(Run("rebuild-detail"), 0);
  EXPECT_NE(console.find("0/0 ...作成完了！"), std::string::npos) << console;
  EXPECT_EQ(Run("tidy"), 0);
}

TEST(CommandLineTest, ReadsOptionsAndRefusesBadOnes) {
  CommandLine line;
  std::string error;
  ASSERT_EQ(
      ParseCommandLine({"kestrova", "--home", "/h", "--login-id", "id", "--headless", "deals"},
                       line, error),
      0);
  EXPECT_EQ(line.home, "/h");
  EXPECT_EQ(line.loginId, "id");
  EXPECT_EQ(line.headless, "deals");
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"kestrova", "--home"},
                                              {"kestrova", "--bogus"},
                                              {"kestrova", "--headless", "frob"},
                                              {"kestrova", "--login-id", ""}}) {
    CommandLine l;
    EXPECT_EQ(ParseCommandLine(bad, l, error), -1) << bad.back();
    EXPECT_FALSE(error.empty());
  }
  CommandLine help;
  EXPECT_EQ(ParseCommandLine({"kestrova", "--help"}, help, error), 0);
  EXPECT_TRUE(help.help);
  for (const char* name :
       {"search", "deals", "fee", "rebuild-detail", "rebuild-csv", "clean", "tidy"}) {
    EXPECT_NE(FindHeadlessCommand(name), nullptr) << name;
  }
}

}  // namespace
}  // namespace kestrova::test
