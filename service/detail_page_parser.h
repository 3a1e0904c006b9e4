// The detail page parser: extracts the fields defined in DetailHeader from a saved detail page
// into DetailStore, keyed by the property number.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

struct ProgramState;
struct DetailHeader;

// Reads the saved page (UTF-8 as received), converts it to cp932 and stores one value in
// state.detailStore: for every line of state.detailHeader the extracted text and one TAB.
// An unreadable file changes nothing.
void ParseDetailPage(ProgramState& state, const std::string& path);
// The same for a page already in cp932, held in memory.
void ParseDetailText(ProgramState& state, std::string_view page);

// The stored value of page for header, and the key it is stored under ("dummy" without a
// property-number field, empty when that field's cell is empty).
struct DetailValue {
  std::string key;
  std::string value;
};
DetailValue ExtractDetailValue(const DetailHeader& header, std::string_view page);

// Removes the units "万円", "㎡", "ｍ", "km", "円", "戸", "階", "%" where they directly follow a
// digit (0-9 or ０-９), and "," between two digits, so 1,980万円 gives 1980 while a place
// name such as 神戸市 keeps its characters.
void StripUnits(std::string& text);

}  // namespace kestrova
