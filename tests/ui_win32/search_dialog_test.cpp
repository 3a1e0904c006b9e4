// The local search's Win32 dialog driven by control id under Wine, over the small management
// file of the Qt test: Enter with AND and OR keys, a key-list choice, a heading clicked twice
// (reversed, the selection kept, the arrow shown), the row menu's entries in order, the
// double-click on every selected row through the real clipboard, the drag data's file list,
// the close box keeping the placement, and the run from the main window handing the desktop's
// messages to the window and back, hiding the main window until it closes.
#include "ui/win32/search_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "store/program_state.h"
#include "tests/support/cp932_text.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_win32/window_test.h"
#include "ui/default_settings.h"
#include "ui/win32/file_drag.h"
#include "ui/win32/list_view.h"
#include "ui/win32/main_window_dialog.h"
#include "ui/win32/resource_ids.h"

namespace kestrova {
namespace {

// Number, date, type, plan, price (N), location, station.
const char kLayout[] =
    "!区切り=,\n!ヘッダ空行=2\n物件番号\tS\t物件番号\n更新年月日\tD\t更新日\n物件種別\tS\t種別\n"
    "図面\tS\t図面\n価格\tN\t価格\n$所在地$\tS\t所在地\n$駅$\tS\t駅\n";
const char kCurrent[] =
    "\"物件番号\",\"更新日\",\"種別\",\"図面\",\"価格\",\"所在地\",\"駅\",\n\n\n"
    "\"1001\",\"2011/05/01\",\"11売り・土地\",\"有\",1500,\"大阪市中央区本町\",\"本町\",\n"
    "\"1002\",\"2011/05/03\",\"21賃貸・土地\",\"無\",8.50,\"大阪市浪速区難波\",\"難波\",\n"
    "\"1003\",\"2011/05/05\",\"13売り・一戸建\",\"有\",980,\"堺市堺区\",\"堺\",\n"
    "\"1004\",\"2011/05/"
    "07\",\"22賃貸・マンション\",\"有\",12,\"大阪市中央区谷町\",\"谷町四丁目\",\n";

class SearchDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.desktop = &desktop_;
    state_.environment.SetId(kEnvProgramFolder, home_.path());
    ApplyDefaultSettings(state_.settings, state_.environment);
    state_.settings.Set(keys::kSearchType, "2");
    state_.kanriLayout.LoadFromText(test::Cp932Lines(kLayout));
    Write("csv_total/TotalData_kanri_csvdata.csv", kCurrent);
    Write("Setting/UserFindKeyList1.txt", "# 地域\n難波|谷町\n本町\n");
    dialog_ = std::make_unique<SearchDialog>(state_);
    ASSERT_TRUE(dialog_->Create(nullptr)) << "no window: is the display there?";
    ASSERT_TRUE(dialog_->Open());
    ShowWindow(dialog_->hwnd(), SW_SHOW);
    d_ = dialog_->hwnd();
    list_ = GetDlgItem(d_, IDC_SEARCH_RESULTS);
  }
  void Write(const std::string& relative, const char* utf8) {
    const std::string path = home_.native() + "/" + relative;
    std::filesystem::create_directories(test::FsPath(path).parent_path());
    std::ofstream(test::FsPath(path), std::ios::binary) << test::Cp932Lines(utf8);
  }
  std::string Cell(int row, int column) const {
    wchar_t text[128] = {};
    ListView_GetItemText(list_, row, column, text, 128);
    return Utf8(ProgramText(text));
  }
  // The first cells of the rows shown, top to bottom.
  std::vector<std::string> Numbers() const {
    std::vector<std::string> numbers;
    for (int row = 0; row < ListView_GetItemCount(list_); ++row) numbers.push_back(Cell(row, 0));
    return numbers;
  }
  void Select(std::initializer_list<int> rows) {
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    for (int row : rows) ListView_SetItemState(list_, row, LVIS_SELECTED, LVIS_SELECTED);
  }
  // A list notification as the list view sends it to the dialog.
  void Notify(UINT code, int item = -1, int subItem = 0) {
    NMLISTVIEW n{};
    n.hdr = {list_, static_cast<UINT_PTR>(IDC_SEARCH_RESULTS), code};
    n.iItem = item;
    n.iSubItem = subItem;
    SendMessageW(d_, WM_NOTIFY, IDC_SEARCH_RESULTS, reinterpret_cast<LPARAM>(&n));
  }
  int HeaderFormat(int column) const {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(ListView_GetHeader(list_), column, &item);
    return item.fmt;
  }
  static std::string ClipboardUtf8() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = Utf8(ProgramText(static_cast<const wchar_t*>(GlobalLock(data))));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }

  test::TempFolder home_;
  test::ScriptedWin32Desktop desktop_;
  ProgramState state_;
  std::unique_ptr<SearchDialog> dialog_;
  HWND d_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(SearchDialogTest, EnterKeysRadioAndKeyListChoiceSearch) {
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"1001", "1002", "1003", "1004"}));
  EXPECT_EQ(test::Title(d_), "Kestrova-検索(4/4)");
  EXPECT_TRUE(GetWindowLongW(list_, GWL_STYLE) & LVS_OWNERDATA);
  // "8.50" shows as it stands; the N column is right-aligned, the others left.
  EXPECT_EQ(Cell(1, 4), "8.50");
  LVCOLUMNW column{};
  column.mask = LVCF_FMT;
  ListView_GetColumn(list_, 4, &column);
  EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
  ListView_GetColumn(list_, 5, &column);
  EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);

  // Column 1 rows 1 and 2 are alternatives; column 2 must match as well.
  HWND key = GetDlgItem(d_, IDC_SEARCH_KEY1);
  SetFocus(key);
  test::Type(d_, IDC_SEARCH_KEY1, "中央区");
  test::Type(d_, IDC_SEARCH_KEY1 + 1, "堺");
  test::PressKey(key, VK_RETURN);
  EXPECT_FALSE(dialog_->ended());
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"1001", "1003", "1004"}));
  test::Type(d_, IDC_SEARCH_KEY1 + 3, "有");
  test::Type(d_, IDC_SEARCH_KEY1 + 6, "町");
  test::PressKey(key, VK_RETURN);
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"1001", "1004"}));
  EXPECT_EQ(test::Title(d_), "Kestrova-検索(2/4)");

  test::Click(d_, IDC_SEARCH_TYPE0 + 1);  // 賃貸
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"1004"}));
  test::Click(d_, IDC_SEARCH_TYPE0 + 2);
  test::Click(d_, IDC_SEARCH_CLEAR);
  EXPECT_EQ(test::Text(d_, IDC_SEARCH_KEY1), "");
  EXPECT_EQ(Numbers().size(), 4u);

  // A key-list entry chosen searches; ★再読込 takes the edited file and returns to すべて.
  HWND keyList = GetDlgItem(d_, IDC_SEARCH_KEYLIST1);
  ASSERT_EQ(SendMessageW(keyList, CB_GETCOUNT, 0, 0), 3);
  SendMessageW(keyList, CB_SETCURSEL, 1, 0);
  SendMessageW(d_, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_KEYLIST1, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(keyList));
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"1002", "1004"}));
  Write("Setting/UserFindKeyList1.txt", "難波|谷町\n本町\n堺\n");
  test::Click(d_, IDC_SEARCH_RELOAD_LIST1);
  EXPECT_EQ(SendMessageW(keyList, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageW(keyList, CB_GETCURSEL, 0, 0), 0);
  // The 1週 preset fills the dates and searches.
  test::Click(d_, IDC_SEARCH_PRESET1 + 3);
  EXPECT_FALSE(test::Text(d_, IDC_SEARCH_DATE_FROM).empty());
}

TEST_F(SearchDialogTest, HeadingTwiceReversesAndActionsRunOnEverySelectedRow) {
  Notify(LVN_COLUMNCLICK, -1, 4);
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"1002", "1004", "1003", "1001"}));
  EXPECT_TRUE(HeaderFormat(4) & HDF_SORTUP);
  Select({0, 2});  // 1002 and 1003
  Notify(LVN_COLUMNCLICK, -1, 4);
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"1001", "1003", "1004", "1002"}));
  EXPECT_TRUE(HeaderFormat(4) & HDF_SORTDOWN);
  EXPECT_FALSE(HeaderFormat(0) & (HDF_SORTUP | HDF_SORTDOWN));
  std::vector<std::string> selected;
  for (int row : SelectedRows(list_)) selected.push_back(Cell(row, 0));
  EXPECT_EQ(selected, (std::vector<std::string>{"1003", "1002"}));

  // The double-click copies every selected row, byte for byte as the Linux window does.
  HWND action = GetDlgItem(d_, IDC_SEARCH_DOUBLE_CLICK);
  SendMessageW(action, CB_SETCURSEL, static_cast<int>(ResultAction::kCopyInfoToClipboard), 0);
  Select({0, 2});
  Notify(NM_DBLCLK, 2);
  EXPECT_EQ(ClipboardUtf8(),
            "1001\t2011/05/01\t11売り・土地\t有\t1500\t大阪市中央区本町\t本町\t\r\n"
            "1004\t2011/05/07\t22賃貸・マンション\t有\t12\t大阪市中央区谷町\t谷町四丁目\t\r\n");

  // The row menu: the six actions in the window's order.
  HMENU menu = SearchDialog::CreateRowMenu();
  std::vector<std::string> entries;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
    entries.push_back(Utf8(ProgramText(text)));
  }
  DestroyMenu(menu);
  EXPECT_EQ(entries, (std::vector<std::string>{"PDFを開く", "PDFをﾃﾞｽｸﾄｯﾌﾟへCopy",
                                               "情報をクリップボードへCopy", "詳細HTMLを開く",
                                               "互換CSV出力", "所在地を開く"}));

  // A drag offers the PDFs saved for the selected rows, as CF_HDROP.
  Write("pdf/11/大阪市中央区/1001.pdf", "a");
  Write("pdf/22/大阪市中央区/1004.pdf", "b");
  const std::vector<std::string> files = dialog_->DragFiles();
  ASSERT_EQ(files.size(), 2u);
  IDataObject* data = FileDropData(files);
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&format, &medium), S_OK);
  auto* drop = static_cast<HDROP>(GlobalLock(medium.hGlobal));
  std::vector<std::string> dropped;
  for (UINT i = 0; i < DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); ++i) {
    wchar_t path[MAX_PATH] = {};
    DragQueryFileW(drop, i, path, MAX_PATH);
    dropped.push_back(Utf8(ProgramText(path)));
  }
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);
  data->Release();
  const std::string folder = Utf8(home_.path()) + "\\pdf\\";
  EXPECT_EQ(dropped, (std::vector<std::string>{folder + "11\\大阪市中央区\\1001.pdf",
                                               folder + "22\\大阪市中央区\\1004.pdf"}));
}

TEST_F(SearchDialogTest, CloseBoxKeepsStateAndPlacementWhileEscapeLeavesThem) {
  SetWindowPos(d_, nullptr, 40, 50, 900, 700, SWP_NOZORDER);
  ListView_SetColumnWidth(list_, 1, 123);
  test::Type(d_, IDC_SEARCH_KEY1 + 4, "谷町");
  SendMessageW(d_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(dialog_->ended());
  EXPECT_EQ(std::string(state_.settings.GetView(keys::kSearchPlacement)), "40,50,900,700");
  // The shipped widths gave way to the fitted ones (物件番号 is no 80 pixels); the widths the
  // close box keeps are the list's, and a later opening keeps them as they are.
  const std::string widths(state_.settings.GetView(keys::kSearchColumnWidths));
  EXPECT_EQ(widths.substr(widths.find(','), 5), ",123,");
  EXPECT_NE(widths.substr(0, widths.find(',')), "80");
  EXPECT_NE(Utf8(std::string(state_.settings.GetView(keys::kSearchKeys))).find("谷町"),
            std::string::npos);

  SearchDialog again(state_);
  ASSERT_TRUE(again.Create(nullptr));
  ASSERT_TRUE(again.Open());
  RECT r;
  GetWindowRect(again.hwnd(), &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.right - r.left, 900);
  EXPECT_EQ(ListView_GetColumnWidth(GetDlgItem(again.hwnd(), IDC_SEARCH_RESULTS), 1), 123);
  SetWindowPos(again.hwnd(), nullptr, 10, 10, 800, 700, SWP_NOZORDER);
  test::PressKey(GetDlgItem(again.hwnd(), IDC_SEARCH_KEY1), VK_ESCAPE);
  EXPECT_TRUE(again.ended());
  EXPECT_EQ(std::string(state_.settings.GetView(keys::kSearchPlacement)), "40,50,900,700");
}

TEST_F(SearchDialogTest, RunFromTheMainWindowPutsMessagesOverItAndBackWhenClosed) {
  dialog_.reset();
  HWND main = CreateWindowW(L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                            nullptr, nullptr, nullptr);
  desktop_.SetWindow(main);
  HWND messagesOver = nullptr;
  test::WhenDialogOpens open("Kestrova-検索(4/4)", [&](HWND search) {
    messagesOver = desktop_.window() == search ? search : nullptr;
    SetWindowPos(search, nullptr, 30, 40, 1000, 700, SWP_NOZORDER);
    PostMessageW(search, WM_CLOSE, 0, 0);
  });
  RunLocalSearch(state_, main, &desktop_);
  EXPECT_TRUE(open.ran());
  EXPECT_NE(messagesOver, nullptr);
  EXPECT_EQ(desktop_.window(), main);
  EXPECT_EQ(std::string(state_.settings.GetView(keys::kSearchPlacement)), "30,40,1000,700");
  DestroyWindow(main);
}

// The main window's 物件管理(ローカル検索) with the program's own files: the main window hides
// while the search window is up and comes back when its close box ends it.
TEST_F(SearchDialogTest, MainWindowHidesWhileTheSearchIsOpenAndComesBackAfterIt) {
  dialog_.reset();
  std::filesystem::copy(
      std::string(KESTROVA_SOURCE_DIR) + "/Setting", test::FsPath(home_.native() + "/Setting"),
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  test::WriteNative(home_.native() + "/kestrova.ini", test::Cp932Lines("[設定]\n同意=1\n"));
  ProgramState state;
  state.desktop = &desktop_;
  MainWindowDialog main(state, SystemTransportFactory());
  ASSERT_TRUE(main.Create(nullptr));
  ASSERT_TRUE(main.StartUp({home_.path() + "\\kestrova"}, {"12345678", ""}));
  desktop_.SetWindow(main.hwnd());
  main.SetWindowOpener(MainCommand::kLocalSearch,
                       [&] { RunLocalSearch(state, main.hwnd(), &desktop_); });
  ShowWindow(main.hwnd(), SW_SHOW);
  // The search window's title carries its counts; any window so titled is it.
  static HWND search = nullptr;
  static bool mainHidden = false;
  static HWND mainWindow = nullptr;
  static std::string title;
  search = nullptr;
  mainWindow = main.hwnd();
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
    if (search != nullptr) return;
    EnumWindows(
        [](HWND window, LPARAM) -> BOOL {
          wchar_t text[64] = {};
          GetWindowTextW(window, text, 64);
          if (!IsWindowVisible(window) || std::wstring(text).rfind(L"Kestrova-", 0) != 0)
            return TRUE;
          search = window;
          return FALSE;
        },
        0);
    if (search == nullptr) return;
    mainHidden = !IsWindowVisible(mainWindow);
    title = test::Title(search);
    SetWindowPos(search, nullptr, 20, 30, 1000, 700, SWP_NOZORDER);
    PostMessageW(search, WM_CLOSE, 0, 0);
  });
  test::Click(main.hwnd(), 1013);
  KillTimer(nullptr, timer);
  ASSERT_NE(search, nullptr) << "the search window did not open";
  EXPECT_EQ(title.rfind("Kestrova-検索(", 0), 0u) << title;
  EXPECT_TRUE(mainHidden);
  EXPECT_TRUE(IsWindowVisible(main.hwnd()));
  EXPECT_EQ(desktop_.window(), main.hwnd());
  EXPECT_EQ(std::string(state.settings.GetView(keys::kSearchPlacement)), "20,30,1000,700");
  main.window().Close();
}

}  // namespace
}  // namespace kestrova
