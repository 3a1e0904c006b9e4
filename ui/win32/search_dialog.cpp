#include "ui/win32/search_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "foundation/settings_keys.h"
#include "store/csv_layout.h"
#include "store/program_state.h"
#include "ui/win32/file_drag.h"
#include "ui/win32/list_view.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/win32_desktop.h"
#include "ui/win32/win32_text.h"

namespace kestrova {

namespace {

constexpr int kKeyCount = 9;

// The radio button of a group that is checked; -1 when none is.
int CheckedOf(HWND dialog, int first) {
  for (int i = 0; i < 3; ++i) {
    if (IsChecked(dialog, first + i)) return i;
  }
  return -1;
}

// -1 (or anything beyond the group) checks no button of the group.
void CheckOnly(HWND dialog, int first, int choice) {
  for (int i = 0; i < 3; ++i) SetChecked(dialog, first + i, i == choice);
}

void Fill(HWND box, std::vector<std::string>& shown, const std::vector<std::string>& entries,
          int selected) {
  if (shown != entries) {
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : entries) {
      SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(entry).c_str()));
    }
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    shown = entries;
  }
  const int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
  SendMessageW(box, CB_SETCURSEL, selected < count ? selected : -1, 0);
}

int Selection(HWND box) { return static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0)); }

}  // namespace

SearchDialog::SearchDialog(ProgramState& state)
    : Win32Dialog(IDD_SEARCH), state_(state), window_(state, *this) {}

void SearchDialog::OnCreated() {
  SetProgramIcon();
  RECT window, client;
  GetWindowRect(hwnd(), &window);
  GetClientRect(hwnd(), &client);
  SetMinimumSize({(window.right - window.left) / 2, window.bottom - window.top});
  client_ = {client.right, client.bottom};
  HWND doubleClick = Item(IDC_SEARCH_DOUBLE_CLICK);
  for (int i = 0; i <= static_cast<int>(ResultAction::kOpenLocation); ++i) {
    const std::wstring text = WideText(ActionText(static_cast<ResultAction>(i)));
    SendMessageW(doubleClick, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  // The columns of the Output_Kanri layout; "N" columns are right-aligned.
  HWND list = Item(IDC_SEARCH_RESULTS);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  const CsvLayout& layout = window_.Layout();
  for (int i = 0; i < layout.Columns(); ++i) {
    numeric_.push_back(layout.types.View(i).substr(0, 1) == "N");
    std::wstring heading = WideText(layout.headings.View(i));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = numeric_.back() ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = 100;
    column.pszText = heading.data();
    ListView_InsertColumn(list, i, &column);
  }
}

bool SearchDialog::Open() {
  RestorePlacement(hwnd(), state_.settings, keys::kSearchPlacement);
  const bool fit = ColumnsFitContents(state_.settings);
  RestoreColumnWidths(Item(IDC_SEARCH_RESULTS), state_.settings, keys::kSearchColumnWidths);
  Layout();
  if (!window_.Open()) return false;
  if (fit) FitColumns();
  return true;
}

void SearchDialog::FitColumns() {
  // Measured over the first rows only, so a long list opens as fast as a short one.
  HWND list = Item(IDC_SEARCH_RESULTS);
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  auto width = [dc](const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  };
  const LONG widest = width(std::wstring(16, L'\u3042'));
  const CsvLayout& layout = window_.Layout();
  const int rows = std::min(window_.Results().RowCount(), 100);
  for (int column = 0; column < layout.Columns(); ++column) {
    LONG fit = width(WideText(layout.headings.View(column))) + 40;  // room for the sort arrow
    for (int row = 0; row < rows; ++row) {
      fit = std::max(fit, width(WideText(window_.Results().Cell(row, column))) + 12);
    }
    ListView_SetColumnWidth(list, column, std::min(fit, widest));
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
}

void SearchDialog::ReadFields(SearchFields& fields) {
  for (int i = 0; i < kKeyCount; ++i) {
    fields.state.keys[static_cast<std::size_t>(i)] = ControlText(hwnd(), IDC_SEARCH_KEY1 + i);
  }
  fields.state.startDate = ControlText(hwnd(), IDC_SEARCH_DATE_FROM);
  fields.state.endDate = ControlText(hwnd(), IDC_SEARCH_DATE_TO);
  fields.state.type = CheckedOf(hwnd(), IDC_SEARCH_TYPE0);
  fields.state.plan = CheckedOf(hwnd(), IDC_SEARCH_PLAN0);
  fields.state.pastData = IsChecked(hwnd(), IDC_SEARCH_PAST_DATA) ? 1 : 0;
  fields.state.hideDuplicates = IsChecked(hwnd(), IDC_SEARCH_HIDE_DUPLICATES) ? 1 : 0;
  fields.state.doubleClick = Selection(Item(IDC_SEARCH_DOUBLE_CLICK));
  fields.station = Selection(Item(IDC_SEARCH_STATION));
  for (int i = 0; i < 3; ++i) {
    fields.keyListSelection[static_cast<std::size_t>(i)] = Selection(Item(IDC_SEARCH_KEYLIST1 + i));
  }
  fields.selected = SelectedRows(Item(IDC_SEARCH_RESULTS));
}

void SearchDialog::ShowFields(const SearchFields& fields) {
  for (int i = 0; i < kKeyCount; ++i) {
    SetControlText(hwnd(), IDC_SEARCH_KEY1 + i, fields.state.keys[static_cast<std::size_t>(i)]);
  }
  SetControlText(hwnd(), IDC_SEARCH_DATE_FROM, fields.state.startDate);
  SetControlText(hwnd(), IDC_SEARCH_DATE_TO, fields.state.endDate);
  CheckOnly(hwnd(), IDC_SEARCH_TYPE0, fields.state.type);
  CheckOnly(hwnd(), IDC_SEARCH_PLAN0, fields.state.plan);
  SetChecked(hwnd(), IDC_SEARCH_PAST_DATA, fields.state.pastData != 0);
  SetChecked(hwnd(), IDC_SEARCH_HIDE_DUPLICATES, fields.state.hideDuplicates != 0);
  SendMessageW(Item(IDC_SEARCH_DOUBLE_CLICK), CB_SETCURSEL,
               fields.state.doubleClick <= static_cast<int>(ResultAction::kOpenLocation)
                   ? fields.state.doubleClick
                   : -1,
               0);
  Fill(Item(IDC_SEARCH_STATION), stations_, fields.stations, fields.station);
  for (std::size_t i = 0; i < keyListEntries_.size(); ++i) {
    Fill(Item(IDC_SEARCH_KEYLIST1 + static_cast<int>(i)), keyListEntries_[i], fields.keyLists[i],
         fields.keyListSelection[i]);
  }
}

void SearchDialog::ShowResults() {
  HWND list = Item(IDC_SEARCH_RESULTS);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list, window_.Results().RowCount(), 0);
  InvalidateRect(list, nullptr, TRUE);
  ShowSortArrow();
}

void SearchDialog::SelectRows(const std::vector<int>& rows) {
  HWND list = Item(IDC_SEARCH_RESULTS);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  for (int row : rows) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
  if (!rows.empty()) ListView_EnsureVisible(list, rows.front(), FALSE);
}

void SearchDialog::SetTitle(std::string_view title) {
  SetWindowTextW(hwnd(), WideText(title).c_str());
}

void SearchDialog::ShowSortArrow() {
  HWND header = ListView_GetHeader(Item(IDC_SEARCH_RESULTS));
  const ListSorter& sorter = window_.Sorter();
  const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < columns; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == sorter.currentColumn()) item.fmt |= sorter.sortFlag() == 0 ? HDF_SORTUP : HDF_SORTDOWN;
    SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
}

HMENU SearchDialog::CreateRowMenu() {
  HMENU menu = CreatePopupMenu();
  for (ResultAction action : MenuActions()) {
    AppendMenuW(menu, MF_STRING, IDM_SEARCH_ACTION + static_cast<int>(action),
                WideText(ActionText(action)).c_str());
  }
  return menu;
}

void SearchDialog::ShowMenu(POINT screen) {
  if (SelectedRows(Item(IDC_SEARCH_RESULTS)).empty()) return;
  HMENU menu = CreateRowMenu();
  const int chosen =
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd(), nullptr);
  DestroyMenu(menu);
  if (chosen >= IDM_SEARCH_ACTION) {
    window_.RunAction(static_cast<ResultAction>(chosen - IDM_SEARCH_ACTION));
  }
}

std::vector<std::string> SearchDialog::DragFiles() {
  return window_.RunAction(ResultAction::kCollectDragFiles);
}

void SearchDialog::Layout() {
  RECT client;
  GetClientRect(hwnd(), &client);
  const int dx = client.right - client_.cx, dy = client.bottom - client_.cy;
  if (dx == 0 && dy == 0) return;
  client_ = {client.right, client.bottom};
  HWND list = Item(IDC_SEARCH_RESULTS);
  RECT r;
  GetWindowRect(list, &r);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
  SetWindowPos(list, nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

bool SearchDialog::OnCommand(int id, int code) {
  if (code == CBN_SELCHANGE) {
    // A station or key-list entry chosen searches; the double-click action waits.
    if (id == IDC_SEARCH_STATION || (id >= IDC_SEARCH_KEYLIST1 && id < IDC_SEARCH_KEYLIST1 + 3)) {
      window_.RunSearch();
      return true;
    }
    return false;
  }
  if (code != BN_CLICKED) return false;
  if (id == IDOK) {  // 検索, and Enter in any box
    window_.Command(SearchCommand::kSearch);
  } else if (id == IDCANCEL) {  // Escape leaves without the state, placement or widths
    End(IDCANCEL);
  } else if (id >= IDC_SEARCH_TYPE0 && id < IDC_SEARCH_TYPE0 + 6) {
    window_.RunSearch();  // a click on any radio button of 種別 or 図面
  } else if (id == IDC_SEARCH_CLEAR ||
             (id >= IDC_SEARCH_PRESET1 && id <= IDC_SEARCH_RELOAD_LIST1 + 2)) {
    window_.Command(static_cast<SearchCommand>(id));
  } else {
    return false;
  }
  return true;
}

bool SearchDialog::OnListNotify(const NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header));
      if (info->item.mask & LVIF_TEXT) {
        cell_ = WideText(window_.Results().Cell(info->item.iItem, info->item.iSubItem));
        lstrcpynW(info->item.pszText, cell_.c_str(), info->item.cchTextMax);
      }
      return true;
    }
    case LVN_COLUMNCLICK:
      window_.SortByColumn(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
      return true;
    case NM_DBLCLK:
      window_.DoubleClick();
      return true;
    case NM_RCLICK: {
      POINT at;
      GetCursorPos(&at);
      ShowMenu(at);
      return true;
    }
    case LVN_BEGINDRAG:  // the left button; the drop source follows it
      DragFilesOut(DragFiles());
      return true;
    case LVN_ODFINDITEMW:
      result = -1;  // typing in the list finds nothing: the rows have no one text of their own
      return true;
  }
  return false;
}

bool SearchDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return true;
    case WM_CLOSE:
      // The close box keeps the search state, the placement and the column widths.
      window_.Close();
      SaveListWindow(hwnd(), Item(IDC_SEARCH_RESULTS), state_.settings, keys::kSearchPlacement,
                     keys::kSearchColumnWidths);
      End(IDOK);
      return true;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      return header->idFrom == IDC_SEARCH_RESULTS && OnListNotify(header, result);
    }
  }
  return false;
}

void RunLocalSearch(ProgramState& state, HWND mainWindow, Win32Desktop* desktop) {
  // A window of its own, not owned by the hidden main window: it keeps its taskbar entry.
  SearchDialog dialog(state);
  if (!dialog.Create(nullptr)) return;
  if (desktop != nullptr) desktop->SetWindow(dialog.hwnd());
  if (dialog.Open()) dialog.RunModal(nullptr);
  if (desktop != nullptr) desktop->SetWindow(mainWindow);
}

}  // namespace kestrova
