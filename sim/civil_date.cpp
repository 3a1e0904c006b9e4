#include "sim/civil_date.h"

#include <cstdio>

namespace kestrova::sim {

namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's algorithm).
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

constexpr long kEpoch2000 = 10957;  // 2000-01-01 in days from 1970-01-01

}  // namespace

int DayNumber(const CivilDate& date) {
  return static_cast<int>(
      DaysFromCivil(date.year, static_cast<unsigned>(date.month), static_cast<unsigned>(date.day)) -
      kEpoch2000);
}

CivilDate DateOfDay(int dayNumber) {
  long z = dayNumber + kEpoch2000 + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long y = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

bool IsValidDate(const CivilDate& date) {
  if (date.year < 1900 || date.year > 2199 || date.month < 1 || date.month > 12 || date.day < 1) {
    return false;
  }
  CivilDate back = DateOfDay(DayNumber(date));
  return back.year == date.year && back.month == date.month && back.day == date.day;
}

std::string FormatSlashDate(int dayNumber) {
  CivilDate d = DateOfDay(dayNumber);
  char text[16];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", d.year, d.month, d.day);
  return text;
}

}  // namespace kestrova::sim
