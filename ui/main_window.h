// The main window without a toolkit: its fields, the start-up and close sequences and the
// commands whose work is not a window of its own. MainWindow is the logic; MainWindowView is
// what shows it (the Qt MainWindowDialog, the console of headless mode, a test recorder).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/environment.h"
#include "service/main_fields.h"
#include "ui/command_result.h"

namespace kestrova {

struct ProgramState;
class Transport;
class SettingsStore;

// The main window's controls: copies the fields to and from them, and shows the title and the
// progress of a search run.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  // Controls into fields (the user's edits); a view without controls leaves them.
  virtual void ReadFields(MainFields& fields) = 0;
  // Fields into controls.
  virtual void ShowFields(const MainFields& fields) = 0;
  virtual void SetTitle(std::string_view title) = 0;
  virtual void SearchProgress(int done, int total) {
    (void)done;
    (void)total;
  }
};

// The buttons of the main window that MainWindow runs, by control id.
enum class MainCommand : int {
  kPropertySearch = 1000,     // "オンライン物件検索"
  kClosedDealSearch = 1001,   // "オンライン成約検索"
  kPresetLastPlusOne = 1008,  // "最終取得日+1～前日に設定"
  kPresetLastToToday = 1014,  // "最終取得日 ～ 今日に設定"
  kResetCounter = 1034,       // "↑ﾘｾｯﾄ"
  kFeeCheck = 1051,           // "料金確認"
};

using TransportFactory = std::function<std::unique_ptr<Transport>(const SettingsStore& settings)>;
// libcurl with the CA file of the settings.
TransportFactory CurlTransportFactory();

// Where the login ID comes from, in order: the command line, the environment variable
// KESTROVA_LOGIN_ID, the ID remembered in "\\dat\\LoginId.txt".
struct LoginIdSources {
  std::string commandLine;
  std::string environment;
};

// The main window's logic: owns its fields, runs the start-up and close sequences and its
// commands, and is the window the online commands of service/ work on.
class MainWindow final : public OnlineCommandWindow {
 public:
  MainWindow(ProgramState& state, MainWindowView& view, TransportFactory transports);

  MainFields& Fields() override { return fields_; }
  void ReadFields() override { view_.ReadFields(fields_); }
  void ShowFields() override { view_.ShowFields(fields_); }
  void SetTitle(std::string_view title) override { view_.SetTitle(title); }
  void SearchProgress(int done, int total) override { view_.SearchProgress(done, total); }

  // The start-up sequence. false when the start-up check failed (its message was shown) and
  // the program must end with exit code 1.
  bool StartUp(const EnvironmentSource& source, const LoginIdSources& loginId);
  // The close sequence: fields stored, monthly tidy, settings file, error log, changed stores.
  void Close();

  CommandResult Command(MainCommand id);
  bool busy() const { return busy_; }

  // A login ID typed at the prompt: shown in the login box and remembered.
  void SetLoginId(std::string_view id);
  // The monthly tidy of the close sequence, on its own (also the headless "tidy" command
  // with force set).
  void MonthlyTidy(bool force);

 private:
  void FillEmptyDates();
  void MakeDataFolders();
  CommandResult RunCommand(MainCommand id);

  ProgramState& state_;
  MainWindowView& view_;
  TransportFactory transports_;
  MainFields fields_;
  bool busy_ = false;
};

// The remembered login ID of the program folder, or empty.
std::string RememberedLoginId(const ProgramState& state);
bool RememberLoginId(const ProgramState& state, std::string_view id);

}  // namespace kestrova
