// Headless mode: the start-up sequence, one main-window command exactly as its button runs it,
// and the close sequence, with progress on the console.
#pragma once

#include <cstdio>
#include <string>

#include "foundation/environment.h"
#include "ui/main_window.h"

namespace kestrova {

struct HeadlessRun {
  std::string command;       // a name of HeadlessCommands()
  EnvironmentSource source;  // the program path the environment is built from
  LoginIdSources loginId;
};

// The exit status: 0 ran to its end, 1 refused (start-up check, input, terms, login), 3 ran but
// could not save everything it fetched or computed, 128 + the signal's number when SIGINT or
// SIGTERM stopped the online command.
int RunHeadless(ProgramState& state, const HeadlessRun& run, TransportFactory transports,
                std::FILE* out);

}  // namespace kestrova
