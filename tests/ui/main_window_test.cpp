#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/error_log.h"
#include "store/property_record.h"
#include "tests/support/failing_writes.h"
#include "tests/support/source_paths.h"
#include "tests/ui/ui_fixture.h"
#include "ui/default_settings.h"

namespace kestrova::test {
namespace {

namespace fs = std::filesystem;

const char* const kDataFolders[] = {"Err", "Tmp", "Log", "pdf", "csv", "csv_total", "dat"};
const char* const kTypeFolders[] = {"11", "12", "13", "14", "15", "21", "22", "23", "24", "25"};

// ---- start-up -------------------------------------------------------------------------------

using MainWindowStartUpTest = UiTest;

TEST_F(MainWindowStartUpTest, FirstStartChecksTheSwitchesAndLeavesTermsUnagreed) {
  ASSERT_TRUE(Start());
  const MainFields& f = Fields();
  EXPECT_EQ(f.sale, 1);
  EXPECT_EQ(f.rent, 1);
  EXPECT_EQ(f.skipExisting, 1);
  EXPECT_EQ(f.pdf, 1);
  EXPECT_EQ(f.detail, 1);
  EXPECT_EQ(f.agreed, 0);
  EXPECT_EQ(f.searchCount, "0");
  EXPECT_EQ(f.codes, "");
  EXPECT_EQ(f.password, "");
  EXPECT_EQ(f.loginInfo, "");
  EXPECT_EQ(run->view.titles, std::vector<std::string>{"Kestrova"});
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(MainWindowStartUpTest, FirstStartFillsTheEmptyDatesFromTheClock) {
  ASSERT_TRUE(Start());
  // 2011/05/08: last fetch a week back, start equal to it, end yesterday, deals 3 months back.
  EXPECT_EQ(Fields().lastDate, "2011/05/01");
  EXPECT_EQ(Fields().startDate, "2011/05/01");
  EXPECT_EQ(Fields().endDate, "2011/05/07");
  EXPECT_EQ(Fields().dealStartDate, "2011/02/08");
  ASSERT_FALSE(run->view.shown.empty());
  EXPECT_EQ(run->view.shown.back().endDate, "2011/05/07");  // the controls got them too
}

TEST_F(MainWindowStartUpTest, DatesAtTheEndOfAMonthStepBackByCalendar) {
  clock.Set(FixedClock("2011/03/01 00:10:00").Current());
  ASSERT_TRUE(Start());
  EXPECT_EQ(Fields().lastDate, "2011/02/22");
  EXPECT_EQ(Fields().endDate, "2011/02/28");
  EXPECT_EQ(Fields().dealStartDate, "2010/12/01");
}

TEST_F(MainWindowStartUpTest, StartDateFromTheSettingsFileIsKeptWhileTheLastDateIsFilled) {
  WriteIni(
      "[設定]\n開始日付=2011/04/20\n売買=0\n市町村コード=27128,27111\nログインパス=pw\n"
      "[検索用]\n検索回数=17\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(Fields().startDate, "2011/04/20");
  EXPECT_EQ(Fields().lastDate, "2011/05/01");
  EXPECT_EQ(Fields().endDate, "2011/05/07");
  EXPECT_EQ(Fields().sale, 0);
  EXPECT_EQ(Fields().rent, 1);
  EXPECT_EQ(Fields().codes, "27128,27111");
  EXPECT_EQ(Fields().password, "pw");
  EXPECT_EQ(Fields().searchCount, "17");
}

TEST_F(MainWindowStartUpTest, SettingsFileOfAnOlderVersionIsReadAndWrittenBack) {
  fs::copy_file(std::string(KESTROVA_TEST_DATA) + "/older_settings.ini", Native("kestrova.ini"));
  ASSERT_TRUE(Start());
  EXPECT_EQ(Fields().startDate, "2011/05/01");
  EXPECT_EQ(Fields().endDate, "2011/05/07");
  EXPECT_EQ(Fields().codes, "27128,27111");
  EXPECT_EQ(Fields().sale, 0);
  EXPECT_EQ(Setting("//ini/設定2/負荷軽減スリープ"), "1500");
  run->window.Close();
  ASSERT_TRUE(Restart());
  EXPECT_EQ(Fields().codes, "27128,27111");
  EXPECT_EQ(Fields().sale, 0);
  EXPECT_EQ(Setting("//ini/設定/ソフト名"), "ソフト表示");
  EXPECT_EQ(Setting("//ini/設定2/負荷軽減スリープ"), "1500");
}

TEST_F(MainWindowStartUpTest, CreatesEveryDataFolderAndTheTenTypeFolders) {
  ASSERT_TRUE(Start());
  for (const char* d : kDataFolders) EXPECT_TRUE(fs::is_directory(Native(d))) << d;
  for (const char* t : kTypeFolders) {
    EXPECT_TRUE(fs::is_directory(Native(std::string("pdf/") + t))) << t;
  }
}

TEST_F(MainWindowStartUpTest, ExistingPdfFolderIsNotGivenItsMissingTypeFolders) {
  fs::create_directories(Native("pdf/11"));
  fs::create_directories(Native("pdf/12"));
  ASSERT_TRUE(Start());
  EXPECT_TRUE(fs::is_directory(Native("pdf/11")));
  EXPECT_FALSE(Exists("pdf/13"));
  EXPECT_FALSE(Exists("pdf/25"));
  EXPECT_TRUE(fs::is_directory(Native("csv_total")));  // the other folders still come
}

TEST_F(MainWindowStartUpTest, FileInPlaceOfADataFolderIsLeftAlone) {
  WriteNative(Native("csv"), "not a folder");
  ASSERT_TRUE(Start());
  EXPECT_EQ(ReadNative(Native("csv")), "not a folder");
  EXPECT_TRUE(fs::is_directory(Native("dat")));
}

TEST_F(MainWindowStartUpTest, HomeWhoseNameEndsInByte5CKeepsItsDataInside) {
  // "表" is 0x95 0x5C in cp932: its trail byte must not be taken for a separator.
  fs::create_directories(FsPath(Native("表")));
  ProgramRun inner(clock, desktop, Transports());
  ASSERT_TRUE(inner.window.StartUp({home.path() + "\\" + Sjis("表") + "\\kestrova"}, {"a7", ""}));
  for (const char* d : kDataFolders) EXPECT_TRUE(fs::is_directory(FsPath(Native("表/") + d))) << d;
  EXPECT_EQ(ReadNative(Native("表/dat/LoginId.txt")), "a7\r\n");
  inner.window.Close();
  EXPECT_TRUE(Exists("表/kestrova.ini"));
  EXPECT_FALSE(Exists("kestrova.ini"));
  EXPECT_FALSE(Exists("dat"));
}

TEST_F(MainWindowStartUpTest, EveryDefaultSettingIsInTheStoreAfterAFirstStart) {
  ASSERT_TRUE(Start());
  for (const DefaultSetting& d : DefaultSettings()) {
    EXPECT_EQ(Setting(d.key->Utf8()), d.value) << d.key->Utf8();
  }
  EXPECT_EQ(Setting("//ini/設定2/負荷軽減スリープ"), "1000");
  EXPECT_EQ(Setting("//ini/都道府県検索/都道府県名"), "大阪府");
}

TEST_F(MainWindowStartUpTest, DefaultsTableStartsWithTheStartDateAndHoldsTheServiceKeys) {
  const std::vector<DefaultSetting>& table = DefaultSettings();
  ASSERT_EQ(table.size(), 41u);
  EXPECT_STREQ(table.front().key->Utf8(), "//ini/設定/開始日付");
  EXPECT_STREQ(table[33].key->Utf8(), "//ini/都道府県検索/市町村名");
  std::set<std::string> keys;
  for (const DefaultSetting& d : table) {
    EXPECT_TRUE(keys.insert(Utf8(FoldCase(d.key->Text()))).second) << "twice: " << d.key->Utf8();
    EXPECT_EQ(d.key->Text().rfind("//ini/", 0), 0u) << d.key->Utf8();
  }
  EXPECT_EQ(keys.count("//ini/設定2/接続先url"), 1u);
  EXPECT_EQ(keys.count("//ini/設定2/ca証明書"), 1u);
  EXPECT_EQ(keys.count("//ini/設定2/取りこぼし時に分割"), 1u);
  EXPECT_EQ(keys.count("//ini/設定2/検索上限"), 1u);
  EXPECT_EQ(keys.count("//ini/設定2/地図url"), 1u);
}

TEST_F(MainWindowStartUpTest, StoredDetailAndDealValuesAreLoadedUnchanged) {
  WriteCp932("dat/SyousaiInfo.dat", "100000000001<===>3LDK\t\n100000000002<===>2DK\t\n");
  WriteCp932("dat/SeiyakuInfo.dat", "100000000001<===>2011/04/01\t1980\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(run->state.detailStore.Count(), 2);
  EXPECT_EQ(Utf8(run->state.detailStore.GetView("100000000002")), "2DK\t");
  EXPECT_EQ(run->state.dealStore.Count(), 1);
  EXPECT_FALSE(run->state.detailStore.changed());
  EXPECT_FALSE(run->state.dealStore.changed());
  EXPECT_GT(run->state.detailHeader.lines.Count(), 0);  // the shipped Syousai_Header.dat
}

TEST_F(MainWindowStartUpTest, UnwritableProgramFolderStopsTheStartWithAMessage) {
  run = NewRun();
  ASSERT_FALSE(run->window.StartUp({home.path() + "\\missing\\kestrova"}, {"agent7", ""}));
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_NE(Messages()[0].find("書き込めません"), std::string::npos) << Messages()[0];
  EXPECT_FALSE(Exists("missing"));
  EXPECT_TRUE(run->view.titles.empty());
}

// ---- close ----------------------------------------------------------------------------------

class MainWindowCloseTest : public UiTest {
 protected:
  // A stored record of type 11 whose update date (field 18) is `updated`.
  static std::string Record(const std::string& number, const std::string& updated) {
    std::vector<std::string> f(kRecordFields);
    f[kFieldFloorPlan] = Sjis("有");
    f[kFieldType] = Sjis("11売り・土地");
    f[kFieldNumber] = number;
    f[kFieldUpdated] = updated;
    return JoinRecord(f);
  }
  void StoreRecords(const std::vector<std::string>& records) {
    std::string bytes;
    for (const std::string& r : records) bytes += r + "\r\n";
    fs::create_directories(Native("dat"));
    WriteNative(Native("dat/TotalData.txt"), bytes);
  }
  std::vector<std::string> Lines(const std::string& relative) const {
    TextList list;
    list.LoadLines(home.Path(relative));
    return list.ToVector();
  }
  // Sets a file's modification time an hour back, so a rewrite would show.
  fs::file_time_type Age(const std::string& relative) {
    const fs::file_time_type old = fs::last_write_time(Native(relative)) - std::chrono::hours(1);
    fs::last_write_time(Native(relative), old);
    return old;
  }
};

TEST_F(MainWindowCloseTest, FirstCloseCreatesTheSettingsFileWithTheStartValues) {
  ASSERT_TRUE(Start({"agent7", ""}));
  EXPECT_FALSE(Exists("kestrova.ini"));
  run->window.Close();
  ASSERT_TRUE(Exists("kestrova.ini"));
  EXPECT_EQ(IniValue("//ini/設定/開始日付"), "2011/05/01");
  EXPECT_EQ(IniValue("//ini/設定/終了日付"), "2011/05/07");
  EXPECT_EQ(IniValue("//ini/設定/最終日付"), "2011/05/01");
  EXPECT_EQ(IniValue("//ini/設定/成約開始日"), "2011/02/08");
  for (const char* key : {"売買", "賃貸", "PDFDL", "PDF取得", "詳細情報取得"}) {
    EXPECT_EQ(IniValue(std::string("//ini/設定/") + key), "1") << key;
  }
  EXPECT_EQ(IniValue("//ini/設定/同意"), "0");
  EXPECT_EQ(IniValue("//ini/検索用/検索回数"), "0");
  EXPECT_EQ(IniValue("//ini/設定2/接続先URL"), Setting("//ini/設定2/接続先URL"));
  // The login ID is remembered apart from the settings.
  EXPECT_EQ(IniText().find("agent7"), std::string::npos) << IniText();
  EXPECT_NE(IniText().find("[設定]\r\n"), std::string::npos);
  // It will hold the password, and the ID file names the account: private to the user.
#ifndef _WIN32  // Windows files have no permission bits
  const fs::perms others = fs::perms::group_all | fs::perms::others_all;
  EXPECT_EQ(fs::status(Native("kestrova.ini")).permissions() & others, fs::perms::none);
  EXPECT_EQ(fs::status(Native("dat/LoginId.txt")).permissions() & others, fs::perms::none);
#endif  // _WIN32
}

TEST_F(MainWindowCloseTest, CloseStoresWhatTheUserTypedIntoTheControls) {
  ASSERT_TRUE(Start());
  run->view.edit = [](MainFields& f) {
    f.codes = "27128";
    f.password = "secret";
    f.agreed = 1;
    f.rent = 0;
    f.statusLine = "status";
    f.fee = "1200";
  };
  run->window.Close();
  EXPECT_EQ(IniValue("//ini/設定/市町村コード"), "27128");
  EXPECT_EQ(IniValue("//ini/設定/ログインパス"), "secret");
  EXPECT_EQ(IniValue("//ini/設定/同意"), "1");
  EXPECT_EQ(IniValue("//ini/設定/賃貸"), "0");
  EXPECT_EQ(IniText().find("1200"), std::string::npos);  // status and fee are not saved
  EXPECT_EQ(IniText().find("status"), std::string::npos);
  ASSERT_TRUE(Restart());
  EXPECT_EQ(Fields().codes, "27128");
  EXPECT_EQ(Fields().agreed, 1);
  EXPECT_EQ(Fields().rent, 0);
}

TEST_F(MainWindowCloseTest, KeyUnknownToTheDefaultsSurvivesTheRun) {
  WriteIni("[独自]\nメモ=残す\n[設定]\n売買=0\nメモ2=これも\n");
  ASSERT_TRUE(Start());
  run->window.Close();
  EXPECT_EQ(IniValue("//ini/独自/メモ"), "残す");
  EXPECT_EQ(IniValue("//ini/設定/メモ2"), "これも");
  EXPECT_EQ(IniValue("//ini/設定/売買"), "0");
  EXPECT_NE(IniText().find("[独自]\r\nメモ=残す\r\n"), std::string::npos) << IniText();
}

TEST_F(MainWindowCloseTest, DamagedSettingsLinesAreKeptToldAndNeverBackedUp) {
  // A good file, kept as the backup by a first close.
  WriteIni("[設定]\nログインパス=good\n");
  const std::string good = ReadNative(Native("kestrova.ini"));
  ASSERT_TRUE(Start());
  run->window.Close();
  // One NUL byte and one invalid pair in the middle of a file the user made readable by all.
  const std::string password = Sjis("ログインパス=") + std::string("p\0w", 3);
  const std::string memo = Sjis("メモ=") + "\x81 ";  // a key the program does not know
  const std::string damaged = Sjis("[設定]\r\n市町村コード=27128\r\n") + password +
                              Sjis("\r\n売買=0\r\n") + memo +
                              Sjis("\r\n同意=1\r\n[設定2]\r\n負荷軽減スリープ=1500\r\n");
  WriteNative(Native("kestrova.ini"), damaged);
  fs::permissions(Native("kestrova.ini"), fs::perms(0644));
  for (int start = 0; start < 2; ++start) {
    ASSERT_TRUE(Restart());
    EXPECT_EQ(Fields().codes, "27128");
    EXPECT_EQ(Fields().sale, 0);
    EXPECT_EQ(Fields().agreed, 1);
    EXPECT_EQ(Setting("//ini/設定2/負荷軽減スリープ"), "1500");
    EXPECT_EQ(Fields().password, "");  // the damaged lines keep their defaults for the run
    // Said once at each start; the lines are numbered as the file stands.
    const std::string told = Utf8(Fields().logBox);
    EXPECT_NE(told.find(start == 0 ? "3, 5 行目" : "行目"), std::string::npos) << told;
    EXPECT_NE(told.find("設定ファイル"), std::string::npos) << told;
    run->window.Close();
    // The lines are written back as they were, and the backup is still the good file.
    const std::string ini = ReadNative(Native("kestrova.ini"));
    EXPECT_NE(ini.find("\r\n" + password + "\r\n"), std::string::npos);
    EXPECT_NE(ini.find("\r\n" + memo + "\r\n"), std::string::npos);
    EXPECT_EQ(ReadNative(Native("kestrova.ini.bak")), good);
    EXPECT_EQ(IniValue("//ini/設定/同意"), "1");
  }
#ifndef _WIN32  // Windows files have no permission bits
  for (const char* file : {"kestrova.ini", "kestrova.ini.bak"}) {
    EXPECT_EQ(fs::status(Native(file)).permissions(),
              fs::perms::owner_read | fs::perms::owner_write)
        << file;
  }
#endif  // _WIN32
  // A setting the user enters anew replaces its damaged line; the file then reads whole.
  ASSERT_TRUE(Restart());
  run->view.edit = [](MainFields& f) { f.password = "typed"; };
  run->window.Close();
  EXPECT_EQ(IniValue("//ini/設定/ログインパス"), "typed");
  EXPECT_EQ(ReadNative(Native("kestrova.ini")).find(password), std::string::npos);
  ASSERT_TRUE(Restart());
  EXPECT_EQ(Fields().password, "typed");
}

TEST_F(MainWindowCloseTest, SettingsFileThatCannotBeWrittenIsLoggedAndTold) {
  ASSERT_TRUE(Start());
  {
    FailingWrites full({"kestrova.ini"});
    run->window.Close();
  }
  EXPECT_FALSE(Exists("kestrova.ini"));
  const std::string line =
      "\t" + std::to_string(kSettingsWriteFailed) +
      "\t書き込みできませんでした: " + Utf8(platform::DisplayPath(home.path() + "\\kestrova.ini"));
  const std::string log = Utf8(ReadNative(Native("Err/ErrLog.txt")));
  EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << log;
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find(line), std::string::npos) << Messages()[0];
  EXPECT_EQ(run->state.failedWrites, 1);
}

TEST_F(MainWindowCloseTest, ErrorLinesAreAppendedEachWithCrLf) {
  ASSERT_TRUE(Start());
  WriteNative(Native("Err/ErrLog.txt"), "earlier\r\n");
  run->state.errorList.Add("2011/05/08 14:30:00\t10003\tone");
  run->state.errorList.Add("2011/05/08 14:31:00\t10004\ttwo");
  run->window.Close();
  const std::string first =
      "2011/05/08 14:30:00\t10003\tone\r\n2011/05/08 14:31:00\t10004\ttwo\r\n";
  EXPECT_EQ(ReadNative(Native("Err/ErrLog.txt")), "earlier\r\n" + first);

  // The next run's lines follow; nothing earlier is rewritten.
  ASSERT_TRUE(Restart());
  run->state.errorList.Add("2011/05/09 09:00:00\t10003\tthree");
  run->window.Close();
  EXPECT_EQ(ReadNative(Native("Err/ErrLog.txt")),
            "earlier\r\n" + first + "2011/05/09 09:00:00\t10003\tthree\r\n");
}

TEST_F(MainWindowCloseTest, RunWithoutErrorsDoesNotTouchTheErrorLog) {
  ASSERT_TRUE(Start());
  run->window.Close();
  EXPECT_FALSE(Exists("Err/ErrLog.txt"));

  WriteNative(Native("Err/ErrLog.txt"), "earlier\n");
  const fs::file_time_type old = Age("Err/ErrLog.txt");
  ASSERT_TRUE(Restart());
  run->window.Close();
  EXPECT_EQ(ReadNative(Native("Err/ErrLog.txt")), "earlier\n");
  EXPECT_EQ(fs::last_write_time(Native("Err/ErrLog.txt")), old);
}

TEST_F(MainWindowCloseTest, UnchangedDetailAndDealStoresAreNotRewritten) {
  WriteCp932("dat/SyousaiInfo.dat", "100000000001<===>3LDK\t\n");
  WriteCp932("dat/SeiyakuInfo.dat", "100000000001<===>2011/04/01\t1980\n");
  const fs::file_time_type detailTime = Age("dat/SyousaiInfo.dat");
  const fs::file_time_type dealTime = Age("dat/SeiyakuInfo.dat");
  const std::string detailBytes = ReadNative(Native("dat/SyousaiInfo.dat"));
  const std::string dealBytes = ReadNative(Native("dat/SeiyakuInfo.dat"));
  ASSERT_TRUE(Start());
  run->window.Close();
  EXPECT_EQ(ReadNative(Native("dat/SyousaiInfo.dat")), detailBytes);
  EXPECT_EQ(ReadNative(Native("dat/SeiyakuInfo.dat")), dealBytes);
  EXPECT_EQ(fs::last_write_time(Native("dat/SyousaiInfo.dat")), detailTime);
  EXPECT_EQ(fs::last_write_time(Native("dat/SeiyakuInfo.dat")), dealTime);
}

TEST_F(MainWindowCloseTest, ChangedDetailStoreIsWrittenAndTheUnchangedDealStoreIsNot) {
  WriteCp932("dat/SeiyakuInfo.dat", "100000000001<===>2011/04/01\t1980\n");
  const fs::file_time_type dealTime = Age("dat/SeiyakuInfo.dat");
  ASSERT_TRUE(Start());
  run->state.detailStore.Set("100000000009", "1LDK\t");
  run->window.Close();
  EXPECT_NE(ReadNative(Native("dat/SyousaiInfo.dat")).find("100000000009<===>1LDK\t"),
            std::string::npos);
  EXPECT_EQ(fs::last_write_time(Native("dat/SeiyakuInfo.dat")), dealTime);
  ASSERT_TRUE(Restart());
  EXPECT_EQ(std::string(run->state.detailStore.GetView("100000000009")), "1LDK\t");
}

TEST_F(MainWindowCloseTest, MonthlyTidyRunsAtTheFirstCloseOfEachMonthOnly) {
  // Retention 12 months: on 2011/05/08 anything updated before 2010/05/08 is past data.
  const std::string old1 = Record("100000000001", "2010/04/01");
  const std::string recent = Record("100000000002", "2011/05/02");
  const std::string old2 = Record("100000000003", "2010/05/20");
  StoreRecords({old1, recent});
  ASSERT_TRUE(Start());
  run->window.Close();
  EXPECT_EQ(Lines("dat\\TotalData_Kako.txt"), std::vector<std::string>{old1});
  EXPECT_EQ(Lines("dat\\TotalData.txt"), std::vector<std::string>{recent});
  EXPECT_EQ(Setting("//ini/設定2/データ整理最終"), "2011/05");
  EXPECT_EQ(IniValue("//ini/設定2/データ整理最終"), "2011/05");

  // Same month, a new program run: no second tidy, even of an old record.
  StoreRecords({old1, recent});
  ASSERT_TRUE(Restart());
  run->window.Close();
  EXPECT_EQ(Lines("dat\\TotalData_Kako.txt"), std::vector<std::string>{old1});
  EXPECT_EQ(Lines("dat\\TotalData.txt"), (std::vector<std::string>{old1, recent}));

  // First close of June: cutoff 2010/06/01, both old records go.
  StoreRecords({recent, old2});
  clock.Set(FixedClock("2011/06/01 08:00:00").Current());
  ASSERT_TRUE(Restart());
  run->window.Close();
  EXPECT_EQ(Lines("dat\\TotalData_Kako.txt"), (std::vector<std::string>{old1, old2}));
  EXPECT_EQ(Lines("dat\\TotalData.txt"), std::vector<std::string>{recent});
  EXPECT_EQ(IniValue("//ini/設定2/データ整理最終"), "2011/06");
}

TEST_F(MainWindowCloseTest, CommandsPressedWhileTheClosingTidyWritesAreRefused) {
  // Enough past records that writing the past files pumps the window's messages.
  std::vector<std::string> records;
  for (int i = 0; i < 4200; ++i)
    records.push_back(Record(std::to_string(100000000000 + i), "2010/04/01"));
  StoreRecords(records);
  ASSERT_TRUE(Start());
  std::vector<CommandResult> pressed;
  desktop.onPump = [&] {
    for (MainCommand id :
         {MainCommand::kMaintenance, MainCommand::kLocalSearch, MainCommand::kResetCounter})
      pressed.push_back(run->window.Command(id));
  };
  EXPECT_EQ(run->window.RequestClose(), CloseResult::kClosed);
  ASSERT_FALSE(pressed.empty());
  for (CommandResult result : pressed) EXPECT_EQ(result, CommandResult::kRefused);
  EXPECT_EQ(Lines("dat\\TotalData_Kako.txt").size(), 4200u);
  EXPECT_EQ(IniValue("//ini/設定2/データ整理最終"), "2011/05");
}

// A run that only searches the management files reads no detail store, unless the close's
// monthly tidy, which writes the CSV files from them, is due; then it reads them first.
TEST_F(MainWindowCloseTest, LocalSearchStartReadsTheDetailStoresOnlyForADueTidy) {
  WriteCp932("dat/SyousaiInfo.dat", "100000000001<===>3LDK\t\n");
  WriteCp932("dat/SeiyakuInfo.dat", "100000000001<===>2011/04/01\t1980\n");
  const std::string detailBytes = ReadNative(Native("dat/SyousaiInfo.dat"));
  StoreRecords({Record("100000000001", "2010/04/01")});
  WriteIni("[設定2]\nデータ整理最終=2011/05\n");
  ASSERT_TRUE(run->window.StartUp({ProgramPath()}, {}, true));
  EXPECT_EQ(run->state.detailStore.Count(), 0);
  run->window.Close();  // this month's tidy is done
  EXPECT_EQ(run->state.detailStore.Count(), 0);
  EXPECT_TRUE(Lines("dat\\TotalData_Kako.txt").empty());

  clock.Set(FixedClock("2011/06/01 08:00:00").Current());
  run = NewRun();
  ASSERT_TRUE(run->window.StartUp({ProgramPath()}, {}, true));
  EXPECT_EQ(run->state.detailStore.Count(), 0);
  run->window.Close();
  EXPECT_EQ(run->state.detailStore.Count(), 1);
  EXPECT_EQ(run->state.dealStore.Count(), 1);
  EXPECT_EQ(Lines("dat\\TotalData_Kako.txt").size(), 1u);
  EXPECT_EQ(ReadNative(Native("dat/SyousaiInfo.dat")), detailBytes);
}

// A tidy killed between its two files is finished by the next start, which writes the CSV
// files as the whole tidy does: with the values of the detail store, for either kind of start.
TEST_F(MainWindowCloseTest, TidyFinishedAtTheStartWritesTheCsvFilesWithTheDetailValues) {
  const std::string old1 = Record("100000000001", "2010/04/01");
  const std::string recent = Record("100000000002", "2011/05/02");
  std::string details;
  for (const char* value : {"100000000001<===>", "100000000002<===>"}) {
    details += value;
    for (int i = 0; i < 40; ++i) details += value[11] == '1' ? "3LDK\t" : "2DK\t";
    details += "\n";
  }
  WriteCp932("dat/SyousaiInfo.dat", details);
  StoreRecords({old1, recent});
  ASSERT_TRUE(Start());
  run->window.Close();  // the whole tidy
  const std::string pastCsv = ReadNative(Native("csv_total/TotalData_kako_csvdata.csv"));
  const std::string totalCsv = ReadNative(Native("csv_total/TotalData_csvdata.csv"));
  ASSERT_NE(Utf8(pastCsv).find("3LDK"), std::string::npos);
  ASSERT_NE(Utf8(totalCsv).find("2DK"), std::string::npos);
  for (const bool localSearchOnly : {false, true}) {
    // Killed right after its marker: the store as before the tidy, no past data yet.
    fs::remove_all(Native("csv_total"));
    fs::remove(Native("dat/TotalData_Kako.txt"));
    StoreRecords({old1, recent});
    WriteNative(Native("dat/TidyInProgress.txt"), "0\r\n" + old1 + "\r\n");
    run = NewRun();
    ASSERT_TRUE(run->window.StartUp({ProgramPath()}, {}, localSearchOnly));
    EXPECT_FALSE(Exists("dat/TidyInProgress.txt"));
    EXPECT_EQ(Lines("dat\\TotalData_Kako.txt"), std::vector<std::string>{old1});
    EXPECT_EQ(ReadNative(Native("csv_total/TotalData_kako_csvdata.csv")), pastCsv)
        << localSearchOnly;
    EXPECT_EQ(ReadNative(Native("csv_total/TotalData_csvdata.csv")), totalCsv) << localSearchOnly;
    run->window.Close();
  }
}

TEST_F(MainWindowCloseTest, TwoClosesOfOneRunTidyOnce) {
  const std::string old1 = Record("100000000001", "2010/04/01");
  ASSERT_TRUE(Start());
  run->window.Close();
  StoreRecords({old1});
  run->window.Close();
  EXPECT_EQ(Lines("dat\\TotalData.txt"), std::vector<std::string>{old1});
  EXPECT_TRUE(Lines("dat\\TotalData_Kako.txt").empty());
}

// ---- commands -------------------------------------------------------------------------------

class MainWindowCommandTest : public UiTest {
 protected:
  void SetUp() override { ASSERT_TRUE(Start()); }
  // The user's edit of the controls, read by the command before it works.
  void Type(std::function<void(MainFields&)> edit) { run->view.edit = std::move(edit); }
};

TEST_F(MainWindowCommandTest, ResetSetsTheCounterToZeroAndShowsIt) {
  Type([](MainFields& f) { f.searchCount = "42"; });
  EXPECT_EQ(run->window.Command(MainCommand::kResetCounter), CommandResult::kRan);
  EXPECT_EQ(Fields().searchCount, "0");
  EXPECT_EQ(run->view.shown.back().searchCount, "0");
  run->window.Close();
  EXPECT_EQ(IniValue("//ini/検索用/検索回数"), "0");
}

TEST_F(MainWindowCommandTest, LastPlusOneToYesterdayPresetsTheRange) {
  clock.Set(FixedClock("2011/06/05 10:00:00").Current());
  Type([](MainFields& f) { f.lastDate = "2011/05/31"; });
  EXPECT_EQ(run->window.Command(MainCommand::kPresetLastPlusOne), CommandResult::kRan);
  EXPECT_EQ(Fields().startDate, "2011/06/01");
  EXPECT_EQ(Fields().endDate, "2011/06/04");
  EXPECT_EQ(Fields().lastDate, "2011/05/31");
  EXPECT_EQ(run->view.shown.back().startDate, "2011/06/01");
}

TEST_F(MainWindowCommandTest, LastToTodayPresetsTheRangeFromTheLastDate) {
  clock.Set(FixedClock("2011/06/05 10:00:00").Current());
  Type([](MainFields& f) {
    f.lastDate = "2011/05/31";
    f.startDate = "2011/04/01";
  });
  EXPECT_EQ(run->window.Command(MainCommand::kPresetLastToToday), CommandResult::kRan);
  EXPECT_EQ(Fields().endDate, "2011/06/05");
  EXPECT_EQ(Fields().startDate, "2011/05/31");
}

TEST_F(MainWindowCommandTest, LastDateFrom2037OnGivesAnEmptyStart) {
  Type([](MainFields& f) { f.lastDate = "2037/01/10"; });
  EXPECT_EQ(run->window.Command(MainCommand::kPresetLastPlusOne), CommandResult::kRan);
  EXPECT_EQ(Fields().startDate, "");
  EXPECT_EQ(Fields().endDate, "2011/05/07");
}

TEST_F(MainWindowCommandTest, UnknownIdIsNoCommandAndChangesNothing) {
  const std::size_t shows = run->view.shown.size();
  EXPECT_EQ(run->window.Command(MainCommand{4711}), CommandResult::kUnknown);
  EXPECT_EQ(run->view.shown.size(), shows);
  EXPECT_FALSE(run->window.busy());
  EXPECT_TRUE(fake.Requests().empty());
}

TEST_F(MainWindowCommandTest, ButtonPressedWhileACommandRunsIsRefused) {
  // A press that the pump delivers while a command shows its fields.
  CommandResult nested = CommandResult::kUnknown;
  run->view.onShow = [&] {
    run->view.onShow = nullptr;
    nested = run->window.Command(MainCommand::kPresetLastToToday);
  };
  Type([](MainFields& f) { f.searchCount = "5"; });
  EXPECT_EQ(run->window.Command(MainCommand::kResetCounter), CommandResult::kRan);
  EXPECT_EQ(nested, CommandResult::kRefused);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_NE(Messages()[0].find("他の処理を実行中です"), std::string::npos);
  EXPECT_EQ(Fields().endDate, "2011/05/07");  // the refused preset did not run
  EXPECT_FALSE(run->window.busy());
  EXPECT_EQ(run->window.Command(MainCommand::kPresetLastToToday), CommandResult::kRan);
  EXPECT_EQ(Fields().endDate, "2011/05/08");
}

}  // namespace
}  // namespace kestrova::test
