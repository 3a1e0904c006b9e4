// The Qt front end: the application object and the main window, run as a modal dialog; when
// it ends, the program ends.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/front_end.h"
#include "store/program_state.h"
#include "ui/qt/code_lookup_dialog.h"
#include "ui/qt/main_window_dialog.h"
#include "ui/qt/maintenance_dialog.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/search_dialog.h"
#include "ui/start_up.h"
#include "ui/stop_signals.h"

namespace kestrova {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool X11DisplayReachable(const std::string& display) {
  // ":0", ":0.0", "unix:0" are local sockets; another host's display is left to Qt.
  std::size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  if (colon != 0 && display.compare(0, colon, "unix") != 0) return true;
  const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
  return std::filesystem::exists("/tmp/.X11-unix/X" + number);
}

bool WaylandDisplayReachable(const std::string& display) {
  if (!display.empty() && display[0] == '/') return std::filesystem::exists(display);
  return std::filesystem::exists(Env("XDG_RUNTIME_DIR") + "/" + display);
}

// Why no window can be shown, or empty. Qt aborts the process when its platform cannot reach
// a display, so the program looks first and says so in one line.
std::string NoDisplayReason() {
#ifdef _WIN32
  return std::string();
#else
  const std::string platform = Env("QT_QPA_PLATFORM");
  const std::string x11 = Env("DISPLAY"), wayland = Env("WAYLAND_DISPLAY");
  const bool wantsX11 = platform.rfind("xcb", 0) == 0;
  const bool wantsWayland = platform.rfind("wayland", 0) == 0;
  if (!platform.empty() && !wantsX11 && !wantsWayland) return std::string();  // offscreen, vnc...
  if (!wantsWayland && !x11.empty() && X11DisplayReachable(x11)) return std::string();
  if (!wantsX11 && !wayland.empty() && WaylandDisplayReachable(wayland)) return std::string();
  if (x11.empty() && wayland.empty())
    return "no display to open the window on (DISPLAY is not set)";
  return "the display " + (x11.empty() ? wayland : x11) + " cannot be reached";
#endif  // _WIN32
}

}  // namespace

int RunDesktop(int& argc, char** argv, const CommandLine& line) {
  const std::string reason = NoDisplayReason();
  if (!reason.empty()) {
    std::fprintf(stderr, "kestrova: %s; use --headless COMMAND to run without a window\n",
                 reason.c_str());
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setWindowIcon(ProgramIcon());
  QtDesktop desktop;
  return RunProgram(
      line, argv[0], desktop,
      [&](ProgramState& state, const StartUp& start) {
        // SIGINT or SIGTERM (a desktop logging out) stops a run and closes the window.
        CatchStopSignals(state.stopSignal);
        int status = 0;
        {
          MainWindowDialog dialog(state, SystemTransportFactory());
          desktop.SetWindow(&dialog);
          dialog.SetWindowOpener(MainCommand::kMaintenance,
                                 [&] { RunMaintenance(state, &dialog); });
          dialog.SetWindowOpener(MainCommand::kCodeLookup, [&] { RunCodeLookup(state, &dialog); });
          dialog.SetWindowOpener(MainCommand::kLocalSearch,
                                 [&] { RunLocalSearch(state, &dialog, &desktop); });
          status = dialog.StartUp(start.source, start.loginId) ? (dialog.Run(), 0) : 1;
          desktop.SetWindow(nullptr);
        }
        // Closed by SIGINT or SIGTERM: the shell's convention, as headless mode does.
        if (status == 0 && state.stopSignal.load() != 0) status = 128 + state.stopSignal.load();
        return status;
      },
      stderr);
}

}  // namespace kestrova
