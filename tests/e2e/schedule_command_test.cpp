// kestrova --schedule against a systemctl stand-in on the PATH: the units for the program
// folder and login ID of the command line, what --schedule then shows, and off leaving nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "tests/e2e/headless_run.h"

namespace kestrova::test {
namespace {

TEST(ScheduleCommandTest, OnShowOffForTheFolderOfTheCommandLine) {
  TempFolder scratch;
  const std::string bin = scratch.native() + "/bin";
  const std::string config = scratch.native() + "/config";
  const std::string home = scratch.native() + "/物件 データ";
  std::filesystem::create_directories(bin);
  // The stand-in records each call; "fail" in the calls file makes it answer as a machine
  // without a user manager does.
  WriteNative(bin + "/systemctl",
              "#!/bin/sh\necho \"$*\" >> \"" + scratch.native() + "/calls\"\ngrep -q fail \"" +
                  scratch.native() +
                  "/mode\" 2>/dev/null && { echo 'Failed to connect to bus' >&2; exit 1; }\n"
                  "exit 0\n");
  ::chmod((bin + "/systemctl").c_str(), 0755);
  const std::vector<std::string> env = {"PATH=" + bin + ":" + std::getenv("PATH"),
                                        "XDG_CONFIG_HOME=" + config};
  ProgramRun on =
      RunKestrova({"--home", home, "--login-id", "agent", "--schedule", "07:30", "--deals"}, env);
  ASSERT_EQ(on.status, 0) << on.console;
  EXPECT_NE(on.console.find("自動取得を設定しました: 毎日 07:30"), std::string::npos) << on.console;
  std::vector<std::string> units = FilesBelow(config + "/systemd/user");
  ASSERT_EQ(units.size(), 2u);
  std::sort(units.begin(), units.end());
  const std::string service = ReadNative(units[0]);
  EXPECT_NE(service.find("ExecStart=\"" + KestrovaBinary() + "\" \"--home\" \"" + home +
                         "\" \"--login-id\" \"agent\" \"--headless\" \"daily\" \"--deals\"\n"),
            std::string::npos)
      << service;
  const std::string name = units[1].substr(units[1].rfind('/') + 1);
  EXPECT_EQ(ReadNative(scratch.native() + "/calls"),
            "--user daemon-reload\n--user daemon-reload\n--user enable " + name +
                "\n--user restart " + name + "\n");

  // Alone, --schedule shows what is set for this folder; no run has happened yet.
  ProgramRun shown = RunKestrova({"--home", home, "--schedule"}, env);
  EXPECT_EQ(shown.status, 0) << shown.console;
  EXPECT_NE(shown.console.find("自動取得: 毎日 07:30（物件検索、続けて成約検索）\n次回: "),
            std::string::npos)
      << shown.console;
  EXPECT_NE(shown.console.find("前回: なし"), std::string::npos) << shown.console;

  ProgramRun off = RunKestrova({"--home", home, "--schedule", "off"}, env);
  EXPECT_EQ(off.status, 0) << off.console;
  EXPECT_TRUE(FilesBelow(config).empty());

  // No user manager: said, with the crontab line, and nothing written.
  WriteNative(scratch.native() + "/mode", "fail");
  ProgramRun refused =
      RunKestrova({"--home", home, "--login-id", "agent", "--schedule", "06:00"}, env);
  EXPECT_EQ(refused.status, 1) << refused.console;
  EXPECT_NE(refused.console.find("0 6 * * * '" + KestrovaBinary() + "' '--home' '" + home + "'"),
            std::string::npos)
      << refused.console;
  EXPECT_TRUE(FilesBelow(config).empty());
  EXPECT_EQ(RunKestrova({"--home", home, "--schedule", "7:30"}, env).status, 2);
}

}  // namespace
}  // namespace kestrova::test
