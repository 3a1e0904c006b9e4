// InputDialog: a modal prompt for one line of text (the login ID at start-up).
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QLabel;

namespace kestrova {

// The two texts the prompt works on: the caller sets both; value is the answer after OK.
struct InputTexts {
  std::string prompt;  // cp932, CR LF starts a new line
  std::string value;   // cp932
};

class InputDialog final : public QDialog {
  Q_OBJECT

 public:
  InputDialog(const InputTexts& texts, QWidget* parent = nullptr);
  // Runs the prompt modally; true (and the typed value in texts) on OK, texts untouched else.
  static bool Ask(InputTexts& texts, QWidget* parent = nullptr);
  std::string value() const;

 private:
  QLabel* prompt_;
  QLineEdit* value_;
};

}  // namespace kestrova
