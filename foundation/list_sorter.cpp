#include "foundation/list_sorter.h"

#include <cctype>
#include <cstdio>
#include <cstring>

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

namespace {

// A column's own key format is used only when it holds exactly one conversion of the kind the
// column needs, so a descriptor can never make the formatting read an argument it is not given.
bool IsSingleConversion(std::string_view format, bool numeric) {
  int conversions = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (i + 1 < format.size() && format[i + 1] == '%') {
      ++i;
      continue;
    }
    ++i;
    while (i < format.size() && std::strchr("-+ 0#", format[i]) && format[i] != 0) ++i;
    while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
    if (i < format.size() && format[i] == '.') {
      ++i;
      while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
    }
    if (i >= format.size()) return false;
    const char c = format[i];
    if (numeric ? (c == 0 || !std::strchr("diouxX", c)) : c != 's') return false;
    ++conversions;
  }
  return conversions == 1;
}

struct KeyFormat {
  std::string format;
  bool numeric = false;
  int offset = 0;
};

// "1": numbers right-aligned in 12 characters; "%...": a format of its own, numeric unless it
// holds an "s"; anything else: the text itself. An optional ",offset" follows.
KeyFormat ParseDescriptor(std::string_view descriptor) {
  TextList parts(descriptor, ",");
  KeyFormat key;
  std::string kind(parts.View(0));
  key.offset = ToInt(parts.View(1));
  if (!kind.empty() && kind[0] == '1') {
    key.format = "%12d";
    key.numeric = true;
  } else if (!kind.empty() && kind[0] == '%') {
    key.numeric = kind.find('s') == std::string::npos;
    key.format = IsSingleConversion(kind, key.numeric) ? kind : (key.numeric ? "%12d" : "%s");
  } else {
    key.format = "%s";
  }
  return key;
}

std::string FormatKey(const KeyFormat& key, std::string_view text) {
  std::string out(64, '\0');
  for (;;) {
    int n = key.numeric ? std::snprintf(out.data(), out.size(), key.format.c_str(), ToInt(text))
                        : std::snprintf(out.data(), out.size(), key.format.c_str(),
                                        std::string(text).c_str());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < out.size()) {
      out.resize(static_cast<std::size_t>(n));
      return out;
    }
    out.resize(static_cast<std::size_t>(n) + 1);
  }
}

}  // namespace

int ListSorter::PrepareKeys(int column) {
  if (!list_) return -1;
  if (column == -9) column = currentColumn_;
  const KeyFormat key = ParseDescriptor(column >= 0 ? columns_.View(column) : std::string_view());
  for (int row = 0; row < list_->RowCount(); ++row) {
    if (!list_->HasRowKey(row)) continue;  // a row without a key buffer keeps none
    // The key is built from at most keyLength bytes of the cell, cut between characters.
    const std::string work =
        CopyNChars(list_->CellText(row, column), static_cast<std::size_t>(keyLength_));
    std::string_view from;
    if (key.offset <= 0) {
      from = work;
    } else if (static_cast<std::size_t>(key.offset) < work.size()) {
      from = std::string_view(work).substr(static_cast<std::size_t>(key.offset));
    }
    list_->RowKey(row) = FormatKey(key, from);
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
  list_->SortRowsByKeys(flag);
  return 0;
}

void ListControl::SortRowsByKeys(int flag) {
  SortRows([flag](const std::string& a, const std::string& b) {
    return ListSorter::CompareKeys(a, b, flag);
  });
}

int ListSorter::CompareKeys(const std::string& key1, const std::string& key2, int flag) {
  int c = flag == 0 ? key1.compare(key2) : key2.compare(key1);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace kestrova
