#include "foundation/dates.h"

#include <cstdio>

#include "foundation/platform/platform.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"

namespace kestrova {

std::time_t SystemClock::Current() const { return std::time(nullptr); }

FixedClock::FixedClock(std::string_view displayForm) {
  TextList parts(displayForm, "/; ;:");
  std::tm tm{};
  tm.tm_year = ToInt(parts.View(0)) - 1900;
  tm.tm_mon = ToInt(parts.View(1)) - 1;
  tm.tm_mday = ToInt(parts.View(2));
  tm.tm_hour = ToInt(parts.View(3));
  tm.tm_min = ToInt(parts.View(4));
  tm.tm_sec = ToInt(parts.View(5));
  tm.tm_isdst = -1;
  t_ = std::mktime(&tm);
}

namespace {

std::tm Local(std::time_t t) { return platform::LocalTime(t); }

// Days from 1970/01/01 to a date of the proleptic Gregorian calendar (month 1-12, any day).
long long DaysFromCivil(long long y, int m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yearOfEra = y - era * 400;
  const long long dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// The date of a day counted from 1970/01/01, into tm's year, month and day.
void CivilFromDays(long long z, std::tm& tm) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long dayOfEra = z - era * 146097;
  const long long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long mp = (5 * dayOfYear + 2) / 153;
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  tm.tm_year = static_cast<int>(yearOfEra + era * 400 + (month <= 2) - 1900);
  tm.tm_mon = month - 1;
  tm.tm_mday = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
}

}  // namespace

std::string FormatDisplay(std::time_t t) {
  std::tm tm = Local(t);
  char text[64];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return text;
}

std::string Now(const Clock& clock) { return FormatDisplay(clock.Current()); }

std::string NowStamp(const Clock& clock) {
  std::tm tm = Local(clock.Current());
  char text[64];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return text;
}

std::string AddToDate(std::string_view dateText, int field, int amount) {
  TextList parts(dateText, "/; ;:");
  int year = ToInt(parts.View(0));
  int month = ToInt(parts.View(1));
  int day = ToInt(parts.View(2));
  int hour = ToInt(parts.View(3));
  int minute = ToInt(parts.View(4));
  int second = ToInt(parts.View(5));
  if (year >= 2037) return {};
  if (year < 1970) year = 1970;
  if (month < 1 || month > 12) month = 1;
  if (day < 1 || day > 31) day = 1;
  if (hour < 0 || hour > 24) hour = 0;
  if (minute < 0 || minute > 60) minute = 0;
  if (second < 0 || second > 60) second = 0;
  long long seconds = 0;
  switch (field) {
    case kYears:
      year += amount;
      break;
    case kMonths:
      if (amount > 0) {
        year += amount / 12;
        month += amount % 12;
      } else if (amount < 0) {
        int n = -amount;
        year -= n / 12;
        year -= 1;
        month += 12 - (n % 12);
      }
      break;
    case kDays:
      seconds = amount * 86400LL;
      break;
    case kHours:
      seconds = amount * 3600LL;
      break;
    case kMinutes:
      seconds = amount * 60LL;
      break;
    case kSeconds:
      seconds = amount;
      break;
    default:
      break;
  }
  // The broken-down date is normalised on the calendar itself (a month above 12 into the next
  // year, a day past the month's end into the next month) and the seconds added to it: the
  // same as the C library's mktime in the program's time zone, which keeps no daylight saving,
  // but without its limits (Windows refuses any time before 1970 in UTC, and so the first
  // hours of 1970 in Japan).
  long long y = year + (month - 1) / 12;
  const int m = (month - 1) % 12 + 1;
  long long total = (DaysFromCivil(y, m, 1) + day - 1) * 86400LL + hour * 3600LL + minute * 60LL +
                    second + seconds;
  long long days = total / 86400;
  long long rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  std::tm out{};
  CivilFromDays(days, out);
  out.tm_hour = static_cast<int>(rest / 3600);
  out.tm_min = static_cast<int>(rest / 60 % 60);
  out.tm_sec = static_cast<int>(rest % 60);
  char text[64];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &out);
  return text;
}

}  // namespace kestrova
