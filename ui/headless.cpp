#include "ui/headless.h"

#include "foundation/desktop.h"
#include "foundation/sjis.h"
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

}  // namespace

int RunHeadless(ProgramState& state, const HeadlessRun& run, TransportFactory transports,
                std::FILE* out) {
  const HeadlessCommand* command = FindHeadlessCommand(run.command);
  if (command == nullptr) return 2;
  ConsoleMainWindowView view(out);
  MainWindow window(state, view, std::move(transports));
  if (!window.StartUp(run.source, run.loginId)) return 1;

  int status = 0;
  if (command->button) {
    status = window.Command(*command->button) == CommandResult::kRan ? 0 : 1;
  } else if (command->maintenance) {
    status = RunMaintenance(state, window, *command->maintenance, out);
  } else {
    window.MonthlyTidy(true);
    std::fprintf(out, "%s\n", "tidy: done");
  }
  window.Close();
  return status;
}

}  // namespace kestrova
