// Dates and times in the program's text forms, computed from an injectable clock.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace kestrova {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::time_t Current() const = 0;
};

class SystemClock final : public Clock {
 public:
  std::time_t Current() const override;
};

// A clock tests set and move.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(std::time_t t) : t_(t) {}
  // From local "YYYY/MM/DD hh:mm:ss" (time part optional).
  explicit FixedClock(std::string_view displayForm);
  std::time_t Current() const override { return t_; }
  void Set(std::time_t t) { t_ = t; }
  void Advance(std::time_t seconds) { t_ += seconds; }

 private:
  std::time_t t_;
};

enum DateField { kYears = 0, kMonths = 1, kDays = 2, kHours = 3, kMinutes = 4, kSeconds = 5 };

// "%04d/%02d/%02d %02d:%02d:%02d", local time.
std::string Now(const Clock& clock);
// "%04d%02d%02d%02d%02d%02d", local time.
std::string NowStamp(const Clock& clock);
std::string FormatDisplay(std::time_t t);
// dateText moved by amount units of field, in display form; empty for a year from 2037 on.
std::string AddToDate(std::string_view dateText, int field, int amount);

}  // namespace kestrova
