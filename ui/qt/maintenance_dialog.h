// The maintenance window as a Qt dialog: a thin view over MaintenanceWindow.
#pragma once

#include <QDialog>

#include "ui/maintenance_window.h"

class QCheckBox;
class QLineEdit;

namespace kestrova {

struct ProgramState;

class MaintenanceDialog final : public QDialog, public MaintenanceView {
  Q_OBJECT

 public:
  explicit MaintenanceDialog(ProgramState& state, QWidget* parent = nullptr);

  void ReadFields(MaintenanceFields& fields) override;
  void ShowFields(const MaintenanceFields& fields) override;
  void SetTitle(std::string_view title) override;

  MaintenanceWindow& Window() { return window_; }

 protected:
  // The close box and Enter keep the three edits and the split box; Escape leaves without.
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QCheckBox* Box(int id, const char* caption);
  QLineEdit* Edit(int id, const char* accessibleName);

  MaintenanceWindow window_;
  QCheckBox* csvFolder_;
  QCheckBox* backups_;
  QCheckBox* logs_;
  QCheckBox* splitOnCut_;
  QLineEdit* retention_;
  QLineEdit* saleOrder_;
  QLineEdit* rentOrder_;
  QLineEdit* status_;
};

// The maintenance window opened from the main window: modal.
void RunMaintenance(ProgramState& state, QWidget* parent);

}  // namespace kestrova
