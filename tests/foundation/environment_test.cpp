#include "foundation/environment.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif  // _WIN32

#include <cstdlib>

#include "foundation/platform/platform.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "tests/support/scoped_environment.h"

namespace kestrova {
namespace {

TEST(EnvironmentTest, DerivesTheProgramPaths) {
  SettingsStore env;
  BuildEnvironment(env, {"\\home\\agent\\kestrova\\kestrova"});
  EXPECT_STREQ(env.GetId(kEnvProgramPath), "\\home\\agent\\kestrova\\kestrova");
  EXPECT_STREQ(env.GetId(kEnvIniFile), "\\home\\agent\\kestrova\\kestrova.ini");
  EXPECT_STREQ(env.GetId(kEnvProgramBaseName), "kestrova");
  EXPECT_STREQ(env.GetId(kEnvProgramFileName), "kestrova");
  EXPECT_STREQ(env.GetId(kEnvProgramFolderWithSlash), "\\home\\agent\\kestrova\\");
  EXPECT_STREQ(env.GetId(kEnvProgramFolder), "\\home\\agent\\kestrova");
  EXPECT_EQ(std::string(env.GetId(kEnvFirstMarker)), Sjis("■■■環境変数1 __argv[0]より■■■"));
  EXPECT_EQ(std::string(env.GetId(kEnvEndMarker)), Sjis("■■■環境変数定義終了■■■"));
  // No Windows folder here: the ids derived from it are empty.
  EXPECT_STREQ(env.GetId(kEnvWindowsFolder), "");
  EXPECT_STREQ(env.GetId(kEnvProgramFiles), "");
}

TEST(EnvironmentTest, TemporaryFolderAndNames) {
  const test::ScopedTempFolderVariable tmp("kestrova-env");
  const std::string& folder = tmp.folder;
  {
    test::ScopedEnv quick("TEMP_QUICK", std::nullopt);
    EXPECT_EQ(SpecialFolderLocation(0x1001), folder);
    EXPECT_EQ(SpecialFolderLocation(0x1007), folder);
    std::string name = SpecialFolderLocation(0x1002);
    ASSERT_EQ(name.size(), folder.size() + std::string("t0000000.txt").size());
    EXPECT_EQ(name.substr(0, folder.size() + 1), folder + "t");
    EXPECT_EQ(name.substr(name.size() - 4), ".txt");
  }
  test::ScopedEnv quick("TEMP_QUICK", "Q:\\quick\\");
  EXPECT_EQ(SpecialFolderLocation(0x1007), "Q:\\quick\\");
  EXPECT_EQ(SpecialFolderLocation(0x1008).substr(0, 10), "Q:\\quick\\t");
  EXPECT_EQ(SpecialFolderLocation(0x7777), "");
  EXPECT_EQ(SpecialFolderLocation(0x1003), "");
}

TEST(EnvironmentTest, MacrosContractProgramFolderFirst) {
  SettingsStore env;
  BuildEnvironment(env, {"\\opt\\k\\kestrova"});
  env.SetId(kEnvWindowsDrive, "\\opt");  // pretend the drive is the parent
  std::string text = "\\opt\\k\\csv;\\opt\\other";
  ContractMacros(text, env);
  EXPECT_EQ(text, "$ARGV0$\\csv;$WINDRIVE$\\other");
  ExpandMacros(text, env);
  EXPECT_EQ(text, "\\opt\\k\\csv;\\opt\\other");
}

TEST(EnvironmentTest, ProgramPathFromRelativeArgv0) {
  std::string path = ProgramPathFromArgv0("bin/kestrova");
  EXPECT_EQ(path.substr(path.size() - 13), "\\bin\\kestrova");
  EXPECT_EQ(path.rfind(platform::ProgramPath(platform::CurrentFolder()), 0), 0u);
  EXPECT_EQ(ProgramPathFromArgv0("/usr/bin/kestrova"), "\\usr\\bin\\kestrova");
}

TEST(EnvironmentTest, ProgramFoundThroughTheSearchPathIsWhereItsFileIs) {
  // A bare name says nothing about the current folder: this test program's own file answers.
#ifdef _WIN32
  GTEST_SKIP() << "compares with /proc/self/exe";
#else
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = 0;
  std::string expected = self;
  for (char& c : expected) {
    if (c == '/') c = '\\';
  }
  EXPECT_EQ(ProgramPathFromArgv0("kestrova"), expected);
#endif  // _WIN32
}

}  // namespace
}  // namespace kestrova
