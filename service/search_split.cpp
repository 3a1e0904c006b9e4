#include "service/search_split.h"

#include <charconv>
#include <chrono>
#include <cstdio>

#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"

namespace kestrova {

namespace {

using std::chrono::sys_days;

bool ReadNumber(std::string_view text, int& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

// The day of three date parts (year, month, day as typed: "2011", "05", "01").
bool DayOf(const std::vector<std::string>& parts, std::size_t first, sys_days& day) {
  int y = 0, m = 0, d = 0;
  if (parts.size() < first + 3 || !ReadNumber(parts[first], y) ||
      !ReadNumber(parts[first + 1], m) || !ReadNumber(parts[first + 2], d)) {
    return false;
  }
  const std::chrono::year_month_day date{std::chrono::year(y),
                                         std::chrono::month(static_cast<unsigned>(m)),
                                         std::chrono::day(static_cast<unsigned>(d))};
  if (m < 1 || d < 1 || !date.ok()) return false;
  day = sys_days(date);
  return true;
}

void AppendParts(std::vector<std::string>& parts, sys_days day) {
  const std::chrono::year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d", static_cast<int>(date.year()));
  parts.emplace_back(text);
  std::snprintf(text, sizeof text, "%02u", static_cast<unsigned>(date.month()));
  parts.emplace_back(text);
  std::snprintf(text, sizeof text, "%02u", static_cast<unsigned>(date.day()));
  parts.emplace_back(text);
}

// A part of the cut form: its group, the codes given and the days first..last. The status line
// shows the part's dates, since several parts share the codes and the label.
SearchForm Part(const SearchForm& cut, const std::vector<std::string>& codes, sys_days first,
                sys_days last) {
  std::vector<std::string> dateParts;
  AppendParts(dateParts, first);
  AppendParts(dateParts, last);
  SearchForm part = MakeSearchForm(codes, cut.group, dateParts);
  part.status += " " + dateParts[0] + "/" + dateParts[1] + "/" + dateParts[2] + SJIS("～") +
                 dateParts[3] + "/" + dateParts[4] + "/" + dateParts[5];
  return part;
}

bool RangeOf(const SearchForm& form, sys_days& first, sys_days& last) {
  return DayOf(form.dateParts, 0, first) && DayOf(form.dateParts, 3, last) && first <= last;
}

std::vector<std::string> CodesOf(const SearchForm& form) {
  std::vector<std::string> codes;
  for (const std::string& code : form.codes) {
    if (!code.empty()) codes.push_back(code);
  }
  return codes;
}

}  // namespace

bool SplitOnCut(const SettingsStore& settings) {
  if (settings.IndexOf(keys::kSplitOnCut) < 0) return true;
  return settings.GetInt(keys::kSplitOnCut) != 0;
}

std::vector<SearchForm> SplitCutForm(const SearchForm& cut) {
  std::vector<SearchForm> parts;
  sys_days first, last;
  if (!RangeOf(cut, first, last)) return parts;
  if (first < last) {
    const sys_days middle = first + (last - first) / 2;
    parts.push_back(Part(cut, cut.codes, first, middle));
    parts.push_back(Part(cut, cut.codes, middle + std::chrono::days(1), last));
    return parts;
  }
  const std::vector<std::string> codes = CodesOf(cut);
  if (codes.size() < 2) return parts;
  for (const std::string& code : codes) parts.push_back(Part(cut, {code}, first, last));
  return parts;
}

bool CanSplit(const SearchForm& form) {
  sys_days first, last;
  return RangeOf(form, first, last) && (first < last || CodesOf(form).size() > 1);
}

SearchQueue::SearchQueue(std::vector<SearchForm> forms)
    : pending_(std::make_move_iterator(forms.begin()), std::make_move_iterator(forms.end())) {}

SearchForm SearchQueue::Take() {
  SearchForm form = std::move(pending_.front());
  pending_.pop_front();
  ++taken_;
  return form;
}

bool SearchQueue::Split(const SearchForm& cut) {
  std::vector<SearchForm> parts = SplitCutForm(cut);
  if (parts.empty()) return false;
  extra_ += static_cast<int>(parts.size());
  pending_.insert(pending_.begin(), std::make_move_iterator(parts.begin()),
                  std::make_move_iterator(parts.end()));
  return true;
}

}  // namespace kestrova
