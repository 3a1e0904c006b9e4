// Searching again, in parts, what a search form whose result page was cut at the service's
// 100 hits searched, so that a run fetches every listing of its range.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "service/search_forms.h"

namespace kestrova {

class SettingsStore;

// The setting keys::kSplitOnCut: on (the default) a cut result is searched again in parts,
// "0" takes the cut page as it is.
bool SplitOnCut(const SettingsStore& settings);

// The forms that search what the cut form searched, in parts: its date range halved (start to
// middle, middle + 1 to end); for a single day, one form per code of its group. Empty when the
// form searches a single day and a single code, or its dates are no dates: then what the page
// cut off cannot be fetched.
std::vector<SearchForm> SplitCutForm(const SearchForm& cut);
// Whether SplitCutForm gives parts for the form.
bool CanSplit(const SearchForm& form);

// The forms of one run in sending order. The parts of a split form go to the front, so a
// search's range is worked through from its start before the next search-order group.
class SearchQueue {
 public:
  explicit SearchQueue(std::vector<SearchForm> forms);

  bool Empty() const { return pending_.empty(); }
  // The next form, taken off the queue.
  SearchForm Take();
  // Queues the parts of a cut form next; false when it cannot be split.
  bool Split(const SearchForm& cut);
  // Forms taken so far and still queued: the run's total as far as it is known.
  int Total() const { return taken_ + static_cast<int>(pending_.size()); }
  int Taken() const { return taken_; }
  // Forms that splits added to the run.
  int ExtraForms() const { return extra_; }

 private:
  std::deque<SearchForm> pending_;
  int taken_ = 0;
  int extra_ = 0;
};

}  // namespace kestrova
