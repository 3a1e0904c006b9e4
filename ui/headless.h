// Headless mode: the start-up sequence, one main-window command exactly as its button runs it,
// and the close sequence, with progress on the console.
#pragma once

#include <cstdio>
#include <string>

#include "foundation/environment.h"
#include "ui/headless_find.h"
#include "ui/main_window.h"

namespace kestrova {

struct HeadlessRun {
  std::string command;       // a name of HeadlessCommands()
  EnvironmentSource source;  // the program path the environment is built from
  LoginIdSources loginId;
  FindOptions find;          // the options of "find"
  std::FILE* rows = stdout;  // where "find" writes its rows
  bool deals = false;        // "daily": the closed-deal search after the property search
};

// The exit status: 0 ran to its end, 1 refused (start-up check, input, terms, login, no
// management data for "find"), 2 a station or list entry "find" does not know, 3 ran but
// could not save everything it fetched or computed, 128 + the signal's number when SIGINT or
// SIGTERM stopped the online command. An online command (search, deals, fee, daily) adds its
// line to the run history; "daily" then tells the desktop what it brought in.
int RunHeadless(ProgramState& state, const HeadlessRun& run, TransportFactory transports,
                std::FILE* out);

}  // namespace kestrova
