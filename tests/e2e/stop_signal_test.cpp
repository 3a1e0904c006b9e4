// A scheduled run ended by SIGINT: kestrova --headless search against kestrova-sim stops after
// the request in flight, keeps and merges what it fetched, leaves the last fetched date and
// closes through the close sequence.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "tests/e2e/headless_run.h"

namespace kestrova::test {
namespace {

// Starts kestrova --headless search in home, its console output going to log.
pid_t StartSearch(const std::string& home, const std::string& log) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDERR_FILENO);
    ::dup2(fd, STDOUT_FILENO);
    ::execl(KestrovaBinary().c_str(), "kestrova", "--home", home.c_str(), "--login-id", "demo",
            "--headless", "search", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

TEST(HeadlessStopTest, SigintStopsTheSearchKeepsItsRowsAndTheLastDate) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start());
  TempFolder home;
  // A wait before every request makes the run last long enough to be stopped in the middle.
  std::string settings = SettingsFor(sim);
  settings.replace(settings.find("負荷軽減スリープ=0"), std::string("負荷軽減スリープ=0").size(),
                   "負荷軽減スリープ=150");
  WriteSettings(home.native(), settings);
  const std::string log = home.native() + "/console.txt";
  const pid_t pid = StartSearch(home.native(), log);
  // Stop once the second search form has gone out and its downloads are under way.
  auto underWay = [&] {
    const std::string text = ReadNative(log);
    const std::size_t second = text.find("検索 2/6");
    return second != std::string::npos && text.find("取得中", second) != std::string::npos;
  };
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!underWay() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  const std::string console = ReadNative(log);
  ASSERT_TRUE(WIFEXITED(status)) << console;
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT) << console;
  EXPECT_NE(console.find("中止しました（検索 2/6 件を送信済み）"), std::string::npos) << console;
  EXPECT_EQ(console.find("検索 3/6"), std::string::npos) << console;
  EXPECT_EQ(SettingOf(home.native(), "最終日付"), "2011/04/30");
  EXPECT_EQ(SettingOf(home.native(), "検索回数"), "2");
  EXPECT_FALSE(FilesBelow(home.native() + "/csv_total", ".csv").empty());
  EXPECT_GT(std::filesystem::file_size(home.native() + "/dat/TotalData.txt"), 0u);
  // The history says it was stopped, with the signal's status and what it kept.
  const std::string history =
      platform::Cp932ToUtf8(ReadNative(home.native() + "/Log/RunHistory.txt"));
  EXPECT_NE(history.find("\tsearch\t130\t0\t"), std::string::npos) << history;
  EXPECT_EQ(history.substr(history.size() - 4), "\t1\r\n") << history;
}

TEST(HeadlessStopTest, SigtermEndsTheRunWhileTheServiceHoldsARequest) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--stall", "/reinsip/in0300/in030001_init.do"}));
  TempFolder home;
  // The receive time-out is far longer than the stop may take.
  WriteSettings(home.native(), SettingsFor(sim) + "受信タイムアウト=60\n");
  const std::string log = home.native() + "/console.txt";
  const pid_t pid = StartSearch(home.native(), log);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (ReadNative(log).find("HTML取得中") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // The first detail request is now held by the service.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto stopped = std::chrono::steady_clock::now();
  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  const auto took = std::chrono::steady_clock::now() - stopped;
  const std::string console = ReadNative(log);
  ASSERT_TRUE(WIFEXITED(status)) << console;
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM) << console;
  EXPECT_LT(took, std::chrono::seconds(3)) << console;
  EXPECT_NE(console.find("中止しました（検索 1/6 件を送信済み）"), std::string::npos) << console;
  // What was fetched before the stop is kept.
  EXPECT_GT(std::filesystem::file_size(home.native() + "/dat/TotalData.txt"), 0u);
}

}  // namespace
}  // namespace kestrova::test
