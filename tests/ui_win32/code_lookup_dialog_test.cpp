// The code lookup's Win32 dialog driven by control id under Wine: the first search at
// opening, typing and Enter, a double-click on two selected rows of the owner-data list, the
// close box storing and Escape not storing.
#include "ui/win32/code_lookup_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "store/program_state.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_win32/window_test.h"
#include "ui/win32/resource_ids.h"

namespace kestrova {
namespace {

class CodeLookupDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.desktop = &desktop_;
    state_.environment.SetId(kEnvProgramFolder, home_.path());
    std::filesystem::create_directories(test::FsPath(home_.native() + "/Setting"));
    test::WriteNative(home_.native() + "/Setting/zip_code.txt",
                      Sjis("27128\t大阪府\t大阪市中央区\tおおさかしちゅうおうく\r\n"
                           "27111\t大阪府\t堺市堺区\tさかいしさかいく\r\n"
                           "13101\t東京都\t千代田区\tちよだく\r\n"));
    state_.settings.Set(keys::kLookupPrefecture, Sjis("大阪府"));
    state_.settings.Set(keys::kMunicipalityCodes, "13101");
    dialog_ = std::make_unique<CodeLookupDialog>(state_);
    ASSERT_TRUE(dialog_->Create(nullptr)) << "no window: is the display there?";
    ShowWindow(dialog_->hwnd(), SW_SHOW);
    d_ = dialog_->hwnd();
    list_ = GetDlgItem(d_, IDC_RESULTS);
  }
  int Rows() const { return ListView_GetItemCount(list_); }
  std::string Cell(int row, int column) const {
    wchar_t text[128] = {};
    ListView_GetItemText(list_, row, column, text, 128);
    return Utf8(ProgramText(text));
  }
  // A double-click on a row as the list view reports it to the dialog.
  void DoubleClick(int row) {
    NMITEMACTIVATE click{};
    click.hdr = {list_, static_cast<UINT_PTR>(IDC_RESULTS), static_cast<UINT>(NM_DBLCLK)};
    click.iItem = row;
    SendMessageW(d_, WM_NOTIFY, IDC_RESULTS, reinterpret_cast<LPARAM>(&click));
  }

  test::TempFolder home_;
  test::ScriptedWin32Desktop desktop_;
  ProgramState state_;
  std::unique_ptr<CodeLookupDialog> dialog_;
  HWND d_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(CodeLookupDialogTest, EnterSearchesAndDoubleClickAddsTheSelectedCodes) {
  EXPECT_EQ(test::Title(d_), "市町村コード検索");
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(1, 2), "堺市堺区");
  EXPECT_EQ(Cell(0, 3), "おおさかしちゅうおうく");
  EXPECT_TRUE(GetWindowLongW(list_, GWL_STYLE) & LVS_OWNERDATA);

  HWND municipality = GetDlgItem(d_, IDC_MUNICIPALITY);
  SetFocus(municipality);
  test::Type(d_, IDC_MUNICIPALITY, "さかい");
  test::PressKey(municipality, VK_RETURN);
  EXPECT_EQ(Rows(), 1);
  EXPECT_FALSE(dialog_->ended());  // Enter searched; it did not end the dialog

  test::Type(d_, IDC_MUNICIPALITY, "");
  test::PressKey(municipality, VK_RETURN);
  ASSERT_EQ(Rows(), 2);
  ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list_, 1, LVIS_SELECTED, LVIS_SELECTED);
  DoubleClick(1);
  EXPECT_EQ(test::Text(d_, IDC_CODES), "13101,27128,27111");
  EXPECT_EQ(test::Text(d_, IDC_NAMES), "千代田区(13101),大阪市中央区(27128),堺市堺区(27111),");

  SendMessageW(d_, WM_CLOSE, 0, 0);  // the close box stores the list
  EXPECT_TRUE(dialog_->ended());
  EXPECT_EQ(std::string(state_.settings.GetView(keys::kMunicipalityCodes)), "13101,27128,27111");
  EXPECT_FALSE(state_.settings.GetView(keys::kLookupPlacement).empty());
  EXPECT_FALSE(state_.settings.GetView(keys::kLookupColumnWidths).empty());
}

TEST_F(CodeLookupDialogTest, EscapeLeavesWithoutStoringAndThePlacementComesBack) {
  test::Type(d_, IDC_CODES, "99999");
  SetFocus(GetDlgItem(d_, IDC_CODES));
  test::PressKey(GetDlgItem(d_, IDC_CODES), VK_ESCAPE);
  EXPECT_TRUE(dialog_->ended());
  EXPECT_EQ(std::string(state_.settings.GetView(keys::kMunicipalityCodes)), "13101");

  // A window made larger keeps its size and the list grows with it.
  state_.settings.Set(keys::kLookupPlacement, "40,30,700,600");
  state_.settings.Set(keys::kLookupColumnWidths, "55,66,77,88");
  CodeLookupDialog again(state_);
  ASSERT_TRUE(again.Create(nullptr));
  RECT window, list;
  GetWindowRect(again.hwnd(), &window);
  GetWindowRect(GetDlgItem(again.hwnd(), IDC_RESULTS), &list);
  EXPECT_EQ(window.right - window.left, 700);
  EXPECT_EQ(window.bottom - window.top, 600);
  EXPECT_GT(list.bottom - list.top, 300);
  EXPECT_EQ(ListView_GetColumnWidth(GetDlgItem(again.hwnd(), IDC_RESULTS), 2), 77);
  // Dragged smaller, it stops at the template's size (the first window's): nothing is cut off.
  RECT first;
  GetWindowRect(d_, &first);
  MINMAXINFO limits{};
  SendMessageW(again.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, first.right - first.left);
  EXPECT_EQ(limits.ptMinTrackSize.y, first.bottom - first.top);
}

}  // namespace
}  // namespace kestrova
