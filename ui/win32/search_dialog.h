// The local search window as a Win32 dialog: a thin view over SearchWindow. It moves values
// between its controls and the fields, forwards every button, click and drag, and keeps its
// placement and column widths; the rules are SearchWindow's. The result list is an owner-data
// list view: it asks for the cells it paints, so 200,000 rows cost no item each.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "ui/search_window.h"
#include "ui/win32/dialog.h"

namespace kestrova {

struct ProgramState;
class Win32Desktop;

class SearchDialog final : public Win32Dialog, public SearchView {
 public:
  explicit SearchDialog(ProgramState& state);

  SearchWindow& Window() { return window_; }
  // The window's opening after Create: false when there is nothing to search (the user was
  // told); the dialog is not to be run then.
  bool Open();
  // The row menu: an entry per action in the window's order, IDM_SEARCH_ACTION + the action
  // as its command. The caller destroys it.
  static HMENU CreateRowMenu();
  // The files a drag of the selected rows offers (cp932 program paths); empty: no drag.
  std::vector<std::string> DragFiles();

  void ReadFields(SearchFields& fields) override;
  void ShowFields(const SearchFields& fields) override;
  void ShowResults() override;
  void SelectRows(const std::vector<int>& rows) override;
  void SetTitle(std::string_view title) override;

 protected:
  void OnCreated() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool OnCommand(int id, int code);
  bool OnListNotify(const NMHDR* header, LRESULT& result);
  void ShowMenu(POINT screen);
  void ShowSortArrow();
  // Every column as wide as its heading and its first rows, within 16 characters.
  void FitColumns();
  // The list takes the room the window gives it; the controls above keep their places.
  void Layout();

  ProgramState& state_;
  SearchWindow window_;
  std::wstring cell_;  // the text a list row handed out last
  std::vector<bool> numeric_;
  // What the drop-down lists hold now, so a search that leaves them alone does not refill them.
  std::vector<std::string> stations_;
  std::array<std::vector<std::string>, 3> keyListEntries_;
  SIZE client_{};
};

// The search window opened from the main window (hidden meanwhile): modal; nothing shows when
// there is nothing to search. While it is open the desktop's messages open over it.
void RunLocalSearch(ProgramState& state, HWND mainWindow, Win32Desktop* desktop);

}  // namespace kestrova
