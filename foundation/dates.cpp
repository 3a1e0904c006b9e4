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
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  std::time_t t = std::mktime(&tm);
  t += static_cast<std::time_t>(seconds);
  std::tm out = Local(t);
  char text[64];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &out);
  return text;
}

}  // namespace kestrova
