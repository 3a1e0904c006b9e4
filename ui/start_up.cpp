#include "ui/start_up.h"

#include <cstdlib>

#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/program_state.h"

namespace kestrova {
namespace {

// The folder of a program path, without its closing "\\". SplitPath and StripSuffix work by
// characters, so a folder ending in a double-byte character with trail byte 0x5C stays whole.
std::string FolderOf(const std::string& programPath) {
  std::string folder = SplitPath(programPath).folderPath;
  StripSuffix(folder, "\\");
  return folder;
}

bool CopyMissingFiles(const std::string& from, const std::string& to) {
  if (!IsFolder(from) || IsFolder(to)) return true;
  if (!MakeFolder(to)) return false;
  TextList files;
  ListFiles(from, "", files, kListFilesFiles, 1);
  for (int i = 0; i < files.Count(); ++i) {
    if (!CopyFileTo(files.View(i), to + "\\" + SplitPath(files.View(i)).fileName)) return false;
  }
  return true;
}

}  // namespace

bool PrepareHome(const std::string& home, const std::string& shipped) {
  if (!MakeFolder(home)) return false;
  if (home == shipped) return true;
  if (!CopyMissingFiles(shipped + "\\Setting", home + "\\Setting")) return false;
  const std::string terms = "\\" + SJIS("利用規約.txt");
  if (FileExists(shipped + terms) && !FileExists(home + terms)) {
    return CopyFileTo(shipped + terms, home + terms);
  }
  return true;
}

bool FindStartUp(const CommandLine& line, std::string_view argv0, StartUp& start,
                 std::string& error) {
  const std::string exePath = ProgramPathFromArgv0(argv0);
  start.source.programPath = exePath;
  if (!line.home.empty()) {
    start.source.programPath = ProgramPathFromArgv0(line.home + "/kestrova");
    if (!PrepareHome(FolderOf(start.source.programPath), FolderOf(exePath))) {
      error = "cannot make or prepare the home folder " + line.home;
      return false;
    }
  }
  start.loginId.commandLine = platform::Utf8ToCp932(line.loginId);
  if (const char* id = std::getenv("KESTROVA_LOGIN_ID")) {
    start.loginId.environment = platform::Utf8ToCp932(id);
  }
  return true;
}

int RunProgram(const CommandLine& line, std::string_view argv0, Desktop& desktop,
               const FrontEnd& frontEnd, std::FILE* err) {
  StartUp start;
  std::string error;
  if (!FindStartUp(line, argv0, start, error)) {
    std::fprintf(err, "kestrova: %s\n", error.c_str());
    return 1;
  }
  ProgramState state;
  state.desktop = &desktop;
  return frontEnd(state, start);
}

}  // namespace kestrova
