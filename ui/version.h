// The program's version and the commit it was built from, as --version prints them and the
// about dialog shows them, and the home page the about dialog opens.
#pragma once

#include <string>

namespace kestrova {

// "Kestrova 0.1 (commit 1a2b3c4d5e6f)"; the commit is "unknown" for a build outside a git
// checkout.
std::string VersionText();

// The home page the about dialog's picture opens (cp932): an address, or the documentation
// shipped with the program (a file name found beside the executable or in its installed data
// folder).
std::string HomePageTarget();

}  // namespace kestrova
