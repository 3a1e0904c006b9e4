#include "ui/win32/list_view.h"

#include <commctrl.h>

#include <string>

#include "foundation/settings_store.h"
#include "ui/win32/dpi.h"
#include "ui/win32/win32_text.h"

namespace kestrova {

namespace {

int ColumnCount(HWND list) {
  return static_cast<int>(SendMessageW(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0));
}

}  // namespace

void SetUpReportList(HWND list, const std::vector<const char*>& headings, int width) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  const int scaled = ScaleForDpi(width, DpiOf(list));
  for (std::size_t i = 0; i < headings.size(); ++i) {
    std::wstring text = WideUtf8(headings[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = scaled;
    column.pszText = text.data();
    ListView_InsertColumn(list, static_cast<int>(i), &column);
  }
}

std::vector<int> SelectedRows(HWND list) {
  std::vector<int> rows;
  for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(list, i, LVNI_SELECTED)) {
    rows.push_back(i);
  }
  return rows;
}

void RestorePlacement(HWND window, const SettingsStore& settings, std::string_view key) {
  WindowRect rect;
  if (!RestorePlacement(settings, key, rect) || rect.width <= 0 || rect.height <= 0) return;
  SetWindowPos(window, nullptr, rect.left, rect.top, rect.width, rect.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void SavePlacement(HWND window, SettingsStore& settings, std::string_view key) {
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  SavePlacement({r.left, r.top, r.right - r.left, r.bottom - r.top}, settings, key);
}

void RestoreColumnWidths(HWND list, const SettingsStore& settings, std::string_view key) {
  const std::vector<int> widths = RestoreColumnWidths(settings, key);
  const int columns = ColumnCount(list);
  for (int i = 0; i < columns && i < static_cast<int>(widths.size()); ++i) {
    if (widths[i] > 0) ListView_SetColumnWidth(list, i, widths[i]);
  }
}

void SaveColumnWidths(HWND list, SettingsStore& settings, std::string_view key) {
  std::vector<int> widths;
  for (int i = 0; i < ColumnCount(list); ++i) widths.push_back(ListView_GetColumnWidth(list, i));
  SaveColumnWidths(widths, settings, key);
}

void SaveListWindow(HWND window, HWND list, SettingsStore& settings, std::string_view placementKey,
                    std::string_view widthsKey) {
  SavePlacement(window, settings, placementKey);
  SaveColumnWidths(list, settings, widthsKey);
}

}  // namespace kestrova
