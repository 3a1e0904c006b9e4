#include "ui/main_window.h"

#include "foundation/dates.h"
#include "foundation/desktop.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "service/login_session.h"
#include "service/online_commands.h"
#include "service/transport.h"
#include "store/csv_layout.h"
#include "store/detail_files.h"
#include "store/error_log.h"
#include "store/program_state.h"
#include "store/property_store.h"
#include "ui/default_settings.h"

namespace kestrova {

namespace {

constexpr const char* kLoginIdFile = "\\dat\\LoginId.txt";
// Present from start-up to the end of the close: found at start-up, it says that the last run
// was killed or crashed.
constexpr const char* kRunningFlag = "\\Tmp\\kestrova.running";

std::string FirstTen(const std::string& text) { return text.substr(0, 10); }

}  // namespace

TransportFactory SystemTransportFactory() { return &MakeSystemTransport; }

std::string RememberedLoginId(const ProgramState& state) {
  std::string bytes;
  if (!ReadWholeFile(state.PathOf(kLoginIdFile), bytes)) return std::string();
  std::size_t end = bytes.find_first_of("\r\n");
  return bytes.substr(0, end);
}

bool RememberLoginId(const ProgramState& state, std::string_view id) {
  return WriteFileAtomic(state.PathOf(kLoginIdFile), std::string(id) + "\r\n", 0600);
}

MainWindow::MainWindow(ProgramState& state, MainWindowView& view, TransportFactory transports)
    : state_(state), view_(view), transports_(std::move(transports)) {}

bool MainWindow::StartUp(const EnvironmentSource& source, const LoginIdSources& loginId,
                         bool localSearchOnly) {
  const std::string folder = SplitPath(source.programPath).folderPath;
  EnvironmentCheck check = CheckEnvironment(folder);
  if (check.code != 0) {
    state_.desktop->Message(check.message, kTitle, MessageIcon::kError, MessageButtons::kOk);
    return false;
  }
  // Before anything is read: a second process on the folder would interleave its merges and
  // settings writes with this one's.
  std::string holder;
  if (int locked = folderLock_.Acquire(folder, holder); locked != 0) {
    std::string message = locked == -1
                              ? SJIS("このプログラムフォルダは別の Kestrova が使用中です（") +
                                    (holder.empty() ? SJIS("不明") : holder) +
                                    SJIS("）。\r\nそちらを終了してから起動してください。\r\n") +
                                    platform::DisplayPath(folder)
                              : SJIS("プログラムフォルダをロックできないため起動できません：") +
                                    platform::DisplayPath(folder);
    state_.desktop->Message(message, kTitle, MessageIcon::kError, MessageButtons::kOk);
    return false;
  }
  BuildEnvironment(state_.environment, source);
  ApplyDefaultSettings(state_.settings, state_.environment);
  const std::string ini = state_.environment.GetId(kEnvIniFile);
  ReadIni(ini, state_.settings, state_.environment, 0, &iniDamage_);
  LoadFieldsFromSettings(fields_, state_.settings);
  if (!iniDamage_.empty()) {
    // Said once per start, in the log box: the run goes on with those keys' defaults.
    fields_.logBox = SJIS("設定ファイルの ") + DamagedLineNumbers(iniDamage_) +
                     SJIS(" 行目を読めませんでした（既定値で動作し、行はそのまま残します）: ") +
                     platform::DisplayPath(ini);
  }

  state_.newRowsFound = 0;
  LoadLayouts(state_);
  FillEmptyDates();

  MakeDataFolders();
  // A run killed in the middle of a write leaves its temporary files, and one killed in the
  // middle of the tidy leaves the tidy to finish, before anything reads the store.
  RemoveStaleTemporaryFiles();
  // Finishing a tidy writes the CSV files, whose detail columns come from the detail stores:
  // they are read first, even for a start that would not read them otherwise.
  if (!localSearchOnly || TidyWasInterrupted(state_)) {
    LoadDetailFiles(state_);
    detailFilesLoaded_ = true;
  }
  CompleteInterruptedTidy(state_);
  // The login box shows the ID in use; one given on the command line is remembered for the
  // next start (the data folder exists only from here on).
  if (!loginId.commandLine.empty()) {
    fields_.loginInfo = loginId.commandLine;
    // This run uses the ID either way; a failed write costs only the next start's default.
    (void)RememberLoginId(state_, loginId.commandLine);
  } else if (!loginId.environment.empty()) {
    fields_.loginInfo = loginId.environment;
  } else {
    fields_.loginInfo = RememberedLoginId(state_);
  }
  ShowFields();

  SetTitle(kTitle);
  return true;
}

void MainWindow::FillEmptyDates() {
  const std::string now = Now(*state_.clock);
  if (fields_.dealStartDate.empty()) fields_.dealStartDate = FirstTen(AddToDate(now, kMonths, -3));
  if (fields_.lastDate.empty()) fields_.lastDate = FirstTen(AddToDate(now, kDays, -7));
  ShowFields();
  if (fields_.startDate.empty()) fields_.startDate = fields_.lastDate;
  if (fields_.endDate.empty()) fields_.endDate = FirstTen(AddToDate(now, kDays, -1));
  ShowFields();
}

void MainWindow::MakeDataFolders() {
  auto make = [this](const char* relative) {
    const std::string path = state_.PathOf(relative);
    if (FileExists(path)) return false;
    // A folder that cannot be made shows as the failed write of each file meant for it.
    (void)MakeFolder(path);
    return true;
  };
  make("\\Err");
  make("\\Tmp");
  make("\\Log");
  if (make("\\pdf")) {
    static const char* const kTypes[] = {"11", "12", "13", "14", "15",
                                         "21", "22", "23", "24", "25"};
    for (const char* type : kTypes) (void)MakeFolder(state_.PathOf("\\pdf\\") + type);
  }
  make("\\csv");
  make("\\csv_total");
  make("\\dat");
}

void MainWindow::RemoveStaleTemporaryFiles() {
  const std::string running = state_.PathOf(kRunningFlag);
  const bool lastRunEnded = !FileExists(running);
  // The settings file beside the program and the folders whose files are rewritten whole.
  RemoveStaleTemporaries(state_.ProgramFolder(), 1);
  for (const char* folder : {"\\dat", "\\csv", "\\csv_total", "\\Log", "\\Tmp", "\\Setting"})
    RemoveStaleTemporaries(state_.PathOf(folder), 1);
  // The pdf tree may hold hundreds of thousands of files: it is walked only when the last run
  // did not reach the end of its close, the only way a temporary file can be left there.
  if (!lastRunEnded) RemoveStaleTemporaries(state_.PathOf("\\pdf"), 0);
  // Without the flag the next start after a crash skips the pdf walk; nothing else is lost.
  (void)WriteFileAtomic(running, "", 0644, false);
}

void MainWindow::SetLoginId(std::string_view id) {
  fields_.loginInfo = std::string(id);
  // As at start-up: the typed ID is used now; a failed write costs the next start's default.
  if (!id.empty()) (void)RememberLoginId(state_, id);
  ShowFields();
}

int MainWindow::MonthlyTidy(bool force) {
  const std::string month = Now(*state_.clock).substr(0, 7);
  const std::string& key = keys::kLastTidyMonth.Text();
  if (!force && state_.settings.GetView(key) == month) return 0;
  // The tidy rewrites the CSV files, whose detail columns come from the detail stores.
  if (!detailFilesLoaded_) {
    LoadDetailFiles(state_);
    detailFilesLoaded_ = true;
  }
  const int result = TidyData(state_);
  // A tidy that could not finish is tried again at the next close.
  if (result != 0) return result;
  state_.settings.Set(key, month);
  return 0;
}

void MainWindow::Close() {
  ReadFields();
  StoreFieldsInSettings(fields_, state_.settings);
  const int failedBefore = state_.failedWrites;
  const int listedBefore = state_.errorList.Count();
  // A failed tidy is logged; the close goes on to keep the settings and the stores.
  (void)MonthlyTidy(false);
  const std::string ini = state_.environment.GetId(kEnvIniFile);
  // Only a file read whole is kept as the backup: a damaged one would replace the good copy.
  if (iniDamage_.empty() && !KeepIniBackup(ini))
    LogWriteFailure(state_, kSettingsWriteFailed, ini + ".bak");
  if (!WriteIni(ini, state_.settings, state_.environment, 0, &iniDamage_))
    LogWriteFailure(state_, kSettingsWriteFailed, ini);
  (void)SaveChangedDetailFiles(state_);  // a failure is logged and told below
  // The error log comes last, so that the failures of the close itself are in it.
  const std::string errorLog = state_.PathOf("\\Err\\ErrLog.txt");
  bool errorLogWritten = true;
  if (state_.errorList.Count() > 0) {
    // Appended, never rewritten: the log keeps the lines of every earlier run. CR LF like
    // every other file the program writes, so the log reads line by line in a Windows editor.
    errorLogWritten = AppendToFile(errorLog, state_.errorList.JoinLines());
    if (!errorLogWritten) ++state_.failedWrites;
  }
  (void)RemoveFile(state_.PathOf(kRunningFlag));  // a flag left behind costs one walk
  if (state_.failedWrites == failedBefore) return;
  // The window is going away: what the close could not save is said in a message.
  std::string text = SJIS("終了時に保存できなかったファイルがあります。");
  for (int i = listedBefore; i < state_.errorList.Count(); ++i)
    text += "\r\n" + std::string(state_.errorList.View(i));
  if (!errorLogWritten)
    text += "\r\n" + SJIS("書き込みできませんでした: ") + platform::DisplayPath(errorLog);
  state_.desktop->Message(text, kTitle, MessageIcon::kError, MessageButtons::kOk);
}

namespace {

SearchKind OnlineKind(MainCommand id) {
  if (id == MainCommand::kPropertySearch) return SearchKind::kListings;
  return id == MainCommand::kClosedDealSearch ? SearchKind::kClosedDeals : SearchKind::kFeeCheck;
}

}  // namespace

bool IsOnlineCommand(MainCommand id) {
  return id == MainCommand::kPropertySearch || id == MainCommand::kClosedDealSearch ||
         id == MainCommand::kFeeCheck;
}

const std::string& LoginIdPrompt() {
  return SJIS("REINSのログインIDを入力してください。\r\n(次回からは入力不要です)");
}

CommandResult MainWindow::Command(MainCommand id) {
  // The waits of a run pump window messages, so a second button press would start a second
  // command inside the first; two merges must never interleave.
  if (busy_) {
    state_.desktop->Message(SJIS("他の処理を実行中です。終了してから操作してください"), kTitle,
                            MessageIcon::kWarning, MessageButtons::kOk);
    // A control the refused press changed (a check box ticks as it is pressed) shows again
    // what the window holds.
    ShowFields();
    return CommandResult::kRefused;
  }
  // A run the checks refuse (terms, inputs) never shows the running state: its message names
  // the reason and the window stays as it was.
  if (IsOnlineCommand(id)) {
    const std::string refusal = RefusalBeforeRun(state_, *this, OnlineKind(id));
    if (!refusal.empty()) {
      state_.desktop->Message(refusal, kTitle, MessageIcon::kWarning, MessageButtons::kOk);
      return CommandResult::kRefused;
    }
  }
  busy_ = true;
  state_.stopPressed = false;
  view_.ShowBusy(true, IsOnlineCommand(id));
  CommandResult result = RunCommand(id);
  busy_ = false;
  view_.ShowBusy(false, false);
  // A close asked for during the command runs now that the command is over.
  if (closePending_) CloseAndEnd();
  return result;
}

void MainWindow::RequestStop() {
  if (busy_) state_.stopPressed = true;
}

CloseResult MainWindow::RequestClose() {
  if (closed_) return CloseResult::kClosed;
  if (!busy_) {
    CloseAndEnd();
    return CloseResult::kClosed;
  }
  if (closePending_) return CloseResult::kAfterRun;
  MessageAnswer answer =
      state_.desktop->Message(SJIS("処理を実行中です。中止して終了しますか？"), kTitle,
                              MessageIcon::kQuestion, MessageButtons::kYesNo);
  if (answer != MessageAnswer::kYes) return CloseResult::kKeptRunning;
  RequestStop();
  closePending_ = true;
  return CloseResult::kAfterRun;
}

void MainWindow::StopSignalled() {
  if (closed_) return;
  if (busy_) {
    // The running command sees the signal itself and stops; the close follows it.
    closePending_ = true;
    return;
  }
  CloseAndEnd();
}

void MainWindow::CloseAndEnd() {
  closePending_ = false;
  closed_ = true;
  // The close's tidy writes the CSV files on a second thread and keeps the window answering
  // meanwhile: no command may change the layouts or the stores under it, so every one is
  // refused until the window has gone.
  busy_ = true;
  view_.ShowBusy(true, false);
  Close();
  view_.EndWindow();
}

bool MainWindow::RefusedWithoutTerms() {
  if (fields_.agreed != 0) return false;
  state_.desktop->Message(SJIS("規約に同意しないと利用できません"), kTitle, MessageIcon::kWarning,
                          MessageButtons::kOk);
  return true;
}

void MainWindow::AgreementClicked() {
  ReadFields();
  // Clearing the tick just clears it; a tick with Ctrl held counts as agreed at once.
  if (fields_.agreed == 0 || state_.desktop->IsCtrlHeld()) return;
  ShellOpen(*state_.desktop, state_.PathOf(SJIS("\\利用規約.txt")));
  fields_.agreed = 0;
  ShowFields();
  state_.desktop->Message(SJIS("利用規約は最後まで読んでください"), kTitle,
                          MessageIcon::kInformation, MessageButtons::kOk);
  ShowFields();
}

CommandResult MainWindow::OpenWindow(MainCommand id) {
  if (view_.OpenWindow(id)) return CommandResult::kRan;
  state_.desktop->Message(SJIS("この画面はこの版にはまだありません"), kTitle,
                          MessageIcon::kInformation, MessageButtons::kOk);
  return CommandResult::kRefused;
}

CommandResult MainWindow::RunCommand(MainCommand id) {
  auto online = [this](LoginRunResult (*command)(ProgramState&, OnlineCommandWindow&, Transport&)) {
    std::unique_ptr<Transport> transport = transports_(state_.settings);
    LoginRunResult run = command(state_, *this, *transport);
    pagesCut_ = run.pagesCut;
    if (run.stopped) return CommandResult::kStopped;
    return run.refused || !run.loggedIn ? CommandResult::kRefused : CommandResult::kRan;
  };
  switch (id) {
    case MainCommand::kPropertySearch:
      return online(OnlinePropertySearch);
    case MainCommand::kClosedDealSearch:
      return online(OnlineClosedDealSearch);
    case MainCommand::kFeeCheck:
      return online(FeeCheck);
    case MainCommand::kPresetLastPlusOne:
      PresetLastPlusOneToYesterday(state_, *this);
      return CommandResult::kRan;
    case MainCommand::kPresetLastToToday:
      PresetLastToToday(state_, *this);
      return CommandResult::kRan;
    case MainCommand::kResetCounter:
      ReadFields();
      fields_.searchCount = "0";
      ShowFields();
      return CommandResult::kRan;
    case MainCommand::kAgreement:
      AgreementClicked();
      return CommandResult::kRan;
    case MainCommand::kLocalSearch:
    case MainCommand::kMaintenance:
      ReadFields();
      return RefusedWithoutTerms() ? CommandResult::kRefused : OpenWindow(id);
    case MainCommand::kCodeLookup: {
      // The lookup works on the stored codes and writes its choice back there.
      ReadFields();
      StoreFieldsInSettings(fields_, state_.settings);
      CommandResult result = OpenWindow(id);
      fields_.codes = state_.settings.GetText(keys::kMunicipalityCodes);
      ShowFields();
      return result;
    }
  }
  return CommandResult::kUnknown;
}

}  // namespace kestrova
