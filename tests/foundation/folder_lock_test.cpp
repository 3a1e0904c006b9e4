#include "foundation/folder_lock.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif  // _WIN32

#include <filesystem>
#include <system_error>

#include "foundation/platform/platform.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

TEST(FolderLockTest, SecondHolderIsRefusedAndToldWhoHoldsTheFolder) {
  test::TempFolder home;
  FolderLock first, second;
  std::string holder = "stale";
  ASSERT_EQ(first.Acquire(home.path(), holder), 0);
  EXPECT_EQ(holder, "");
  EXPECT_EQ(first.Acquire(home.path(), holder), 0);  // held already
  const std::string me =
      "pid " + std::to_string(platform::ProcessId()) + ", host " + platform::HostName();
  EXPECT_EQ(test::ReadNative(home.native() + "/kestrova.lock"), me + "\r\n");

  // A second lock in the same process counts as another holder.
  EXPECT_EQ(second.Acquire(home.path(), holder), -1);
  EXPECT_EQ(holder, me);
  EXPECT_FALSE(second.held());
  // Its refused attempt left the holder's name in place.
  EXPECT_EQ(test::ReadNative(home.native() + "/kestrova.lock"), me + "\r\n");

  first.Release();
  EXPECT_EQ(second.Acquire(home.path(), holder), 0);
  EXPECT_TRUE(second.held());
}

TEST(FolderLockTest, LinkPlantedAsTheLockFileLeavesItsTargetAlone) {
  test::TempFolder home;
  test::WriteNative(home.native() + "/target.txt", "the user's data\r\n");
  std::error_code error;
  for (int hard = 0; hard < 2; ++hard) {
    const std::filesystem::path lock = test::FsPath(home.native() + "/kestrova.lock");
    const std::filesystem::path target = test::FsPath(home.native() + "/target.txt");
    std::filesystem::remove(lock, error);
    if (hard != 0) {
      std::filesystem::create_hard_link(target, lock, error);
    } else {
      std::filesystem::create_symlink(target, lock, error);
    }
    if (error) {
#ifndef _WIN32  // where making a link needs a right of its own, the case cannot be set up
      ADD_FAILURE() << "no link made here: " << error.message();
#endif  // _WIN32
      continue;
    }
    FolderLock planted;
    std::string holder;
    EXPECT_EQ(planted.Acquire(home.path(), holder), -2) << (hard ? "hard link" : "symbolic link");
    EXPECT_EQ(test::ReadNative(home.native() + "/target.txt"), "the user's data\r\n");
  }
}

TEST(FolderLockTest, ChildProcessesDoNotKeepTheLockAliveAfterExec) {
#ifdef _WIN32
  GTEST_SKIP() << "fork and exec; the Windows lock handle is made non-inheritable instead";
#else
  test::TempFolder home;
  std::string holder;
  {
    FolderLock lock;
    ASSERT_EQ(lock.Acquire(home.path(), holder), 0);
    // A viewer the program started outlives it; the lock must not go with it.
    int ready[2];
    ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
    pid_t child = ::fork();
    if (child == 0) {
      ::execl("/bin/sleep", "sleep", "3", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ASSERT_GT(child, 0);
    ::close(ready[1]);
    char byte;
    EXPECT_EQ(::read(ready[0], &byte, 1), 0);  // end of file: the child has run exec
    ::close(ready[0]);
    lock.Release();
    FolderLock next;
    EXPECT_EQ(next.Acquire(home.path(), holder), 0) << holder;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  }
#endif  // _WIN32
}

TEST(FolderLockTest, MissingFolderCannotBeLocked) {
  test::TempFolder home;
  FolderLock lock;
  std::string holder;
  EXPECT_EQ(lock.Acquire(home.path() + "\\missing", holder), -2);
  EXPECT_FALSE(lock.held());
}

}  // namespace
}  // namespace kestrova
