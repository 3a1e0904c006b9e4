// The windowed front end. CMake picks its source: front_end_qt.cpp where the build has the Qt
// windows, front_end_console.cpp where it has none.
#pragma once

#include "foundation/environment.h"
#include "ui/main_window.h"

namespace kestrova {

struct ProgramState;

// Runs the program with its main window over the program state; the exit status (1: the
// start-up check failed, 2: no window can be shown).
int RunDesktop(int& argc, char** argv, ProgramState& state, const EnvironmentSource& source,
               const LoginIdSources& loginId);

}  // namespace kestrova
