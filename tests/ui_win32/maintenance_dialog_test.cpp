// The maintenance window's Win32 dialog driven by control id under Wine: presets and the close
// box, Escape and Enter, and an operation run from its button with the boxes the user cleared.
#include "ui/win32/maintenance_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "store/program_state.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_win32/window_test.h"

namespace kestrova {
namespace {

using test::Click;

class MaintenanceDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.desktop = &desktop_;
    state_.environment.SetId(kEnvProgramFolder, home_.path());
    state_.settings.Set(keys::kSaleOrder, "1,1,1,4;1,1,3,5;1,1,2,");
    state_.settings.Set(keys::kRentOrder, "1,3,1,4;1,3,3,5;1,3,2,");
    state_.settings.Set(keys::kRetentionMonths, "12");
  }
  std::string Setting(const SettingKey& key) { return std::string(state_.settings.GetView(key)); }
  // A dialog made and shown as RunMaintenance shows it, without its modal loop.
  std::unique_ptr<MaintenanceDialog> Open() {
    auto dialog = std::make_unique<MaintenanceDialog>(state_);
    EXPECT_TRUE(dialog->Create(nullptr)) << "no window: is the display there?";
    ShowWindow(dialog->hwnd(), SW_SHOW);
    return dialog;
  }

  test::TempFolder home_;
  test::ScriptedWin32Desktop desktop_;
  ProgramState state_;
};

TEST_F(MaintenanceDialogTest, PresetThenCloseBoxStoresAndEscapeOrEnterStoreNothing) {
  for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
    auto dialog = Open();
    HWND d = dialog->hwnd();
    EXPECT_EQ(test::Title(d), "ﾒﾝﾃﾅﾝｽ");
    Click(d, 1008);
    EXPECT_EQ(test::Text(d, 1059), "1,1,1,3;1,1,2,");
    SetFocus(GetDlgItem(d, 1059));
    test::PressKey(GetDlgItem(d, 1059), key);
    EXPECT_TRUE(dialog->ended());
    EXPECT_FALSE(IsWindowVisible(d));
    EXPECT_EQ(Setting(keys::kSaleOrder), "1,1,1,4;1,1,3,5;1,1,2,");
  }

  auto dialog = Open();
  HWND d = dialog->hwnd();
  Click(d, 1011);
  test::Type(d, 1033, "24");
  EXPECT_TRUE(IsChecked(d, 1060));  // no setting yet: splitting is on
  Click(d, 1060);
  SendMessageW(d, WM_CLOSE, 0, 0);
  EXPECT_TRUE(dialog->ended());
  EXPECT_EQ(Setting(keys::kRentOrder), "1,3,1,3;1,3,2,");
  EXPECT_EQ(Setting(keys::kRetentionMonths), "24");
  EXPECT_EQ(Setting(keys::kSplitOnCut), "0");
  auto again = Open();
  EXPECT_FALSE(IsChecked(again->hwnd(), 1060));
}

TEST_F(MaintenanceDialogTest, DeletionWithTheBoxesClearedKeepsEveryFile) {
  std::filesystem::create_directories(test::FsPath(home_.native() + "/Log"));
  test::WriteNative(home_.native() + "/Log/a.html", "x");
  auto dialog = Open();
  HWND d = dialog->hwnd();
  for (int id : {1055, 1056, 1013}) {
    EXPECT_TRUE(IsChecked(d, id)) << id;
    Click(d, id);
  }
  Click(d, 1002);
  EXPECT_EQ(test::Text(d, 1009), "ﾛｸﾞを削除しました(0件)");
  EXPECT_TRUE(std::filesystem::exists(test::FsPath(home_.native() + "/Log/a.html")));

  Click(d, 1013);
  Click(d, 1002);
  EXPECT_EQ(test::Text(d, 1009), "ﾛｸﾞを削除しました(1件)");
  EXPECT_FALSE(std::filesystem::exists(test::FsPath(home_.native() + "/Log/a.html")));
  EXPECT_FALSE(dialog->ended());  // a button of the window does not end it
}

}  // namespace
}  // namespace kestrova
