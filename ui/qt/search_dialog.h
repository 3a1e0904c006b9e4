// The local search window as a Qt dialog: a thin view over SearchWindow. It moves values
// between its controls and the fields, forwards every button, click and drag, and keeps its
// placement and column widths; the rules are SearchWindow's.
#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "ui/search_window.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace kestrova {

struct ProgramState;
class QtDesktop;
class SearchResultsModel;

class SearchDialog final : public QDialog, public SearchView {
  Q_OBJECT

 public:
  explicit SearchDialog(ProgramState& state, QWidget* parent = nullptr);
  ~SearchDialog() override;

  SearchWindow& Window() { return window_; }
  // The opening: placement, columns and their widths, then the window's opening steps. false
  // when there is nothing to search (the user was told); the dialog is not to be shown then.
  bool Open();

  void ReadFields(SearchFields& fields) override;
  void ShowFields(const SearchFields& fields) override;
  void ShowResults() override;
  void SelectRows(const std::vector<int>& rows) override;
  void SetTitle(std::string_view title) override;

 protected:
  // The close box saves the search state, the placement and the column widths; Escape
  // (reject) leaves without the placement and the widths.
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  QPushButton* CommandButton(SearchCommand id, const QString& caption);
  // Every column as wide as its heading and its first rows, within 16 characters.
  void FitColumns();
  void ShowMenu(const QPoint& position);
  // The files a drag of the selected rows offers (native paths); empty: no drag.
  QStringList DragFiles();

  ProgramState& state_;
  SearchWindow window_;
  SearchResultsModel* model_ = nullptr;
  std::array<QLineEdit*, 9> keys_{};
  QButtonGroup* type_ = nullptr;
  QButtonGroup* plan_ = nullptr;
  QComboBox* station_ = nullptr;
  std::array<QComboBox*, 3> keyLists_{};
  QLineEdit* dateFrom_ = nullptr;
  QLineEdit* dateTo_ = nullptr;
  QComboBox* doubleClick_ = nullptr;
  QCheckBox* pastData_ = nullptr;
  QCheckBox* hideDuplicates_ = nullptr;
  QTableView* list_ = nullptr;
  // What the drop-down lists hold now, so a search that leaves them alone does not refill them.
  std::vector<std::string> stations_;
  std::array<std::vector<std::string>, 3> keyListEntries_;
};

// The search window opened from the main window (hidden meanwhile): modal; nothing shows when
// there is nothing to search. While it is open the desktop's messages open over it, then over
// the main window again.
void RunLocalSearch(ProgramState& state, QWidget* mainWindow, QtDesktop* desktop = nullptr);

}  // namespace kestrova
