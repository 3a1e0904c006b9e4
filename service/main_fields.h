// The main window's fields as the online commands read and write them. The window logic in
// ui/ (MainWindow) owns the values and binds them to its view; the online commands reach them
// through the narrow port OnlineCommandWindow, so this library needs no window of its own.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

struct MainFields {
  std::string startDate;      // 1002 "取得開始日付"
  std::string endDate;        // 1003 "取得終了日付"
  std::string lastDate;       // 1004 "最終取得日付"
  std::string loginInfo;      // 1007 "ログイン情報": the login ID in use
  std::string password;       // 1006 "パスワード"
  std::string codes;          // 1005 municipality codes, comma-separated
  std::string statusLine;     // 1009
  std::string logBox;         // 1010
  int sale = 1;               // 1011 "売買"
  int rent = 1;               // 1012 "賃貸"
  int skipExisting = 1;       // 1025 "取得済みはDLしない"
  int agreed = 0;             // 1036 "同意します"
  int pdf = 1;                // 1026 "PDF取得する"
  std::string searchCount;    // 1045 search forms posted
  std::string fee;            // 1048 "前日までの利用料："
  int detail = 1;             // 1050 "詳細情報取得"
  std::string dealStartDate;  // 1058 "成約取得開始日"
};

// What an online command sees of the main window. Only MainWindow implements it; the Qt dialog
// implements MainWindowView (ui/main_window.h) instead.
class OnlineCommandWindow {
 public:
  virtual ~OnlineCommandWindow() = default;
  virtual MainFields& Fields() = 0;
  // Copies the controls into the fields.
  virtual void ReadFields() = 0;
  // Copies the fields into the controls.
  virtual void ShowFields() = 0;
  virtual void SetTitle(std::string_view title) = 0;
  // A count of the search forms of the run, for progress lines ("検索 3/12 ..."); the window
  // may ignore it.
  virtual void SearchProgress(int done, int total) {
    (void)done;
    (void)total;
  }
};

}  // namespace kestrova

namespace kestrova {

class SettingsStore;

// Full-width digits to ASCII; with separators, "、。，．　；：. :;" each become ",".
void NormaliseField(std::string& text, bool separators);
// The store step that starts every login and the close: the fields into the settings.
void StoreFieldsInSettings(const MainFields& fields, SettingsStore& settings);
// The fields as start-up loads them from the settings (texts and check boxes, search counter).
void LoadFieldsFromSettings(MainFields& fields, const SettingsStore& settings);

}  // namespace kestrova
