// The windows of headless mode: no controls, their status lines (and the main window's log
// box) printed as progress lines on the console (UTF-8) whenever they change.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "ui/main_window.h"
#include "ui/maintenance_window.h"
#include "ui/search_window.h"

namespace kestrova {

class ConsoleMainWindowView final : public MainWindowView {
 public:
  explicit ConsoleMainWindowView(std::FILE* out = stderr) : out_(out) {}
  void ReadFields(MainFields&) override {}
  void ShowFields(const MainFields& fields) override;
  void SetTitle(std::string_view) override {}
  void SearchProgress(int done, int total) override;

 private:
  void Print(const std::string& cp932);

  std::FILE* out_;
  std::string status_;
  std::string log_;
  std::string fee_;
  int done_ = 0;
  int total_ = 0;
};

// The maintenance window's status line, at most a few lines a second while operation ①
// counts its pages; the fields are all the window has, so ReadFields leaves them.
class ConsoleMaintenanceView final : public MaintenanceView {
 public:
  explicit ConsoleMaintenanceView(std::FILE* out = stderr) : out_(out) {}
  void ReadFields(MaintenanceFields&) override {}
  void ShowFields(const MaintenanceFields& fields) override;
  void SetTitle(std::string_view) override {}

 private:
  std::FILE* out_;
  std::string shown_;
  std::chrono::steady_clock::time_point last_{};
};

// The search window of headless find: no controls, so the fields stay as the run set them;
// the title is kept for the run's last console line.
class ConsoleSearchView final : public SearchView {
 public:
  void ReadFields(SearchFields&) override {}
  void ShowFields(const SearchFields&) override {}
  void ShowResults() override {}
  void SelectRows(const std::vector<int>&) override {}
  void SetTitle(std::string_view title) override { title_ = title; }
  const std::string& Title() const { return title_; }

 private:
  std::string title_;
};

}  // namespace kestrova
