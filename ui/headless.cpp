#include "ui/headless.h"

#include "foundation/desktop.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "store/program_state.h"
#include "ui/command_line.h"
#include "ui/console_view.h"
#include "ui/maintenance_window.h"

namespace kestrova {

namespace {

bool RefusedWithoutTerms(ProgramState& state, MainWindow& window) {
  window.ReadFields();
  if (window.Fields().agreed != 0) return false;
  state.desktop->Message(SJIS("規約に同意しないと利用できません"), "Kestrova",
                         MessageIcon::kWarning, MessageButtons::kOk);
  return true;
}

// The maintenance operations as the maintenance window runs them, all boxes ticked.
int RunMaintenance(ProgramState& state, MainWindow& window, MaintenanceCommand command,
                   std::FILE* out) {
  if (RefusedWithoutTerms(state, window)) return 1;
  ConsoleMaintenanceView view(out);
  MaintenanceWindow maintenance(state, view);
  maintenance.Open();
  maintenance.Command(command);
  return 0;
}

// One local search; its title is the run's last console line, after the close's output.
int RunFindCommand(ProgramState& state, MainWindow& window, const HeadlessRun& run, std::FILE* out,
                   std::string& lastLine) {
  if (RefusedWithoutTerms(state, window)) return 1;
  return RunFind(state, run.find, run.rows, out, lastLine);
}

}  // namespace

int RunHeadless(ProgramState& state, const HeadlessRun& run, TransportFactory transports,
                std::FILE* out) {
  const HeadlessCommand* command = FindHeadlessCommand(run.command);
  if (command == nullptr) return 2;
  ConsoleMainWindowView view(out);
  MainWindow window(state, view, std::move(transports));
  if (!window.StartUp(run.source, run.loginId, run.command == "find")) return 1;

  int status = 0;
  std::string lastLine;
  if (run.command == "find") {
    status = RunFindCommand(state, window, run, out, lastLine);
  } else if (command->button) {
    switch (window.Command(*command->button)) {
      case CommandResult::kRan:
        break;
      case CommandResult::kStopped:
        // Ended by a signal: the shell's convention, 128 + its number.
        status = 128 + state.stopSignal.load();
        break;
      default:
        status = 1;
    }
  } else if (command->maintenance) {
    status = RunMaintenance(state, window, *command->maintenance, out);
  } else {
    std::fprintf(out, "%s\n", window.MonthlyTidy(true) == 0 ? "tidy: done" : "tidy: not saved");
  }
  window.Close();
  if (!lastLine.empty()) std::fprintf(out, "%s\n", Utf8(VisibleText(lastLine)).c_str());
  // Ran, but something it fetched or computed did not reach the disk (each write logged).
  if (status == 0 && state.failedWrites > 0) status = 3;
  // Ran and saved everything, but a search still cut at 100 hits lost listings.
  if (status == 0 && window.LostListings()) status = 4;
  return status;
}

}  // namespace kestrova
