#include "ui/schedule_window.h"

#include "foundation/desktop.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "store/program_state.h"
#include "ui/command_line.h"
#include "ui/main_window.h"
#include "ui/run_history.h"
#include "ui/start_up.h"

namespace kestrova {

namespace {

constexpr char kDefaultTime[] = "07:30";

std::string Home(const ProgramState& state) { return platform::NativePath(state.ProgramFolder()); }

}  // namespace

ScheduleFields ScheduleShown(const ScheduleState& set, const Clock& clock,
                             const std::string& historyFile) {
  ScheduleFields fields;
  fields.on = set.set ? 1 : 0;
  fields.time = set.set ? set.time : kDefaultTime;
  fields.deals = set.deals ? 1 : 0;
  if (set.set) fields.nextRun = NextRunTime(clock, set.time);
  fields.lastRun = DescribeHistoryLine(LastHistoryLine(historyFile));
  return fields;
}

std::string ScheduleReport(const ScheduleFields& fields) {
  std::string text = SJIS("自動取得: ");
  if (fields.on != 0) {
    text += SJIS("毎日 ") + fields.time +
            (fields.deals != 0 ? SJIS("（物件検索、続けて成約検索）") : SJIS("（物件検索）")) +
            "\r\n" + SJIS("次回: ") + fields.nextRun;
  } else {
    text += SJIS("設定されていません");
  }
  return text + "\r\n" + SJIS("前回: ") + (fields.lastRun.empty() ? SJIS("なし") : fields.lastRun) +
         "\r\n";
}

ScheduleWindow::ScheduleWindow(ProgramState& state, ScheduleView& view, Scheduler& scheduler,
                               std::string loginId)
    : state_(state), view_(view), scheduler_(scheduler), loginId_(std::move(loginId)) {}

void ScheduleWindow::Open() {
  fields_ =
      ScheduleShown(scheduler_.Read(Home(state_)), *state_.clock, state_.PathOf(kRunHistoryFile));
  view_.ShowFields(fields_);
}

bool ScheduleWindow::Apply() {
  view_.ReadFields(fields_);
  std::string message;
  bool done = false;
  if (fields_.on != 0) {
    const ScheduleRequest request{ScheduledProgram(), Home(state_), Utf8(loginId_),
                                  Utf8(fields_.time), fields_.deals != 0};
    done = scheduler_.Set(request, message);
  } else {
    done = scheduler_.Remove(Home(state_), message);
  }
  if (!done) {
    state_.desktop->Message(message, "Kestrova", MessageIcon::kError, MessageButtons::kOk);
    return false;
  }
  return true;
}

int RunScheduleCommand(const CommandLine& line, std::string_view argv0, Scheduler& scheduler,
                       const Clock& clock, std::FILE* out) {
  StartUp start;
  std::string error;
  if (!FindStartUp(line, argv0, start, error)) {
    std::fprintf(out, "kestrova: %s\n", error.c_str());
    return 1;
  }
  ProgramState state;
  BuildEnvironment(state.environment, start.source);
  const std::string home = Home(state);
  auto say = [&](const std::string& cp932) {
    std::string text = Utf8(cp932);
    std::erase(text, '\r');
    std::fprintf(out, "%s%s", text.c_str(), text.empty() || text.back() != '\n' ? "\n" : "");
  };
  if (line.scheduleTime.empty()) {
    say(SJIS("プログラムフォルダ: ") + Sjis(home) + "\r\n" +
        ScheduleReport(ScheduleShown(scheduler.Read(home), clock, state.PathOf(kRunHistoryFile))));
    return 0;
  }
  std::string message;
  if (line.scheduleTime == "off") {
    const bool removed = scheduler.Remove(home, message);
    say(message);
    return removed ? 0 : 1;
  }
  int hour = 0, minute = 0;
  if (!ParseScheduleTime(line.scheduleTime, hour, minute)) {
    std::fprintf(out, "kestrova: --schedule needs HH:MM (00:00 to 23:59) or off, not %s\n",
                 line.scheduleTime.c_str());
    return 2;
  }
  // The ID of this command line as a run would find it: given, in the environment, remembered.
  std::string loginId = !start.loginId.commandLine.empty()   ? start.loginId.commandLine
                        : !start.loginId.environment.empty() ? start.loginId.environment
                                                             : RememberedLoginId(state);
  const ScheduleRequest request{ScheduledProgram(), home, Utf8(loginId), line.scheduleTime,
                                line.deals};
  const bool set = scheduler.Set(request, message);
  say(message);
  if (set) say(SJIS("次回: ") + NextRunTime(clock, request.time));
  return set ? 0 : 1;
}

}  // namespace kestrova
