#include <algorithm>

#include "store/management_csv.h"
#include "ui/search_window.h"

namespace kestrova {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// Byte-wise is safe in cp932: a trail byte is 0x40 or above, never a digit, '.' or '"'.
std::string DisplayText(std::string_view rawLine) {
  std::string shown;
  shown.reserve(rawLine.size());
  for (std::size_t i = 0; i < rawLine.size(); ++i) {
    const char c = rawLine[i];
    if (c == '"') continue;
    if (c == '.' && !shown.empty() && IsDigit(shown.back())) {
      // The rest of the line with its quotes skipped, as the shown text will read it.
      std::size_t j = i + 1;
      int zeros = 0;
      while (j < rawLine.size() && zeros < 2) {
        if (rawLine[j] == '0') {
          ++zeros;
        } else if (rawLine[j] != '"') {
          break;
        }
        ++j;
      }
      while (j < rawLine.size() && rawLine[j] == '"') ++j;
      if (zeros == 2 && (j == rawLine.size() || !IsDigit(rawLine[j]))) {
        i = j - 1;
        continue;
      }
    }
    shown += c;
  }
  return shown;
}

void SearchResults::Add(std::string_view rawLine, std::string_view separator, int columns) {
  const std::string shown = DisplayText(rawLine);
  const std::string_view text(shown);
  if (separator.empty()) separator = ",";
  Row row;
  row.added = RowCount();
  row.cells.reserve(text.size() + 1);
  std::size_t start = 0;
  for (int column = 0; column < columns; ++column) {
    const std::size_t end = FindSeparator(text, separator, start);
    row.cells.append(text.substr(start, end == std::string_view::npos ? end : end - start));
    row.cells += '\0';
    if (end == std::string_view::npos) break;
    start = end + separator.size();
  }
  rows_.push_back(std::move(row));
}

std::string_view SearchResults::Cell(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0) return {};
  const std::string& cells = rows_[static_cast<std::size_t>(row)].cells;
  std::size_t start = 0;
  for (int i = 0; i < column; ++i) {
    start = cells.find('\0', start);
    if (start == std::string::npos) return {};
    ++start;
  }
  const std::size_t end = cells.find('\0', start);
  if (end == std::string::npos) return {};
  return std::string_view(cells).substr(start, end - start);
}

std::vector<int> SearchResults::RowsNow(const std::vector<int>& beforeSort,
                                        const std::vector<int>& addedBeforeSort) const {
  std::vector<char> wanted(rows_.size(), 0);
  for (int row : beforeSort) {
    if (row >= 0 && row < static_cast<int>(addedBeforeSort.size()))
      wanted[static_cast<std::size_t>(addedBeforeSort[static_cast<std::size_t>(row)])] = 1;
  }
  std::vector<int> now;
  for (int row = 0; row < RowCount(); ++row) {
    if (wanted[static_cast<std::size_t>(AddedAt(row))] != 0) now.push_back(row);
  }
  return now;
}

bool SearchResults::HasRowKey(int row) const {
  return row >= 0 && row < RowCount() && rows_[static_cast<std::size_t>(row)].hasKey;
}

void SearchResults::AllocRowKey(int row, std::size_t size) {
  Row& r = rows_[static_cast<std::size_t>(row)];
  r.key.clear();
  r.key.reserve(size);
  r.hasKey = true;
}

void SearchResults::FreeRowKey(int row) {
  Row& r = rows_[static_cast<std::size_t>(row)];
  r.key = std::string();
  r.hasKey = false;
}

void SearchResults::SortRows(
    const std::function<int(const std::string&, const std::string&)>& compare) {
  std::stable_sort(rows_.begin(), rows_.end(),
                   [&](const Row& a, const Row& b) { return compare(a.key, b.key) < 0; });
}

std::string ClipboardText(const SearchResults& rows, const std::vector<int>& selected,
                          int columns) {
  std::string text;
  for (int row : selected) {
    if (row < 0 || row >= rows.RowCount()) continue;
    for (int column = 0; column < columns; ++column) {
      text += rows.Cell(row, column);
      text += '\t';
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace kestrova
