// The program's version and the commit it was built from, as --version prints them and the
// about dialog shows them.
#pragma once

#include <string>

namespace kestrova {

// "Kestrova 0.1 (commit 1a2b3c4d5e6f)"; the commit is "unknown" for a build outside a git
// checkout.
std::string VersionText();

}  // namespace kestrova
