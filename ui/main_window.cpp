#include "ui/main_window.h"

#include "foundation/dates.h"
#include "foundation/desktop.h"
#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "service/curl_transport.h"
#include "service/online_commands.h"
#include "store/csv_layout.h"
#include "store/detail_files.h"
#include "store/program_state.h"
#include "store/property_store.h"
#include "ui/default_settings.h"

namespace kestrova {

namespace {

constexpr const char* kLoginIdFile = "\\dat\\LoginId.txt";

std::string FirstTen(const std::string& text) { return text.substr(0, 10); }

}  // namespace

TransportFactory CurlTransportFactory() {
  return [](const SettingsStore& settings) -> std::unique_ptr<Transport> {
    return std::make_unique<CurlTransport>(CurlOptionsFromSettings(settings));
  };
}

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

bool MainWindow::StartUp(const EnvironmentSource& source, const LoginIdSources& loginId) {
  EnvironmentCheck check = CheckEnvironment(SplitPath(source.programPath).folderPath);
  if (check.code != 0) {
    state_.desktop->Message(check.message, kTitle, MessageIcon::kError, MessageButtons::kOk);
    return false;
  }
  BuildEnvironment(state_.environment, source);
  ApplyDefaultSettings(state_.settings, state_.environment);
  ReadIni(state_.environment.GetId(kEnvIniFile), state_.settings, state_.environment);
  LoadFieldsFromSettings(fields_, state_.settings);

  state_.newRowsFound = 0;
  LoadLayouts(state_);
  FillEmptyDates();

  MakeDataFolders();
  // The login box shows the ID in use; one given on the command line is remembered for the
  // next start (the data folder exists only from here on).
  if (!loginId.commandLine.empty()) {
    fields_.loginInfo = loginId.commandLine;
    RememberLoginId(state_, loginId.commandLine);
  } else if (!loginId.environment.empty()) {
    fields_.loginInfo = loginId.environment;
  } else {
    fields_.loginInfo = RememberedLoginId(state_);
  }
  ShowFields();

  LoadDetailFiles(state_);
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
    MakeFolder(path);
    return true;
  };
  make("\\Err");
  make("\\Tmp");
  make("\\Log");
  if (make("\\pdf")) {
    static const char* const kTypes[] = {"11", "12", "13", "14", "15",
                                         "21", "22", "23", "24", "25"};
    for (const char* type : kTypes) MakeFolder(state_.PathOf("\\pdf\\") + type);
  }
  make("\\csv");
  make("\\csv_total");
  make("\\dat");
}

void MainWindow::SetLoginId(std::string_view id) {
  fields_.loginInfo = std::string(id);
  if (!id.empty()) RememberLoginId(state_, id);
  ShowFields();
}

void MainWindow::MonthlyTidy(bool force) {
  const std::string month = Now(*state_.clock).substr(0, 7);
  const std::string& key = keys::kLastTidyMonth.Text();
  if (!force && state_.settings.GetView(key) == month) return;
  TidyData(state_);
  state_.settings.Set(key, month);
}

void MainWindow::Close() {
  ReadFields();
  StoreFieldsInSettings(fields_, state_.settings);
  MonthlyTidy(false);
  WriteIni(state_.environment.GetId(kEnvIniFile), state_.settings, state_.environment);
  if (state_.errorList.Count() > 0) {
    // Appended, never rewritten: the log keeps the lines of every earlier run. CR LF like
    // every other file the program writes, so the log reads line by line in a Windows editor.
    AppendToFile(state_.PathOf("\\Err\\ErrLog.txt"), state_.errorList.JoinLines());
  }
  SaveChangedDetailFiles(state_);
}

CommandResult MainWindow::Command(MainCommand id) {
  // The waits of a run pump window messages, so a second button press would start a second
  // command inside the first; two merges must never interleave.
  if (busy_) {
    state_.desktop->Message(SJIS("他の処理を実行中です。終了してから操作してください"), kTitle,
                            MessageIcon::kWarning, MessageButtons::kOk);
    return CommandResult::kRefused;
  }
  busy_ = true;
  CommandResult result = RunCommand(id);
  busy_ = false;
  return result;
}

CommandResult MainWindow::RunCommand(MainCommand id) {
  auto online = [this](LoginRunResult (*command)(ProgramState&, OnlineCommandWindow&, Transport&)) {
    std::unique_ptr<Transport> transport = transports_(state_.settings);
    LoginRunResult run = command(state_, *this, *transport);
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
  }
  return CommandResult::kUnknown;
}

}  // namespace kestrova
