// Column-click sorting of a report-style list over an abstract list control.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "foundation/text_list.h"

namespace kestrova {

// What a list view offers the sorter: rows, cell texts, a key buffer per row, and sorting
// the rows by a comparison of two rows' keys.
class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual int RowCount() const = 0;
  virtual std::string CellText(int row, int column) const = 0;
  // The row's key buffer (empty when none was given).
  virtual std::string& RowKey(int row) = 0;
  virtual bool HasRowKey(int row) const = 0;
  virtual void AllocRowKey(int row, std::size_t size) = 0;
  virtual void FreeRowKey(int row) = 0;
  // Reorders the rows so that compare(keyA, keyB) < 0 puts A before B (a stable sort).
  virtual void SortRows(
      const std::function<int(const std::string&, const std::string&)>& compare) = 0;
  // Reorders the rows by their keys in byte order, ascending (flag 0) or descending, equal keys
  // in their order: SortRows with ListSorter::CompareKeys. A list with many rows may do it
  // faster.
  virtual void SortRowsByKeys(int flag);
};

class ListSorter {
 public:
  int Attach(ListControl* list, std::string_view descriptors, int keyLength);
  int AllocKey(int row);
  int FreeKey(int row);
  int FreeAllKeys();
  // column -9: the current column.
  int PrepareKeys(int column);
  // direction -9 toggles; returns the new direction (0 ascending, -1 descending).
  int SetSortState(int column, int direction);
  int SortBy(int column, int direction);
  static int CompareKeys(const std::string& key1, const std::string& key2, int flag);

  int sortFlag() const { return sortFlag_; }
  int currentColumn() const { return currentColumn_; }
  int keyLength() const { return keyLength_; }

 private:
  int sortFlag_ = -1;
  int lastDirection_ = -1;
  int currentColumn_ = -1;
  int keyLength_ = 30;
  TextList columns_;
  ListControl* list_ = nullptr;
};

}  // namespace kestrova
