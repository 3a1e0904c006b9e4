// kestrova.exe on Windows: the desktop window, a program with no console of its own, as a
// double-click and the Start menu open it. Commands without a window (--headless) are the
// console program's, kestrova-cli.exe, whose output and exit status reach cmd.exe, PowerShell
// and the Task Scheduler.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "ui/command_line.h"
#include "ui/pumping_transport.h"
#include "ui/start_up.h"
#include "ui/stop_signals.h"
#include "ui/version.h"
#include "ui/win32/code_lookup_dialog.h"
#include "ui/win32/dpi.h"
#include "ui/win32/main_window_dialog.h"
#include "ui/win32/maintenance_dialog.h"
#include "ui/win32/search_dialog.h"
#include "ui/win32/win32_desktop.h"
#include "ui/win32/win32_text.h"

namespace {

using namespace kestrova;

void ShowText(const std::string& utf8, UINT icon) {
  MessageBoxW(nullptr, WideUtf8(utf8).c_str(), L"Kestrova", MB_OK | icon);
}

// The start-up lines RunProgram writes go to a file the message box then shows.
std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  return text;
}

int RunWindow(const CommandLine& line, const std::string& argv0) {
  EnableDpiAwareness();
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  Win32Desktop desktop;
  std::FILE* err = std::tmpfile();
  bool started = false;
  const int status = RunProgram(
      line, argv0, desktop,
      [&](ProgramState& state, const StartUp& start) {
        started = true;
        CatchStopSignals(state.stopSignal);
        // Requests run beside the window, which keeps handling its messages meanwhile.
        MainWindowDialog dialog(state, PumpingTransports(SystemTransportFactory(), desktop));
        if (!dialog.Create(nullptr)) {
          desktop.Message(SJIS("画面を開けません"), "Kestrova", MessageIcon::kError,
                          MessageButtons::kOk);
          return 2;
        }
        desktop.SetWindow(dialog.hwnd());
        dialog.SetWindowOpener(MainCommand::kMaintenance,
                               [&] { RunMaintenance(state, dialog.hwnd()); });
        dialog.SetWindowOpener(MainCommand::kCodeLookup,
                               [&] { RunCodeLookup(state, dialog.hwnd()); });
        dialog.SetWindowOpener(MainCommand::kLocalSearch,
                               [&] { RunLocalSearch(state, dialog.hwnd(), &desktop); });
        int result = 1;
        if (dialog.StartUp(start.source, start.loginId)) {
          dialog.RunModal(nullptr);
          result = 0;
        }
        desktop.SetWindow(nullptr);
        // Ended by a stop signal or by Windows logging off: the shell's convention.
        if (result == 0 && state.stopSignal.load() != 0) result = 128 + state.stopSignal.load();
        return result;
      },
      err ? err : stderr);
  if (err != nullptr) {
    const std::string text = ReadAll(err);
    std::fclose(err);
    // Only a start that failed is worth a box; the note that a new program folder was made
    // (the first start of an installed copy) is not an error.
    if (!started && !text.empty()) ShowText(text, MB_ICONERROR);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::Arguments(argc, argv);
  CommandLine line;
  std::string error;
  if (ParseCommandLine(args, line, error) != 0) {
    ShowText("kestrova: " + error + "\n\n" + Usage(), MB_ICONERROR);
    return 2;
  }
  if (line.version) {
    ShowText(VersionText(), MB_ICONINFORMATION);
    return 0;
  }
  if (line.help) {
    ShowText(Usage(), MB_ICONINFORMATION);
    return 0;
  }
  if (!line.headless.empty()) {
    ShowText("kestrova.exe opens the window; run --headless " + line.headless +
                 " with kestrova-cli.exe, the console program beside it.\n\n" + Usage(),
             MB_ICONWARNING);
    return 2;
  }
  return RunWindow(line, args.empty() ? std::string() : args[0]);
}
