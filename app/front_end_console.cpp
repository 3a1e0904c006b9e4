// A build without Qt: the program runs only headless.
#include <cstdio>

#include "app/front_end.h"

namespace kestrova {

int RunDesktop(int&, char**, const CommandLine&) {
#ifdef _WIN32
  // kestrova-cli.exe: the window is the other program's.
  std::fprintf(stderr, "kestrova-cli: the window is kestrova.exe; use --headless COMMAND\n%s",
               Usage().c_str());
#else
  std::fprintf(stderr, "kestrova: this build has no desktop window; use --headless COMMAND\n%s",
               Usage().c_str());
#endif  // _WIN32
  return 2;
}

}  // namespace kestrova
