// The municipality code lookup as a Qt dialog: a thin view over CodeLookupWindow.
#pragma once

#include <QDialog>

#include "ui/code_lookup.h"

class QLineEdit;
class QPlainTextEdit;
class QTableView;

namespace kestrova {

struct ProgramState;
class CodeLookupModel;

class CodeLookupDialog final : public QDialog, public CodeLookupView {
  Q_OBJECT

 public:
  explicit CodeLookupDialog(ProgramState& state, QWidget* parent = nullptr);
  ~CodeLookupDialog() override;

  void ReadFields(CodeLookupFields& fields) override;
  void ShowFields(const CodeLookupFields& fields) override;

  // Opens the lookup (placement, columns, table, first search); then exec() it.
  void Open();

 protected:
  // The close box stores the texts, the code list, the placement and the widths; Escape
  // (reject) leaves without storing anything.
  void closeEvent(QCloseEvent* event) override;

 private:
  ProgramState& state_;
  CodeLookupWindow window_;
  CodeLookupModel* model_;
  QLineEdit* prefecture_;
  QLineEdit* municipality_;
  QPlainTextEdit* names_;
  QLineEdit* codes_;
  QTableView* list_;
};

// The lookup opened from the main window: modal; true when the close box stored the code list
// (the main window reloads its code box from the settings either way).
bool RunCodeLookup(ProgramState& state, QWidget* parent);

}  // namespace kestrova
