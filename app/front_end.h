// The windowed front end. CMake picks its source: front_end_qt.cpp where the build has the Qt
// windows, front_end_console.cpp where it has none.
#pragma once

#include "ui/command_line.h"

namespace kestrova {

// Runs the program with its windows; the exit status (2: no window can be shown).
int RunDesktop(int& argc, char** argv, const CommandLine& line);

}  // namespace kestrova
