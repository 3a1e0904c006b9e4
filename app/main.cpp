// kestrova: the desktop window, or one command without a window (--headless).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/front_end.h"
#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/text_list.h"
#include "store/program_state.h"
#include "ui/command_line.h"
#include "ui/console_desktop.h"
#include "ui/headless.h"
#include "ui/stop_signals.h"

namespace {

using namespace kestrova;

// A home folder given on the command line is made when missing, and receives the shipped
// Setting files and terms of use from beside the executable when it has none of its own.
bool PrepareHome(const std::string& homeProgramPath, const std::string& exeProgramPath) {
  auto folderOf = [](const std::string& programPath) {
    std::string folder = SplitPath(programPath).folderPath;
    while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
    return folder;
  };
  const std::string home = folderOf(homeProgramPath);
  const std::string shipped = folderOf(exeProgramPath);
  std::string folder;
  for (std::size_t i = 0; i < home.size(); ++i) {
    folder += home[i];
    if ((home[i] == '\\' && i > 0) || i + 1 == home.size()) {
      if (!IsFolder(folder)) MakeFolder(folder);
    }
  }
  if (!IsFolder(home)) return false;
  if (home == shipped) return true;
  const std::string setting = home + "\\Setting";
  if (!IsFolder(setting) && IsFolder(shipped + "\\Setting")) {
    MakeFolder(setting);
    TextList files;
    ListFiles(shipped + "\\Setting", "", files, kListFilesFiles, 1);
    for (int i = 0; i < files.Count(); ++i) {
      CopyFileTo(files.View(i), setting + "\\" + SplitPath(files.View(i)).fileName);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  CommandLine line;
  std::string error;
  if (ParseCommandLine(args, line, error) != 0) {
    std::fprintf(stderr, "kestrova: %s\n%s", error.c_str(), Usage().c_str());
    return 2;
  }
  if (line.help) {
    std::fputs(Usage().c_str(), stdout);
    return 0;
  }
  const std::string exePath = ProgramPathFromArgv0(argv[0]);
  EnvironmentSource source{exePath};
  if (!line.home.empty()) {
    source.programPath = ProgramPathFromArgv0(line.home + "/kestrova");
    if (!PrepareHome(source.programPath, exePath)) {
      std::fprintf(stderr, "kestrova: cannot make the home folder %s\n", line.home.c_str());
      return 1;
    }
  }
  LoginIdSources loginId;
  loginId.commandLine = platform::Utf8ToCp932(line.loginId);
  if (const char* id = std::getenv("KESTROVA_LOGIN_ID"))
    loginId.environment = platform::Utf8ToCp932(id);

  ProgramState state;
  // Ctrl+C, a time limit or a logging-out desktop stops a run; what it fetched is kept.
  CatchStopSignals(state.stopSignal);
  if (line.headless.empty()) return RunDesktop(argc, argv, state, source, loginId);

  ConsoleDesktop desktop(stderr);
  state.desktop = &desktop;
  return RunHeadless(state, {line.headless, source, loginId}, CurlTransportFactory(), stderr);
}
