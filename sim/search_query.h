// Form bodies as the service receives them: application/x-www-form-urlencoded fields, and the
// search form read into what to search for.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kestrova::sim {

// Decodes %XX and "+" (a space); a "%" not followed by two hex digits stays as it is.
std::string PercentDecode(const std::string& text);
// Field name -> decoded value; a field given twice keeps its first value.
std::map<std::string, std::string> ParseForm(const std::string& body);

struct SearchQuery {
  bool closedDeals = false;        // dataSyuruiKubun 2
  bool sale = true;                // data type 1 or 2 (else rent: 3 or 5)
  std::vector<int> typeCodes;      // 11..15 or 21..25, in the order of the form
  std::vector<std::string> codes;  // the non-empty municipality codes
  int firstDay = 0, lastDay = 0;   // registration (or closing) date range, day numbers
};

// Reads the search form. Returns 0, or -1 with the service's message (UTF-8) in problem.
int ParseSearchQuery(const std::map<std::string, std::string>& form, SearchQuery& query,
                     std::string& problem);

// Reads the listing range of --list: "YYYY/MM/DD-YYYY/MM/DD:CODES[:sale|rent]" (codes
// comma-separated; all ten types when neither sale nor rent is given). Returns 0 or -1.
int ParseListRange(const std::string& spec, SearchQuery& query);

inline constexpr int kLongestSearchDays = 3660;

}  // namespace kestrova::sim
