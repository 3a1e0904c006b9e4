// The search forms of a run: one per group of three municipality codes and per search-order
// group, built from the settings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "service/search_kind.h"

namespace kestrova {

class SettingsStore;
class TextList;

// The 96-field body of a search, with its placeholders.
const std::string& SearchFormTemplate();
// Status-line label of a search-order group ("1売  /1売物件/1土地/4外全/").
std::string GroupLabel(const std::vector<std::string>& groupFields);
// Fills the three code placeholders with codes[first..first+2] (empty past the end) and the six
// date placeholders with dateParts (start y/m/d, end y/m/d).
void FillPlaceholders(std::string& body, const std::vector<std::string>& dateParts,
                      const TextList& codes, int firstCode);
// The six date parts of a run: start and end dates split at "/", ":" and " "; closed deals take
// the closed-deal start date.
std::vector<std::string> RunDateParts(const SettingsStore& settings, SearchKind kind);
// The search order of a run: sale and/or rent groups of the kind, joined with ";".
std::string RunSearchOrder(const SettingsStore& settings, SearchKind kind, bool sale, bool rent);

struct SearchForm {
  std::string body;
  std::string status;  // "(%s,%s,%s)%s": the three codes and the group label
  // What the form searches, so that a result cut at 100 hits can be searched again in parts.
  std::vector<std::string> codes;      // the code group: three codes, empty past the list
  std::vector<std::string> group;      // the fields of the search-order group
  std::vector<std::string> dateParts;  // start y/m/d, end y/m/d as the body carries them
};
// The form of one code group (three codes), search-order group and date range.
SearchForm MakeSearchForm(const std::vector<std::string>& codes,
                          const std::vector<std::string>& group,
                          const std::vector<std::string>& dateParts);
// Every form of a run, in sending order.
std::vector<SearchForm> BuildSearchForms(const SettingsStore& settings, SearchKind kind, bool sale,
                                         bool rent);

}  // namespace kestrova
