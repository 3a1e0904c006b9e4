// The main window without a toolkit: its fields, the start-up and close sequences and the
// commands whose work is not a window of its own. A view (the Qt dialog, the console of
// headless mode, a test recorder) copies the fields to and from its controls.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/environment.h"
#include "foundation/folder_lock.h"
#include "service/main_fields.h"

namespace kestrova {

struct ProgramState;
class Transport;
class SettingsStore;

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

// Command ids of the main window's buttons.
inline constexpr int kCommandPropertySearch = 1000;
inline constexpr int kCommandClosedDealSearch = 1001;
inline constexpr int kCommandPresetLastPlusOne = 1008;
inline constexpr int kCommandPresetLastToToday = 1014;
inline constexpr int kCommandFeeCheck = 1051;
inline constexpr int kCommandResetCounter = 1034;

// What a command came to: it ran to its end, it was refused (input check, login error, another
// command still running), or the id is not a command of this window.
enum class CommandResult { kRan, kRefused, kUnknown };

using TransportFactory = std::function<std::unique_ptr<Transport>(const SettingsStore& settings)>;
// libcurl with the CA file of the settings.
TransportFactory CurlTransportFactory();

// Where the login ID comes from, in order: the command line, the environment variable
// KESTROVA_LOGIN_ID, the ID remembered in "\\dat\\LoginId.txt".
struct LoginIdSources {
  std::string commandLine;
  std::string environment;
};

class MainWindow final : public MainWindowPort {
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
  bool StartUp(const EnvironmentSource& source, const LoginIdSources& loginId);
  // The close sequence: fields stored, monthly tidy, settings file, error log, changed stores.
  void Close();

  CommandResult Command(int id);
  bool busy() const { return busy_; }

  // A login ID typed at the prompt: shown in the login box and remembered.
  void SetLoginId(std::string_view id);
  // The monthly tidy of the close sequence, on its own (also the headless "tidy" command
  // with force set).
  void MonthlyTidy(bool force);

 private:
  void FillEmptyDates();
  void MakeDataFolders();
  CommandResult RunCommand(int id);

  ProgramState& state_;
  MainWindowView& view_;
  TransportFactory transports_;
  MainFields fields_;
  bool busy_ = false;
  FolderLock folderLock_;
};

// The remembered login ID of the program folder, or empty.
std::string RememberedLoginId(const ProgramState& state);
bool RememberLoginId(const ProgramState& state, std::string_view id);

}  // namespace kestrova
