// The daily run of this program folder, from the main window's menu ("自動取得の設定...") and from
// the command line (--schedule): what is set, the next run and the last run's line; OK sets or
// removes it as --schedule does.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "ui/schedule.h"

namespace kestrova {

struct ProgramState;
struct CommandLine;

struct ScheduleFields {
  int on = 0;           // "毎日自動取得する"
  std::string time;     // "時刻" HH:MM
  int deals = 0;        // "成約検索も行う"
  std::string nextRun;  // "次回", read-only
  std::string lastRun;  // "前回", read-only: the last line of the run history in words
};

class ScheduleView {
 public:
  virtual ~ScheduleView() = default;
  virtual void ReadFields(ScheduleFields& fields) = 0;
  virtual void ShowFields(const ScheduleFields& fields) = 0;
};

// The schedule as shown: "毎日 07:30（…）" or "設定されていません", the next run, the last run.
ScheduleFields ScheduleShown(const ScheduleState& set, const Clock& clock,
                             const std::string& historyFile);
// The same as the lines --schedule prints (cp932, CR LF).
std::string ScheduleReport(const ScheduleFields& fields);

class ScheduleWindow {
 public:
  // loginId: the ID the main window uses (cp932).
  ScheduleWindow(ProgramState& state, ScheduleView& view, Scheduler& scheduler,
                 std::string loginId);
  void Open();
  // OK: sets or removes the schedule as the fields say. A failure is shown in a message and
  // the window stays; true when the window may close.
  bool Apply();

 private:
  ProgramState& state_;
  ScheduleView& view_;
  Scheduler& scheduler_;
  std::string loginId_;
  ScheduleFields fields_;
};

// kestrova --schedule [HH:MM [--deals] | off] for the program folder and login ID of the
// command line. The exit status: 0 done, 1 not done (said on out), 2 a bad time.
int RunScheduleCommand(const CommandLine& line, std::string_view argv0, Scheduler& scheduler,
                       const Clock& clock, std::FILE* out);

}  // namespace kestrova
