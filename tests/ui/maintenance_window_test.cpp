#include "ui/maintenance_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/dates.h"
#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "store/csv_layout.h"
#include "store/detail_files.h"
#include "store/program_state.h"
#include "store/property_record.h"
#include "tests/support/recording_maintenance_view.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"
#include "ui/console_view.h"

namespace kestrova {
namespace {

using test::RecordingMaintenanceView;
using test::TempFolder;

// A detail page with the property number and the price (UTF-8, as the service sends it).
std::string DetailPage(const std::string& number, const std::string& price) {
  return "<html><body>\n<table>\n<tr><td>物件番号</td><td>" + number +
         "</td></tr>\n<tr><td>価格</td><td>" + price + "</td></tr>\n</table>\n</body></html>\n";
}

class MaintenanceWindowTest : public ::testing::Test {
 protected:
  MaintenanceWindowTest() : clock("2012/03/30 13:32:27"), window(state, view) {
    state.environment.SetId(kEnvProgramFolder, home.path());
    state.clock = &clock;
    state.desktop = &desktop;
    for (const char* f : {"\\dat", "\\csv", "\\csv_total", "\\Log", "\\pdf", "\\Setting"}) {
      EXPECT_TRUE(MakeFolder(state.PathOf(f)));
    }
    Write("\\Setting\\Syousai_Header.dat", Sjis("物件番号\r\n価格\r\n"));
    LoadDetailFiles(state);
  }

  void Write(const std::string& relative, const std::string& bytes) {
    const std::string path = state.PathOf(relative);
    ASSERT_TRUE(MakeFolder(SplitPath(path).folderPath));
    ASSERT_TRUE(WriteFileAtomic(path, bytes)) << relative;
  }
  bool Exists(const std::string& relative) const { return FileExists(state.PathOf(relative)) == 1; }
  std::string Read(const std::string& relative) const {
    std::string bytes;
    ReadWholeFile(state.PathOf(relative), bytes);
    return bytes;
  }
  void Open() {
    window.Open();
    view.statuses.clear();
  }
  CommandResult Run(MaintenanceCommand id) { return window.Command(id); }

  TempFolder home;
  FixedClock clock;
  test::ScriptedDesktop desktop;
  ProgramState state;
  RecordingMaintenanceView view;
  MaintenanceWindow window;
};

TEST_F(MaintenanceWindowTest, OpeningTicksTheBoxesAndFillsTheEditsFromTheSettings) {
  state.settings.Set(keys::kSaleOrder, "1,1,1,3;");
  state.settings.Set(keys::kRentOrder, "1,3,2,");
  state.settings.Set(keys::kRetentionMonths, "24");
  view.controls.csvFolder = view.controls.backups = view.controls.logs = 0;
  window.Open();
  EXPECT_EQ(view.titles, std::vector<std::string>{"ﾒﾝﾃﾅﾝｽ"});
  EXPECT_EQ(view.controls.csvFolder, 1);
  EXPECT_EQ(view.controls.backups, 1);
  EXPECT_EQ(view.controls.logs, 1);
  EXPECT_EQ(view.controls.saleOrder, "1,1,1,3;");
  EXPECT_EQ(view.controls.rentOrder, "1,3,2,");
  EXPECT_EQ(view.controls.retention, "24");
}

TEST_F(MaintenanceWindowTest, RebuildShowsEachZeroBasedIndexThenTheCompletion) {
  Write("\\pdf\\11\\27127\\100000000001.html", DetailPage("100000000001", "1,980万円"));
  Write("\\pdf\\21\\27128\\deep\\100000000002.HTML", DetailPage("100000000002", "500万円"));
  Write("\\pdf\\100000000003.html", DetailPage("100000000003", "7万円"));
  Write("\\pdf\\11\\27127\\100000000001.pdf", "%PDF-1.4");
  Open();
  EXPECT_EQ(Run(MaintenanceCommand::kRebuildDetail), CommandResult::kRan);
  EXPECT_EQ(view.statuses,
            (std::vector<std::string>{"0/3 ...", "1/3 ...", "2/3 ...", "3/3 ...作成完了！"}));
  // Up to 100 messages are dispatched after each page and once more after the completion.
  EXPECT_EQ(std::count(desktop.pumps.begin(), desktop.pumps.end(), 100), 4);
  EXPECT_EQ(state.detailStore.Count(), 3);
  EXPECT_EQ(state.detailStore.GetView("100000000001"), "100000000001\t1980\t");
  EXPECT_EQ(state.detailStore.GetView("100000000002"), "100000000002\t500\t");
}

TEST_F(MaintenanceWindowTest, ButtonsPressedWhileARebuildPumpsAreRefused) {
  Write("\\pdf\\100000000001.html", DetailPage("100000000001", "10万円"));
  Write("\\Log\\page.html", "x");
  Open();
  std::vector<CommandResult> nested;
  desktop.onPump = [&] {
    if (nested.empty()) nested.push_back(Run(MaintenanceCommand::kDeleteFiles));
  };
  EXPECT_EQ(Run(MaintenanceCommand::kRebuildDetail), CommandResult::kRan);
  EXPECT_EQ(nested, std::vector<CommandResult>{CommandResult::kRefused});
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(Utf8(desktop.messages[0].text), "他の処理を実行中です。終了してから操作してください");
  EXPECT_TRUE(Exists("\\Log\\page.html"));
  EXPECT_FALSE(window.busy());
  EXPECT_EQ(Run(MaintenanceCommand::kDeleteFiles), CommandResult::kRan);
  EXPECT_FALSE(Exists("\\Log\\page.html"));
}

TEST_F(MaintenanceWindowTest, RebuildWithoutSavedPagesShowsZeroOfZeroAtOnce) {
  std::filesystem::remove_all(platform::NativePath(state.PathOf("\\pdf")));
  Open();
  EXPECT_EQ(Run(MaintenanceCommand::kRebuildDetail), CommandResult::kRan);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"0/0 ...作成完了！"});
  // Nothing changed, so the detail file is not rewritten.
  EXPECT_FALSE(Exists("\\dat\\SyousaiInfo.dat"));
}

TEST_F(MaintenanceWindowTest, RebuildWritesTheDetailFileAtOnce) {
  Write("\\dat\\SyousaiInfo.dat", "100000000009<===>100000000009\t1\t\r\n");
  LoadDetailFiles(state);
  Write("\\pdf\\11\\27127\\100000000001.html", DetailPage("100000000001", "1,980万円"));
  Open();
  EXPECT_EQ(Run(MaintenanceCommand::kRebuildDetail), CommandResult::kRan);
  EXPECT_FALSE(state.detailStore.changed());
  EXPECT_EQ(Read("\\dat\\SyousaiInfo.dat"),
            "100000000001<===>100000000001\t1980\t\r\n100000000009<===>100000000009\t1\t\r\n");
  // A later start reads the rebuilt value back.
  ProgramState next;
  next.environment.SetId(kEnvProgramFolder, home.path());
  LoadDetailFiles(next);
  EXPECT_EQ(next.detailStore.GetView("100000000001"), "100000000001\t1980\t");
}

TEST_F(MaintenanceWindowTest, RebuildSaysSoWhenTheDetailFileCannotBeWritten) {
  ASSERT_TRUE(MakeFolder(state.PathOf("\\dat\\SyousaiInfo.dat")));  // a folder blocks the file
  Write("\\pdf\\100000000001.html", DetailPage("100000000001", "10万円"));
  Open();
  EXPECT_EQ(Run(MaintenanceCommand::kRebuildDetail), CommandResult::kRan);
  ASSERT_EQ(view.statuses.size(), 2u);
  EXPECT_EQ(view.statuses[1], "1/1 ...作成完了！ SyousaiInfo.datを保存できませんでした。");
  // Still marked, so the close sequence tries again.
  EXPECT_TRUE(state.detailStore.changed());
}

TEST_F(MaintenanceWindowTest, RebuildWorksWithTheShippedHeaderAndPage) {
  const std::string shipped = std::string(KESTROVA_SOURCE_DIR) + "/Setting/Syousai_Header.dat";
  std::string header;
  ReadWholeFile(platform::ProgramPath(shipped), header);
  Write("\\Setting\\Syousai_Header.dat", header);
  LoadDetailFiles(state);
  std::string page;
  ReadWholeFile(
      platform::ProgramPath(std::string(KESTROVA_TEST_DATA) + "/pages/detail_mansion.html"), page);
  ASSERT_FALSE(page.empty());
  Write("\\pdf\\13\\27127\\100012345678.html", page);
  Open();
  EXPECT_EQ(Run(MaintenanceCommand::kRebuildDetail), CommandResult::kRan);
  EXPECT_EQ(view.statuses.back(), "1/1 ...作成完了！");
  EXPECT_NE(Read("\\dat\\SyousaiInfo.dat").find("100012345678<===>100012345678\t"),
            std::string::npos);
}

class RebuildCsvTest : public MaintenanceWindowTest {
 protected:
  void SetUp() override {
    const std::string shipped = std::string(KESTROVA_SOURCE_DIR) + "/Setting/";
    for (const char* f : {"HeaderInfo.dat", "Output_CSV.txt", "Output_Kanri.txt"}) {
      std::string bytes;
      ReadWholeFile(platform::ProgramPath(shipped + f), bytes);
      ASSERT_FALSE(bytes.empty()) << f;
      Write(std::string("\\Setting\\") + f, bytes);
    }
    LoadLayouts(state);
    std::vector<std::string> fields(30);
    fields[1] = Sjis("11売り・土地");
    fields[2] = "100000000042";
    fields[18] = "2012/03/01";
    Write("\\dat\\TotalData.txt", JoinRecord(fields) + "\r\n");
  }
};

TEST_F(RebuildCsvTest, WritesBothTotalFilesFromTheStore) {
  Open();
  EXPECT_EQ(Run(MaintenanceCommand::kRebuildCsv), CommandResult::kRan);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"CSV情報を更新しました。"});
  EXPECT_NE(Read("\\csv_total\\TotalData_csvdata.csv").find("100000000042"), std::string::npos);
  EXPECT_NE(Read("\\csv_total\\TotalData_kanri_csvdata.csv").find("100000000042"),
            std::string::npos);
}

TEST_F(RebuildCsvTest, DoesNotClaimSuccessWhenTheFilesCannotBeWritten) {
  std::filesystem::remove_all(platform::NativePath(state.PathOf("\\csv_total")));
  Open();
  EXPECT_EQ(Run(MaintenanceCommand::kRebuildCsv), CommandResult::kRan);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"CSV情報を更新できませんでした。"});
}

class DeleteFilesTest : public MaintenanceWindowTest {
 protected:
  void SetUp() override {
    for (const char* f : kKept) Write(f, "x");
    for (const char* f : kBackups) Write(f, "x");
    for (const char* f : kCsv) Write(f, "x");
    for (const char* f : kLogs) Write(f, "x");
    Open();
  }
  void ExpectAll(const std::vector<const char*>& files, bool present) {
    for (const char* f : files) EXPECT_EQ(Exists(f), present) << f;
  }
  const std::vector<const char*> kKept = {
      "\\dat\\TotalData.txt",   "\\dat\\TotalData_Kako.txt", "\\dat\\SyousaiInfo.dat",
      "\\dat\\SeiyakuInfo.dat", "\\pdf\\11\\27127\\1.html",  "\\Setting\\backup_notes.txt"};
  const std::vector<const char*> kBackups = {"\\dat\\backup_20120301_TotalData.txt",
                                             "\\dat\\TotalData_BACKUP_1.txt",
                                             "\\dat\\old\\deeper\\Backup_x.dat"};
  const std::vector<const char*> kCsv = {"\\csv\\20120330_1.csv", "\\csv\\sub\\a.csv"};
  const std::vector<const char*> kLogs = {"\\Log\\page1.html", "\\Log\\2012\\03\\page2.html"};
};

TEST_F(DeleteFilesTest, AllBoxesClearedDeletesNothing) {
  view.controls.csvFolder = view.controls.backups = view.controls.logs = 0;
  EXPECT_EQ(window.DeleteDataFiles(), 0);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"ﾛｸﾞを削除しました(0件)"});
  ExpectAll(kKept, true);
  ExpectAll(kBackups, true);
  ExpectAll(kCsv, true);
  ExpectAll(kLogs, true);
}

TEST_F(DeleteFilesTest, OnlyBackupsRemovesBackupFilesAtAnyDepthAndInAnyCase) {
  view.controls.csvFolder = view.controls.logs = 0;
  EXPECT_EQ(window.DeleteDataFiles(), 3);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"ﾛｸﾞを削除しました(3件)"});
  ExpectAll(kBackups, false);
  ExpectAll(kKept, true);
  ExpectAll(kCsv, true);
  ExpectAll(kLogs, true);
}

TEST_F(DeleteFilesTest, AllBoxesTickedEmptiesCsvAndLogButKeepsTheirFolders) {
  EXPECT_EQ(window.DeleteDataFiles(), 7);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"ﾛｸﾞを削除しました(7件)"});
  ExpectAll(kBackups, false);
  ExpectAll(kCsv, false);
  ExpectAll(kLogs, false);
  ExpectAll(kKept, true);
  EXPECT_TRUE(IsFolder(state.PathOf("\\Log\\2012\\03")));
  EXPECT_TRUE(IsFolder(state.PathOf("\\csv\\sub")));
}

TEST_F(DeleteFilesTest, MissingFoldersGiveAnEmptyList) {
  for (const char* f : {"\\csv", "\\Log", "\\dat"}) {
    std::filesystem::remove_all(platform::NativePath(state.PathOf(f)));
  }
  EXPECT_EQ(Run(MaintenanceCommand::kDeleteFiles), CommandResult::kRan);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"ﾛｸﾞを削除しました(0件)"});
}

TEST_F(MaintenanceWindowTest, PresetsSetTheirOwnEditOnly) {
  Open();
  view.controls.saleOrder = "typed sale";
  view.controls.rentOrder = "typed rent";
  Run(MaintenanceCommand::kPresetSaleShort);
  EXPECT_EQ(view.controls.saleOrder, "1,1,1,3;1,1,2,");
  EXPECT_EQ(view.controls.rentOrder, "typed rent");
  Run(MaintenanceCommand::kPresetRentFull);
  EXPECT_EQ(view.controls.rentOrder, "1,3,1,4;1,3,3,5;1,3,2,");
  EXPECT_EQ(view.controls.saleOrder, "1,1,1,3;1,1,2,");
  Run(MaintenanceCommand::kPresetSaleFull);
  EXPECT_EQ(view.controls.saleOrder, "1,1,1,4;1,1,3,5;1,1,2,");
  Run(MaintenanceCommand::kPresetRentShort);
  EXPECT_EQ(view.controls.rentOrder, "1,3,1,3;1,3,2,");
  // 1009 is the status line, no button: nothing changes.
  EXPECT_EQ(Run(MaintenanceCommand{1009}), CommandResult::kUnknown);
  EXPECT_EQ(view.controls.saleOrder, "1,1,1,4;1,1,3,5;1,1,2,");
  EXPECT_EQ(view.controls.rentOrder, "1,3,1,3;1,3,2,");
}

TEST_F(MaintenanceWindowTest, PresetIsStoredOnlyWhenTheWindowIsClosed) {
  state.settings.Set(keys::kRentOrder, "1,3,2,");
  Open();
  Run(MaintenanceCommand::kPresetRentFull);
  EXPECT_EQ(state.settings.GetView(keys::kRentOrder), "1,3,2,");
  window.Close();
  EXPECT_EQ(state.settings.GetView(keys::kRentOrder), "1,3,1,4;1,3,3,5;1,3,2,");
}

TEST_F(MaintenanceWindowTest, CloseStoresTheTypedTextsWithoutCheckingThem) {
  Open();
  view.controls.retention = Sjis("六");
  view.controls.saleOrder = "1,1";
  view.controls.rentOrder = "";
  window.Close();
  EXPECT_EQ(state.settings.GetView(keys::kRetentionMonths), Sjis("六"));
  EXPECT_EQ(state.settings.GetView(keys::kSaleOrder), "1,1");
  EXPECT_EQ(state.settings.GetView(keys::kRentOrder), "");
}

TEST_F(MaintenanceWindowTest, ConsoleViewRunsAllThreeOperationsAndPrintsTheirResults) {
  Write("\\pdf\\100000000001.html", DetailPage("100000000001", "10万円"));
  Write("\\Log\\page.html", "x");
  Write("\\dat\\backup_1.txt", "x");
  Write("\\dat\\TotalData.txt", "");
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  ConsoleMaintenanceView console(out);
  MaintenanceWindow headless(state, console);
  headless.Open();
  headless.Command(MaintenanceCommand::kRebuildDetail);
  EXPECT_EQ(Utf8(headless.Fields().statusLine), "1/1 ...作成完了！");
  EXPECT_TRUE(Exists("\\dat\\SyousaiInfo.dat"));
  headless.Command(MaintenanceCommand::kRebuildCsv);
  EXPECT_EQ(Utf8(headless.Fields().statusLine), "CSV情報を更新しました。");
  EXPECT_EQ(headless.DeleteDataFiles(), 2);
  EXPECT_FALSE(Exists("\\Log\\page.html"));
  EXPECT_TRUE(Exists("\\pdf\\100000000001.html"));
  std::rewind(out);
  std::string printed;
  for (int c; (c = std::fgetc(out)) != EOF;) printed += static_cast<char>(c);
  std::fclose(out);
  EXPECT_EQ(printed,
            "0/1 ...\n1/1 ...作成完了！\nCSV情報を更新しました。\nﾛｸﾞを削除しました(2件)\n");
}

}  // namespace
}  // namespace kestrova
