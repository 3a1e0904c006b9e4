#include "ui/qt/input_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/qt/dialog_font.h"
#include "ui/qt/qt_text.h"

namespace kestrova {

InputDialog::InputDialog(const InputTexts& texts, QWidget* parent)
    : QDialog(parent), prompt_(new QLabel(this)), value_(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("入力"));
  setObjectName(QStringLiteral("InputDialog"));
  setFont(DialogFont(font()));
  // A bordered, read-only text area that grows with the prompt, line for line.
  prompt_->setObjectName(QStringLiteral("ctlPrompt"));
  prompt_->setTextFormat(Qt::PlainText);
  prompt_->setText(ToQString(texts.prompt).remove(QLatin1Char('\r')));
  prompt_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  prompt_->setAutoFillBackground(true);
  prompt_->setBackgroundRole(QPalette::Base);
  prompt_->setMargin(6);
  prompt_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  prompt_->setAccessibleName(QStringLiteral("メッセージ"));
  value_->setObjectName(QStringLiteral("ctlValue"));
  value_->setText(ToQString(texts.value));
  value_->setAccessibleName(QStringLiteral("入力"));
  value_->setMinimumWidth(260);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ctlOk"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(prompt_, 0, 0, 1, 2);
  layout->addWidget(value_, 1, 0);
  layout->addWidget(ok, 1, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  value_->setFocus();
}

std::string InputDialog::value() const { return FromQString(value_->text()); }

bool InputDialog::Ask(InputTexts& texts, QWidget* parent) {
  InputDialog dialog(texts, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  texts.value = dialog.value();
  return true;
}

}  // namespace kestrova
