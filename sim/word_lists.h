// The vocabulary of the synthetic listings (UTF-8): lines and stations, town names, building
// and member names. Town and building names hold none of 区 市 町 村, so that the location of
// a listing names its municipality first, the way the program cuts its folders.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace kestrova::sim {

struct RailLine {
  const char* name;  // ends with 線, or "JR(東西線)" with a closing parenthesis
  std::vector<const char*> stations;
};

// The lines of a prefecture (first two digits of a municipality code); empty when the sim
// has none, and the caller makes generic ones from the municipality's name.
const std::vector<RailLine>& LinesOfPrefecture(const std::string& prefectureCode);

std::span<const char* const> TownNames();
std::span<const char* const> BuildingPrefixes();
std::span<const char* const> BuildingSuffixes();
std::span<const char* const> MemberPrefixes();
std::span<const char* const> MemberSuffixes();
std::span<const char* const> StaffNames();
std::span<const char* const> Remarks();
std::span<const char* const> Zonings();  // result-page forms; detail pages add 地域

}  // namespace kestrova::sim
