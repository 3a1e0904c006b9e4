// kestrova: the desktop window, or one command without a window (--headless).
#include <cstdio>
#include <string>
#include <vector>

#include "app/front_end.h"
#include "foundation/platform/platform.h"
#include "foundation/text_functions.h"
#include "store/program_state.h"
#include "ui/command_line.h"
#include "ui/console_desktop.h"
#include "ui/headless.h"
#include "ui/schedule_window.h"
#include "ui/start_up.h"
#include "ui/stop_signals.h"
#include "ui/version.h"

namespace {

using namespace kestrova;

int RunHeadlessCommand(const CommandLine& line, const std::string& argv0) {
  ConsoleDesktop desktop(stderr);
  return RunProgram(
      line, argv0, desktop,
      [&](ProgramState& state, const StartUp& start) {
        // Ctrl+C or a time limit stops a run; what it fetched is kept.
        CatchStopSignals(state.stopSignal);
        const HeadlessRun run{line.headless, start.source, start.loginId,
                              line.find,     stdout,       line.deals};
        return RunHeadless(state, run, SystemTransportFactory(), stderr);
      },
      stderr);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::Arguments(argc, argv);
  CommandLine line;
  std::string error;
  if (ParseCommandLine(args, line, error) != 0) {
    std::fprintf(stderr, "kestrova: %s\n%s", VisibleText(error).c_str(), Usage().c_str());
    return 2;
  }
  if (line.version) {
    std::printf("%s\n", VersionText().c_str());
    return 0;
  }
  if (line.help) {
    std::fputs(Usage().c_str(), stdout);
    return 0;
  }
  if (line.schedule) {
    const SystemClock clock;
    return RunScheduleCommand(line, args.empty() ? std::string() : args[0],
                              *SystemScheduler(SystemProgramRunner()), clock, stdout);
  }
  if (line.headless.empty()) return RunDesktop(argc, argv, line);
  return RunHeadlessCommand(line, args.empty() ? std::string() : args[0]);
}
