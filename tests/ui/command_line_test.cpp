#include "ui/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <tuple>

#include "service/service_requests.h"
#include "store/error_log.h"
#include "tests/support/failing_writes.h"
#include "tests/support/source_paths.h"
#include "tests/ui/ui_fixture.h"
#include "ui/headless.h"
#include "ui/version.h"

namespace kestrova::test {
namespace {

namespace fs = std::filesystem;

// ---- parsing --------------------------------------------------------------------------------

int Parse(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
  return ParseCommandLine(args, line, error);
}

TEST(CommandLineTest, ReadsHomeLoginIdAndHeadlessCommand) {
  CommandLine line;
  std::string error;
  ASSERT_EQ(Parse({"kestrova", "--home", "/h/ome", "--login-id", "agent7", "--headless", "deals"},
                  line, error),
            0)
      << error;
  EXPECT_EQ(line.home, "/h/ome");
  EXPECT_EQ(line.loginId, "agent7");
  EXPECT_EQ(line.headless, "deals");
  EXPECT_FALSE(line.help);
}

TEST(CommandLineTest, NoArgumentsMeanTheDesktopWindowInTheProgramFolder) {
  CommandLine line;
  std::string error;
  ASSERT_EQ(Parse({"kestrova"}, line, error), 0);
  EXPECT_EQ(line.home, "");
  EXPECT_EQ(line.loginId, "");
  EXPECT_EQ(line.headless, "");
}

TEST(CommandLineTest, UnknownArgumentIsAUsageError) {
  for (const char* bad : {"--bogus", "home", "-x", "--home=/h"}) {
    CommandLine line;
    std::string error;
    EXPECT_EQ(Parse({"kestrova", bad}, line, error), -1) << bad;
    EXPECT_NE(error.find(bad), std::string::npos) << error;
  }
}

TEST(CommandLineTest, ValueWithALineBreakIsAUsageError) {
  // A --keys value with a line break once wrote a section of its own into the settings file.
  for (const char* option : {"--keys", "--station", "--list1", "--login-id", "--home"}) {
    for (const char* value : {"a\r\n[A]\r\nb", "a\nb", "a\r"}) {
      CommandLine line;
      std::string error;
      EXPECT_EQ(Parse({"kestrova", "--headless", "find", option, value}, line, error), -1)
          << option;
      EXPECT_NE(error.find(std::string(option) + " holds a line break"), std::string::npos)
          << error;
    }
  }
}

TEST(CommandLineTest, OptionWithoutItsValueIsAUsageError) {
  for (const char* option : {"--home", "--login-id", "--headless"}) {
    CommandLine line;
    std::string error;
    EXPECT_EQ(Parse({"kestrova", option}, line, error), -1) << option;
    EXPECT_NE(error.find(option), std::string::npos) << error;
    CommandLine empty;
    EXPECT_EQ(Parse({"kestrova", option, ""}, empty, error), -1) << option;
  }
}

TEST(CommandLineTest, UnknownHeadlessCommandIsAUsageError) {
  CommandLine line;
  std::string error;
  EXPECT_EQ(Parse({"kestrova", "--headless", "frob"}, line, error), -1);
  EXPECT_NE(error.find("frob"), std::string::npos) << error;
  EXPECT_EQ(Parse({"kestrova", "--headless", "Search"}, line, error), -1);
}

TEST(CommandLineTest, HelpIsRecognisedAndUsageNamesEveryCommand) {
  for (const char* help : {"--help", "-h"}) {
    CommandLine line;
    std::string error;
    EXPECT_EQ(Parse({"kestrova", help}, line, error), 0);
    EXPECT_TRUE(line.help);
  }
  const std::string usage = Usage();
  for (const HeadlessCommand& c : HeadlessCommands()) {
    EXPECT_NE(usage.find(c.name), std::string::npos) << c.name;
  }
  EXPECT_NE(usage.find("--login-id"), std::string::npos);
  EXPECT_NE(usage.find("3 ran, but could not save everything it fetched"), std::string::npos);
  EXPECT_NE(usage.find("--version"), std::string::npos);
}

TEST(CommandLineTest, ScheduleTakesATimeOffOrNothingAndDealsOnlyWithATime) {
  CommandLine show;
  std::string error;
  ASSERT_EQ(Parse({"kestrova", "--schedule", "--home", "/h"}, show, error), 0) << error;
  EXPECT_TRUE(show.schedule);
  EXPECT_EQ(show.scheduleTime, "");
  EXPECT_EQ(show.home, "/h");
  CommandLine set;
  ASSERT_EQ(Parse({"kestrova", "--schedule", "07:30", "--deals"}, set, error), 0) << error;
  EXPECT_EQ(set.scheduleTime, "07:30");
  EXPECT_TRUE(set.deals);
  CommandLine daily;
  ASSERT_EQ(Parse({"kestrova", "--headless", "daily", "--deals"}, daily, error), 0) << error;
  EXPECT_TRUE(daily.deals);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"kestrova", "--deals"},
        {"kestrova", "--schedule", "off", "--deals"},
        {"kestrova", "--schedule", "--deals"},
        {"kestrova", "--headless", "search", "--deals"},
        {"kestrova", "--schedule", "07:30", "--headless", "search"}}) {
    CommandLine line;
    EXPECT_EQ(Parse(bad, line, error), -1) << bad.back();
  }
  EXPECT_NE(Usage().find("--schedule HH:MM [--deals]"), std::string::npos);
}

TEST(CommandLineTest, FindOptionsAreReadAsCp932AndCheckedBeforeStartUp) {
  CommandLine line;
  std::string error;
  ASSERT_EQ(Parse({"kestrova", "--headless", "find", "--keys", "本町;;梅田", "--from", "", "--to",
                   "2011/05/31", "--type", "2", "--unique", "1", "--list2", "すべて"},
                  line, error),
            0)
      << error;
  EXPECT_EQ(line.find.keys, Sjis("本町;;梅田"));
  EXPECT_EQ(line.find.from, "");
  EXPECT_EQ(line.find.to, "2011/05/31");
  EXPECT_EQ(line.find.type, 2);
  EXPECT_EQ(line.find.unique, 1);
  EXPECT_EQ(line.find.lists[1], Sjis("すべて"));
  EXPECT_FALSE(line.find.plan || line.find.station || line.find.past);

  const std::vector<std::vector<std::string>> bad = {{"--type", "3"},
                                                     {"--past", "2"},
                                                     {"--plan", "01"},
                                                     {"--from", "2011/4/1"},
                                                     {"--keys", "1;2;3;4;5;6;7;8;9;10"},
                                                     {"--station", "😀"},
                                                     {"--to"}};
  for (const std::vector<std::string>& option : bad) {
    CommandLine other;
    std::vector<std::string> args = {"kestrova", "--headless", "find"};
    args.insert(args.end(), option.begin(), option.end());
    EXPECT_EQ(Parse(args, other, error), -1) << option[0];
    EXPECT_NE(error.find(option[0]), std::string::npos) << error;
  }
  CommandLine tidy;
  EXPECT_EQ(Parse({"kestrova", "--headless", "tidy", "--past", "1"}, tidy, error), -1);
}

TEST(CommandLineTest, VersionIsRecognisedAndNamesTheVersionAndCommit) {
  CommandLine line;
  std::string error;
  EXPECT_EQ(Parse({"kestrova", "--version"}, line, error), 0);
  EXPECT_TRUE(line.version);
  EXPECT_TRUE(line.headless.empty());
  // The commit is what git describe said of the checkout, or "unknown" outside one.
  EXPECT_TRUE(std::regex_match(
      VersionText(), std::regex(R"(Kestrova \d+\.\d+(\.\d+)* \(commit ([0-9a-z.-]+|unknown)\))")))
      << VersionText();
}

TEST(CommandLineTest, HeadlessCommandsStandForTheirButtons) {
  // name, main-window button, maintenance-window button (0: none).
  const std::vector<std::tuple<const char*, int, int>> expected = {
      {"search", 1000, 0},      {"deals", 1001, 0}, {"fee", 1051, 0}, {"rebuild-detail", 0, 1000},
      {"rebuild-csv", 0, 1001}, {"clean", 0, 1002}, {"tidy", 0, 0},   {"find", 0, 0},
      {"daily", 0, 0}};
  ASSERT_EQ(HeadlessCommands().size(), expected.size());
  for (const auto& [name, button, maintenance] : expected) {
    const HeadlessCommand* c = FindHeadlessCommand(name);
    ASSERT_NE(c, nullptr) << name;
    EXPECT_EQ(c->button ? static_cast<int>(*c->button) : 0, button) << name;
    EXPECT_EQ(c->maintenance ? static_cast<int>(*c->maintenance) : 0, maintenance) << name;
  }
  EXPECT_EQ(FindHeadlessCommand(""), nullptr);
}

// ---- login ID -------------------------------------------------------------------------------

using LoginIdTest = UiTest;

TEST_F(LoginIdTest, CommandLineIdIsShownAndRemembered) {
  ASSERT_TRUE(Start({"agent7", "fromenv"}));
  EXPECT_EQ(Fields().loginInfo, "agent7");
  EXPECT_EQ(run->view.shown.back().loginInfo, "agent7");
  EXPECT_EQ(ReadNative(Native("dat/LoginId.txt")), "agent7\r\n");
  EXPECT_EQ(RememberedLoginId(run->state), "agent7");
}

TEST_F(LoginIdTest, NextStartWithoutAnIdUsesTheRememberedOne) {
  ASSERT_TRUE(Start({"agent7", ""}));
  run->window.Close();
  ASSERT_TRUE(Restart());
  EXPECT_EQ(Fields().loginInfo, "agent7");
}

TEST_F(LoginIdTest, EnvironmentIdBeatsTheRememberedOneWithoutReplacingIt) {
  ASSERT_TRUE(Start({"agent7", ""}));
  ASSERT_TRUE(Restart({"", "fromenv"}));
  EXPECT_EQ(Fields().loginInfo, "fromenv");
  EXPECT_EQ(RememberedLoginId(run->state), "agent7");
}

TEST_F(LoginIdTest, NoIdAnywhereLeavesTheBoxEmpty) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Fields().loginInfo, "");
  EXPECT_FALSE(Exists("dat/LoginId.txt"));
}

TEST_F(LoginIdTest, RememberedFileWithOtherLineEndsReadsTheFirstLine) {
  fs::create_directories(Native("dat"));
  WriteNative(Native("dat/LoginId.txt"), "agent8\nsecond\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(Fields().loginInfo, "agent8");
}

TEST_F(LoginIdTest, TypedIdIsShownAndRemembered) {
  ASSERT_TRUE(Start({"agent7", ""}));
  run->window.SetLoginId("typed9");
  EXPECT_EQ(Fields().loginInfo, "typed9");
  EXPECT_EQ(run->view.shown.back().loginInfo, "typed9");
  ASSERT_TRUE(Restart());
  EXPECT_EQ(Fields().loginInfo, "typed9");
}

TEST_F(LoginIdTest, IdIsNotWrittenToTheSettingsFile) {
  ASSERT_TRUE(Start({"agent7", ""}));
  run->window.Close();
  ASSERT_TRUE(Exists("kestrova.ini"));
  EXPECT_EQ(IniText().find("agent7"), std::string::npos) << IniText();
}

// ---- headless runs --------------------------------------------------------------------------

class HeadlessTest : public UiTest {
 protected:
  void ReadyToLogIn() const {
    WriteIni("[設定]\n同意=1\nログインパス=x\n市町村コード=27128\n[設定2]\n負荷軽減スリープ=0\n");
  }
  // A login answer as the service sends it (UTF-8).
  void ScriptLogin(const std::string& page) { fake.QueueOk(kLoginPath, page); }
};

TEST_F(HeadlessTest, FeeWithTermsNotAgreedIsRefused) {
  EXPECT_EQ(RunHeadlessCommand("fee"), 1);
  EXPECT_EQ(Messages(), std::vector<std::string>{"規約に同意しないと利用できません"});
  EXPECT_TRUE(fake.Requests().empty());
  EXPECT_TRUE(Exists("kestrova.ini"));  // the close sequence still ran
}

TEST_F(HeadlessTest, FeeLogsInAndShowsTheFeeWithoutStoringIt) {
  ReadyToLogIn();
  ScriptLogin("<html>日報検索 前日までの利用料<span class=\"x\">1200円</span></html>");
  EXPECT_EQ(RunHeadlessCommand("fee"), 0) << console;
  const std::vector<std::string> paths = fake.Paths();
  ASSERT_FALSE(paths.empty());
  EXPECT_EQ(paths.front(), kLoginPath);
  EXPECT_EQ(std::count(paths.begin(), paths.end(), kLoginPath), 1);
  EXPECT_EQ(fake.Pending(), 0);
  // The fee is what the run is for: it must reach the console.
  EXPECT_NE(console.find("1200 円"), std::string::npos) << console;
  EXPECT_EQ(IniText().find("1200"), std::string::npos) << IniText();
  EXPECT_EQ(ReadNative(Native("dat/LoginId.txt")), "12345678\r\n");
}

TEST_F(HeadlessTest, FeeWithALoginErrorExitsWithOne) {
  ReadyToLogIn();
  ScriptLogin("<html>ログインできません</html>");
  EXPECT_EQ(RunHeadlessCommand("fee"), 1) << console;
  ASSERT_FALSE(desktop.messages.empty());
  EXPECT_EQ(Messages().back(), "ログインエラー：ログインIDまたはパスワードが違います");
}

TEST_F(HeadlessTest, SearchWithoutALoginIdIsRefusedBeforeAnyRequest) {
  ReadyToLogIn();
  EXPECT_EQ(RunHeadlessCommand("search", {}), 1) << console;
  ASSERT_FALSE(desktop.messages.empty());
  EXPECT_EQ(Messages().back(), "ログインID未設定");
  EXPECT_TRUE(fake.Requests().empty());
  EXPECT_FALSE(Exists("dat/LoginId.txt"));
}

TEST_F(HeadlessTest, CleanDeletesTheLogFiles) {
  WriteIni("[設定]\n同意=1\n");
  fs::create_directories(Native("Log"));
  WriteNative(Native("Log/20110501000000_0.html"), "x");
  WriteNative(Native("Log/20110502000000_0.html"), "y");
  EXPECT_EQ(RunHeadlessCommand("clean"), 0) << console;
  EXPECT_FALSE(Exists("Log/20110501000000_0.html"));
  EXPECT_FALSE(Exists("Log/20110502000000_0.html"));
  EXPECT_TRUE(fs::is_directory(Native("Log")));
  EXPECT_NE(console.find("(2件)"), std::string::npos) << console;
}

TEST_F(HeadlessTest, CleanWithTermsNotAgreedKeepsTheLogFiles) {
  fs::create_directories(Native("Log"));
  WriteNative(Native("Log/20110501000000_0.html"), "x");
  EXPECT_EQ(RunHeadlessCommand("clean"), 1);
  EXPECT_TRUE(Exists("Log/20110501000000_0.html"));
}

TEST_F(HeadlessTest, TidyRunsEvenAfterThisMonthsTidy) {
  WriteIni("[設定2]\nデータ整理最終=2011/05\n");
  std::vector<std::string> f(30);
  f[1] = Sjis("11売り・土地");
  f[2] = "100000000001";
  f[18] = "2010/01/01";
  std::string old;
  for (const std::string& v : f) old += v + "\t";
  fs::create_directories(Native("dat"));
  WriteNative(Native("dat/TotalData.txt"), old + "\r\n");
  EXPECT_EQ(RunHeadlessCommand("tidy"), 0) << console;
  EXPECT_EQ(ReadNative(Native("dat/TotalData_Kako.txt")), old + "\r\n");
  EXPECT_EQ(ReadNative(Native("dat/TotalData.txt")), "");
}

TEST_F(HeadlessTest, SearchWhoseStoreCannotBeWrittenExitsThreeAndKeepsTheDate) {
  WriteIni(
      "[設定]\n同意=1\nログインパス=x\n市町村コード=27128\n開始日付=2011/05/01\n"
      "終了日付=2011/05/07\n最終日付=2011/04/30\n詳細情報取得=0\nPDF取得=0\n"
      "[設定2]\n負荷軽減スリープ=0\nデータ整理最終=2011/05\n");
  ScriptLogin("<html>日報検索</html>");
  TransportResult listing;
  listing.status = 200;
  listing.body = ReadNative(std::string(KESTROVA_TEST_DATA) + "/pages/result_listing.html");
  fake.SetDefault(listing);
  {
    FailingWrites full({"\\dat\\TotalData.txt"});
    EXPECT_EQ(RunHeadlessCommand("search"), 3) << console;
  }
  EXPECT_EQ(IniValue("//ini/設定/最終日付"), "2011/04/30");
  EXPECT_EQ(console.find("CSV情報を更新しました。"), std::string::npos) << console;
  const std::string log = Utf8(ReadNative(Native("Err/ErrLog.txt")));
  EXPECT_NE(log.find("\t" + std::to_string(kStoreWriteFailed) + "\t書き込みできませんでした: " +
                     Utf8(platform::DisplayPath(home.path() + "\\dat\\TotalData.txt"))),
            std::string::npos)
      << log;
}

TEST_F(HeadlessTest, RunHistoryThatCannotBeWrittenIsLoggedAndExitsWithThree) {
  ReadyToLogIn();
  ScriptLogin("<html>日報検索 前日までの利用料<span class=\"x\">1200円</span></html>");
  {
    FailingWrites full({"RunHistory.txt"});
    EXPECT_EQ(RunHeadlessCommand("fee"), 3) << console;
  }
  const std::string line = "\t" + std::to_string(kHistoryWriteFailed) +
                           "\t書き込みできませんでした: " + Utf8(home.path()) +
                           "\\Log\\RunHistory.txt";
  EXPECT_NE(Utf8(ReadNative(Native("Err/ErrLog.txt"))).find(line + "\r\n"), std::string::npos);
  EXPECT_NE(console.find(line), std::string::npos) << console;
  // The next run writes its line.
  ScriptLogin("<html>日報検索</html>");
  EXPECT_EQ(RunHeadlessCommand("fee"), 0) << console;
  const std::string history = ReadNative(Native("Log/RunHistory.txt"));
  EXPECT_EQ(std::count(history.begin(), history.end(), '\n'), 1) << history;
  EXPECT_NE(history.find("\tfee\t0\t"), std::string::npos) << history;
}

TEST_F(HeadlessTest, UnknownCommandIsAUsageErrorAndStartsNothing) {
  EXPECT_EQ(RunHeadlessCommand("frob"), 2);
  EXPECT_FALSE(Exists("kestrova.ini"));
  EXPECT_FALSE(Exists("dat"));
}

}  // namespace
}  // namespace kestrova::test
