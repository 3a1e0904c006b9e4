#include "ui/qt/schedule_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "ui/qt/qt_text.h"

namespace kestrova {

ScheduleDialog::ScheduleDialog(ProgramState& state, Scheduler& scheduler, std::string loginId,
                               QWidget* parent)
    : QDialog(parent), window_(state, *this, scheduler, std::move(loginId)) {
  setObjectName(QStringLiteral("schedule"));
  setWindowTitle(QStringLiteral("自動取得の設定"));
  auto named = [](QWidget* widget, const char* name, const QString& caption) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(caption);
    return widget;
  };
  on_ = new QCheckBox(QStringLiteral("毎日自動取得する"), this);
  named(on_, "scheduleOn", on_->text());
  time_ = new QLineEdit(this);
  named(time_, "scheduleTime", QStringLiteral("時刻"));
  time_->setInputMask(QStringLiteral("99:99"));
  deals_ = new QCheckBox(QStringLiteral("続けて成約検索も行う"), this);
  named(deals_, "scheduleDeals", deals_->text());
  next_ = new QLineEdit(this);
  named(next_, "scheduleNext", QStringLiteral("次回"));
  next_->setReadOnly(true);
  last_ = new QLineEdit(this);
  named(last_, "scheduleLast", QStringLiteral("前回"));
  last_->setReadOnly(true);
  last_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(48, QChar(0x3042))));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("scheduleButtons"));
  connect(buttons, &QDialogButtonBox::accepted, this, &ScheduleDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ScheduleDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow(on_);
  form->addRow(QStringLiteral("時刻 (HH:MM)"), time_);
  form->addRow(deals_);
  form->addRow(QStringLiteral("次回"), next_);
  form->addRow(QStringLiteral("前回"), last_);
  form->addRow(buttons);
  window_.Open();
}

void ScheduleDialog::ReadFields(ScheduleFields& fields) {
  fields.on = on_->isChecked() ? 1 : 0;
  fields.time = FromQString(time_->text());
  fields.deals = deals_->isChecked() ? 1 : 0;
}

void ScheduleDialog::ShowFields(const ScheduleFields& fields) {
  on_->setChecked(fields.on != 0);
  time_->setText(ToQString(fields.time));
  deals_->setChecked(fields.deals != 0);
  next_->setText(ToQString(fields.nextRun));
  last_->setText(ToQString(fields.lastRun));
}

void ScheduleDialog::accept() {
  if (window_.Apply()) QDialog::accept();
}

}  // namespace kestrova
