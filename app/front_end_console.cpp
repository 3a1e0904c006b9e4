// A build without Qt: the program runs only headless.
#include <cstdio>

#include "app/front_end.h"

namespace kestrova {

int RunDesktop(int&, char**, const CommandLine&) {
  std::fprintf(stderr, "kestrova: this build has no desktop window; use --headless COMMAND\n%s",
               Usage().c_str());
  return 2;
}

}  // namespace kestrova
