#include "ui/win32/code_lookup_dialog.h"

#include <commctrl.h>

#include "foundation/settings_keys.h"
#include "store/program_state.h"
#include "ui/win32/list_view.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/win32_text.h"

namespace kestrova {

CodeLookupDialog::CodeLookupDialog(ProgramState& state)
    : Win32Dialog(IDD_CODE_LOOKUP), state_(state), window_(state, *this) {}

void CodeLookupDialog::OnCreated() {
  SetProgramIcon();
  RECT window, client;
  GetWindowRect(hwnd(), &window);
  GetClientRect(hwnd(), &client);
  SetMinimumSize({window.right - window.left, window.bottom - window.top});
  client_ = {client.right, client.bottom};
  SetUpReportList(Item(IDC_RESULTS), {"コード", "都道府県", "市町村名", "よみがな"}, 100);
  RestorePlacement(hwnd(), state_.settings, keys::kLookupPlacement);
  RestoreColumnWidths(Item(IDC_RESULTS), state_.settings, keys::kLookupColumnWidths);
  Layout();
  window_.Open();
}

void CodeLookupDialog::ReadFields(CodeLookupFields& fields) {
  fields.prefecture = ControlText(hwnd(), IDC_PREFECTURE);
  fields.municipality = ControlText(hwnd(), IDC_MUNICIPALITY);
  fields.codes = ControlText(hwnd(), IDC_CODES);
  fields.selected = SelectedRows(Item(IDC_RESULTS));
}

void CodeLookupDialog::ShowFields(const CodeLookupFields& fields) {
  SetControlText(hwnd(), IDC_PREFECTURE, fields.prefecture);
  SetControlText(hwnd(), IDC_MUNICIPALITY, fields.municipality);
  SetControlText(hwnd(), IDC_NAMES, fields.names);
  SetControlText(hwnd(), IDC_CODES, fields.codes);
  // A search clears the selection and may change the rows; adding codes keeps both.
  HWND list = Item(IDC_RESULTS);
  const int rows = static_cast<int>(fields.rows.size());
  if (fields.selected.empty() || rows != ListView_GetItemCount(list)) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list, rows, 0);
    InvalidateRect(list, nullptr, TRUE);
  }
}

void CodeLookupDialog::Layout() {
  RECT client;
  GetClientRect(hwnd(), &client);
  const int dx = client.right - client_.cx, dy = client.bottom - client_.cy;
  if (dx == 0 && dy == 0) return;
  client_ = {client.right, client.bottom};
  auto adjust = [&](int id, bool moveRight, bool widen, bool taller) {
    HWND control = Item(id);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(control, nullptr, r.left + (moveRight ? dx : 0), r.top,
                 r.right - r.left + (widen ? dx : 0), r.bottom - r.top + (taller ? dy : 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  };
  adjust(IDC_PREFECTURE, false, true, false);
  adjust(IDC_MUNICIPALITY, false, true, false);
  adjust(IDC_SEARCH, true, false, false);
  adjust(IDC_NAMES, false, true, false);
  adjust(IDC_CODES, false, true, false);
  adjust(IDC_RESULTS, false, true, true);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

bool CodeLookupDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return true;
    case WM_CLOSE:
      // The close box stores the texts, the code list, the placement and the widths.
      window_.Close();
      SaveListWindow(hwnd(), Item(IDC_RESULTS), state_.settings, keys::kLookupPlacement,
                     keys::kLookupColumnWidths);
      End(IDOK);
      return true;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return false;
      switch (LOWORD(wParam)) {
        case IDC_SEARCH:
        case IDOK:  // Enter searches; it does not end the dialog
          window_.Search();
          return true;
        case IDCANCEL:  // Escape leaves without storing anything
          End(IDCANCEL);
          return true;
      }
      return false;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom != IDC_RESULTS) return false;
      if (header->code == LVN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if (info->item.mask & LVIF_TEXT) {
          cell_ = WideText(window_.Cell(info->item.iItem, info->item.iSubItem));
          lstrcpynW(info->item.pszText, cell_.c_str(), info->item.cchTextMax);
        }
        return true;
      }
      if (header->code == NM_DBLCLK) {
        window_.AddCodes();
        return true;
      }
      return false;
    }
  }
  (void)result;
  return false;
}

bool RunCodeLookup(ProgramState& state, HWND parent) {
  CodeLookupDialog dialog(state);
  return dialog.RunModal(parent) == IDOK;
}

}  // namespace kestrova
