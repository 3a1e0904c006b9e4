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
  // Line i split at TAB; lines beyond the tenth are ignored, missing lines give empty lists.
  void LoadFromText(std::string_view text);
};

// One layout file: per output column a source spec, a type code and a heading.
struct CsvLayout {
  static constexpr int kMaxBlankLines = 1000;  // "!ヘッダ空行=" is read into 0..kMaxBlankLines

  TextList sources;
  TextList types;
  TextList headings;
  std::string separator = ",";
  int blankLines = 2;
  std::string blankText = "\n\n";

  int Columns() const { return sources.Count(); }
  // Replaces the layout with the one the file text describes (defaults first).
  void LoadFromText(std::string_view text);
};

// Start-up: "\\Setting\\HeaderInfo.dat", "\\Setting\\Output_CSV.txt",
// "\\Setting\\Output_Kanri.txt".
void LoadLayouts(ProgramState& state);

}  // namespace kestrova
