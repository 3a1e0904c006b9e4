// The two texts of the input dialog (the login ID question at start-up), the same for every view.
#pragma once

#include <string>

namespace kestrova {

// The caller sets both; value is the answer after OK.
struct InputTexts {
  std::string prompt;  // cp932, CR LF starts a new line
  std::string value;   // cp932
};

}  // namespace kestrova
