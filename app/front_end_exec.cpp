// The windowed front end of a Linux build with Qt: the windows are the executable
// kestrova-window, which this program becomes (exec) when a window is asked for, so that
// `kestrova` itself links no Qt library and a headless run never loads one.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/front_end.h"
#include "foundation/platform/platform.h"

namespace kestrova {

namespace {

// kestrova-window beside this program (the build tree), else in the libexec folder of its
// prefix (<prefix>/bin/kestrova, <prefix>/libexec/kestrova/kestrova-window); empty when absent.
std::string WindowProgram(const std::string& self) {
  const std::string folder = self.substr(0, self.rfind('/') + 1);
  const std::string candidates[] = {folder + "kestrova-window",
                                    folder + "../" KESTROVA_WINDOW_FOLDER "/kestrova-window"};
  for (const std::string& candidate : candidates) {
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::string();
}

}  // namespace

int RunDesktop(int& argc, char** argv, const CommandLine&) {
  const std::string self = platform::ExecutablePath();
  const std::string window = self.empty() ? std::string() : WindowProgram(self);
  if (window.empty()) {
    std::fprintf(stderr,
                 "kestrova: the window program kestrova-window is not installed beside %s; use "
                 "--headless COMMAND to run without a window\n",
                 self.empty() ? "kestrova" : self.c_str());
    return 2;
  }
  // The window program finds the program folder from argv[0] as this one would: a name found
  // through the search path becomes this program's own path, a path stays as given (the
  // current folder is the same).
  std::vector<char*> args(argv, argv + argc);
  std::string argv0 = argc > 0 ? argv[0] : "";
  if (argv0.find('/') == std::string::npos) argv0 = self;
  if (!args.empty()) args[0] = argv0.data();
  args.push_back(nullptr);
  ::execv(window.c_str(), args.data());
  std::fprintf(stderr, "kestrova: cannot start %s: %s\n", window.c_str(), std::strerror(errno));
  return 2;
}

}  // namespace kestrova
