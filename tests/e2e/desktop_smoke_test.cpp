// The real kestrova with its window: on the offscreen platform it starts, and a SIGTERM (a
// desktop logging out) closes it through the close sequence; without a display it says so.
#include <gtest/gtest.h>
#include <signal.h>

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

}  // namespace
}  // namespace kestrova::test
