#include "ui/headless.h"

#include "foundation/dates.h"
#include "foundation/desktop.h"
#include "foundation/files.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "store/error_log.h"
#include "store/program_state.h"
#include "ui/command_line.h"
#include "ui/console_view.h"
#include "ui/maintenance_window.h"
#include "ui/run_history.h"

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

// The console's desktop, remembering the first words of the last message (why a run was
// refused, for the notice).
class RememberingDesktop final : public Desktop {
 public:
  explicit RememberingDesktop(Desktop& inner) : inner_(inner) {}
  MessageAnswer Message(std::string_view text, std::string_view caption, MessageIcon icon,
                        MessageButtons buttons) override {
    if (icon == MessageIcon::kError || icon == MessageIcon::kWarning) {
      last_ = std::string(text.substr(0, text.find_first_of("\r\n")));
      const std::size_t colon = last_.find(SJIS("："));
      if (colon != std::string::npos) last_.resize(colon);
    }
    return inner_.Message(text, caption, icon, buttons);
  }
  bool ShellOpen(std::string_view target) override { return inner_.ShellOpen(target); }
  bool StartProgram(std::string_view program, const std::vector<std::string>& args) override {
    return inner_.StartProgram(program, args);
  }
  bool SetClipboardText(std::string_view text) override { return inner_.SetClipboardText(text); }
  int PickFolder(std::string_view initial, std::string_view title, std::string& result) override {
    return inner_.PickFolder(initial, title, result);
  }
  bool IsCtrlHeld() override { return inner_.IsCtrlHeld(); }
  void Pump(int n) override { inner_.Pump(n); }
  void Sleep(int milliseconds) override { inner_.Sleep(milliseconds); }
  const std::string& last() const { return last_; }

 private:
  Desktop& inner_;
  std::string last_;
};

long long StoreRecords(const ProgramState& state) {
  long long records = 0;
  (void)ForEachLineOfFile(state.PathOf("\\dat\\TotalData.txt"), [&](std::string_view line) {
    if (!line.empty()) ++records;
    return true;
  });
  return records;
}

// The status of a main-window command run headless.
int StatusOf(const ProgramState& state, CommandResult result) {
  switch (result) {
    case CommandResult::kRan:
      return 0;
    case CommandResult::kStopped:
      // Ended by a signal: the shell's convention, 128 + its number.
      return 128 + state.stopSignal.load();
    default:
      return 1;
  }
}

// The scheduled run: the dates from the day after the last fetched one to yesterday, the
// property search, and the closed-deal search when asked for and the first went through.
int RunDaily(ProgramState& state, MainWindow& window, bool deals, std::FILE* out) {
  window.Command(MainCommand::kPresetLastPlusOne);
  // Fetched up to yesterday already (a second run the same day): every form sent would be
  // charged for a range with no day in it.
  const MainFields& fields = window.Fields();
  if (!fields.startDate.empty() && fields.startDate > fields.endDate) {
    std::fprintf(out, "daily: the listings up to %s are fetched already\n",
                 Utf8(fields.lastDate).c_str());
  } else if (const int status = StatusOf(state, window.Command(MainCommand::kPropertySearch));
             status != 0) {
    return status;
  }
  if (!deals) return 0;
  return StatusOf(state, window.Command(MainCommand::kClosedDealSearch));
}

int CountCutSearches(const ProgramState& state, int fromLine) {
  const std::string mark = "\t" + std::to_string(kLostResultsCode) + "\t";
  int cut = 0;
  for (int i = fromLine; i < state.errorList.Count(); ++i)
    if (state.errorList.View(i).find(mark) != std::string_view::npos) ++cut;
  return cut;
}

// The history line of an online run, after its close; a history that cannot be written is an
// error line of its own and a failed write (status 3).
void KeepHistory(ProgramState& state, RunRecord& run, int& status, std::FILE* out) {
  run.end = Now(*state.clock);
  run.status = status;
  const std::string path = state.PathOf(kRunHistoryFile);
  if (AppendHistoryLine(path, HistoryLine(run))) return;
  const std::string line =
      FormatErrorLine(run.end, kHistoryWriteFailed, SJIS("書き込みできませんでした: ") + path);
  (void)AppendToFile(state.PathOf("\\Err\\ErrLog.txt"), line + "\r\n");
  std::fprintf(out, "%s\n", Utf8(line).c_str());
  ++state.failedWrites;
  if (status == 0) status = 3;
}

RunRecord RefusedRun(const std::string& why, int status) {
  RunRecord run;
  run.status = status;
  run.failure = why;
  return run;
}

void SendNotice(const RunRecord& run, bool deals, std::FILE* out) {
  // On the console too, so that the journal of a timer's run holds it.
  const std::string notice = NoticeText(run, deals);
  std::fprintf(out, "%s\n", Utf8(notice).c_str());
  std::string why;
  if (!platform::SendDesktopNotice(notice, why))
    std::fprintf(out, "kestrova: no desktop notice: %s\n", why.c_str());
}

}  // namespace

int RunHeadless(ProgramState& state, const HeadlessRun& run, TransportFactory transports,
                std::FILE* out) {
  const HeadlessCommand* command = FindHeadlessCommand(run.command);
  if (command == nullptr) return 2;
  RememberingDesktop desktop(*state.desktop);
  Desktop* const consoleDesktop = state.desktop;
  state.desktop = &desktop;
  ConsoleMainWindowView view(out);
  MainWindow window(state, view, std::move(transports));
  if (!window.StartUp(run.source, run.loginId, run.command == "find")) {
    state.desktop = consoleDesktop;
    // No history line: the folder may be another process's. The notice still tells the user
    // that the morning's run did not happen (the window left open on the folder, say).
    if (run.command == "daily") SendNotice(RefusedRun(desktop.last(), 1), run.deals, out);
    return 1;
  }

  const bool daily = run.command == "daily";
  const bool online = daily || (command->button && IsOnlineCommand(*command->button));
  RunRecord record;
  if (online) {
    record.start = Now(*state.clock);
    record.command = daily && run.deals ? "daily --deals" : run.command;
    record.recordsBefore = StoreRecords(state);
    record.dealsBefore = state.dealStore.Count();
  }
  int status = 0;
  std::string lastLine;
  if (run.command == "find") {
    status = RunFindCommand(state, window, run, out, lastLine);
  } else if (daily) {
    status = RunDaily(state, window, run.deals, out);
  } else if (command->button) {
    status = StatusOf(state, window.Command(*command->button));
  } else if (command->maintenance) {
    status = RunMaintenance(state, window, *command->maintenance, out);
  } else {
    std::fprintf(out, "%s\n", window.MonthlyTidy(true) == 0 ? "tidy: done" : "tidy: not saved");
  }
  if (online) {
    // Counted before the close, whose monthly tidy may move records into past data.
    record.recordsAfter = StoreRecords(state);
    record.dealsAfter = state.dealStore.Count();
    record.pagesFetched = state.pagesFetched;
    record.pdfsFetched = state.pdfsFetched;
    record.cutSearches = CountCutSearches(state, 0);
    record.stopped = state.StopRequested();
    record.failure = desktop.last();
  }
  window.Close();
  state.desktop = consoleDesktop;
  if (!lastLine.empty()) std::fprintf(out, "%s\n", Utf8(VisibleText(lastLine)).c_str());
  // Ran, but something it fetched or computed did not reach the disk (each write logged).
  if (status == 0 && state.failedWrites > 0) status = 3;
  // Ran and saved everything, but a search still cut at 100 hits lost listings.
  if (status == 0 && window.LostListings()) status = 4;
  if (!online) return status;
  record.errorLines = state.errorList.Count();  // all of them went to the error log at close
  KeepHistory(state, record, status, out);
  if (daily) SendNotice(record, run.deals, out);
  return status;
}

}  // namespace kestrova
