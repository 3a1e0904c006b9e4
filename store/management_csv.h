// The management CSV files read back: the fields of a record line, found by the source spec
// of the layout column they were written under.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

struct CsvLayout;

// The column of the first source spec equal to source; -1 when the layout has none.
int SourceColumn(const CsvLayout& layout, std::string_view source);
// Where the separator next occurs at a character start, from `from` on; npos when it does not.
// An empty separator reads as ",".
std::size_t FindSeparator(std::string_view line, std::string_view separator, std::size_t from);
// Field column of the line cut at every separator (empty fields kept), as written: quotes stay.
// Empty for a negative column or one the line does not reach. An empty separator reads as ",".
std::string_view RawField(std::string_view line, std::string_view separator, int column);
// The text without its double quotes: raw itself when it holds none, else buffer filled with it.
std::string_view Unquoted(std::string_view raw, std::string& buffer);
// The field of the line under the layout's column for source, every double quote taken out;
// empty when the layout has no such column.
std::string FieldBySource(const CsvLayout& layout, std::string_view line, std::string_view source);

}  // namespace kestrova
