// ScheduleDialog: the daily run of this program folder ("自動取得の設定") over the toolkit-free
// ScheduleWindow; OK applies it, and a failure keeps the dialog open.
#pragma once

#include <QDialog>

#include "ui/schedule_window.h"

class QCheckBox;
class QLineEdit;

namespace kestrova {

class ScheduleDialog final : public QDialog, public ScheduleView {
  Q_OBJECT

 public:
  // loginId: the main window's (cp932).
  ScheduleDialog(ProgramState& state, Scheduler& scheduler, std::string loginId,
                 QWidget* parent = nullptr);

  void ReadFields(ScheduleFields& fields) override;
  void ShowFields(const ScheduleFields& fields) override;

 protected:
  void accept() override;

 private:
  ScheduleWindow window_;
  QCheckBox* on_ = nullptr;
  QLineEdit* time_ = nullptr;
  QCheckBox* deals_ = nullptr;
  QLineEdit* next_ = nullptr;
  QLineEdit* last_ = nullptr;
};

}  // namespace kestrova
