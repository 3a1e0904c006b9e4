#include "store/management_csv.h"

#include "foundation/text_functions.h"
#include "store/csv_layout.h"

namespace kestrova {

int SourceColumn(const CsvLayout& layout, std::string_view source) {
  for (int i = 0; i < layout.Columns(); ++i) {
    if (layout.sources.View(i) == source) return i;
  }
  return -1;
}

std::size_t FindSeparator(std::string_view line, std::string_view separator, std::size_t from) {
  if (separator.empty()) separator = ",";
  // A single byte below 0x40 is never a trail byte, so the fast byte search is exact for the
  // usual "," and TAB; any other separator is looked for at character starts only.
  if (separator.size() == 1 && static_cast<unsigned char>(separator[0]) < 0x40)
    return line.find(separator[0], from);
  return FindText(line, separator, from);
}

std::string_view RawField(std::string_view line, std::string_view separator, int column) {
  if (column < 0) return {};
  const std::size_t width = separator.empty() ? 1 : separator.size();
  std::size_t start = 0;
  for (int i = 0; i < column; ++i) {
    const std::size_t at = FindSeparator(line, separator, start);
    if (at == std::string_view::npos) return {};
    start = at + width;
  }
  const std::size_t end = FindSeparator(line, separator, start);
  return line.substr(start, end == std::string_view::npos ? end : end - start);
}

std::string_view Unquoted(std::string_view raw, std::string& buffer) {
  if (raw.find('"') == std::string_view::npos) return raw;
  buffer.clear();
  for (char c : raw) {
    if (c != '"') buffer += c;  // '"' is below 0x40: never a trail byte
  }
  return buffer;
}

std::string FieldBySource(const CsvLayout& layout, std::string_view line, std::string_view source) {
  std::string buffer;
  return std::string(
      Unquoted(RawField(line, layout.separator, SourceColumn(layout, source)), buffer));
}

}  // namespace kestrova
