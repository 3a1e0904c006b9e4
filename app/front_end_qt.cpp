// The Qt front end: the application object and, once it is built, the main window.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/front_end.h"

namespace kestrova {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Qt aborts the process when its platform cannot reach a display; say so in one line instead.
bool CanOpenDisplay() {
  if (IsSet("QT_QPA_PLATFORM")) return true;
#ifdef _WIN32
  return true;
#else
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
#endif  // _WIN32
}

}  // namespace

int RunDesktop(int& argc, char** argv, const CommandLine&) {
  if (!CanOpenDisplay()) {
    std::fprintf(stderr, "kestrova: no display can be opened; use --headless COMMAND\n%s",
                 Usage().c_str());
    return 2;
  }
  QApplication application(argc, argv);
  std::fprintf(stderr, "kestrova: this build has no desktop window yet; use --headless COMMAND\n%s",
               Usage().c_str());
  return 2;
}

}  // namespace kestrova
