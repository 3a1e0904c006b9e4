#include "ui/schedule.h"

#include <filesystem>

#include "foundation/dates.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"

namespace kestrova {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool HasControl(std::string_view text) {
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

// A native path as the file functions take it (cp932, "\\").
std::string FilePath(const std::string& native) { return platform::ProgramPath(native); }

std::string FirstLine(const std::string& output) {
  std::string line = output.substr(0, output.find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::string CronQuote(std::string_view argument) {
  std::string quoted = "'";
  for (char c : argument) {
    if (c == '\'') {
      quoted += "'\\''";
    } else if (c == '%') {
      quoted += "\\%";  // cron turns a bare % into a line end
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string Describe(const ScheduleRequest& request) {
  return SJIS("毎日 ") + request.time +
         (request.deals ? SJIS("（物件検索、続けて成約検索）") : SJIS("（物件検索）"));
}

}  // namespace

ProgramRunner SystemProgramRunner() {
  return [](const std::vector<std::string>& argv) {
    ProgramOutput result;
    result.status = platform::RunAndWait(argv, result.output);
    return result;
  };
}

bool ParseScheduleTime(std::string_view text, int& hour, int& minute) {
  if (text.size() != 5 || text[2] != ':') return false;
  for (int i : {0, 1, 3, 4})
    if (!IsDigit(text[i])) return false;
  hour = (text[0] - '0') * 10 + (text[1] - '0');
  minute = (text[3] - '0') * 10 + (text[4] - '0');
  return hour < 24 && minute < 60;
}

std::vector<std::string> ScheduledArguments(const ScheduleRequest& request) {
  std::vector<std::string> args = {request.program, "--home",     request.home, "--login-id",
                                   request.loginId, "--headless", "daily"};
  if (request.deals) args.push_back("--deals");
  return args;
}

std::string RequestFault(const ScheduleRequest& request) {
  int hour = 0, minute = 0;
  if (!ParseScheduleTime(request.time, hour, minute))
    return SJIS("時刻は HH:MM（00:00～23:59）で指定してください: ") + Sjis(request.time);
  if (request.loginId.empty())
    return SJIS("ログインIDが決まっていません（--login-id で指定してください）");
  if (request.program.empty()) return SJIS("プログラムの場所が分かりません");
  for (const std::string* text : {&request.program, &request.home, &request.loginId})
    if (HasControl(*text)) return SJIS("制御文字を含む値は自動取得に使えません: ") + Sjis(*text);
  return std::string();
}

std::string ScheduleName(std::string_view home) { return "kestrova-" + MdText(home).substr(0, 8); }

std::string SystemdQuote(std::string_view argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '\\' || c == '"') quoted += '\\';
    if (c == '%' || c == '$') quoted += c;
    quoted += c;
  }
  return quoted + "\"";
}

std::string ServiceUnitText(const ScheduleRequest& request) {
  std::string exec;
  for (const std::string& arg : ScheduledArguments(request))
    exec += (exec.empty() ? "" : " ") + SystemdQuote(arg);
  return "[Unit]\n"
         "Description=Kestrova daily retrieval (" +
         ScheduleName(request.home) +
         ")\n"
         "\n"
         "[Service]\n"
         "Type=oneshot\n"
         "ExecStart=" +
         exec + "\n";
}

std::string TimerUnitText(const ScheduleRequest& request) {
  const std::string name = ScheduleName(request.home);
  return "[Unit]\n"
         "Description=Kestrova daily retrieval at " +
         request.time + " (" + name +
         ")\n"
         "\n"
         "[Timer]\n"
         "OnCalendar=*-*-* " +
         request.time +
         ":00\n"
         // A run missed while the machine was off starts at the next start.
         "Persistent=true\n"
         "Unit=" +
         name +
         ".service\n"
         "\n"
         "[Install]\n"
         "WantedBy=timers.target\n";
}

std::string CrontabLine(const ScheduleRequest& request) {
  int hour = 0, minute = 0;
  (void)ParseScheduleTime(request.time, hour, minute);
  std::string line = std::to_string(minute) + " " + std::to_string(hour) + " * * *";
  for (const std::string& arg : ScheduledArguments(request)) line += " " + CronQuote(arg);
  return line;
}

std::vector<std::string> SchtasksCreateArguments(const ScheduleRequest& request) {
  return {"/Create", "/F",
          "/TN",     ScheduleName(request.home),
          "/SC",     "DAILY",
          "/ST",     request.time,
          "/TR",     WindowsCommandLine(ScheduledArguments(request)),
          "/IT"};
}

std::string NextRunTime(const Clock& clock, std::string_view time) {
  const std::string now = Now(clock);
  // Today while the time is still ahead, else tomorrow.
  const std::string day =
      time > std::string_view(now).substr(11, 5) ? now : AddToDate(now, kDays, 1);
  return day.substr(0, 11) + std::string(time);
}

ProgramOutput SystemdScheduler::Systemctl(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {"systemctl", "--user"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return runner_(argv);
}

std::string SystemdScheduler::UnitPath(const std::string& home, const char* suffix) const {
  return folder_ + "/" + ScheduleName(home) + suffix;
}

bool SystemdScheduler::Set(const ScheduleRequest& request, std::string& message) {
  message = RequestFault(request);
  if (!message.empty()) return false;
  // Asked first, so that nothing is written for a manager that is not there.
  const ProgramOutput probe = Systemctl({"daemon-reload"});
  if (probe.status != 0) {
    message = SJIS("ユーザーの systemd が応答しないため、自動取得を設定できませんでした（") +
              Sjis(FirstLine(probe.output)) +
              SJIS("）。\r\n代わりに crontab -e で次の行を加えてください:\r\n") +
              Sjis(CrontabLine(request));
    return false;
  }
  const std::string service = UnitPath(request.home, ".service");
  const std::string timer = UnitPath(request.home, ".timer");
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  if (!WriteFileAtomic(FilePath(service), ServiceUnitText(request)) ||
      !WriteFileAtomic(FilePath(timer), TimerUnitText(request))) {
    (void)RemoveFile(FilePath(service));
    message = SJIS("タイマーを書き込めませんでした: ") + Sjis(folder_);
    return false;
  }
  const std::string unit = ScheduleName(request.home) + ".timer";
  ProgramOutput enabled = Systemctl({"daemon-reload"});
  if (enabled.status == 0) enabled = Systemctl({"enable", unit});
  // A restart arms a timer that was already running with the time just written.
  if (enabled.status == 0) enabled = Systemctl({"restart", unit});
  if (enabled.status != 0) {
    (void)RemoveFile(FilePath(service));
    (void)RemoveFile(FilePath(timer));
    (void)Systemctl({"daemon-reload"});
    message = SJIS("タイマーを有効にできませんでした: ") + Sjis(FirstLine(enabled.output));
    return false;
  }
  message = SJIS("自動取得を設定しました: ") + Describe(request);
  return true;
}

bool SystemdScheduler::Remove(const std::string& home, std::string& message) {
  const std::string service = UnitPath(home, ".service");
  const std::string timer = UnitPath(home, ".timer");
  if (!FileExists(FilePath(service)) && !FileExists(FilePath(timer))) {
    message = SJIS("自動取得は設定されていません");
    return true;
  }
  // Without a manager there is nothing enabled to stop; the files go all the same.
  const ProgramOutput disabled = Systemctl({"disable", "--now", ScheduleName(home) + ".timer"});
  auto gone = [](const std::string& path) {
    return RemoveFile(FilePath(path)) || !FileExists(FilePath(path));
  };
  const bool removed = gone(timer) && gone(service);
  if (disabled.status == 0) (void)Systemctl({"daemon-reload"});
  if (!removed) {
    message = SJIS("タイマーを削除できませんでした: ") + Sjis(timer);
    return false;
  }
  message = SJIS("自動取得を解除しました");
  return true;
}

ScheduleState SystemdScheduler::Read(const std::string& home) {
  ScheduleState state;
  std::string timer, service;
  if (!ReadWholeFile(FilePath(UnitPath(home, ".timer")), timer)) return state;
  (void)ReadWholeFile(FilePath(UnitPath(home, ".service")), service);
  const std::string mark = "\nOnCalendar=*-*-* ";
  const std::size_t at = timer.find(mark);
  int hour = 0, minute = 0;
  if (at == std::string::npos ||
      !ParseScheduleTime(std::string_view(timer).substr(at + mark.size(), 5), hour, minute))
    return state;
  state.set = true;
  state.time = timer.substr(at + mark.size(), 5);
  state.deals = service.find(" " + SystemdQuote("--deals") + "\n") != std::string::npos;
  return state;
}

bool TaskScheduler::Set(const ScheduleRequest& request, std::string& message) {
  message = RequestFault(request);
  if (!message.empty()) return false;
  std::vector<std::string> argv = SchtasksCreateArguments(request);
  if (WindowsCommandLine(ScheduledArguments(request)).size() > kTaskCommandLimit) {
    message =
        SJIS("プログラムフォルダのパスが長すぎるため、タスクを作れません: ") + Sjis(request.home);
    return false;
  }
  argv.insert(argv.begin(), "schtasks.exe");
  const ProgramOutput created = runner_(argv);
  if (created.status != 0) {
    message = SJIS("タスクを作れませんでした: ") + FirstLine(created.output);
    return false;
  }
  message = SJIS("自動取得を設定しました: ") + Describe(request);
  return true;
}

bool TaskScheduler::Remove(const std::string& home, std::string& message) {
  if (!Read(home).set) {
    message = SJIS("自動取得は設定されていません");
    return true;
  }
  const ProgramOutput deleted =
      runner_({"schtasks.exe", "/Delete", "/F", "/TN", ScheduleName(home)});
  if (deleted.status != 0) {
    message = SJIS("タスクを削除できませんでした: ") + FirstLine(deleted.output);
    return false;
  }
  message = SJIS("自動取得を解除しました");
  return true;
}

ScheduleState TaskScheduler::Read(const std::string& home) {
  ScheduleState state;
  ProgramOutput query =
      runner_({"schtasks.exe", "/Query", "/TN", ScheduleName(home), "/XML", "ONE"});
  if (query.status != 0) return state;
  // The XML may come as UTF-16: its tags are ASCII, so the zero bytes can go.
  std::string xml;
  for (char c : query.output)
    if (c != '\0') xml += c;
  const std::string start = "<StartBoundary>";
  const std::size_t at = xml.find(start);
  const std::size_t t = at == std::string::npos ? at : xml.find('T', at + start.size());
  int hour = 0, minute = 0;
  if (t == std::string::npos || !ParseScheduleTime(xml.substr(t + 1, 5), hour, minute))
    return state;
  state.set = true;
  state.time = xml.substr(t + 1, 5);
  const std::size_t args = xml.find("<Arguments>");
  state.deals =
      args != std::string::npos &&
      xml.substr(args, xml.find("</Arguments>", args) - args).find("--deals") != std::string::npos;
  return state;
}

std::string UserUnitFolder() {
  const auto config = platform::EnvironmentVariable("XDG_CONFIG_HOME");
  if (config && !config->empty() && (*config)[0] == '/') return *config + "/systemd/user";
  const auto home = platform::EnvironmentVariable("HOME");
  return (home ? *home : std::string()) + "/.config/systemd/user";
}

std::unique_ptr<Scheduler> SystemScheduler(ProgramRunner runner) {
#ifdef _WIN32
  return std::make_unique<TaskScheduler>(std::move(runner));
#else
  return std::make_unique<SystemdScheduler>(std::move(runner), UserUnitFolder());
#endif  // _WIN32
}

std::string ScheduledProgram() {
  const std::string exe = platform::ExecutablePath();
#ifdef _WIN32
  return exe.substr(0, exe.find_last_of("\\/") + 1) + kWindowsConsoleProgram;
#else
  return exe;
#endif  // _WIN32
}

}  // namespace kestrova
