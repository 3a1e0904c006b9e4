#include "foundation/dates.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/platform/platform.h"
#include "tests/support/scoped_environment.h"

namespace kestrova {
namespace {

class DatesTest : public ::testing::Test {
 protected:
  test::ScopedJapanTime japan_;
};

TEST_F(DatesTest, MonthArithmeticNormalisesLikeTheCalendar) {
  EXPECT_EQ(AddToDate("2011/01/15", kMonths, -1), "2010/12/15 00:00:00");
  EXPECT_EQ(AddToDate("2011/12/15", kMonths, 1), "2012/01/15 00:00:00");
  EXPECT_EQ(AddToDate("2011/03/31", kMonths, -1), "2011/03/03 00:00:00");
  EXPECT_EQ(AddToDate("2011/05/10", kMonths, -3), "2011/02/10 00:00:00");
  EXPECT_EQ(AddToDate("2011/05/10", kMonths, -12), "2010/05/10 00:00:00");
  EXPECT_EQ(AddToDate("2011/05/10", kMonths, 25), "2013/06/10 00:00:00");
  EXPECT_EQ(AddToDate("2011/05/10 12:34:56", kYears, 2), "2013/05/10 12:34:56");
}

TEST_F(DatesTest, DayArithmeticCrossesMonthAndYear) {
  EXPECT_EQ(AddToDate("2012/03/01", kDays, -1), "2012/02/29 00:00:00");
  EXPECT_EQ(AddToDate("2011/12/31 23:00:00", kHours, 2), "2012/01/01 01:00:00");
  EXPECT_EQ(AddToDate("2011/06/05", kDays, 1), "2011/06/06 00:00:00");
  EXPECT_EQ(AddToDate("2011/06/05", kMinutes, -1), "2011/06/04 23:59:00");
  EXPECT_EQ(AddToDate("2011/06/05", kSeconds, 61), "2011/06/05 00:01:01");
}

TEST_F(DatesTest, ClampsAndRefusesTheEndOfTheCalendar) {
  EXPECT_EQ(AddToDate("2011/13/15", kDays, 0), "2011/01/15 00:00:00");
  EXPECT_EQ(AddToDate("2011/05/40", kDays, 0), "2011/05/01 00:00:00");
  EXPECT_EQ(AddToDate("1960/05/10", kDays, 0), "1970/05/10 00:00:00");
  EXPECT_EQ(AddToDate("2037/01/01", kDays, -10), "");
  EXPECT_EQ(AddToDate("2036/12/31", kDays, 0), "2036/12/31 00:00:00");
  EXPECT_EQ(AddToDate("", kDays, 0), "1970/01/01 00:00:00");
}

// The reference is the C library's own calendar: mktime of the shifted broken-down date, taken
// at noon so the first hours of 1970 in Japan lie inside every library's range. Empty where the
// library has no answer: Windows has none before 1970 in UTC.
std::string Reference(int y, int m, int d, int field, int amount) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = m - 1;
  tm.tm_mday = d;
  tm.tm_hour = 12;
  tm.tm_isdst = -1;
  if (field == kMonths) tm.tm_mon += amount;
  if (field == kDays) tm.tm_mday += amount;
  std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return {};
  std::tm out = platform::LocalTime(t);
  char text[32];
  std::strftime(text, sizeof text, "%Y/%m/%d 00:00:00", &out);
  return text;
}

// Compares one shift with the reference; false (and nothing compared) where there is none.
bool Agrees(const char* date, int y, int m, int d, int field, int amount) {
  const std::string want = Reference(y, m, d, field, amount);
  if (want.empty()) return false;
  EXPECT_EQ(AddToDate(date, field, amount), want) << date << " " << field << " " << amount;
  return true;
}

TEST_F(DatesTest, AgreesWithMktimeOverASweep) {
  int checked = 0;
  for (int y = 1971; y <= 2035; y += 3) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= 31; d += 5) {
        char date[16];
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", y, m, d);
        for (int amount : {-400, -31, -1, 0, 1, 29, 365}) {
          checked += Agrees(date, y, m, d, kDays, amount);
        }
        for (int amount : {-25, -13, -12, -1, 1, 11, 12, 30}) {
          checked += Agrees(date, y, m, d, kMonths, amount);
        }
      }
    }
  }
  EXPECT_GT(checked, 10000);
  EXPECT_FALSE(HasFailure());
}

// Every day of the supported calendar, with day and month amounts spread over -400..400 and
// -30..30, and times of day that keep their hours through the shift.
TEST_F(DatesTest, AgreesWithMktimeOnEveryDayOfTheCalendar) {
  std::tm start{};
  start.tm_year = 70;
  start.tm_mon = 0;
  start.tm_mday = 1;
  start.tm_hour = 12;
  start.tm_isdst = -1;
  int checked = 0;
  for (int index = 0;; ++index) {
    std::tm day = start;
    day.tm_mday += index;
    std::mktime(&day);
    if (day.tm_year + 1900 >= 2037) break;
    const int y = day.tm_year + 1900, m = day.tm_mon + 1, d = day.tm_mday;
    char date[32];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d", y, m, d);
    const int days = index * 37 % 801 - 400;
    const int months = index * 13 % 61 - 30;
    checked += Agrees(date, y, m, d, kDays, days);
    checked += Agrees(date, y, m, d, kMonths, months);
    if (HasFailure()) break;
  }
#ifdef _WIN32
  EXPECT_GT(checked, 2 * 24000);  // the shifts into the 1960s have no reference there
#else
  EXPECT_EQ(checked, 2 * 24472);  // 1970/01/01 to 2036/12/31
#endif  // _WIN32
}

TEST_F(DatesTest, HourFieldsAddSecondsAfterNormalising) {
  // 2011/02/31 normalises to 2011/03/03; the hours are added to that.
  EXPECT_EQ(AddToDate("2011/02/31 22:00:00", kHours, 3), "2011/03/04 01:00:00");
  EXPECT_EQ(AddToDate("2011/03/31", kMonths, -1), AddToDate("2011/02/31", kDays, 0));
  EXPECT_EQ(AddToDate("2011/05/10 24:00:00", kSeconds, 0), "2011/05/11 00:00:00");
  EXPECT_EQ(AddToDate("2011/05/10 25:61:61", kSeconds, 0), "2011/05/10 00:00:00");
}

TEST_F(DatesTest, NowFormsFollowTheClock) {
  FixedClock clock("2011/05/07 09:30:05");
  EXPECT_EQ(Now(clock), "2011/05/07 09:30:05");
  EXPECT_EQ(NowStamp(clock), "20110507093005");
  clock.Advance(86400);
  EXPECT_EQ(Now(clock).substr(0, 10), "2011/05/08");
  SystemClock system;
  EXPECT_EQ(Now(system).size(), 19u);
  EXPECT_EQ(NowStamp(system).size(), 14u);
}

}  // namespace
}  // namespace kestrova
