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

// true when the folder has the file under its own name or under the name the program turns
// it into: the code lookup scrambles a plain "zip_code.txt" into "zip_code.dat" and removes
// the plain file, so a folder holding the .dat has the table (perhaps the user's own).
bool HasOwnCopy(const std::string& folder, const std::string& fileName) {
  if (FileExists(folder + "\\" + fileName)) return true;
  return fileName == "zip_code.txt" && FileExists(folder + "\\zip_code.dat");
}

// Copies each file of from that to has not got; a file already in to, perhaps edited by the
// user, is never replaced.
bool CopyMissingFiles(const std::string& from, const std::string& to) {
  if (!IsFolder(from)) return true;
  if (!MakeFolder(to)) return false;
  TextList files;
  ListFiles(from, "", files, kListFilesFiles, 1);
  for (int i = 0; i < files.Count(); ++i) {
    const std::string name = SplitPath(files.View(i)).fileName;
    if (!HasOwnCopy(to, name) && !CopyFileTo(files.View(i), to + "\\" + name)) return false;
  }
  return true;
}

// The folder of the shipped data: the executable's own folder when it holds Setting/ (the
// portable layout and the build tree), else the installed data folder beside it,
// <prefix>/share/kestrova for <prefix>/bin/kestrova, wherever the prefix was put.
std::string ShippedFolder(const std::string& exeFolder) {
  if (IsFolder(exeFolder + "\\Setting")) return exeFolder;
  std::string prefix = exeFolder;
  CutAtLast(prefix, "\\");
  return prefix + "\\share\\kestrova";
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
  const std::string exeFolder = FolderOf(exePath);
  start.source.programPath = exePath;
  std::string home;
  if (!line.home.empty()) {
    home = FolderOf(ProgramPathFromArgv0(line.home + "/kestrova"));
  } else if (!IsWritableFolder(exeFolder) || !IsFolder(exeFolder + "\\Setting")) {
    // An installed program (its folder holds no Setting/, as a per-user install on Windows, or
    // is not the user's to write): the data lives in the user's own folder.
    const std::string userFolder = platform::UserProgramFolder();
    if (userFolder.empty()) {
      error = "no per-user data folder (HOME, XDG_DATA_HOME or LOCALAPPDATA): give --home DIR";
      return false;
    }
    home = platform::ProgramPath(userFolder);
  }
  if (!home.empty()) {
    const bool isNew = !IsFolder(home);
    if (!PrepareHome(home, ShippedFolder(exeFolder))) {
      error = "cannot make or prepare the program folder " + platform::NativePath(home);
      return false;
    }
    if (isNew) start.createdHome = platform::NativePath(home);
    start.source.programPath = home + "\\kestrova";
  }
  start.loginId.commandLine = platform::Utf8ToCp932(line.loginId);
  if (const auto id = platform::EnvironmentVariable("KESTROVA_LOGIN_ID")) {
    start.loginId.environment = platform::Utf8ToCp932(*id);
  }
  return true;
}

int RunProgram(const CommandLine& line, std::string_view argv0, Desktop& desktop,
               const FrontEnd& frontEnd, std::FILE* err) {
  StartUp start;
  std::string error;
  if (!FindStartUp(line, argv0, start, error)) {
    std::fprintf(err, "kestrova: %s\n", VisibleText(error).c_str());
    return 1;
  }
  if (!start.createdHome.empty()) {
    std::fprintf(err, "kestrova: program folder %s made and prepared\n", start.createdHome.c_str());
  }
  ProgramState state;
  state.desktop = &desktop;
  return frontEnd(state, start);
}

}  // namespace kestrova
