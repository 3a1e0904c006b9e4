#include "foundation/list_sorter.h"

#include <cstdio>

#include "foundation/system_utils.h"
#include "foundation/text_functions.h"

namespace kestrova {

int ListSorter::Attach(ListControl* list, std::string_view descriptors, int keyLength) {
  list_ = list;
  if (!descriptors.empty()) columns_.Split(descriptors, ";");
  if (keyLength > 0) keyLength_ = keyLength;
  return 0;
}

int ListSorter::AllocKey(int row) {
  if (!list_) return -1;
  list_->AllocRowKey(row, static_cast<std::size_t>(keyLength_) + 1);
  return 0;
}

int ListSorter::FreeKey(int row) {
  if (!list_) return -1;
  list_->FreeRowKey(row);
  return 0;
}

int ListSorter::FreeAllKeys() {
  if (!list_) return -1;
  for (int row = 0; row < list_->RowCount(); ++row) list_->FreeRowKey(row);
  return 0;
}

int ListSorter::PrepareKeys(int column) {
  if (!list_) return -1;
  if (column == -9) column = currentColumn_;
  TextList descriptor(columns_.View(column), ",");
  std::string format(descriptor.View(0));
  const int offset = ToInt(descriptor.View(1));
  bool numeric;
  if (!format.empty() && format[0] == '1') {
    format = "%12d";
    numeric = true;
  } else if (!format.empty() && format[0] == '%') {
    numeric = format.find('s') == std::string::npos;
  } else {
    format = "%s";
    numeric = false;
  }
  for (int row = 0; row < list_->RowCount(); ++row) {
    if (!list_->HasRowKey(row)) continue;
    std::string work = CopyNChars(list_->CellText(row, column), static_cast<std::size_t>(keyLength_));
    std::string_view from = offset > 0 && static_cast<std::size_t>(offset) <= work.size()
                                ? std::string_view(work).substr(static_cast<std::size_t>(offset))
                                : (offset > 0 ? std::string_view() : std::string_view(work));
    char key[256];
    if (numeric) {
      std::snprintf(key, sizeof key, format.c_str(), ToInt(from));
    } else {
      std::snprintf(key, sizeof key, "%s", std::string(from).c_str());
    }
    list_->RowKey(row) = key;
  }
  return 0;
}

int ListSorter::SetSortState(int column, int direction) {
  if (direction == -9) {
    direction = (column == currentColumn_) ? (lastDirection_ == 0 ? -1 : 0) : 0;
  }
  sortFlag_ = direction;
  lastDirection_ = direction;
  currentColumn_ = column;
  return direction;
}

int ListSorter::SortBy(int column, int direction) {
  if (!list_) return -1;
  SetSortState(column, direction);
  const int flag = sortFlag_;
  list_->SortRows([flag](const std::string& a, const std::string& b) { return CompareKeys(a, b, flag); });
  return 0;
}

int ListSorter::CompareKeys(const std::string& key1, const std::string& key2, int flag) {
  int c = flag == 0 ? key1.compare(key2) : key2.compare(key1);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace kestrova
