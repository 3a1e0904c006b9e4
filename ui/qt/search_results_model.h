// The result rows of the local search window as a table model: the cells are read from the
// window's rows when the view paints them, so a list of 200,000 rows costs no widget per row.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

namespace kestrova {

class SearchWindow;

class SearchResultsModel final : public QAbstractTableModel {
 public:
  SearchResultsModel(const SearchWindow& window, QObject* parent);

  // The rows changed (a search or a sort): every view reads them anew.
  void Reset();

  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Rows can be dragged out; what a drag carries is the dialog's.
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void ReadLayout();

  const SearchWindow& window_;
  std::vector<QString> headings_;
  std::vector<bool> numeric_;  // "N" columns show right-aligned
};

}  // namespace kestrova
