// The Win32 local search window with 100,000 current and 100,000 past records, under Wine on
// an X display: opening (data read, stations, first search over both files, list painted), a
// search of three key groups over the 200,000 lines, a page down, and the 100,000 current rows
// sorted by price by a heading click, each with the window painted after it.
// bench/run_search_window_baselines.sh prints it beside the Qt window of the same run.
//   win32_search_window_list [rows per file]     prints one line per step
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "bench/property_lines.h"
#include "bench/store_data.h"
#include "foundation/settings_keys.h"
#include "store/csv_writer.h"
#include "ui/default_settings.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/search_dialog.h"
#include "ui/win32/win32_desktop.h"
#include "ui/win32/win32_text.h"

using namespace kestrova;

namespace {

// Runs the step and paints the window as the screen would; milliseconds.
double Timed(HWND window, const std::function<void()>& step) {
  const auto start = std::chrono::steady_clock::now();
  step();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  DispatchPendingMessages();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void Type(HWND dialog, int id, const char* utf8) {
  SetDlgItemTextW(dialog, id, WideUtf8(utf8).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  ProgramState state;
  Win32Desktop desktop;
  state.desktop = &desktop;
  const std::string native = bench::MakeBenchFolder(state, "kestrova-win32-searchlist");
  ApplyDefaultSettings(state.settings, state.environment);
  state.settings.Set(keys::kSearchType, "2");
  state.settings.Set(keys::kSearchPastData, "1");
  std::ofstream(native + "/dat/TotalData.txt", std::ios::binary)
      << bench::GeneratePropertyLines(rows, 1);
  std::ofstream(native + "/dat/TotalData_Kako.txt", std::ios::binary)
      << bench::GeneratePropertyLines(rows, 2, 500000000);
  if (WriteTotalCsv(state) != 0 || WritePastCsv(state) != 0) return 1;

  int status = 0;
  {
    SearchDialog dialog(state);
    if (!dialog.Create(nullptr)) {
      std::fprintf(stderr, "no window: is the display there?\n");
      return 1;
    }
    HWND d = dialog.hwnd();
    HWND list = GetDlgItem(d, IDC_SEARCH_RESULTS);
    bool opened = false;
    std::printf("open, first search, list painted : %8.1f ms\n", Timed(d, [&] {
                  opened = dialog.Open();
                  ShowWindow(d, SW_SHOW);
                }));
    if (!opened) return 1;
    std::printf("rows shown (current and past)    : %8d\n", ListView_GetItemCount(list));
    // Three key groups: columns AND-ed, the rows of a column OR-ed.
    Type(d, IDC_SEARCH_KEY1, "大阪市");
    Type(d, IDC_SEARCH_KEY1 + 1, "堺市");
    Type(d, IDC_SEARCH_KEY1 + 3, "線");
    Type(d, IDC_SEARCH_KEY1 + 6, "2");
    std::printf("search of three key groups       : %8.1f ms\n",
                Timed(d, [&] { dialog.Window().Command(SearchCommand::kSearch); }));
    std::printf("rows shown                       : %8d\n", ListView_GetItemCount(list));
    double pages = 0;
    for (int i = 0; i < 100; ++i)
      pages += Timed(d, [&] { SendMessageW(list, WM_VSCROLL, SB_PAGEDOWN, 0); });
    std::printf("one page down (mean of 100)      : %8.2f ms\n", pages / 100);
    // The current file alone, every row, then sorted by price (an N column of the layout).
    for (int i = 0; i < 9; ++i) Type(d, IDC_SEARCH_KEY1 + i, "");
    CheckDlgButton(d, IDC_SEARCH_PAST_DATA, BST_UNCHECKED);
    dialog.Window().Command(SearchCommand::kSearch);
    std::printf("rows shown (current)             : %8d\n", ListView_GetItemCount(list));
    NMLISTVIEW click{};
    click.hdr = {list, static_cast<UINT_PTR>(IDC_SEARCH_RESULTS),
                 static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iSubItem = 4;  // "価格(万円)"
    std::printf("sort by price (heading click)    : %8.1f ms\n", Timed(d, [&] {
                  SendMessageW(d, WM_NOTIFY, IDC_SEARCH_RESULTS, reinterpret_cast<LPARAM>(&click));
                }));
    std::printf("sort again, reversed             : %8.1f ms\n", Timed(d, [&] {
                  SendMessageW(d, WM_NOTIFY, IDC_SEARCH_RESULTS, reinterpret_cast<LPARAM>(&click));
                }));
    status = ListView_GetItemCount(list) == rows ? 0 : 1;
  }
  std::filesystem::remove_all(native);
  return status;
}
