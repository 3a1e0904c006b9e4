#include "ui/result_actions.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif  // _WIN32

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "tests/support/cp932_text.h"
#include "tests/support/failing_writes.h"
#include "tests/support/recording_search_view.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

namespace fs = std::filesystem;
using test::Cp932Lines;
using test::ReadNative;
using test::WriteNative;

constexpr const char* kLayout =
    "物件種別\tS\t種別\n$所在地$\tS\t所在地\n物件番号\tS\t番号\n価格\tN\t価格\n";

class ResultActionsTest : public ::testing::Test {
 protected:
  ResultActionsTest() {
    state.environment.SetId(kEnvProgramFolder, home.path());
    state.environment.SetId(kEnvDesktopDirectory, desk.path());
    state.desktop = &desktop;
    UseLayout(kLayout);
    AddRow("\"11売り・土地\",\"大阪市中央区本町1\",\"100000000001\",\"1500.00\"");
    AddRow("\"21賃貸・マンション\",\"豊中市新千里東町2\",\"100000000002\",\"8.50\"");
    AddRow("\"12売り・戸建\",\"三島郡島本町山崎3\",\"100000000003\",\"2980\"");
  }

  void UseLayout(const char* utf8) { state.kanriLayout.LoadFromText(Cp932Lines(utf8)); }
  void AddRow(const char* utf8) { rows.Add(Sjis(utf8), ",", state.kanriLayout.Columns()); }
  std::vector<std::string> Run(ResultAction action, std::vector<int> selected = {0, 1, 2}) {
    return RunResultAction(state, rows, selected, action);
  }
  std::string Native(const std::string& relative) const { return home.native() + "/" + relative; }
  void WriteHome(const std::string& relative, const std::string& bytes) const {
    fs::create_directories(test::FsPath(Native(relative)).parent_path());
    WriteNative(Native(relative), bytes);
  }

  test::TempFolder home;
  test::TempFolder desk;
  test::ScriptedDesktop desktop;
  ProgramState state;
  SearchResults rows;
};

TEST_F(ResultActionsTest, PdfActionsFindOnlyTheRowWhosePdfIsSaved) {
  // Nothing saved yet: the copy folder is still made, a drag offers nothing.
  Run(ResultAction::kCopyPdfToDesktop);
  EXPECT_TRUE(fs::is_directory(desk.native() + "/CopyPDF"));
  EXPECT_TRUE(Run(ResultAction::kCollectDragFiles).empty());

  WriteHome("pdf/21/豊中市/100000000002.pdf", "first");
  // A number that climbs out of its folder is no file name, though the file it names exists.
  AddRow("\"11売り・土地\",\"大阪市中央区本町1\",\"..\\..\\..\\x\",\"1\"");
  WriteHome("pdf/11/大阪市中央区/keep", "");
  WriteHome("x.pdf", "outside");
  const std::string pdf = home.path() + Sjis("\\pdf\\21\\豊中市\\100000000002.pdf");
  EXPECT_TRUE(Run(ResultAction::kOpenPdf, {0, 1, 2, 3}).empty());
  EXPECT_EQ(desktop.opened, std::vector<std::string>{pdf});
  EXPECT_EQ(Run(ResultAction::kCollectDragFiles, {3, 2, 1, 0}), std::vector<std::string>{pdf});
  Run(ResultAction::kCopyPdfToDesktop, {0, 1, 2, 3});
  WriteHome("pdf/21/豊中市/100000000002.pdf", "second");
  Run(ResultAction::kCopyPdfToDesktop, {1});
  std::vector<std::string> copied;
  for (const auto& entry : fs::directory_iterator(desk.native() + "/CopyPDF"))
    copied.push_back(entry.path().filename().string() + ":" + ReadNative(entry.path().string()));
  EXPECT_EQ(copied, std::vector<std::string>{"100000000002.pdf:second"});
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(ResultActionsTest, ClipboardWorksWithAnyLayoutWhilePdfActionsNeedTheNumber) {
  Run(ResultAction::kCopyInfoToClipboard, {2, 0});
  ASSERT_EQ(desktop.clipboard.size(), 1u);
  EXPECT_EQ(Utf8(desktop.clipboard[0]),
            "11売り・土地\t大阪市中央区本町1\t100000000001\t1500\t\r\n"
            "12売り・戸建\t三島郡島本町山崎3\t100000000003\t2980\t\r\n");

  WriteHome("pdf/11/大阪市中央区/100000000001.pdf", "pdf");
  WriteHome("pdf/11/大阪市中央区/100000000001.html", "<html></html>");
  UseLayout("物件種別\tS\t種別\n$所在地$\tS\t所在地\n価格\tN\t価格\n");
  rows.Clear();
  AddRow("11売り・土地,大阪市中央区本町1,1500");
  Run(ResultAction::kOpenPdf, {0});
  Run(ResultAction::kCopyPdfToDesktop, {0});
  EXPECT_EQ(desktop.Texts(),
            std::vector<std::string>(2, "物件種別,$所在地$,物件番号 がない為、処理できません"));
  EXPECT_FALSE(fs::exists(desk.native() + "/CopyPDF"));
  Run(ResultAction::kOpenDetailPage, {0});
  EXPECT_TRUE(Run(ResultAction::kCollectDragFiles, {0}).empty());
  EXPECT_TRUE(desktop.opened.empty());
  Run(ResultAction::kCopyInfoToClipboard, {0});
  ASSERT_EQ(desktop.clipboard.size(), 2u);
  EXPECT_EQ(Utf8(desktop.clipboard[1]), "11売り・土地\t大阪市中央区本町1\t1500\t\r\n");
}

TEST_F(ResultActionsTest, DetailPageOpensAsTheTemporaryPageWithStyleSheetsBesideIt) {
  fs::create_directories(Native("Tmp"));
  WriteHome("pdf/11/大阪市中央区/100000000001.html",
            "<link href=\"/reinsip/css/a.css\"><link href=\"/reinsip/css/b.css\">");
  WriteHome("pdf/12/三島郡島本町/100000000003.html", "<p>3</p>");
  Run(ResultAction::kOpenDetailPage, {0});
  EXPECT_EQ(ReadNative(Native("Tmp/temp.html")), "<link href=\"./a.css\"><link href=\"./b.css\">");
  Run(ResultAction::kOpenDetailPage);
  EXPECT_EQ(desktop.opened, std::vector<std::string>(3, home.path() + "\\Tmp\\temp.html"));
  EXPECT_EQ(ReadNative(Native("Tmp/temp.html")), "<p>3</p>");

  // A page that cannot be written is logged and told, and the old one is not shown.
  test::FailingWrites full({"temp.html"});
  Run(ResultAction::kOpenDetailPage, {0});
  EXPECT_EQ(desktop.opened.size(), 3u);
  EXPECT_EQ(state.failedWrites, 1);
  EXPECT_NE(state.errorList.View(0).find("30005"), std::string_view::npos);
  EXPECT_EQ(desktop.messages.size(), 1u);
}

TEST(HexEscapeTest, EncodesEveryByteInUpperCase) {
  EXPECT_EQ(HexEscape(Sjis("大阪")), "%91%E5%8D%E3");
  EXPECT_EQ(HexEscape("a 1"), "%61%20%31");
}

// The program the desktop opens web pages with, found on a PATH of the test's own, in a
// folder whose name holds a blank.
class LaunchTest : public ResultActionsTest {
 protected:
  LaunchTest() : program(bin.path() + "\\my bin\\xdg-open") {
    const char* path = std::getenv("PATH");
    oldPath_ = path ? path : "";
    fs::create_directories(bin.native() + "/empty");
    fs::create_directories(bin.native() + "/my bin");
    WriteNative(bin.native() + "/my bin/xdg-open", "");
#ifndef _WIN32
    chmod((bin.native() + "/my bin/xdg-open").c_str(), 0755);
#endif  // _WIN32
    UsePath(bin.native() + "/empty:" + bin.native() + "/my bin");
    state.settings.Set(keys::kMapAddress, "https://map.example/maps?q=%PARAM_SJISHEX%");
  }
  ~LaunchTest() override { test::SetEnv("PATH", oldPath_); }
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "finds xdg-open on PATH; Windows asks the shell for the program";
#endif  // _WIN32
  }
  void UsePath(const std::string& path) { test::SetEnv("PATH", path); }

  test::TempFolder bin;
  const std::string program;

 private:
  std::string oldPath_;
};

TEST_F(LaunchTest, LocationReachesTheBrowserAsOneArgumentWithoutAShell) {
  ASSERT_TRUE(LaunchWithParam(state, Sjis("大阪市中央区本町1")));
  const std::string location = "a\" \"b; rm -rf ~ $(touch x) `id` & | > c";
  state.settings.Set(keys::kMapAddress, "https://map.example/?raw=%PARAM%&q=%PARAM_SJISHEX%");
  ASSERT_TRUE(LaunchWithParam(state, location));
  ASSERT_EQ(desktop.started.size(), 2u);
  EXPECT_EQ(desktop.started[0].program, program);
  EXPECT_EQ(desktop.started[0].arguments,
            std::vector<std::string>{"https://map.example/maps?q=%91%E5%8D%E3%8E%73%92%86%89%9B%8B"
                                     "%E6%96%7B%92%AC%31"});
  EXPECT_EQ(desktop.started[1].arguments,
            std::vector<std::string>{"https://map.example/?raw=" + location +
                                     "&q=" + HexEscape(location)});

  // Too long a location, or no program for web pages: nothing is started.
  EXPECT_FALSE(LaunchWithParam(state, std::string(1000, 'a')));
  EXPECT_TRUE(LaunchWithParam(state, std::string(999, 'a')));
  UsePath(bin.native() + "/empty");
  std::string commandTemplate = "old";
  EXPECT_EQ(FindAssociatedProgram(".html", commandTemplate), -1);
  EXPECT_EQ(commandTemplate, "");
  EXPECT_FALSE(LaunchWithParam(state, "x"));
  EXPECT_EQ(desktop.started.size(), 3u);
}

TEST_F(LaunchTest, DoubleClickRunsTheChosenActionOnEverySelectedRow) {
  WriteHome("csv_total/TotalData_kanri_csvdata.csv",
            Cp932Lines("\"種別\",\"所在地\",\"番号\",\"価格\",\n\n\n"
                       "\"11売り・土地\",\"大阪市中央区本町1\",\"100000000001\",1500,\n"
                       "\"21賃貸・マンション\",\"豊中市新千里東町2\",\"100000000002\",8.5,\n"
                       "\"12売り・戸建\",\"三島郡島本町山崎3\",\"100000000003\",2980,\n"));
  state.settings.Set(keys::kSearchType, "2");
  state.settings.Set(keys::kSearchFloorPlan, "2");
  test::RecordingSearchView view;
  SearchWindow window(state, view);
  ASSERT_TRUE(window.Open());
  ASSERT_EQ(window.Results().RowCount(), 3);
  view.controls.selected = {0, 2};
  for (int action : {4, -1, 5}) {
    view.controls.state.doubleClick = action;
    window.DoubleClick();
  }
  ASSERT_EQ(desktop.started.size(), 2u);
  EXPECT_TRUE(desktop.started[1].arguments[0].ends_with(HexEscape(Sjis("三島郡島本町山崎3"))));
}

class ExportTest : public ResultActionsTest {
 protected:
  ExportTest() {
    state.headerLists.LoadFromText(
        ReadNative(std::string(KESTROVA_SOURCE_DIR) + "/Setting/HeaderInfo.dat"));
    state.csvLayout.LoadFromText(Cp932Lines("!ヘッダ空行=0\n物件番号\tS\t番号\n価格\tS\t価格\n"));
  }
  static std::string Record(const char* number, const char* price) {
    return Sjis("有\t11売り・土地\t") + number + "\t" + price + std::string(27, '\t') + "\r\n";
  }
  std::string Exported() const {
    return Utf8(ReadNative(Native("csv_total/TotalData_csvdata(検索管理データより).csv")));
  }
};

TEST_F(ExportTest, WritesOneRecordPerChosenNumberFromCurrentDataOnly) {
  fs::create_directories(Native("csv_total"));
  WriteHome("dat/TotalData.txt", Record("100000000001", "1500") + Record("100000000009", "1") +
                                     Record("100000000003", "2980"));
  WriteHome("dat/TotalData_Kako.txt", Record("100000000002", "8"));
  AddRow("\"11売り・土地\",\"大阪市中央区本町1\",\"100000000001\",\"1500.00\"");
  Run(ResultAction::kExportCompatibleCsv, {0, 1, 2, 3});
  EXPECT_EQ(Exported(),
            "\"番号\",\"価格\",\r\n\"100000000001\",\"1500\",\r\n\"100000000003\",\"2980\",\r\n");
  EXPECT_EQ(desktop.opened, std::vector<std::string>{home.path() + "\\csv_total"});
  Run(ResultAction::kExportCompatibleCsv, {1});
  EXPECT_EQ(Exported(), "\"番号\",\"価格\",\r\n");

  test::FailingWrites full({"TotalData_csvdata("});
  Run(ResultAction::kExportCompatibleCsv, {0});
  EXPECT_EQ(Exported(), "\"番号\",\"価格\",\r\n");
  EXPECT_EQ(desktop.opened.size(), 2u);
  EXPECT_EQ(state.failedWrites, 1);
  EXPECT_EQ(desktop.Texts().at(0),
            "書き込みできませんでした: " +
                Utf8(platform::DisplayPath(
                    home.path() + Sjis("\\csv_total\\TotalData_csvdata(検索管理データより).csv"))));
}

}  // namespace
}  // namespace kestrova
