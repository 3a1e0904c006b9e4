// InputDialog: a modal prompt for one line of text (the login ID at start-up).
#pragma once

#include <QDialog>
#include <string>

#include "ui/input_texts.h"

class QLineEdit;
class QLabel;

namespace kestrova {

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
