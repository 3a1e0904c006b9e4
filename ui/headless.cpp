#include "ui/headless.h"

#include <chrono>

#include "foundation/desktop.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "ui/command_line.h"
#include "ui/console_view.h"
#include "ui/maintenance_window.h"

namespace kestrova {

namespace {

// The maintenance window without controls: its status line on the console, at most a few
// lines a second while a long operation counts its pages.
class ConsoleMaintenanceView final : public MaintenanceView {
 public:
  explicit ConsoleMaintenanceView(std::FILE* out) : out_(out) {}
  MaintenanceFields& Fields() override { return fields_; }
  void ReadFields() override {}
  void ShowFields() override {
    if (fields_.statusLine == shown_) return;
    auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(250) &&
        fields_.statusLine.find("...") != std::string::npos &&
        fields_.statusLine.find(SJIS("完了")) == std::string::npos) {
      return;
    }
    last_ = now;
    shown_ = fields_.statusLine;
    std::fprintf(out_, "%s\n", Utf8(shown_).c_str());
    std::fflush(out_);
  }

 private:
  std::FILE* out_;
  MaintenanceFields fields_;
  std::string shown_;
  std::chrono::steady_clock::time_point last_{};
};

bool RefusedWithoutTerms(ProgramState& state, MainWindow& window) {
  window.ReadFields();
  if (window.Fields().agreed != 0) return false;
  state.desktop->Message(SJIS("規約に同意しないと利用できません"), "Kestrova",
                         MessageIcon::kWarning, MessageButtons::kOk);
  return true;
}

// The maintenance operations as the maintenance window runs them, all boxes ticked.
int RunMaintenance(ProgramState& state, MainWindow& window, const std::string& command,
                   std::FILE* out) {
  if (RefusedWithoutTerms(state, window)) return 1;
  ConsoleMaintenanceView view(out);
  OpenMaintenance(state, view);
  if (command == "rebuild-detail") {
    RebuildDetailInformation(state, view);
  } else if (command == "rebuild-csv") {
    RebuildCsvFiles(state, view);
  } else {
    DeleteDataFiles(state, view);
  }
  return 0;
}

}  // namespace

int RunHeadless(ProgramState& state, const HeadlessRun& run, TransportFactory transports,
                std::FILE* out) {
  const HeadlessCommand* command = FindHeadlessCommand(run.command);
  if (command == nullptr) return 2;
  ConsoleView view(out);
  MainWindow window(state, view, std::move(transports));
  if (!window.StartUp(run.source, run.loginId)) return 1;

  int status = 0;
  if (command->button != 0) {
    switch (window.Command(command->button)) {
      case CommandResult::kRan:
        break;
      case CommandResult::kStopped:
        // Ended by a signal: the shell's convention, 128 + its number.
        status = 128 + state.stopSignal.load();
        break;
      default:
        status = 1;
    }
  } else if (run.command == "tidy") {
    window.MonthlyTidy(true);
    std::fprintf(out, "%s\n", "tidy: done");
  } else {
    status = RunMaintenance(state, window, run.command, out);
  }
  window.Close();
  return status;
}

}  // namespace kestrova
