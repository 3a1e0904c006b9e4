#include "ui/qt/search_results_model.h"

#include "store/csv_layout.h"
#include "ui/qt/qt_text.h"
#include "ui/search_window.h"

namespace kestrova {

SearchResultsModel::SearchResultsModel(const SearchWindow& window, QObject* parent)
    : QAbstractTableModel(parent), window_(window) {
  ReadLayout();
}

void SearchResultsModel::ReadLayout() {
  const CsvLayout& layout = window_.Layout();
  headings_.clear();
  numeric_.clear();
  for (int i = 0; i < layout.Columns(); ++i) {
    headings_.push_back(ToQString(layout.headings.View(i)));
    numeric_.push_back(layout.types.View(i).substr(0, 1) == "N");
  }
}

void SearchResultsModel::Reset() {
  beginResetModel();
  endResetModel();
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : window_.Results().RowCount();
}

int SearchResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole)
    return ToQString(window_.Results().Cell(index.row(), index.column()));
  if (role == Qt::TextAlignmentRole) {
    const bool right = numeric_[static_cast<std::size_t>(index.column())];
    return QVariant::fromValue(
        Qt::Alignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
  }
  return {};
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount({})) return {};
  const auto column = static_cast<std::size_t>(section);
  if (role == Qt::DisplayRole) return headings_[column];
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(
        Qt::Alignment((numeric_[column] ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
  }
  return {};
}

Qt::ItemFlags SearchResultsModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

}  // namespace kestrova
