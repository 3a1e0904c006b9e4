// Pictures of the Win32 windows for the documentation, taken under Wine on an X display (Xvfb):
// the main window after start-up, the main window during a property search against the host
// kestrova-sim (KESTROVA_HOST_SIM_DIR), the login ID prompt, the about dialog, the daily-run
// dialog (a task at 07:30 as schtasks.exe would answer, a run in the history), the code lookup,
// the maintenance window, and the local search over the fetched records sorted by price, plain
// and with its row menu open. Each is written as a 32-bit BMP of the window's content under a
// plain title bar; scripts/screenshots turns them into PNG files.
//   win32_screenshots OUTPUT_FOLDER
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/dates.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "store/csv_layout.h"
#include "store/program_state.h"
#include "tests/support/cp932_text.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_win32/window_test.h"
#include "ui/pumping_transport.h"
#include "ui/start_up.h"
#include "ui/win32/code_lookup_dialog.h"
#include "ui/win32/main_window_dialog.h"
#include "ui/win32/maintenance_dialog.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/schedule_dialog.h"
#include "ui/win32/search_dialog.h"
#include "ui/win32/small_dialogs.h"
#include "ui/win32/win32_desktop.h"

namespace {

using namespace kestrova;

// Lets the window paint: its messages for a moment.
void Settle(Win32Desktop& desktop) {
  for (int i = 0; i < 5; ++i) {
    DispatchPendingMessages();
    desktop.MessagePump::Sleep(40);
  }
  DispatchPendingMessages();
}

// The window's client area under a plain title bar with its icon and title, as the Linux
// pictures have it: Wine draws the frame's buttons from a font the machine may lack.
bool SaveWindow(HWND window, const std::string& file, HWND popup = nullptr) {
  RECT client;
  GetClientRect(window, &client);
  const int bar = 26, width = client.right + 2, height = client.bottom + bar + 1;
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, width, height}, title{1, 1, width - 1, bar};
  HBRUSH frame = CreateSolidBrush(RGB(0x60, 0x70, 0x80));
  HBRUSH caption = CreateSolidBrush(RGB(0x2b, 0x57, 0x9a));
  FillRect(memory, &all, frame);
  FillRect(memory, &title, caption);
  DrawIconEx(memory, 6, 5, ProgramIcon(16), 16, 16, 0, nullptr, DI_NORMAL);
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  font.lfWeight = FW_BOLD;
  HFONT bold = CreateFontIndirectW(&font);
  HGDIOBJ oldFont = SelectObject(memory, bold);
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, RGB(0xff, 0xff, 0xff));
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  RECT words{28, 1, width - 2, bar};
  DrawTextW(memory, text, -1, &words, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  BitBlt(memory, 1, bar, client.right, client.bottom, source, 0, 0, SRCCOPY);
  if (popup != nullptr) {  // a menu open over the window, where it stands
    RECT r;
    GetWindowRect(popup, &r);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC menu = GetWindowDC(popup);
    BitBlt(memory, 1 + r.left - origin.x, bar + r.top - origin.y, r.right - r.left,
           r.bottom - r.top, menu, 0, 0, SRCCOPY);
    ReleaseDC(popup, menu);
  }
  GdiFlush();
  // No alpha in a picture: every pixel opaque.
  auto* pixel = static_cast<unsigned char*>(bits);
  for (int i = 0; i < width * height; ++i) pixel[i * 4 + 3] = 0xff;
  const DWORD size = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
  BITMAPFILEHEADER header{
      0x4d42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
      sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  std::ofstream out(test::FsPath(file), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), size);
  SelectObject(memory, oldFont);
  DeleteObject(bold);
  DeleteObject(frame);
  DeleteObject(caption);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  std::printf("%s %dx%d\n", file.c_str(), width, height);
  return out.good();
}

template <typename Dialog>
bool Picture(Dialog& dialog, Win32Desktop& desktop, const std::string& file) {
  if (!dialog.Create(nullptr)) return false;
  ShowWindow(dialog.hwnd(), SW_SHOW);
  Settle(desktop);
  const bool ok = SaveWindow(dialog.hwnd(), file);
  ShowWindow(dialog.hwnd(), SW_HIDE);
  return ok;
}

// The local search over the records of the search just run, sorted by price, three rows
// selected; then its row menu open over the second of them.
bool SearchPictures(ProgramState& state, Win32Desktop& desktop, const std::string& out) {
  SearchDialog search(state);
  if (!search.Create(nullptr) || !search.Open()) return false;
  SetWindowPos(search.hwnd(), nullptr, 0, 0, 1103, 714, SWP_NOZORDER | SWP_NOMOVE);
  HWND list = search.Item(IDC_SEARCH_RESULTS);
  const CsvLayout& layout = search.Window().Layout();
  int price = 0;
  while (price < layout.Columns() && layout.headings.View(price).rfind(SJIS("価格"), 0) != 0)
    ++price;
  NMLISTVIEW click{};
  click.hdr = {list, static_cast<UINT_PTR>(IDC_SEARCH_RESULTS), static_cast<UINT>(LVN_COLUMNCLICK)};
  click.iItem = -1;
  click.iSubItem = price;
  SendMessageW(search.hwnd(), WM_NOTIFY, IDC_SEARCH_RESULTS, reinterpret_cast<LPARAM>(&click));
  for (int row : {2, 3, 4}) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
  ShowWindow(search.hwnd(), SW_SHOW);
  Settle(desktop);
  bool ok = SaveWindow(search.hwnd(), out + "search-window.bmp");
  // The menu runs its own loop: a timer inside it takes the picture and closes it.
  static HWND owner = nullptr;
  static bool* taken = nullptr;
  static std::string file;
  bool menuTaken = false;
  owner = search.hwnd();
  taken = &menuTaken;
  file = out + "search-menu.bmp";
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu) || *taken) return;
    *taken = SaveWindow(owner, file, menu);
    PostMessageW(owner, WM_CANCELMODE, 0, 0);
    EndMenu();
  });
  RECT row;
  ListView_GetItemRect(list, 3, &row, LVIR_BOUNDS);
  POINT at{row.left + 160, (row.top + row.bottom) / 2};
  ClientToScreen(list, &at);
  HMENU menu = SearchDialog::CreateRowMenu();
  TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, search.hwnd(), nullptr);
  DestroyMenu(menu);
  KillTimer(nullptr, timer);
  ok &= menuTaken;
  ShowWindow(search.hwnd(), SW_HIDE);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: win32_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const std::string out = platform::Arguments(argc, argv)[1] + "/";
  const std::string shipped = platform::ProgramPath(
      test::GenericUtf8(test::FsPath(platform::ExecutablePath()).parent_path()));
  bool ok = true;
  {  // First start: the defaults.
    test::TempFolder home;
    PrepareHome(home.path(), shipped);
    FixedClock clock("2011/05/08 14:30:00");
    ProgramState state;
    test::ScriptedWin32Desktop desktop;
    state.clock = &clock;
    state.desktop = &desktop;
    MainWindowDialog main(state, SystemTransportFactory());
    main.Create(nullptr);
    main.StartUp({home.path() + "\\kestrova"}, {"12345678", ""});
    ok &= Picture(main, desktop, out + "main-window.bmp");
    InputDialog input({LoginIdPrompt(), std::string()});
    ok &= Picture(input, desktop, out + "input-dialog.bmp");
    AboutDialog about(state);
    ok &= Picture(about, desktop, out + "about-dialog.bmp");
    std::filesystem::create_directories(test::FsPath(home.native() + "/Log"));
    test::WriteNative(home.native() + "/Log/RunHistory.txt",
                      "2011/05/08 07:30:00\t2011/05/08 07:31:12\tdaily --deals\t0\t1200\t1248\t48"
                      "\t48\t20\t0\t33\t0\t0\t0\r\n");
    TaskScheduler tasks([](const std::vector<std::string>&) {
      return ProgramOutput{0,
                           "<Task><StartBoundary>2011-05-01T07:30:00</StartBoundary>"
                           "<Arguments>--headless daily --deals</Arguments></Task>"};
    });
    ScheduleDialog schedule(state, tasks, "12345678");
    ok &= Picture(schedule, desktop, out + "schedule-dialog.bmp");
    CodeLookupDialog lookup(state);
    ok &= Picture(lookup, desktop, out + "code-lookup.bmp");
    main.window().Close();
  }
  {  // A property search against the sim, pictured well under way; then the maintenance window.
    const std::string settings = test::HostSimSettings();
    if (settings.empty()) {
      std::fprintf(stderr, "win32_screenshots: no kestrova-sim (KESTROVA_HOST_SIM_DIR)\n");
      return 1;
    }
    test::TempFolder home;
    PrepareHome(home.path(), shipped);
    test::WriteNative(home.native() + "/kestrova.ini", test::Cp932Lines(settings));
    FixedClock clock("2011/05/08 14:30:00");
    ProgramState state;
    test::ScriptedWin32Desktop desktop;
    state.clock = &clock;
    state.desktop = &desktop;
    MainWindowDialog main(state, PumpingTransports(SystemTransportFactory(), desktop));
    main.Create(nullptr);
    main.StartUp({home.path() + "\\kestrova"}, {"demo", ""});
    ShowWindow(main.hwnd(), SW_SHOW);
    bool taken = false;
    desktop.onPump = [&] {
      if (taken || test::Text(main.hwnd(), 1045) != "4") return;
      taken = true;
      Settle(desktop);
      ok &= SaveWindow(main.hwnd(), out + "main-window-running.bmp");
    };
    test::Click(main.hwnd(), 1000);
    ok &= taken;
    desktop.onPump = nullptr;
    ShowWindow(main.hwnd(), SW_HIDE);
    MaintenanceDialog maintenance(state);
    ok &= Picture(maintenance, desktop, out + "maintenance-window.bmp");
    ok &= SearchPictures(state, desktop, out);
    main.window().Close();
  }
  return ok ? 0 : 1;
}
