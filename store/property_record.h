// PropertyRecord: one line of 30 TAB-terminated fields per property.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class TextList;

inline constexpr int kRecordFields = 30;
inline constexpr int kFieldFloorPlan = 0;  // "有" or "無"
inline constexpr int kFieldType = 1;       // "11売り・土地" ...
inline constexpr int kFieldNumber = 2;     // the property number, its identity
inline constexpr int kFieldPrice = 3;
inline constexpr int kFieldLocation = 5;
inline constexpr int kFieldUpdated = 18;  // year/month/day; the newest line of a property wins

// The record split at TAB: 31 pieces for a well-formed line, the last one empty.
void SplitRecord(std::string_view line, TextList& fields);
// The fields each followed by one TAB; missing fields up to 30 are empty.
std::string JoinRecord(const std::vector<std::string>& fields);
// Field i of a line without splitting the whole line; empty when absent.
std::string_view RecordField(std::string_view line, int index);

}  // namespace kestrova
