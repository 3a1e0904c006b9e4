// The steps of the program on a large store, one per process so that each peak memory is its own.
//   scale_bench HOME startup     start-up up to the first command (stores, layouts, header)
//   scale_bench HOME loadlines   TextList::LoadLines of HOME/dat/TotalData.txt, best of three
//   scale_bench HOME merge       start-up, then an online run's merge of HOME/new_rows.txt
//   scale_bench run COMMAND...   COMMAND as a whole process, its output written to an unnamed
//                                temporary file, its messages dropped
// Each prints one line "<what> <milliseconds> ms <peak resident KB> KB". HOME is made by
// program_home_gen.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/platform/platform.h"
#include "foundation/text_list.h"
#include "store/program_state.h"
#include "store/property_store.h"
#include "ui/console_desktop.h"
#include "ui/console_view.h"
#include "ui/main_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int Report(const char* what, double ms, long kb) {
  std::printf("%s %.0f ms %ld KB\n", what, ms, kb);
  return 0;
}

int RunCommand(char** argv) {
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // The output goes to a file of its own, never to /dev/null: GNU grep stops at its first
    // match when its output is /dev/null, even with -c, and a baseline must do its whole work.
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    int out = open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (out < 0) {
      std::string name = folder + "/scale_bench-XXXXXX";
      out = mkstemp(name.data());
      if (out >= 0) unlink(name.c_str());
    }
    const int null = open("/dev/null", O_WRONLY);
    if (out < 0) _exit(126);
    dup2(out, 1);
    dup2(null, 2);
    execvp(argv[0], argv);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return 1;
  const double ms = MsSince(start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "scale_bench: %s ended with status %d\n", argv[0], status);
    return 1;
  }
  return Report(argv[0], ms, usage.ru_maxrss);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "run") == 0) return RunCommand(argv + 2);
  if (argc != 3) {
    std::fprintf(stderr, "usage: scale_bench HOME startup|loadlines|merge | run COMMAND...\n");
    return 2;
  }
  const std::string home = argv[1];
  const std::string step = argv[2];
  if (step == "loadlines") {
    double best = 1e18;
    int count = 0;
    for (int i = 0; i < 3; ++i) {
      kestrova::TextList lines;
      const auto start = Clock::now();
      lines.LoadLines(kestrova::platform::ProgramPath(home) + "\\dat\\TotalData.txt");
      best = std::min(best, MsSince(start));
      count = lines.Count();
    }
    if (count == 0) return 1;
    return Report("loadlines", best, PeakKb());
  }
  kestrova::ConsoleDesktop desktop;
  kestrova::ProgramState state;
  state.desktop = &desktop;
  kestrova::ConsoleMainWindowView view(stderr);
  kestrova::MainWindow window(state, view, nullptr);
  const auto start = Clock::now();
  if (!window.StartUp({kestrova::platform::ProgramPath(home) + "\\kestrova"}, {"", ""})) return 1;
  const double startUp = MsSince(start);
  if (step == "startup") return Report("startup", startUp, PeakKb());
  if (step != "merge") return 2;
  state.newRows.LoadLines(kestrova::platform::ProgramPath(home) + "\\new_rows.txt");
  state.newRowsFound = 1;
  const auto merge = Clock::now();
  if (kestrova::MergeNewRows(state) != 0) return 1;
  return Report("merge", MsSince(merge), PeakKb());
}
