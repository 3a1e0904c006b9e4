#include "ui/win32/main_window_dialog.h"

#include <commctrl.h>

#include <csignal>
#include <string>

#include "foundation/desktop.h"
#include "service/online_commands.h"
#include "store/program_state.h"
#include "ui/win32/dpi.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/schedule_dialog.h"
#include "ui/win32/small_dialogs.h"
#include "ui/win32/win32_text.h"

namespace kestrova {

namespace {

struct EditSpec {
  int id;
  std::string MainFields::*field;
  bool readOnly;
};

// The dialog's edits; the read-only ones only show their field.
const EditSpec kEdits[] = {
    {1002, &MainFields::startDate, false}, {1003, &MainFields::endDate, false},
    {1004, &MainFields::lastDate, true},   {1058, &MainFields::dealStartDate, false},
    {1005, &MainFields::codes, false},     {1007, &MainFields::loginInfo, true},
    {1006, &MainFields::password, false},  {1045, &MainFields::searchCount, true},
    {1048, &MainFields::fee, true},        {1009, &MainFields::statusLine, true},
};

struct CheckSpec {
  int id;
  int MainFields::*field;
};

const CheckSpec kChecks[] = {
    {1011, &MainFields::sale},   {1012, &MainFields::rent},         {1026, &MainFields::pdf},
    {1050, &MainFields::detail}, {1025, &MainFields::skipExisting}, {1036, &MainFields::agreed},
};

// The buttons that wait while a command runs (every one but the stop button).
const int kButtons[] = {1000, 1001, 1008, 1013, 1014, 1034, 1043, 1051, 1054, 1046};

constexpr UINT_PTR kSignalTimer = 1;

// The log box's text: "_" only clears the box between the rows of a page; lines end in CR LF,
// as a multi-line edit wants them.
std::string LogText(const std::string& log) {
  if (log == "_") return std::string();
  std::string out;
  for (char c : log) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

MainWindowDialog::MainWindowDialog(ProgramState& state, TransportFactory transports)
    : Win32Dialog(IDD_MAIN_WINDOW), state_(state), window_(state, *this, std::move(transports)) {}

void MainWindowDialog::OnCreated() {
  SetProgramIcon();
  const UINT dpi = DpiOf(hwnd());
  SendDlgItemMessageW(hwnd(), 1046, BM_SETIMAGE, IMAGE_ICON,
                      reinterpret_cast<LPARAM>(ProgramIcon(ScaleForDpi(32, dpi))));
  SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETRANGE32, 0, 1);
  background_ = GetSysColorBrush(COLOR_3DFACE);
  // A stop signal (Ctrl+C of a console the program was started from) is seen here, on the
  // window's thread, even while a command pumps messages.
  SetTimer(hwnd(), kSignalTimer, 100, nullptr);
  ShowScrollBar(Item(1010), SB_VERT, FALSE);  // until a text needs it
  SetFocus(Item(1013));
}

bool MainWindowDialog::StartUp(const EnvironmentSource& source, const LoginIdSources& loginId) {
  if (!window_.StartUp(source, loginId)) return false;
  if (window_.NeedsLoginId()) {
    InputTexts texts{LoginIdPrompt(), std::string()};
    if (InputDialog::Ask(texts, hwnd()) && !texts.value.empty()) window_.SetLoginId(texts.value);
  }
  return true;
}

void MainWindowDialog::ShowAbout() {
  AboutDialog dialog(state_);
  dialog.RunModal(hwnd());
}

void MainWindowDialog::ShowSchedule() {
  TaskScheduler scheduler(scheduleRunner_);
  ScheduleDialog dialog(state_, scheduler, window_.Fields().loginInfo);
  dialog.RunModal(hwnd());
}

void MainWindowDialog::ReadFields(MainFields& fields) {
  for (const EditSpec& spec : kEdits) {
    if (!spec.readOnly) fields.*spec.field = ControlText(hwnd(), spec.id);
  }
  for (const CheckSpec& spec : kChecks) fields.*spec.field = IsChecked(hwnd(), spec.id) ? 1 : 0;
}

void MainWindowDialog::ShowFields(const MainFields& fields) {
  for (const EditSpec& spec : kEdits) SetControlText(hwnd(), spec.id, fields.*spec.field);
  for (const CheckSpec& spec : kChecks) SetChecked(hwnd(), spec.id, fields.*spec.field != 0);
  ShowLog(LogText(fields.logBox));
}

// The log box carries its scroll bar only while its text is longer than the box. A multi-line
// edit redraws a scroll bar it carries at every change of its text, at once: under Wine that
// costs several milliseconds (tens on a busy machine) each time, and a run changes the box
// three times per property.
void MainWindowDialog::ShowLog(const std::string& text) {
  if (!SetControlText(hwnd(), 1010, text)) return;
  HWND box = Item(1010);
  const bool needsBar = LogOverflows(box);
  if (needsBar != ((GetWindowLongW(box, GWL_STYLE) & WS_VSCROLL) != 0)) {
    ShowScrollBar(box, SB_VERT, needsBar);
  }
}

bool MainWindowDialog::LogOverflows(HWND box) {
  RECT text{};
  SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  HDC dc = GetDC(box);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(box, dc);
  const LRESULT lines = SendMessageW(box, EM_GETLINECOUNT, 0, 0);
  return metrics.tmHeight > 0 && lines * metrics.tmHeight > text.bottom - text.top;
}

void MainWindowDialog::SetTitle(std::string_view title) {
  SetWindowTextW(hwnd(), WideText(title).c_str());
}

void MainWindowDialog::SearchProgress(int done, int total) {
  SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETRANGE32, 0, total > 0 ? total : 1);
  SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

void MainWindowDialog::ShowBusy(bool busy, bool stoppable) {
  // One command at a time: every other button waits; the stop button serves online runs only.
  for (int id : kButtons) EnableWindow(Item(id), !busy);
  EnableWindow(Item(IDC_STOP), busy && stoppable);
  if (busy && stoppable) {
    SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETRANGE32, 0, 1);
    SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETPOS, 0, 0);
  }
}

bool MainWindowDialog::OpenWindow(MainCommand id) {
  auto it = openers_.find(id);
  if (it == openers_.end() || !it->second) return false;
  // The local search takes the main window's place while it is open.
  const bool hides = id == MainCommand::kLocalSearch && IsWindowVisible(hwnd());
  if (hides) ShowWindow(hwnd(), SW_HIDE);
  it->second();
  if (hides) ShowWindow(hwnd(), SW_SHOW);
  return true;
}

void MainWindowDialog::EndWindow() {
  ended_ = true;
  KillTimer(hwnd(), kSignalTimer);
  End(IDOK);
}

bool MainWindowDialog::EndSessionAllowed() {
  if (ended_) return true;
  // As SIGTERM does on Linux: a running command stops, and the close sequence follows it.
  state_.stopSignal.store(SIGTERM);
  window_.StopSignalled();
  return ended_;
}

void MainWindowDialog::ContextMenu(LPARAM at) {
  HMENU menu = LoadMenuW(ProgramModule(), MAKEINTRESOURCEW(IDR_MAIN_MENU));
  if (menu == nullptr) return;
  HMENU popup = GetSubMenu(menu, 0);
  const UINT enabled = MF_BYCOMMAND | (window_.busy() ? MF_GRAYED : MF_ENABLED);
  EnableMenuItem(popup, IDM_ABOUT, enabled);
  EnableMenuItem(popup, IDM_SCHEDULE, enabled);
  POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  if (at == static_cast<LPARAM>(-1)) {  // from the keyboard: at the window's corner
    RECT r;
    GetWindowRect(hwnd(), &r);
    point = {r.left + 16, r.top + 16};
  }
  const int chosen =
      TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, hwnd(), nullptr);
  DestroyMenu(menu);
  if (chosen == IDM_ABOUT) ShowAbout();
  if (chosen == IDM_SCHEDULE) ShowSchedule();
}

bool MainWindowDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (HIWORD(wParam) != BN_CLICKED) return false;
      if (id == IDC_STOP) {
        window_.RequestStop();
      } else if (id == 1046) {
        ShowAbout();
      } else if (id == IDOK || id == IDCANCEL) {
        // Escape would end the dialog without the close sequence: it does nothing.
      } else if (id == 1036) {
        // Every change of the terms box the user makes (click, Space) runs its rule.
        window_.Command(MainCommand::kAgreement);
      } else {
        window_.Command(static_cast<MainCommand>(id));
      }
      return true;
    }
    case WM_CLOSE:
      if (!ended_) window_.RequestClose();
      return true;
    case WM_TIMER:
      if (wParam != kSignalTimer || state_.stopSignal.load() == 0) return false;
      KillTimer(hwnd(), kSignalTimer);
      window_.StopSignalled();
      return true;
    case WM_QUERYENDSESSION:
      // While a command runs Windows is asked to wait: it stops, then the window closes.
      result = EndSessionAllowed() ? TRUE : FALSE;
      return true;
    case WM_ENDSESSION:
      if (wParam != 0) EndSessionAllowed();
      return true;
    case WM_CONTEXTMENU:
      ContextMenu(lParam);
      return true;
    case WM_CTLCOLORSTATIC: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (id != 1042 && id != 1044 && id != 1049) return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, id == 1042 ? RGB(0, 0, 0xff) : RGB(0xff, 0, 0));
      SetBkMode(dc, TRANSPARENT);
      result = reinterpret_cast<LRESULT>(background_);
      return true;
    }
  }
  return false;
}

}  // namespace kestrova
