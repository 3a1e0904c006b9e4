// The Win32 main window's message pump during an online property search against the host
// kestrova-sim (KESTROVA_HOST_SIM_DIR; start it with --hits-per-day 18 --seed 1 for the data of
// the Qt benchmark), under Wine: the search started by its button, and the longest time
// between two dispatches of window messages (the longest the window stood still), beside the
// same figure for the pump waiting idle for a second, measured in the same run.
//   win32_window_pump [runs]     prints one line per run and the worst of them
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/dates.h"
#include "foundation/platform/platform.h"
#include "store/program_state.h"
#include "tests/support/cp932_text.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_win32/window_test.h"
#include "ui/pumping_transport.h"
#include "ui/start_up.h"
#include "ui/win32/main_window_dialog.h"
#include "ui/win32/win32_desktop.h"

using namespace kestrova;

namespace {

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  const std::string settings =
      test::HostSimSettings("2011/04/30", "2011/05/04", "27128,27111,27127,27102,27106,27120");
  if (settings.empty()) {
    std::fprintf(stderr, "win32_window_pump: no kestrova-sim (KESTROVA_HOST_SIM_DIR)\n");
    return 1;
  }
  const std::string shipped = platform::ProgramPath(
      test::GenericUtf8(test::FsPath(platform::ExecutablePath()).parent_path()));
  double worst = 0, idleWorst = 0;
  for (int run = 0; run < runs; ++run) {
    test::TempFolder home;
    PrepareHome(home.path(), shipped);
    test::WriteNative(home.native() + "/kestrova.ini", test::Cp932Lines(settings));
    FixedClock clock("2011/05/08 14:30:00");
    ProgramState state;
    Win32Desktop desktop;
    state.clock = &clock;
    state.desktop = &desktop;
    MainWindowDialog dialog(state, PumpingTransports(SystemTransportFactory(), desktop));
    if (!dialog.Create(nullptr) || !dialog.StartUp({home.path() + "\\kestrova"}, {"demo", ""})) {
      std::fprintf(stderr, "win32_window_pump: no window or the start-up check failed\n");
      return 1;
    }
    desktop.SetWindow(dialog.hwnd());
    ShowWindow(dialog.hwnd(), SW_SHOW);
    desktop.ResetPumpStats();
    desktop.Sleep(1000);
    const double idleMs = Milliseconds(desktop.pumpStats().longestGap);
    desktop.ResetPumpStats();
    const auto start = std::chrono::steady_clock::now();
    SendMessageW(GetDlgItem(dialog.hwnd(), 1000), BM_CLICK, 0, 0);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double gapMs = Milliseconds(desktop.pumpStats().longestGap);
    worst = std::max(worst, gapMs);
    idleWorst = std::max(idleWorst, idleMs);
    std::printf(
        "run %d: forms %s, %d dispatches in %.2f s, longest gap %.1f ms (idle pump: %.1f ms), "
        "errors %d\n",
        run + 1, dialog.window().Fields().searchCount.c_str(), desktop.pumpStats().dispatches, wall,
        gapMs, idleMs, state.errorList.Count());
    dialog.window().Close();
  }
  std::printf("longest gap between two dispatches: %.1f ms (idle pump %.1f ms; limit 100 ms)\n",
              worst, idleWorst);
  return 0;
}
