// The column names of the record fields per property type, and the CSV layouts.
#pragma once

#include <string>
#include <string_view>

#include "foundation/text_list.h"

namespace kestrova {

struct ProgramState;

// "\\Setting\\HeaderInfo.dat": line i names the 30 fields of type 11..15, 21..25.
struct HeaderLists {
  TextList lists[10];
  // The list of a record's type text ("11..." .. "24..."); anything else is type 25's.
  int IndexForType(std::string_view typeText) const;
  const TextList& ForType(std::string_view typeText) const { return lists[IndexForType(typeText)]; }
  void LoadFromText(std::string_view text);
};

// One layout file: per output column a source spec, a type code and a heading.
struct CsvLayout {
  TextList sources;
  TextList types;
  TextList headings;
  std::string separator = ",";
  int blankLines = 2;
  std::string blankText = "\n\n";

  int Columns() const { return sources.Count(); }
  void LoadFromText(std::string_view text);
};

// Start-up: "\\Setting\\HeaderInfo.dat", "\\Setting\\Output_CSV.txt", "\\Setting\\Output_Kanri.txt".
void LoadLayouts(ProgramState& state);

}  // namespace kestrova
