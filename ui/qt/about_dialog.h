// AboutDialog: the program's version, built from the project version and the commit, and a
// picture button that opens the program's home page.
#pragma once

#include <QDialog>
#include <string>

namespace kestrova {

struct ProgramState;

// The home page the picture opens (cp932): an address, or the documentation shipped with the
// program (a file name found beside the executable or in its installed data folder).
std::string HomePageTarget();

class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(ProgramState& state, QWidget* parent = nullptr);
};

}  // namespace kestrova
