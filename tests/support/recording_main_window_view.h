// The main window's "controls" for tests: every ShowFields copy is kept, with the status line
// and the log box as they changed (UTF-8), the titles and the search progress; ReadFields
// applies the user's pending edit once, as typing into the controls would.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/sjis.h"
#include "ui/main_window.h"

namespace kestrova::test {

class RecordingMainWindowView final : public MainWindowView {
 public:
  void ReadFields(MainFields& fields) override {
    if (!edit) return;
    auto pending = std::move(edit);
    edit = nullptr;
    pending(fields);
  }
  void ShowFields(const MainFields& fields) override {
    shown.push_back(fields);
    const std::string status = Utf8(fields.statusLine);
    if (statuses.empty() || statuses.back() != status) statuses.push_back(status);
    const std::string log = Utf8(fields.logBox);
    if (logs.empty() || logs.back() != log) logs.push_back(log);
    if (onShow) onShow();
  }
  void SetTitle(std::string_view title) override { titles.push_back(Utf8(title)); }
  void SearchProgress(int done, int total) override { progress.emplace_back(done, total); }

  std::function<void(MainFields&)> edit;  // the user's next edit of the controls
  std::function<void()> onShow;           // runs after each ShowFields, e.g. a second click
  std::vector<MainFields> shown;
  std::vector<std::string> statuses;
  std::vector<std::string> logs;
  std::vector<std::string> titles;
  std::vector<std::pair<int, int>> progress;
};

}  // namespace kestrova::test
