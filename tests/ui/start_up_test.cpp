// Where a run starts: a new home made and prepared with the shipped files, a home named with a
// trail byte 0x5C, what an existing home keeps, the per-user folder of an installed program, and
// the login-ID sources.
#include "ui/start_up.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace kestrova::test {
namespace {

namespace fs = std::filesystem;

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(shipped.native() + "/Setting");
    WriteNative(shipped.native() + "/Setting/Output_CSV.txt", "csv\r\n");
    WriteNative(shipped.native() + "/Setting/zip_code.txt", "zip\r\n");
    WriteNative(shipped.native() + "/利用規約.txt", Sjis("規約\r\n"));
  }
  std::set<std::string> Entries(const std::string& native) const {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(FsPath(native))) {
      names.insert(GenericUtf8(fs::relative(e.path(), FsPath(native))));
    }
    return names;
  }

  TempFolder shipped;
  TempFolder parent;
};

TEST_F(StartUpTest, NewHomeEndingInTrailByte0x5CReceivesSettingAndTerms) {
  // 表, ソ and 能 end in the byte 0x5C, the path separator; the folders between are missing.
  for (const char* name : {"新/物件表", "ソ", "機能"}) {
    const std::string native = parent.native() + "/" + name;
    ASSERT_TRUE(PrepareHome(platform::ProgramPath(native), shipped.path())) << name;
    EXPECT_EQ(ReadNative(native + "/Setting/Output_CSV.txt"), "csv\r\n") << name;
    EXPECT_EQ(ReadNative(native + "/Setting/zip_code.txt"), "zip\r\n") << name;
    EXPECT_EQ(ReadNative(native + "/利用規約.txt"), Sjis("規約\r\n")) << name;
  }
  // Nothing was made at a 0x5C inside a character.
  EXPECT_EQ(Entries(parent.native()),
            (std::set<std::string>{
                "新", "新/物件表", "新/物件表/Setting", "新/物件表/Setting/Output_CSV.txt",
                "新/物件表/Setting/zip_code.txt", "新/物件表/利用規約.txt", "ソ", "ソ/Setting",
                "ソ/Setting/Output_CSV.txt", "ソ/Setting/zip_code.txt", "ソ/利用規約.txt", "機能",
                "機能/Setting", "機能/Setting/Output_CSV.txt", "機能/Setting/zip_code.txt",
                "機能/利用規約.txt"}));
}

TEST_F(StartUpTest, HomeKeepsItsOwnFilesAndGetsOnlyWhatItLacks) {
  const std::string native = parent.native() + "/home";
  fs::create_directories(native + "/Setting");
  WriteNative(native + "/Setting/Output_CSV.txt", "mine\r\n");
  ASSERT_TRUE(PrepareHome(platform::ProgramPath(native), shipped.path()));
  // The user's edited file stays; a shipped file the home lacks is added.
  EXPECT_EQ(Entries(native + "/Setting"),
            (std::set<std::string>{"Output_CSV.txt", "zip_code.txt"}));
  EXPECT_EQ(ReadNative(native + "/Setting/Output_CSV.txt"), "mine\r\n");
  EXPECT_EQ(ReadNative(native + "/利用規約.txt"), Sjis("規約\r\n"));

  WriteNative(native + "/利用規約.txt", "edited");
  WriteNative(native + "/Setting/zip_code.txt", "edited zip");
  WriteNative(shipped.native() + "/Setting/zip_code.txt", "newer zip");
  ASSERT_TRUE(PrepareHome(platform::ProgramPath(native), shipped.path()));
  EXPECT_EQ(ReadNative(native + "/利用規約.txt"), "edited");
  EXPECT_EQ(ReadNative(native + "/Setting/zip_code.txt"), "edited zip");
}

TEST_F(StartUpTest, CodeTableTheLookupScrambledIsNotCopiedAgain) {
  const std::string native = parent.native() + "/home";
  fs::create_directories(native + "/Setting");
  // The lookup turned the user's plain table into zip_code.dat and removed the plain file.
  WriteNative(native + "/Setting/zip_code.dat", "the user's own table");
  ASSERT_TRUE(PrepareHome(platform::ProgramPath(native), shipped.path()));
  EXPECT_EQ(Entries(native + "/Setting"),
            (std::set<std::string>{"Output_CSV.txt", "zip_code.dat"}));
  EXPECT_EQ(ReadNative(native + "/Setting/zip_code.dat"), "the user's own table");
  // With neither file the shipped plain table comes.
  fs::remove(native + "/Setting/zip_code.dat");
  ASSERT_TRUE(PrepareHome(platform::ProgramPath(native), shipped.path()));
  EXPECT_TRUE(fs::exists(native + "/Setting/zip_code.txt"));
}

TEST_F(StartUpTest, InstalledProgramKeepsItsDataInTheUserDataFolder) {
  // <prefix>/bin/kestrova without Setting/ beside it, the data in <prefix>/share/kestrova.
  const std::string prefix = parent.native() + "/usr";
  fs::create_directories(prefix + "/bin");
  fs::create_directories(prefix + "/share");
  fs::rename(shipped.native(), prefix + "/share/kestrova");
  // The per-user folder: %LOCALAPPDATA%\Kestrova for the per-user install on Windows, whose
  // program folder the user may write.
  TempFolder data;
#ifdef _WIN32
  const char* const dataVariable = "LOCALAPPDATA";
  const std::string userName = "\\Kestrova";
#else
  const char* const dataVariable = "XDG_DATA_HOME";
  const std::string userName = "/kestrova";
#endif  // _WIN32
  const std::string userHome = data.native() + userName;
  ScopedEnv dataHome(dataVariable, data.native());

  StartUp first;
  std::string error;
  const bool found = FindStartUp(CommandLine{}, prefix + "/bin/kestrova", first, error);
  ASSERT_TRUE(found) << error;
  EXPECT_EQ(first.source.programPath, platform::ProgramPath(userHome) + "\\kestrova");
  EXPECT_EQ(first.createdHome, userHome);
  EXPECT_EQ(Entries(userHome), (std::set<std::string>{"Setting", "Setting/Output_CSV.txt",
                                                      "Setting/zip_code.txt", "利用規約.txt"}));

  // A later start after the user edited one file and a newer package shipped another.
  WriteNative(userHome + "/Setting/Output_CSV.txt", "mine\r\n");
  WriteNative(prefix + "/share/kestrova/Setting/Output_CSV.txt", "newer csv\r\n");
  WriteNative(prefix + "/share/kestrova/Setting/new_table.txt", "new\r\n");
  StartUp later;
  ASSERT_TRUE(FindStartUp(CommandLine{}, prefix + "/bin/kestrova", later, error)) << error;
  EXPECT_TRUE(later.createdHome.empty());
  EXPECT_EQ(ReadNative(userHome + "/Setting/Output_CSV.txt"), "mine\r\n");
  EXPECT_EQ(ReadNative(userHome + "/Setting/new_table.txt"), "new\r\n");

  // An unusable user data folder stops the start with its name.
  WriteNative(parent.native() + "/file", "x");
  SetEnv(dataVariable, parent.native() + "/file");
  StartUp blocked;
  EXPECT_FALSE(FindStartUp(CommandLine{}, prefix + "/bin/kestrova", blocked, error));
  const std::string blockedPath =
      platform::NativePath(platform::ProgramPath(parent.native() + "/file"));
  EXPECT_NE(error.find(blockedPath + userName), std::string::npos) << error;
}

TEST_F(StartUpTest, HomeThatCannotBeMadeFailsTheStart) {
  WriteNative(parent.native() + "/file", "x");
  CommandLine line;
  line.home = parent.native() + "/file/home";
  StartUp start;
  std::string error;
  EXPECT_FALSE(FindStartUp(line, shipped.native() + "/kestrova", start, error));
  EXPECT_NE(error.find(platform::NativePath(platform::ProgramPath(line.home))), std::string::npos)
      << error;
}

TEST_F(StartUpTest, StartNamesTheProgramInTheHomeAndTheLoginIdSources) {
  CommandLine line;
  line.home = parent.native() + "/能";
  line.loginId = "山田01";
  StartUp start;
  std::string error;
  const bool found = [&] {
    ScopedEnv id("KESTROVA_LOGIN_ID", "環境02");
    return FindStartUp(line, shipped.native() + "/kestrova", start, error);
  }();
  ASSERT_TRUE(found) << error;
  EXPECT_EQ(start.source.programPath, platform::ProgramPath(line.home) + "\\kestrova");
  EXPECT_EQ(start.loginId.commandLine, Sjis("山田01"));
  EXPECT_EQ(start.loginId.environment, Sjis("環境02"));
  EXPECT_TRUE(fs::exists(FsPath(line.home + "/Setting/zip_code.txt")));
  EXPECT_EQ(start.createdHome, platform::NativePath(platform::ProgramPath(line.home)));

  // Without --home the program's own folder is the home, used as it is.
  StartUp own;
  ASSERT_TRUE(FindStartUp(CommandLine{}, shipped.native() + "/kestrova", own, error));
  EXPECT_EQ(own.source.programPath, shipped.path() + "\\kestrova");
  EXPECT_TRUE(own.loginId.commandLine.empty());
  EXPECT_TRUE(own.loginId.environment.empty());
  EXPECT_TRUE(own.createdHome.empty());
}

}  // namespace
}  // namespace kestrova::test
