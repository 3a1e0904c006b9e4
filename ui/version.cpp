#include "ui/version.h"

#include "kestrova_build_info.h"

namespace kestrova {

std::string VersionText() {
  return std::string("Kestrova ") + KESTROVA_VERSION + " (commit " + KESTROVA_COMMIT + ")";
}

}  // namespace kestrova
