// The program's command line: kestrova [--home DIR] [--login-id ID] [--headless COMMAND [OPTIONS]],
// kestrova [--home DIR] [--login-id ID] --schedule [HH:MM [--deals] | off], or kestrova --version,
// or kestrova --help.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/headless_find.h"
#include "ui/main_window.h"
#include "ui/maintenance_window.h"

namespace kestrova {

struct CommandLine {
  std::string home;      // native path; empty: the folder of the executable
  std::string loginId;   // as typed (UTF-8 on the console)
  std::string headless;  // the command; empty: the desktop window
  bool help = false;
  bool version = false;      // --version: print the version and the commit, nothing else
  FindOptions find;          // the options of --headless find
  bool schedule = false;     // --schedule: show, set or remove the daily run
  std::string scheduleTime;  // its value: "HH:MM", "off", or empty to show what is set
  bool deals = false;        // --deals: the daily run searches the closed deals too
};

// Headless commands and the button each stands for: one of the main window, one of the
// maintenance window (run with all three boxes ticked), or neither (a data step).
struct HeadlessCommand {
  const char* name;
  std::optional<MainCommand> button;
  std::optional<MaintenanceCommand> maintenance;
  const char* what;
};
const std::vector<HeadlessCommand>& HeadlessCommands();
const HeadlessCommand* FindHeadlessCommand(const std::string& name);

// 0, or -1 with a message in error (a usage error, exit status 2).
int ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);
std::string Usage();

}  // namespace kestrova
