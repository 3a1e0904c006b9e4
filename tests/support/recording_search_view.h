// The search window's "controls" for tests, kept apart from the window's fields as in the
// dialog: ReadFields copies the controls in, ShowFields copies the fields out; the titles are
// recorded (UTF-8).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/sjis.h"
#include "ui/search_window.h"

namespace kestrova::test {

class RecordingSearchView final : public SearchView {
 public:
  void ReadFields(SearchFields& fields) override { fields = controls; }
  void ShowFields(const SearchFields& fields) override { controls = fields; }
  void ShowResults() override { ++resultsShown; }
  void SelectRows(const std::vector<int>& rows) override { controls.selected = rows; }
  void SetTitle(std::string_view title) override { titles.push_back(Utf8(title)); }

  SearchFields controls;
  std::vector<std::string> titles;
  int resultsShown = 0;
};

}  // namespace kestrova::test
