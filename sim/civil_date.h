// Calendar dates as day numbers, so the sim can walk a date range and offset dates without
// touching the local clock or time zone.
#pragma once

#include <string>

namespace kestrova::sim {

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// Days since 2000-01-01 (negative before it).
int DayNumber(const CivilDate& date);
CivilDate DateOfDay(int dayNumber);
// True for a real calendar date in the years 1900..2199.
bool IsValidDate(const CivilDate& date);
// "2011/05/01"
std::string FormatSlashDate(int dayNumber);

}  // namespace kestrova::sim
