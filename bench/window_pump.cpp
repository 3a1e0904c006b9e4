// The window's message pump during an online property search against kestrova-sim: the Qt
// main window on the offscreen platform, the search started by its button, and the longest
// time between two dispatches of window events (the longest the window stood still).
//   window_pump [runs]     prints one line per run and the worst of them
#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/online_data.h"
#include "foundation/dates.h"
#include "foundation/platform/platform.h"
#include "store/program_state.h"
#include "tests/sim/sim_process.h"
#include "ui/qt/main_window_dialog.h"
#include "ui/qt/qt_desktop.h"

using namespace kestrova;

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  QApplication application(argc, argv);
  test::SimProcess sim;
  if (!sim.Start({"--hits-per-day", "18", "--seed", "1"})) {
    std::fprintf(stderr, "window_pump: kestrova-sim did not start\n");
    return 1;
  }
  double worst = 0;
  for (int run = 0; run < runs; ++run) {
    test::TempFolder home;
    bench::MakeProgramHome(home.native(), bench::OnlineSettings(sim));
    FixedClock clock("2011/05/08 14:30:00");
    ProgramState state;
    QtDesktop desktop;
    state.clock = &clock;
    state.desktop = &desktop;
    MainWindowDialog dialog(state, SystemTransportFactory());
    desktop.SetWindow(&dialog);
    if (!dialog.StartUp({platform::ProgramPath(home.native()) + "\\kestrova"}, {"demo", ""})) {
      std::fprintf(stderr, "window_pump: start-up check failed\n");
      return 1;
    }
    dialog.show();
    QCoreApplication::processEvents();
    desktop.ResetPumpStats();
    const auto start = std::chrono::steady_clock::now();
    dialog.findChild<QPushButton*>(QStringLiteral("ctl1000"))->click();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double gapMs =
        std::chrono::duration<double, std::milli>(desktop.pumpStats().longestGap).count();
    worst = std::max(worst, gapMs);
    std::printf("run %d: forms %s, %d dispatches in %.2f s, longest gap %.1f ms, errors %d\n",
                run + 1, dialog.window().Fields().searchCount.c_str(),
                desktop.pumpStats().dispatches, wall, gapMs, state.errorList.Count());
    dialog.window().Close();
  }
  std::printf("longest gap between two dispatches: %.1f ms (limit 100 ms)\n", worst);
  return 0;
}
