// Where a program run starts, the same for the window and for headless mode: the program path
// in its home folder, a new home prepared with the shipped files, the login-ID sources, and the
// program state the front end then runs on.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/environment.h"
#include "ui/command_line.h"
#include "ui/main_window.h"

namespace kestrova {

struct ProgramState;
class Desktop;

struct StartUp {
  EnvironmentSource source;  // the program path: the executable, or --home DIR + "\\kestrova"
  LoginIdSources loginId;
  std::string createdHome;  // native; the program folder when this start made it, else empty
};

// The start of a run from its command line, the program's own path (argv[0]) and the
// environment variable KESTROVA_LOGIN_ID. The program folder is the one given with --home;
// else the executable's folder when it is writable and holds Setting/; else the per-user
// folder <user data>/kestrova. Any but the executable's folder is made when missing and
// prepared from the shipped data (the executable's folder, or ../share/kestrova beside it).
// false with the reason in error when it cannot be.
bool FindStartUp(const CommandLine& line, std::string_view argv0, StartUp& start,
                 std::string& error);

// Makes the home folder (cp932) when missing; unless it is the shipped folder itself, it then
// receives each shipped Setting file and the terms of use it has not got, never replacing one
// it has. false when the folder or a copy could not be made.
bool PrepareHome(const std::string& home, const std::string& shipped);

using FrontEnd = std::function<int(ProgramState& state, const StartUp& start)>;
// One program run: finds its start, makes the program state over the front end's desktop and
// runs the front end on both; its exit status, or 1 when the home cannot be prepared (said on
// err).
int RunProgram(const CommandLine& line, std::string_view argv0, Desktop& desktop,
               const FrontEnd& frontEnd, std::FILE* err);

}  // namespace kestrova
