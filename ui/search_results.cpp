#include <algorithm>
#include <array>
#include <cstring>

#include "store/management_csv.h"
#include "ui/search_window.h"

namespace kestrova {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// Byte-wise is safe in cp932: a trail byte is 0x40 or above, never a digit, '.' or '"'.
void AppendDisplayText(std::string_view rawLine, std::string& shown) {
  const std::size_t base = shown.size();
  std::size_t i = 0;
  while (i < rawLine.size()) {
    // The bytes up to the next quote or point stand as they are.
    std::size_t run = i;
    while (run < rawLine.size() && rawLine[run] != '"' && rawLine[run] != '.') ++run;
    shown.append(rawLine, i, run - i);
    i = run;
    if (i == rawLine.size()) break;
    if (rawLine[i] == '"') {
      ++i;
      continue;
    }
    if (shown.size() > base && IsDigit(shown.back())) {
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
        i = j;
        continue;
      }
    }
    shown += '.';
    ++i;
  }
}

std::string DisplayText(std::string_view rawLine) {
  std::string shown;
  shown.reserve(rawLine.size());
  AppendDisplayText(rawLine, shown);
  return shown;
}

namespace {

// Whether a cell can be cut from the raw line and displayed on its own: a one-byte separator
// that is never a trail byte, the display takes out, or part of a number. Then the display
// never reaches across a separator, so displaying a raw field gives the displayed field.
bool CutsRawFields(std::string_view separator) {
  if (separator.size() != 1) return false;
  const char c = separator[0];
  return static_cast<unsigned char>(c) < 0x40 && c != '"' && c != '.' && !IsDigit(c);
}

}  // namespace

void SearchResults::Clear() {
  rows_.clear();
  shapes_.clear();
  copies_.clear();
  shown_.clear();
}

void SearchResults::Add(std::string_view rawLine, std::string_view separator, int columns) {
  copies_.push_back(std::make_unique<std::string>(rawLine));
  AddLine(*copies_.back(), separator, columns);
}

void SearchResults::AddLine(std::string_view rawLine, std::string_view separator, int columns) {
  if (separator.empty()) separator = ",";
  if (shapes_.empty() || shapes_.back().separator != separator ||
      shapes_.back().columns != columns) {
    shapes_.push_back({std::string(separator), columns});
  }
  Row row;
  row.line = rawLine.data();
  row.length = static_cast<std::uint32_t>(rawLine.size());
  row.added = RowCount();
  row.shape = static_cast<std::uint16_t>(shapes_.size() - 1);
  rows_.push_back(std::move(row));
}

const std::string& SearchResults::ShownCells(const Row& row) const {
  auto [at, made] = shown_.try_emplace(row.added);
  if (!made) return at->second;
  const Shape& shape = shapes_[row.shape];
  const std::string shown = DisplayText(Line(row));
  const std::string_view text(shown);
  std::string& cells = at->second;
  cells.reserve(text.size() + 1);
  std::size_t start = 0;
  for (int column = 0; column < shape.columns; ++column) {
    const std::size_t end = FindSeparator(text, shape.separator, start);
    cells.append(text.substr(start, end == std::string_view::npos ? end : end - start));
    cells += '\0';
    if (end == std::string_view::npos) break;
    start = end + shape.separator.size();
  }
  return cells;
}

std::string_view SearchResults::Cell(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0) return {};
  const std::string& cells = ShownCells(rows_[static_cast<std::size_t>(row)]);
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

std::string SearchResults::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0) return {};
  const Row& r = rows_[static_cast<std::size_t>(row)];
  const Shape& shape = shapes_[r.shape];
  if (!CutsRawFields(shape.separator)) return std::string(Cell(row, column));
  if (column >= shape.columns) return {};
  std::string text;
  AppendDisplayText(RawField(Line(r), shape.separator, column), text);
  return text;
}

void SearchResults::AppendRowText(int row, int columns, std::string& out) const {
  if (row < 0 || row >= RowCount()) return;
  const Row& r = rows_[static_cast<std::size_t>(row)];
  const Shape& shape = shapes_[r.shape];
  if (!CutsRawFields(shape.separator)) {
    for (int column = 0; column < columns; ++column) {
      out += Cell(row, column);
      out += '\t';
    }
    out += "\r\n";
    return;
  }
  const std::string_view line = Line(r);
  const char separator = shape.separator[0];
  std::size_t start = 0;
  bool more = true;
  for (int column = 0; column < columns; ++column) {
    if (more && column < shape.columns) {
      const std::size_t end = line.find(separator, start);
      AppendDisplayText(line.substr(start, end == std::string_view::npos ? end : end - start), out);
      if (end == std::string_view::npos) more = false;
      start = end + 1;
    }
    out += '\t';
  }
  out += "\r\n";
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

// The key is made when the rows are sorted; a search that passes a million rows allocates none.
void SearchResults::AllocRowKey(int row, std::size_t) {
  Row& r = rows_[static_cast<std::size_t>(row)];
  r.key.clear();
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

// The keys of a million rows, copied side by side with their row numbers, sort in a fraction
// of the time the rows themselves take: no key is looked up far away in memory, and a row is
// moved once, at the end.
void SearchResults::SortRowsByKeys(int flag) {
  constexpr std::size_t kInline = 22;
  struct Entry {
    std::array<char, kInline> key;
    std::uint8_t length;
    std::uint32_t row;
  };
  const bool fits = std::all_of(rows_.begin(), rows_.end(),
                                [](const Row& row) { return row.key.size() <= kInline; });
  if (!fits) {
    ListControl::SortRowsByKeys(flag);
    return;
  }
  std::vector<Entry> entries(rows_.size());
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Entry& e = entries[i];
    e.key.fill('\0');
    std::copy(rows_[i].key.begin(), rows_[i].key.end(), e.key.begin());
    e.length = static_cast<std::uint8_t>(rows_[i].key.size());
    e.row = static_cast<std::uint32_t>(i);
  }
  // std::string's order: the bytes as unsigned, then the shorter first.
  auto less = [](const Entry& a, const Entry& b) {
    const int c = std::memcmp(a.key.data(), b.key.data(), std::min(a.length, b.length));
    return c != 0 ? c < 0 : a.length < b.length;
  };
  if (flag == 0) {
    std::stable_sort(entries.begin(), entries.end(), less);
  } else {
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const Entry& a, const Entry& b) { return less(b, a); });
  }
  std::vector<Row> sorted;
  sorted.reserve(rows_.size());
  for (const Entry& e : entries) sorted.push_back(std::move(rows_[e.row]));
  rows_ = std::move(sorted);
}

std::string ClipboardText(const SearchResults& rows, const std::vector<int>& selected,
                          int columns) {
  std::string text;
  for (int row : selected) rows.AppendRowText(row, columns, text);
  return text;
}

}  // namespace kestrova
