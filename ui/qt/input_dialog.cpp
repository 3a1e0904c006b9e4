#include "ui/qt/input_dialog.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/qt/qt_text.h"

namespace kestrova {

InputDialog::InputDialog(const InputTexts& texts, QWidget* parent)
    : QDialog(parent), prompt_(new QPlainTextEdit(this)), value_(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("入力"));
  setObjectName(QStringLiteral("InputDialog"));
  prompt_->setObjectName(QStringLiteral("ctlPrompt"));
  prompt_->setReadOnly(true);
  prompt_->setFocusPolicy(Qt::NoFocus);
  prompt_->setPlainText(ToQString(texts.prompt).remove(QLatin1Char('\r')));
  prompt_->setAccessibleName(QStringLiteral("メッセージ"));
  value_->setObjectName(QStringLiteral("ctlValue"));
  value_->setText(ToQString(texts.value));
  value_->setAccessibleName(QStringLiteral("入力"));
  value_->setMinimumWidth(260);
  const int lines = prompt_->document()->lineCount();
  prompt_->setFixedHeight(prompt_->fontMetrics().lineSpacing() * (lines + 1) + 8);

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
