// The main window's Win32 dialog driven through its controls by id under Wine: first start,
// searches against the host kestrova-sim, stop, closing during a run, input checks, the terms
// box, Enter and Escape, the close box, the login ID prompt, the about dialog and the schedule
// dialog from the right-click menu.
#include "ui/win32/main_window_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/dates.h"
#include "store/program_state.h"
#include "tests/support/cp932_text.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_win32/window_test.h"
#include "ui/pumping_transport.h"
#include "ui/schedule.h"
#include "ui/win32/resource_ids.h"

namespace kestrova {
namespace {

using test::Click;
using test::Enabled;

// Chooses the entry with the given id once a popup menu of this thread is up (the thread
// timer fires inside the menu's loop), as the keyboard does, and keeps the entries seen.
class WhenMenuOpens {
 public:
  explicit WhenMenuOpens(UINT choose) : choose_(choose) {
    self() = this;
    timer_ = SetTimer(nullptr, 0, 20, &WhenMenuOpens::Tick);
  }
  ~WhenMenuOpens() {
    KillTimer(nullptr, timer_);
    self() = nullptr;
  }
  std::vector<UINT> ids;
  std::vector<std::string> texts;  // UTF-8

 private:
  static WhenMenuOpens*& self() {
    static WhenMenuOpens* current = nullptr;
    return current;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    WhenMenuOpens* me = self();
    if (me == nullptr || !me->ids.empty()) return;
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (popup == nullptr || !IsWindowVisible(popup)) return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    if (menu == nullptr) return;
    int downs = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[128] = {};
      GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
      me->ids.push_back(GetMenuItemID(menu, i));
      me->texts.push_back(Utf8(ProgramText(text)));
      if (me->ids.back() == me->choose_) downs = i + 1;
    }
    for (int i = 0; i < downs; ++i) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(popup, WM_KEYDOWN, downs > 0 ? VK_RETURN : VK_ESCAPE, 0);
  }

  UINT choose_;
  UINT_PTR timer_ = 0;
};

class MainWindowDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = std::make_unique<test::TempFolder>();
    std::filesystem::copy(std::string(KESTROVA_SOURCE_DIR) + "/Setting",
                          test::FsPath(home_->native() + "/Setting"),
                          std::filesystem::copy_options::recursive);
    clock_ = std::make_unique<FixedClock>("2011/05/08 14:30:00");
    state_ = std::make_unique<ProgramState>();
    state_->clock = clock_.get();
    state_->desktop = &desktop_;
    dialog_ = std::make_unique<MainWindowDialog>(
        *state_, PumpingTransports(SystemTransportFactory(), desktop_));
    ASSERT_TRUE(dialog_->Create(nullptr)) << "no window: is the display there?";
    desktop_.SetWindow(dialog_->hwnd());
    ShowWindow(dialog_->hwnd(), SW_SHOW);
  }
  void TearDown() override {
    dialog_.reset();
    state_.reset();
  }
  void Start(const char* loginId = "12345678") {
    ASSERT_TRUE(dialog_->StartUp({home_->path() + "\\kestrova"}, {loginId, ""}));
  }
  void StartAgainstSim() {
    const std::string settings = test::HostSimSettings();
    ASSERT_FALSE(settings.empty()) << "no kestrova-sim beside the tests (KESTROVA_HOST_SIM_DIR)";
    test::WriteNative(home_->native() + "/kestrova.ini", test::Cp932Lines(settings));
    Start("demo");
  }
  HWND hwnd() const { return dialog_->hwnd(); }
  std::string Text(int id) const { return test::Text(hwnd(), id); }
  std::string IniValue(const std::string& key) const {
    std::string text = Utf8(test::ReadNative(home_->native() + "/kestrova.ini"));
    const std::string mark = "\n" + key + "=";
    std::size_t at = text.find(mark);
    if (at == std::string::npos) return "";
    at += mark.size();
    return text.substr(at, text.find_first_of("\r\n", at) - at);
  }
  COLORREF NoteColour(int id) {
    HWND note = GetDlgItem(hwnd(), id);
    HDC dc = GetDC(note);
    SendMessageW(hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(note));
    const COLORREF colour = GetTextColor(dc);
    ReleaseDC(note, dc);
    return colour;
  }

  std::unique_ptr<test::TempFolder> home_;
  std::unique_ptr<FixedClock> clock_;
  std::unique_ptr<ProgramState> state_;
  test::ScriptedWin32Desktop desktop_;
  std::unique_ptr<MainWindowDialog> dialog_;
};

TEST_F(MainWindowDialogTest, FirstStartShowsTheDefaultsInEveryControl) {
  Start();
  EXPECT_EQ(test::Title(hwnd()), "Kestrova");
  for (int id : {1011, 1012, 1025, 1026, 1050}) EXPECT_TRUE(IsChecked(hwnd(), id)) << id;
  EXPECT_FALSE(IsChecked(hwnd(), 1036));
  EXPECT_EQ(Text(1002), "2011/05/01");
  EXPECT_EQ(Text(1003), "2011/05/07");
  EXPECT_EQ(Text(1004), "2011/05/01");
  EXPECT_EQ(Text(1058), "2011/02/08");
  EXPECT_EQ(Text(1007), "12345678");
  EXPECT_EQ(Text(1045), "0");
  EXPECT_TRUE(GetWindowLongW(GetDlgItem(hwnd(), 1004), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(GetWindowLongW(GetDlgItem(hwnd(), 1006), GWL_STYLE) & ES_PASSWORD);
  EXPECT_EQ(Text(1000), "オンライン\n物件検索");
  EXPECT_EQ(Text(1044).substr(0, 3), "※");
  EXPECT_EQ(GetWindowLongW(GetDlgItem(hwnd(), 1013), GWL_STYLE) & 0x0f, BS_DEFPUSHBUTTON);
  EXPECT_EQ(NoteColour(1042), RGB(0, 0, 0xff));
  EXPECT_EQ(NoteColour(1044), RGB(0xff, 0, 0));
  EXPECT_EQ(NoteColour(1049), RGB(0xff, 0, 0));
  EXPECT_FALSE(Enabled(hwnd(), IDC_STOP));
  const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
  EXPECT_TRUE((style & WS_MINIMIZEBOX) && !(style & WS_MAXIMIZEBOX) && !(style & WS_THICKFRAME));
  EXPECT_NE(SendMessageW(hwnd(), WM_GETICON, ICON_BIG, 0), 0);
  // Every caption reads back as written: the template's UTF-8 came through whole.
  EXPECT_EQ(Text(1008), "最終取得日+1～前日に設定");
  EXPECT_EQ(Text(1034), "↑ﾘｾｯﾄ");
}

TEST_F(MainWindowDialogTest, LogBoxCarriesAScrollBarOnlyWhileItsTextIsLongerThanTheBox) {
  Start();
  HWND box = GetDlgItem(hwnd(), 1010);
  auto hasBar = [&] { return (GetWindowLongW(box, GWL_STYLE) & WS_VSCROLL) != 0; };
  auto show = [&](const std::string& utf8) {
    MainFields fields = dialog_->window().Fields();
    fields.logBox = Sjis(utf8);
    dialog_->ShowFields(fields);
  };
  EXPECT_FALSE(hasBar());
  show("★HTML取得中★100012345678,1\r\n大阪市北区");
  EXPECT_FALSE(hasBar());
  std::string lines;
  for (int i = 1; i <= 12; ++i) lines += "エラー行 " + std::to_string(i) + "\r\n";
  show(lines);
  ASSERT_TRUE(hasBar());
  SendMessageW(box, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 1);  // the bar scrolls the text
  show("_");
  EXPECT_FALSE(hasBar());
  EXPECT_EQ(Text(1010), "");
}

TEST_F(MainWindowDialogTest, PropertySearchShowsItsProgressAndEndsWithTheButtonsBack) {
  StartAgainstSim();
  std::vector<std::string> titles, statuses;
  int disabledSeen = 0, stopEnabledSeen = 0;
  desktop_.onPump = [&] {
    titles.push_back(test::Title(hwnd()));
    statuses.push_back(Text(1009));
    disabledSeen += !Enabled(hwnd(), 1001) && !Enabled(hwnd(), 1013) && !Enabled(hwnd(), 1046);
    stopEnabledSeen += Enabled(hwnd(), IDC_STOP);
  };
  Click(hwnd(), 1000);
  EXPECT_NE(std::find(titles.begin(), titles.end(), "Kestrova[実行中..]"), titles.end());
  EXPECT_GT(disabledSeen, 0);
  EXPECT_GT(stopEnabledSeen, 0);
  EXPECT_EQ(test::Title(hwnd()), "Kestrova");
  EXPECT_TRUE(Enabled(hwnd(), 1001));
  EXPECT_FALSE(Enabled(hwnd(), IDC_STOP));
  // Two codes in one group, three sale and three rent search orders: six forms.
  EXPECT_EQ(Text(1045), "6");
  EXPECT_EQ(SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_GETRANGE, FALSE, 0), 6);
  EXPECT_EQ(SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_GETPOS, 0, 0), 6);
  EXPECT_EQ(Text(1009), "CSV情報を更新しました。");
  EXPECT_EQ(Text(1004), "2011/05/02");  // the end date: fetched whole
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_TRUE(std::filesystem::exists(test::FsPath(home_->native() + "/dat/TotalData.txt")));

  // The closed-deal search right after, in the same window.
  Click(hwnd(), 1001);
  EXPECT_EQ(Text(1009).rfind("成約情報：0→", 0), 0u) << Text(1009);
  EXPECT_NE(Text(1009).rfind("成約情報：0→0 ", 0), 0u) << Text(1009);
  EXPECT_EQ(Text(1045), "12");
  EXPECT_EQ(test::Title(hwnd()), "Kestrova");
}

TEST_F(MainWindowDialogTest, StopEndsTheRunAfterTheRequestInFlightAndKeepsWhatItFetched) {
  StartAgainstSim();
  desktop_.onPump = [&] {
    // The second form has gone out and its downloads are under way: 中止 as the user clicks it.
    if (Text(1045) == "2" && Enabled(hwnd(), IDC_STOP)) Click(hwnd(), IDC_STOP);
  };
  Click(hwnd(), 1000);
  const std::string log = Text(1010);
  EXPECT_NE(log.find("中止しました（検索 2/6 件を送信済み）"), std::string::npos) << log;
  EXPECT_NE(log.find("最終取得日付は更新していません（中止したため）"), std::string::npos);
  EXPECT_EQ(Text(1004), "2011/04/30");
  EXPECT_EQ(Text(1045), "2");
  EXPECT_EQ(Text(1009), "CSV情報を更新しました。");  // rows merged
  EXPECT_GT(std::filesystem::file_size(test::FsPath(home_->native() + "/dat/TotalData.txt")), 0u);
  EXPECT_FALSE(Enabled(hwnd(), IDC_STOP));
  EXPECT_TRUE(Enabled(hwnd(), 1000));
}

TEST_F(MainWindowDialogTest, LoggingOffDuringARunStopsItThenRunsTheCloseSequence) {
  StartAgainstSim();
  LRESULT answer = -1;
  desktop_.onPump = [&] {
    if (Text(1045) == "1" && answer == -1)
      answer = SendMessageW(hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  };
  Click(hwnd(), 1000);
  EXPECT_EQ(answer, FALSE);  // asked to wait while the run stops
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  EXPECT_TRUE(dialog_->ended());
  EXPECT_NE(Text(1010).find("中止しました"), std::string::npos) << Text(1010);
  // The close sequence wrote the settings after the run.
  EXPECT_EQ(IniValue("検索回数"), Text(1045));
  EXPECT_EQ(IniValue("最終日付"), "2011/04/30");
}

TEST_F(MainWindowDialogTest, ClosingDuringARunAsksAndClosesOnlyAfterIt) {
  StartAgainstSim();
  desktop_.answers = {MessageAnswer::kNo, MessageAnswer::kYes};
  int closes = 0;
  desktop_.onPump = [&] {
    if ((Text(1045) == "1" && closes == 0) || (Text(1045) == "3" && closes == 1)) {
      ++closes;
      SendMessageW(hwnd(), WM_CLOSE, 0, 0);  // the close box: "no" goes on, "yes" stops
    }
  };
  Click(hwnd(), 1000);
  ASSERT_EQ(desktop_.messages.size(), 2u);
  EXPECT_EQ(desktop_.messages[0], "処理を実行中です。中止して終了しますか？");
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  EXPECT_NE(Text(1010).find("検索 3/6"), std::string::npos) << Text(1010);
  EXPECT_EQ(IniValue("検索回数"), "3");
}

TEST_F(MainWindowDialogTest, InputChecksAndTheTermsBoxHoweverItIsChanged) {
  Start();
  Click(hwnd(), 1000);
  Click(hwnd(), 1013);
  Click(hwnd(), 1043);
  EXPECT_EQ(desktop_.messages, std::vector<std::string>(3, "規約に同意しないと利用できません"));
  desktop_.messages.clear();

  // Ticked without Ctrl: the terms open and the box stays clear, by mouse and by Space.
  Click(hwnd(), 1036);
  EXPECT_FALSE(IsChecked(hwnd(), 1036));
  EXPECT_EQ(desktop_.messages, std::vector<std::string>{"利用規約は最後まで読んでください"});
  ASSERT_EQ(desktop_.opened.size(), 1u);
  EXPECT_NE(desktop_.opened[0].find("\\利用規約.txt"), std::string::npos);
  SetFocus(GetDlgItem(hwnd(), 1036));
  test::PressKey(GetDlgItem(hwnd(), 1036), VK_SPACE);
  EXPECT_FALSE(IsChecked(hwnd(), 1036));
  EXPECT_EQ(desktop_.opened.size(), 2u);

  desktop_.ctrlHeld = true;
  Click(hwnd(), 1036);
  EXPECT_TRUE(IsChecked(hwnd(), 1036));
  desktop_.ctrlHeld = false;
  desktop_.messages.clear();
  Click(hwnd(), 1051);
  test::Type(hwnd(), 1005, "27128");
  Click(hwnd(), 1000);
  EXPECT_EQ(desktop_.messages, (std::vector<std::string>{"5桁の市町村コードを設定してください",
                                                         "パスワードを設定してください"}));
  EXPECT_EQ(test::Title(hwnd()), "Kestrova");
  Click(hwnd(), 1036);  // clearing just clears
  EXPECT_FALSE(IsChecked(hwnd(), 1036));
  EXPECT_EQ(desktop_.messages.size(), 2u);
}

TEST_F(MainWindowDialogTest, DatePresetsEnterEscapeAndTheCloseBox) {
  test::WriteNative(home_->native() + "/kestrova.ini",
                    test::Cp932Lines("[設定]\n最終日付=2011/04/20\n"));
  Start();
  Click(hwnd(), 1008);
  EXPECT_EQ(Text(1002), "2011/04/21");
  EXPECT_EQ(Text(1003), "2011/05/07");
  Click(hwnd(), 1014);
  EXPECT_EQ(Text(1002), "2011/04/20");
  EXPECT_EQ(Text(1003), "2011/05/08");

  HWND codes = GetDlgItem(hwnd(), 1005);
  SetFocus(codes);
  test::Type(hwnd(), 1005, "27128");
  test::PressKey(codes, VK_RETURN);  // the default button 1013, refused without the terms
  EXPECT_EQ(desktop_.messages, std::vector<std::string>{"規約に同意しないと利用できません"});
  test::PressKey(codes, VK_ESCAPE);  // does nothing
  EXPECT_TRUE(IsWindowVisible(hwnd()));
  EXPECT_FALSE(dialog_->ended());
  EXPECT_EQ(IniValue("市町村コード"), "");
  SendMessageW(hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(hwnd()));
  EXPECT_TRUE(dialog_->ended());
  EXPECT_EQ(IniValue("市町村コード"), "27128");
}

TEST_F(MainWindowDialogTest, MissingLoginIdIsAskedForAndRemembered) {
  std::string prompt;
  test::WhenDialogOpens input("入力", [&](HWND d) {
    prompt = test::Text(d, IDC_PROMPT);
    test::Type(d, IDC_VALUE, "87654321");
    SetFocus(GetDlgItem(d, IDC_VALUE));
    test::PressKey(GetDlgItem(d, IDC_VALUE), VK_RETURN);
  });
  Start("");
  EXPECT_TRUE(input.ran());
  EXPECT_NE(prompt.find("\r\n"), std::string::npos);  // two lines
  EXPECT_EQ(Text(1007), "87654321");
  EXPECT_EQ(test::ReadNative(home_->native() + "/dat/LoginId.txt"), "87654321\r\n");
}

TEST_F(MainWindowDialogTest, AboutComesFromTheButtonAndShowsTheVersion) {
  Start();
  std::string version;
  test::WhenDialogOpens about("Kestrova のﾊﾞｰｼﾞｮﾝ情報", [&](HWND d) {
    version = test::Text(d, IDC_VERSION);
    Click(d, IDC_PICTURE);
    Click(d, IDC_CLOSE);
  });
  Click(hwnd(), 1046);
  EXPECT_TRUE(about.ran());
  EXPECT_EQ(version.rfind("Kestrova 0.1 (commit ", 0), 0u) << version;
  ASSERT_EQ(desktop_.opened.size(), 1u);
  EXPECT_NE(desktop_.opened[0].find("README.md"), std::string::npos);
  EXPECT_TRUE(IsWindowEnabled(hwnd()));  // the owner is back
}

TEST_F(MainWindowDialogTest, RightClickMenuOpensTheScheduleAndOkSetsTheTaskThroughSchtasks) {
  std::filesystem::create_directories(test::FsPath(home_->native() + "/Log"));
  test::WriteNative(home_->native() + "/Log/RunHistory.txt",
                    "2011/05/08 07:30:00\t2011/05/08 07:31:00\tdaily\t1\t0\t0\t0\t0\t0\t0\t0\t1"
                    "\t0\t0\r\n");
  // schtasks.exe as recorded: the task is there at 07:30 with the closed-deal search, and the
  // first /Create is refused.
  std::vector<std::vector<std::string>> calls;
  int createFailures = 1;
  dialog_->SetScheduleRunner([&](const std::vector<std::string>& argv) {
    calls.push_back(argv);
    if (argv.size() > 1 && argv[1] == "/Query")
      return ProgramOutput{0,
                           "<Task><StartBoundary>2011-05-01T07:30:00</StartBoundary>"
                           "<Arguments>--home x --headless daily --deals</Arguments></Task>"};
    if (argv.size() > 1 && argv[1] == "/Create" && createFailures-- > 0)
      return ProgramOutput{1, "ERROR: Access is denied.\r\n"};
    return ProgramOutput{0, ""};
  });
  Start();

  bool on = false, deals = false, stillOpenAfterFailure = false;
  std::string time, next, last;
  test::WhenDialogOpens schedule("自動取得の設定", [&](HWND d) {
    on = IsChecked(d, IDC_SCHEDULE_ON);
    deals = IsChecked(d, IDC_SCHEDULE_DEALS);
    time = test::Text(d, IDC_SCHEDULE_TIME);
    next = test::Text(d, IDC_SCHEDULE_NEXT);
    last = test::Text(d, IDC_SCHEDULE_LAST);
    test::Type(d, IDC_SCHEDULE_TIME, "06:15");
    Click(d, IDC_SCHEDULE_DEALS);
    Click(d, IDOK);
    stillOpenAfterFailure = IsWindowVisible(d) != 0;
    Click(d, IDOK);
  });
  WhenMenuOpens menu(IDM_SCHEDULE);
  RECT r;
  GetWindowRect(hwnd(), &r);
  SendMessageW(hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()),
               MAKELPARAM(r.left + 40, r.top + 60));

  EXPECT_EQ(menu.ids, (std::vector<UINT>{IDM_ABOUT, IDM_SCHEDULE}));
  ASSERT_EQ(menu.texts.size(), 2u);
  EXPECT_EQ(menu.texts[1], "自動取得の設定...");
  ASSERT_TRUE(schedule.ran());
  EXPECT_TRUE(on);
  EXPECT_TRUE(deals);
  EXPECT_EQ(time, "07:30");
  EXPECT_EQ(next, "2011/05/09 07:30");
  EXPECT_EQ(last.rfind("2011/05/08 07:30:00 daily 終了コード 1", 0), 0u) << last;

  // The refusal was said and kept the dialog; the second OK set the task as changed.
  EXPECT_TRUE(stillOpenAfterFailure);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_NE(desktop_.messages[0].find("Access is denied."), std::string::npos)
      << desktop_.messages[0];
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0], (std::vector<std::string>{"schtasks.exe", "/Query", "/TN",
                                                ScheduleName(home_->native()), "/XML", "ONE"}));
  const std::vector<std::string>& create = calls[2];
  EXPECT_EQ(create, calls[1]);
  ASSERT_GE(create.size(), 11u);
  EXPECT_EQ(create[0], "schtasks.exe");
  EXPECT_EQ(create[1], "/Create");
  const auto at = [&](const std::string& flag) {
    const auto it = std::find(create.begin(), create.end(), flag);
    return it == create.end() || it + 1 == create.end() ? std::string() : *(it + 1);
  };
  EXPECT_EQ(at("/TN"), ScheduleName(home_->native()));
  EXPECT_EQ(at("/ST"), "06:15");
  const std::string command = at("/TR");
  // The console program, so that the run's exit status reaches the Task Scheduler.
  EXPECT_EQ(ScheduledProgram().substr(ScheduledProgram().rfind('\\') + 1), "kestrova-cli.exe");
  EXPECT_EQ(command, ScheduledProgram() + " --home " + home_->native() +
                         " --login-id 12345678 --headless daily");
  EXPECT_TRUE(IsWindowEnabled(hwnd()));  // the owner is back
}

}  // namespace
}  // namespace kestrova
