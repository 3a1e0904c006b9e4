// The daily unattended run of one program folder: a systemd user timer on Linux, a Task
// Scheduler task on Windows. The unit texts, the schtasks arguments and the crontab line are
// built here without a platform; the programs are run through a ProgramRunner, so tests record
// the calls instead.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class Clock;

// The console program the Windows task runs (the windowed kestrova.exe has no console, so its
// exit status would not reach the Task Scheduler).
inline constexpr char kWindowsConsoleProgram[] = "kestrova-cli.exe";

struct ProgramOutput {
  int status = -1;  // the exit status; -1 when the program could not be started
  std::string output;
};
using ProgramRunner = std::function<ProgramOutput(const std::vector<std::string>& argv)>;
// Runs the program itself and waits for it (no shell).
ProgramRunner SystemProgramRunner();

// "HH:MM", 00:00 to 23:59, two digits each; false for anything else.
bool ParseScheduleTime(std::string_view text, int& hour, int& minute);

// What a schedule runs. Every text is native (UTF-8 on Linux).
struct ScheduleRequest {
  std::string program;  // absolute path of the program the timer starts
  std::string home;     // the program folder
  std::string loginId;
  std::string time;    // "HH:MM"
  bool deals = false;  // the closed-deal search after the property search
};
// The arguments of the scheduled run, the program first.
std::vector<std::string> ScheduledArguments(const ScheduleRequest& request);
// A text the schedule cannot carry (a control character in a path or the ID), or empty.
std::string RequestFault(const ScheduleRequest& request);

// "kestrova-" and eight hex digits of the MD5 of the program folder: one schedule per folder.
std::string ScheduleName(std::string_view home);

// systemd: one argument as ExecStart= reads it back (quoted, with \ " escaped, and % and $
// doubled so that neither a specifier nor a variable is expanded).
std::string SystemdQuote(std::string_view argument);
std::string ServiceUnitText(const ScheduleRequest& request);
std::string TimerUnitText(const ScheduleRequest& request);
// The line for crontab -e where no user systemd answers (cron hands it to /bin/sh).
std::string CrontabLine(const ScheduleRequest& request);
// The task's arguments of schtasks.exe /Create (current user, only while logged on, so no
// password is stored), without the program name.
std::vector<std::string> SchtasksCreateArguments(const ScheduleRequest& request);
// The longest command a task may run (schtasks /TR).
inline constexpr std::size_t kTaskCommandLimit = 261;

// What is set for a program folder.
struct ScheduleState {
  bool set = false;
  std::string time;  // "HH:MM"
  bool deals = false;
};
// The next time a daily run at "HH:MM" starts after the clock's now: "YYYY/MM/DD HH:MM".
std::string NextRunTime(const Clock& clock, std::string_view time);

// The scheduler of the platform. Messages are cp932; false when the schedule is not as asked.
class Scheduler {
 public:
  virtual ~Scheduler() = default;
  [[nodiscard]] virtual bool Set(const ScheduleRequest& request, std::string& message) = 0;
  [[nodiscard]] virtual bool Remove(const std::string& home, std::string& message) = 0;
  virtual ScheduleState Read(const std::string& home) = 0;
};

// systemd user units in unitFolder (native; $XDG_CONFIG_HOME/systemd/user by default).
class SystemdScheduler final : public Scheduler {
 public:
  SystemdScheduler(ProgramRunner runner, std::string unitFolder)
      : runner_(std::move(runner)), folder_(std::move(unitFolder)) {}
  bool Set(const ScheduleRequest& request, std::string& message) override;
  bool Remove(const std::string& home, std::string& message) override;
  ScheduleState Read(const std::string& home) override;

 private:
  ProgramOutput Systemctl(const std::vector<std::string>& arguments);
  std::string UnitPath(const std::string& home, const char* suffix) const;
  ProgramRunner runner_;
  std::string folder_;
};

// The Windows Task Scheduler through schtasks.exe.
class TaskScheduler final : public Scheduler {
 public:
  explicit TaskScheduler(ProgramRunner runner) : runner_(std::move(runner)) {}
  bool Set(const ScheduleRequest& request, std::string& message) override;
  bool Remove(const std::string& home, std::string& message) override;
  ScheduleState Read(const std::string& home) override;

 private:
  ProgramRunner runner_;
};

// $XDG_CONFIG_HOME/systemd/user, else ~/.config/systemd/user.
std::string UserUnitFolder();
// The scheduler of this platform, and the program a schedule runs (this executable, or its
// console sibling on Windows).
std::unique_ptr<Scheduler> SystemScheduler(ProgramRunner runner);
std::string ScheduledProgram();

}  // namespace kestrova
