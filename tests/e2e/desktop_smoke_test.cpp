// The real kestrova with its window: on the offscreen platform it starts, and a SIGTERM (a
// desktop logging out) closes it through the close sequence; without a display it says so.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/e2e/headless_run.h"

namespace kestrova::test {
namespace {

TEST(DesktopSmokeTest, OffscreenWindowStartsAndClosesThroughTheCloseSequenceOnSigterm) {
  TempFolder home;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::execl(KestrovaBinary().c_str(), "kestrova", "--home", home.native().c_str(), "--login-id",
            "12345678", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // The data folders appear during the start-up sequence; the window is up right after.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(home.native() + "/dat") &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(std::filesystem::exists(home.native() + "/dat"));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(std::filesystem::exists(home.native() + "/kestrova.ini"));
  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  EXPECT_EQ(SettingOf(home.native(), "同意"), "0");  // the close sequence wrote the settings
  EXPECT_EQ(ReadNative(home.native() + "/dat/LoginId.txt"), "12345678\r\n");
}

TEST(DesktopSmokeTest, WithoutADisplayItSaysSoInOneLineAndExitsTwo) {
  TempFolder home;
  ProgramRun run =
      RunKestrova({"--home", home.native()}, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.console.find("--headless"), std::string::npos) << run.console;
  EXPECT_EQ(std::count(run.console.begin(), run.console.end(), '\n'), 1) << run.console;
  EXPECT_FALSE(std::filesystem::exists(home.native() + "/kestrova.ini"));
}

// A headless run, a scheduled search included, never loads the windows' toolkit: while a
// --headless find writes its rows (held by a full pipe), its memory maps no Qt library.
TEST(DesktopSmokeTest, HeadlessFindMapsNoQtLibrary) {
  TempFolder home;
  WriteSettings(home.native(), "[設定]\n同意=1\n");
  std::filesystem::create_directories(home.native() + "/csv_total");
  std::string csv = "\"番号\",\r\n\r\n\r\n";
  for (int i = 0; i < 4000; ++i) csv += "\"" + std::to_string(100000000 + i) + "\",2011/05/01,\r\n";
  WriteNative(home.native() + "/csv_total/TotalData_kanri_csvdata.csv", csv);
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    ::execl(KestrovaBinary().c_str(), "kestrova", "--home", home.native().c_str(), "--headless",
            "find", "--keys", "", "--type", "2", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  // The first byte of the rows: the start-up and the search are over, the rest waits.
  char byte = 0;
  ASSERT_EQ(::read(out[0], &byte, 1), 1);
  const std::string maps = ReadNative("/proc/" + std::to_string(pid) + "/maps");
  std::string rows(1, byte);
  char block[65536];
  for (ssize_t n; (n = ::read(out[0], block, sizeof block)) > 0;)
    rows.append(block, static_cast<std::size_t>(n));
  ::close(out[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_GT(rows.size(), 65536u);  // more than a pipe holds: the program was still running
  EXPECT_NE(maps.find("libc"), std::string::npos) << maps;
  EXPECT_EQ(maps.find("libQt"), std::string::npos) << maps;
}

}  // namespace
}  // namespace kestrova::test
