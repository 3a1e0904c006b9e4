// The main window of headless mode: no controls, the status line and the log box printed as
// progress lines on the console (UTF-8) whenever they change.
#pragma once

#include <cstdio>
#include <string>

#include "ui/main_window.h"

namespace kestrova {

class ConsoleView final : public MainWindowView {
 public:
  explicit ConsoleView(std::FILE* out = stderr) : out_(out) {}
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

}  // namespace kestrova
