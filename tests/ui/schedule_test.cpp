// The daily run's schedule: the systemd units and the schtasks command line for a folder with
// blanks and Japanese characters, on and off through a recording runner, and the units against
// systemd's own checker.
#include "ui/schedule.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/dates.h"
#include "foundation/sjis.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

using test::TempFolder;

ScheduleRequest Request(std::string program, std::string home) {
  return {std::move(program), std::move(home), "agent 01", "07:30", true};
}

// Every program the scheduler runs, and what each answers (status 0 unless told).
struct Recorder {
  std::vector<std::vector<std::string>> calls;
  ProgramOutput answer{0, ""};
  std::string failWhen;  // an argument whose call answers 1 "Failed to connect to bus"
  ProgramRunner Runner() {
    return [this](const std::vector<std::string>& argv) {
      calls.push_back(argv);
      for (const std::string& a : argv)
        if (!failWhen.empty() && a == failWhen) return ProgramOutput{1, "Failed to connect to bus"};
      return answer;
    };
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec))
    names.push_back(e.path().filename().string());
  return names;
}

const char kHome[] = "/home/agent/物件 データ/100%$x";

TEST(ScheduleTest, SystemdUnitsCarryTheFolderQuotedAndOneNamePerFolder) {
  const ScheduleRequest request = Request("/opt/ケストロバ app/bin/kestrova", kHome);
  const std::string name = ScheduleName(kHome);
  ASSERT_EQ(name.size(), 17u);
  EXPECT_EQ(name.rfind("kestrova-", 0), 0u);
  EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 9), std::string::npos);
  EXPECT_NE(ScheduleName("/home/agent/other"), name);

  const std::vector<std::string> service = Lines(ServiceUnitText(request));
  ASSERT_EQ(service.size(), 6u);
  EXPECT_EQ(service[0], "[Unit]");
  EXPECT_EQ(service[1], "Description=Kestrova daily retrieval (" + name + ")");
  EXPECT_EQ(service[3], "[Service]");
  EXPECT_EQ(service[4], "Type=oneshot");
  // % and $ doubled: neither a specifier nor a variable reaches the program.
  EXPECT_EQ(service[5],
            "ExecStart=\"/opt/ケストロバ app/bin/kestrova\" \"--home\" "
            "\"/home/agent/物件 データ/100%%$$x\" \"--login-id\" \"agent 01\" \"--headless\" "
            "\"daily\" \"--deals\"");
  EXPECT_EQ(SystemdQuote("a\\b\"c"), "\"a\\\\b\\\"c\"");

  const std::vector<std::string> timer = Lines(TimerUnitText(request));
  ASSERT_EQ(timer.size(), 10u);
  EXPECT_EQ(timer[1], "Description=Kestrova daily retrieval at 07:30 (" + name + ")");
  EXPECT_EQ(timer[3], "[Timer]");
  EXPECT_EQ(timer[4], "OnCalendar=*-*-* 07:30:00");
  EXPECT_EQ(timer[5], "Persistent=true");
  EXPECT_EQ(timer[6], "Unit=" + name + ".service");
  EXPECT_EQ(timer[8], "[Install]");
  EXPECT_EQ(timer[9], "WantedBy=timers.target");

  // cron hands its line to /bin/sh: single quotes, and % escaped for cron itself.
  EXPECT_EQ(CrontabLine(request),
            "30 7 * * * '/opt/ケストロバ app/bin/kestrova' '--home' "
            "'/home/agent/物件 データ/100\\%$x' '--login-id' 'agent 01' '--headless' 'daily' "
            "'--deals'");
}

TEST(ScheduleTest, SchtasksRunsTheConsoleProgramForTheLoggedOnUser) {
  ScheduleRequest request =
      Request("C:\\Program Files\\Kestrova\\kestrova-cli.exe", "C:\\Users\\山田 太郎\\データ\\");
  request.loginId = "id\"x";
  const std::vector<std::string> args = SchtasksCreateArguments(request);
  ASSERT_EQ(args.size(), 11u);
  EXPECT_EQ(args[0], "/Create");
  EXPECT_EQ(args[1], "/F");
  EXPECT_EQ(args[2], "/TN");
  EXPECT_EQ(args[3], ScheduleName(request.home));
  EXPECT_EQ(args[4], "/SC");
  EXPECT_EQ(args[5], "DAILY");
  EXPECT_EQ(args[6], "/ST");
  EXPECT_EQ(args[7], "07:30");
  EXPECT_EQ(args[8], "/TR");
  // CommandLineToArgvW: a closing backslash doubled before the quote, a quote escaped.
  EXPECT_EQ(args[9],
            "\"C:\\Program Files\\Kestrova\\kestrova-cli.exe\" --home "
            "\"C:\\Users\\山田 太郎\\データ\\\\\" --login-id \"id\\\"x\" --headless daily --deals");
  EXPECT_EQ(args[10], "/IT");  // only while the user is logged on: no password stored
  EXPECT_EQ(request.program.substr(request.program.rfind('\\') + 1), kWindowsConsoleProgram);

  Recorder recorder;
  TaskScheduler tasks(recorder.Runner());
  std::string message;
  ASSERT_TRUE(tasks.Set(request, message)) << Utf8(message);
  ASSERT_EQ(recorder.calls.size(), 1u);
  EXPECT_EQ(recorder.calls[0][0], "schtasks.exe");
  EXPECT_EQ(std::vector<std::string>(recorder.calls[0].begin() + 1, recorder.calls[0].end()), args);
  // What is set, read back from the task's XML (UTF-16 on the console).
  std::string xml;
  for (char c : std::string("<Task><StartBoundary>2026-12-10T06:05:00</StartBoundary>"
                            "<Arguments>--home x --headless daily --deals</Arguments></Task>")) {
    xml += c;
    xml += '\0';
  }
  recorder.answer = {0, xml};
  const ScheduleState read = tasks.Read(request.home);
  EXPECT_TRUE(read.set);
  EXPECT_EQ(read.time, "06:05");
  EXPECT_TRUE(read.deals);
  ASSERT_TRUE(tasks.Remove(request.home, message));
  EXPECT_EQ(recorder.calls.back(), (std::vector<std::string>{"schtasks.exe", "/Delete", "/F", "/TN",
                                                             ScheduleName(request.home)}));
  // A path longer than a task may run is refused before schtasks is asked.
  recorder.calls.clear();
  request.home = "C:\\" + std::string(260, 'x');
  EXPECT_FALSE(tasks.Set(request, message));
  EXPECT_TRUE(recorder.calls.empty());
}

TEST(ScheduleTest, OnAndOffThroughSystemctlLeaveNothingBehind) {
  TempFolder config;
  const std::string units = config.native() + "/systemd/user";
  Recorder recorder;
  SystemdScheduler scheduler(recorder.Runner(), units);
  const ScheduleRequest request = Request("/usr/bin/kestrova", kHome);
  const std::string name = ScheduleName(kHome);
  std::string message;

  ASSERT_TRUE(scheduler.Set(request, message)) << Utf8(message);
  using Argv = std::vector<std::string>;
  EXPECT_EQ(recorder.calls,
            (std::vector<Argv>{{"systemctl", "--user", "daemon-reload"},
                               {"systemctl", "--user", "daemon-reload"},
                               {"systemctl", "--user", "enable", name + ".timer"},
                               {"systemctl", "--user", "restart", name + ".timer"}}));
  EXPECT_EQ(test::ReadNative(units + "/" + name + ".service"), ServiceUnitText(request));
  EXPECT_EQ(test::ReadNative(units + "/" + name + ".timer"), TimerUnitText(request));
  const ScheduleState read = scheduler.Read(kHome);
  EXPECT_TRUE(read.set);
  EXPECT_EQ(read.time, "07:30");
  EXPECT_TRUE(read.deals);
  EXPECT_FALSE(scheduler.Read("/home/agent/other").set);

  recorder.calls.clear();
  ASSERT_TRUE(scheduler.Remove(kHome, message));
  EXPECT_EQ(recorder.calls,
            (std::vector<Argv>{{"systemctl", "--user", "disable", "--now", name + ".timer"},
                               {"systemctl", "--user", "daemon-reload"}}));
  EXPECT_TRUE(FilesIn(units).empty());
  EXPECT_FALSE(scheduler.Read(kHome).set);
  // Off again: nothing to do, nothing asked.
  recorder.calls.clear();
  ASSERT_TRUE(scheduler.Remove(kHome, message));
  EXPECT_TRUE(recorder.calls.empty());

  // The timer that systemctl will not enable is not left behind either.
  recorder.failWhen = "enable";
  EXPECT_FALSE(scheduler.Set(request, message));
  EXPECT_TRUE(FilesIn(units).empty());
}

TEST(ScheduleTest, WithoutAUserManagerNothingIsWrittenAndTheCrontabLineIsGiven) {
  TempFolder config;
  Recorder recorder;
  recorder.failWhen = "daemon-reload";
  SystemdScheduler scheduler(recorder.Runner(), config.native() + "/systemd/user");
  const ScheduleRequest request = Request("/usr/bin/kestrova", kHome);
  std::string message;
  EXPECT_FALSE(scheduler.Set(request, message));
  EXPECT_NE(Utf8(message).find("Failed to connect to bus"), std::string::npos) << Utf8(message);
  EXPECT_NE(Utf8(message).find(CrontabLine(request)), std::string::npos) << Utf8(message);
  EXPECT_TRUE(FilesIn(config.native()).empty());
}

TEST(ScheduleTest, RequestsThatCannotBeScheduledAreRefused) {
  int hour = 0, minute = 0;
  EXPECT_TRUE(ParseScheduleTime("00:00", hour, minute));
  EXPECT_TRUE(ParseScheduleTime("23:59", hour, minute));
  EXPECT_EQ(hour * 60 + minute, 23 * 60 + 59);
  for (const char* bad : {"24:00", "7:30", "07:60", "07-30", "07:3a", "", "07:300"})
    EXPECT_FALSE(ParseScheduleTime(bad, hour, minute)) << bad;

  ScheduleRequest request = Request("/usr/bin/kestrova", "/home/a\nb");
  EXPECT_FALSE(RequestFault(request).empty());
  request.home = "/home/a";
  EXPECT_TRUE(RequestFault(request).empty());
  request.loginId.clear();
  EXPECT_FALSE(RequestFault(request).empty());
}

TEST(ScheduleTest, NextRunIsTodayWhileTheTimeIsAheadElseTomorrow) {
  EXPECT_EQ(NextRunTime(FixedClock("2026/12/10 07:29:59"), "07:30"), "2026/12/10 07:30");
  EXPECT_EQ(NextRunTime(FixedClock("2026/12/10 07:30:00"), "07:30"), "2026/12/11 07:30");
  EXPECT_EQ(NextRunTime(FixedClock("2026/12/31 23:00:00"), "07:30"), "2027/01/01 07:30");
}

// systemd's own checker on the units for a folder with blanks, Japanese and a percent sign.
TEST(ScheduleTest, SystemdAnalyzeVerifiesTheUnits) {
  std::string output;
  if (platform::RunAndWait({"systemd-analyze", "--version"}, output) != 0)
    GTEST_SKIP() << "systemd-analyze cannot run here: " << output;
  TempFolder folder;
  // The checker wants the program to exist: a copy of a real one in a folder with blanks.
  const std::string programFolder = folder.native() + "/ケストロバ app";
  std::filesystem::create_directories(programFolder);
  std::filesystem::copy_file("/bin/true", programFolder + "/kestrova");
  const ScheduleRequest request = Request(programFolder + "/kestrova", kHome);
  const std::string runtime = folder.native() + "/runtime";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  const std::string name = ScheduleName(kHome);
  test::WriteNative(folder.native() + "/" + name + ".service", ServiceUnitText(request));
  test::WriteNative(folder.native() + "/" + name + ".timer", TimerUnitText(request));
  // The checker sets up a user manager's paths, which needs a runtime folder.
  const int status = platform::RunAndWait(
      {"env", "XDG_RUNTIME_DIR=" + runtime, "systemd-analyze", "--user", "verify",
       folder.native() + "/" + name + ".timer", folder.native() + "/" + name + ".service"},
      output);
  EXPECT_EQ(status, 0) << output;
  // Not even a warning about either unit.
  EXPECT_EQ(output.find(name), std::string::npos) << output;
}

// The real user manager, where this machine has one: the timer is listed, then gone.
TEST(ScheduleTest, RealSystemctlListsTheTimerAndForgetsItAgain) {
  std::string output;
  if (platform::RunAndWait({"systemctl", "--user", "show-environment"}, output) != 0)
    GTEST_SKIP() << "no user systemd answers here: " << output.substr(0, output.find('\n'));
  TempFolder home;
  SystemdScheduler scheduler(SystemProgramRunner(), UserUnitFolder());
  std::string message;
  ASSERT_TRUE(scheduler.Set(Request("/bin/true", home.native()), message)) << Utf8(message);
  platform::RunAndWait({"systemctl", "--user", "list-timers", "--all"}, output);
  const bool listed = output.find(ScheduleName(home.native())) != std::string::npos;
  ASSERT_TRUE(scheduler.Remove(home.native(), message)) << Utf8(message);
  EXPECT_TRUE(listed) << output;
  platform::RunAndWait({"systemctl", "--user", "list-timers", "--all"}, output);
  EXPECT_EQ(output.find(ScheduleName(home.native())), std::string::npos) << output;
}

}  // namespace
}  // namespace kestrova
