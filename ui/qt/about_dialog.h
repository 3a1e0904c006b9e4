// AboutDialog: the program's version, built from the project version and the commit, and a
// picture button that opens the program's home page.
#pragma once

#include <QDialog>

namespace kestrova {

struct ProgramState;

class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(ProgramState& state, QWidget* parent = nullptr);
};

}  // namespace kestrova
