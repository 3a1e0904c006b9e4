// The main window without a toolkit: its fields, the start-up and close sequences and the
// commands whose work is not a window of its own. MainWindow is the logic; MainWindowView is
// what shows it (the Qt MainWindowDialog, the console of headless mode, a test recorder).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/environment.h"
#include "foundation/folder_lock.h"
#include "service/main_fields.h"
#include "ui/command_result.h"

namespace kestrova {

struct ProgramState;
class Transport;
class SettingsStore;

// The buttons of the main window that MainWindow runs, by control id.
enum class MainCommand : int {
  kPropertySearch = 1000,     // "オンライン物件検索"
  kClosedDealSearch = 1001,   // "オンライン成約検索"
  kPresetLastPlusOne = 1008,  // "最終取得日+1～前日に設定"
  kLocalSearch = 1013,        // "物件管理(ローカル検索)"
  kPresetLastToToday = 1014,  // "最終取得日 ～ 今日に設定"
  kResetCounter = 1034,       // "↑ﾘｾｯﾄ"
  kAgreement = 1036,          // "同意します" ticked or cleared
  kMaintenance = 1043,        // "メンテナンス"
  kFeeCheck = 1051,           // "料金確認"
  kCodeLookup = 1054,         // "市町村コード検索"
};

// The commands that talk to the service; only they can be stopped.
bool IsOnlineCommand(MainCommand id);

// What the close box came to: the window closed, it closes once the running command has
// stopped, or the user kept the command running.
enum class CloseResult { kClosed, kAfterRun, kKeptRunning };

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
  // A command started (busy) or ended; stoppable while it is an online one.
  virtual void ShowBusy(bool busy, bool stoppable) {
    (void)busy;
    (void)stoppable;
  }
  // Opens the window a button stands for (local search, maintenance, code lookup) modally;
  // false when this view has no such window.
  virtual bool OpenWindow(MainCommand id) {
    (void)id;
    return false;
  }
  // The close sequence has run: the window goes away and the program ends.
  virtual void EndWindow() {}
};

using TransportFactory = std::function<std::unique_ptr<Transport>(const SettingsStore& settings)>;
// The platform's HTTP client (libcurl, or WinINet on Windows) with the CA file of the settings.
TransportFactory SystemTransportFactory();

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

  // The start-up sequence. false when the start-up check failed or another process holds the
  // program folder (its message was shown) and the program must end with exit code 1. The
  // folder stays locked while the window lives.
  // localSearchOnly: the start of a run that only searches the management CSV files; the detail
  // and closed-deal stores are read only if the close's monthly tidy needs them.
  bool StartUp(const EnvironmentSource& source, const LoginIdSources& loginId,
               bool localSearchOnly = false);
  // The close sequence: fields stored, monthly tidy, settings file, error log, changed stores.
  void Close();

  CommandResult Command(MainCommand id);
  bool busy() const { return busy_; }
  // The last online command ran but took result pages still cut at 100 hits (logged 20001,
  // last fetched date kept): listings were lost.
  bool LostListings() const { return pagesCut_ > 0; }

  // The stop button: the running online command ends after the request in flight.
  void RequestStop();
  // The close box. While a command runs it asks whether to stop it; the close sequence then
  // runs once the command has ended, never inside it.
  CloseResult RequestClose();
  // SIGINT or SIGTERM reached the windowed program (ProgramState::stopSignal is set): a
  // running command stops, then the window closes as by the close box.
  void StopSignalled();
  // true when no login ID is known and the user is to be asked for one.
  bool NeedsLoginId() const { return fields_.loginInfo.empty(); }

  // A login ID typed at the prompt: shown in the login box and remembered.
  void SetLoginId(std::string_view id);
  // The monthly tidy of the close sequence, on its own (also the headless "tidy" command
  // with force set).
  // 0, or the code of the worst write that failed (logged).
  int MonthlyTidy(bool force);

 private:
  void FillEmptyDates();
  void MakeDataFolders();
  void RemoveStaleTemporaryFiles();
  CommandResult RunCommand(MainCommand id);
  bool RefusedWithoutTerms();
  void AgreementClicked();
  CommandResult OpenWindow(MainCommand id);
  void CloseAndEnd();

  ProgramState& state_;
  MainWindowView& view_;
  TransportFactory transports_;
  MainFields fields_;
  bool busy_ = false;
  FolderLock folderLock_;
  // The lines of the settings file that could not be read at start-up: the close keeps them,
  // and takes no backup of a damaged file.
  IniDamageList iniDamage_;
  bool closePending_ = false;
  bool closed_ = false;
  int pagesCut_ = 0;
  bool detailFilesLoaded_ = false;
};

// The prompt of the login ID question at start-up (cp932).
const std::string& LoginIdPrompt();

// The remembered login ID of the program folder, or empty.
std::string RememberedLoginId(const ProgramState& state);
[[nodiscard]] bool RememberLoginId(const ProgramState& state, std::string_view id);

}  // namespace kestrova
