#include "foundation/environment.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "foundation/settings_store.h"
#include "foundation/sjis.h"

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
  setenv("TMPDIR", "/tmp/kestrova-env", 1);
  unsetenv("TEMP_QUICK");
  EXPECT_EQ(SpecialFolderLocation(0x1001), "\\tmp\\kestrova-env\\");
  EXPECT_EQ(SpecialFolderLocation(0x1007), "\\tmp\\kestrova-env\\");
  std::string name = SpecialFolderLocation(0x1002);
  ASSERT_EQ(name.size(), std::string("\\tmp\\kestrova-env\\t0000000.txt").size());
  EXPECT_EQ(name.substr(0, 19), "\\tmp\\kestrova-env\\t");
  EXPECT_EQ(name.substr(name.size() - 4), ".txt");
  setenv("TEMP_QUICK", "Q:\\quick\\", 1);
  EXPECT_EQ(SpecialFolderLocation(0x1007), "Q:\\quick\\");
  EXPECT_EQ(SpecialFolderLocation(0x1008).substr(0, 10), "Q:\\quick\\t");
  unsetenv("TEMP_QUICK");
  unsetenv("TMPDIR");
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
  EXPECT_EQ(path[0], '\\');
  EXPECT_EQ(ProgramPathFromArgv0("/usr/bin/kestrova"), "\\usr\\bin\\kestrova");
}

TEST(EnvironmentTest, ProgramFoundThroughTheSearchPathIsWhereItsFileIs) {
  // A bare name says nothing about the current folder: this test program's own file answers.
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = 0;
  std::string expected = self;
  for (char& c : expected) {
    if (c == '/') c = '\\';
  }
  EXPECT_EQ(ProgramPathFromArgv0("kestrova"), expected);
}

}  // namespace
}  // namespace kestrova
