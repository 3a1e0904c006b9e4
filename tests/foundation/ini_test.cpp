#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif  // _WIN32

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

using namespace std::string_literals;

SettingsStore Env(const std::string& folder) {
  SettingsStore env;
  BuildEnvironment(env, {folder + "\\kestrova"});
  return env;
}

TEST(IniTest, ReadsSectionsKeysAndValuesWithTheTrimmingRules) {
  SettingsStore env = Env("\\opt\\k");
  SettingsStore s;
  ReadIniFromText(
      "# comment\r\n; another\r\n[One]\r\nkey  = value \r\nTab\t\t=x\r\n lead=y\r\nnoequals\r\n"
      "[broken\r\nafter=z\r\n[Two] trailing\r\nk=\t v\r\n",
      s, env);
  EXPECT_STREQ(s.GetText("//ini/One/key"), "value ");
  EXPECT_STREQ(s.GetText("//ini/One/Tab"), "x");
  EXPECT_STREQ(s.GetText("//ini/One/ lead"), "y");
  EXPECT_STREQ(s.GetText("//ini/One/after"), "z");
  EXPECT_STREQ(s.GetText("//ini/two/K"), "v");
  EXPECT_EQ(s.Count(), 5);
}

TEST(IniTest, MacrosExpandOnReadAndContractOnWrite) {
  SettingsStore env = Env("\\opt\\k");
  SettingsStore s;
  ReadIniFromText("[S]\r\npath=$ARGV0$\\csv\r\nold=$M_ARGV0_DIR\\x\r\n", s, env);
  EXPECT_STREQ(s.GetText("//ini/S/path"), "\\opt\\k\\csv");
  EXPECT_STREQ(s.GetText("//ini/S/old"), "\\opt\\k\\x");
  EXPECT_EQ(FormatIni(s, env), "[S]\r\nold=$ARGV0$\\x\r\npath=$ARGV0$\\csv\r\n");
  EXPECT_EQ(FormatIni(s, env, kIniNoMacros), "[S]\r\nold=\\opt\\k\\x\r\npath=\\opt\\k\\csv\r\n");
}

TEST(IniTest, WritesSortedSectionsInFirstCase) {
  SettingsStore env = Env("\\opt\\k");
  SettingsStore s;
  s.Set("//ini/B/z", "1");
  s.Set("//ini/a/Y", "2");
  s.Set("//INI/b/x", "3");
  s.Set("//_enum_/5", "not written");
  s.Set("plain", "not written");
  // The header comes from the first key written in the section: "//INI/b/x".
  EXPECT_EQ(FormatIni(s, env), "[a]\r\nY=2\r\n[b]\r\nx=3\r\nz=1\r\n");
}

TEST(IniTest, ReadsAnOlderSettingsFile) {
  test::TempFolder dir;
  SettingsStore env = Env(dir.path());
  SettingsStore s;
  // Defaults first, as start-up sets them: the file replaces them, missing keys keep them.
  SetDefault(keys::kSale, "1", s, env);
  SetDefault(Sjis("//ini/設定2/未知のキー"), "$ARGV0$\\x", s, env);
  ReadIni(std::string(KESTROVA_TEST_DATA) + "/older_settings.ini", s, env);
  EXPECT_STREQ(s.GetText(keys::kStartDate), "2011/05/01");
  EXPECT_STREQ(s.GetText(keys::kEndDate), "2011/05/07");
  EXPECT_STREQ(s.GetText(keys::kMunicipalityCodes), "27128,27111");
  EXPECT_STREQ(s.GetText(keys::kSale), "0");
  EXPECT_EQ(std::string(s.GetText(Sjis("//ini/設定2/未知のキー"))), dir.path() + "\\x");
  EXPECT_STREQ(s.GetText(Sjis("//ini/設定/loginid")), "agent01  ");  // trailing blanks stay
  EXPECT_EQ(std::string(s.GetText(Sjis("//ini/設定/ソフト名"))), Sjis("ソフト表示"));
  EXPECT_EQ(s.IndexOf(Sjis("//ini/設定/この行には等号がない")), -1);
  EXPECT_EQ(s.GetInt(keys::kLoadReductionWait), 1500);
  EXPECT_EQ(std::string(s.GetText(Sjis("//ini/設定2/  字下げキー"))), Sjis("残る"));
  EXPECT_EQ(std::string(s.GetText(Sjis("//ini/検索用/出力先"))), dir.path() + "\\csv_total");
  EXPECT_EQ(std::string(s.GetText(Sjis("//ini/検索用/旧出力先"))), dir.path() + "\\csv");
  EXPECT_STREQ(s.GetText(Sjis("//ini/検索用/pos_search")), "118,128,1103,714");
  EXPECT_STREQ(s.GetText(Sjis("//ini/検索用/節なし後")),
               "z");  // an unclosed header changes nothing
  EXPECT_EQ(std::string(s.GetText(keys::kLookupPrefecture)), Sjis("大阪府"));
  // Two spellings of one section are one section: the later value, the first spelling.
  EXPECT_STREQ(s.GetText("//ini/Settei/LoginId"), "third");
  EXPECT_STREQ(s.KeyTextAt(s.IndexOf("//ini/settei/loginid")), "//ini/SETTEI/loginid");

  // Written back: sorted, one header per section, paths under the program folder contracted.
  std::string written = FormatIni(s, env);
  EXPECT_NE(written.find("[SETTEI]\r\nloginid=third\r\n"), std::string::npos);
  EXPECT_NE(written.find(Sjis("出力先=$ARGV0$\\csv_total\r\n")), std::string::npos);
  EXPECT_NE(written.find(Sjis("旧出力先=$ARGV0$\\csv\r\n")), std::string::npos);
  EXPECT_NE(written.find(Sjis("LoginID=agent01  \r\n")), std::string::npos);
  EXPECT_EQ(written.find("\r\n\r\n"), std::string::npos);
  SettingsStore again;
  ReadIniFromText(written, again, env);
  EXPECT_EQ(again.Count(), s.Count());
  EXPECT_EQ(FormatIni(again, env), written);
}

TEST(IniTest, SettingsFileIsPrivateToItsOwnerAlsoWhenTheUserMadeIt) {
#ifdef _WIN32
  GTEST_SKIP() << "no permission bits on Windows";
#else
  test::TempFolder dir;
  SettingsStore env = Env(dir.path());
  SettingsStore s;
  s.Set(keys::kPassword, "secret");
  test::WriteNative(dir.native() + "/kestrova.ini", "[S]\r\nk=v\r\n");
  ASSERT_EQ(chmod((dir.native() + "/kestrova.ini").c_str(), 0644), 0);
  ASSERT_TRUE(WriteIni(dir.Path("kestrova.ini"), s, env));
  struct stat st;
  ASSERT_EQ(stat((dir.native() + "/kestrova.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  SettingsStore back;
  ReadIni(dir.Path("kestrova.ini"), back, env);
  EXPECT_STREQ(back.GetText(keys::kPassword), "secret");
#endif  // _WIN32
}

TEST(IniTest, NulBytesNeverMakeTheFileReadAsUtf16) {
  test::TempFolder dir;
  SettingsStore env = Env(dir.path());
  // The second and fourth bytes are NUL, as in a UTF-16 file: still code page 932.
  test::WriteNative(dir.native() + "/w.ini", "[\0S\0]\r\nk=v\r\nm=w\r\n"s);
  SettingsStore s;
  IniDamageList damage;
  ReadIni(dir.Path("w.ini"), s, env, 0, &damage);
  EXPECT_STREQ(s.GetText("//ini/S/k"), "v");
  EXPECT_STREQ(s.GetText("//ini/S/m"), "w");
  ASSERT_EQ(damage.size(), 1u);
  EXPECT_EQ(damage[0].line, 1);
}

TEST(IniTest, NoValueOrKeyStartsALineOfItsOwn) {
  SettingsStore env = Env("\\opt\\k");
  SettingsStore s;
  s.Set("//ini/A/k", "1\r\n[B]\r\nx=2\n");
  s.Set("//ini/A/z\rz", "3");
  s.Set("//ini/B/x", "4");
  EXPECT_EQ(FormatIni(s, env), "[A]\r\nk=1[B]x=2\r\nzz=3\r\n[B]\r\nx=4\r\n");
}

TEST(IniTest, DamagedLinesCostOnlyThemselves) {
  test::TempFolder dir;
  // A NUL inside a value, a lead byte without its trail byte, a non-character in a header.
  test::WriteNative(dir.native() + "/k.ini", std::string("[S]\r\nA=1\r\nB=x\0y\r\nC=\x81 z\r\n"
                                                         "[T\xFF]\r\nD=4",
                                                         33));
  SettingsStore s;
  s.Set("//ini/S/B", "default");
  ReadIni(dir.Path("k.ini"), s, Env(dir.path()));
  EXPECT_STREQ(s.GetText("//ini/S/A"), "1");
  EXPECT_STREQ(s.GetText("//ini/S/B"), "default");
  EXPECT_STREQ(s.GetText("//ini/T/D"), "4");
  EXPECT_EQ(s.Count(), 3);
}

TEST(IniTest, DamagedLinesAreWrittenBackUnlessTheirKeyWasSetAnew) {
  SettingsStore env = Env("\\opt\\k");
  const std::string file = "[S]\r\nA=1\r\nB=x\0y\r\nC=\x81 z\r\nD\0=4\r\n[U]\r\nE=\x81\r\n"s;
  SettingsStore s;
  s.Set("//ini/S/B", "default");
  s.Set("//ini/S/C", "default");
  IniDamageList damage;
  ReadIniFromText(file, s, env, 0, &damage);
  EXPECT_EQ(DamagedLineNumbers(damage), "3, 4, 5, 7");
  // Nothing set anew: every line as it was (the unreadable key and the section without a
  // readable key at the ends of their sections).
  EXPECT_EQ(FormatIni(s, env, 0, &damage), file);
  s.Set("//ini/S/B", "new");
  EXPECT_EQ(FormatIni(s, env, 0, &damage),
            "[S]\r\nA=1\r\nB=new\r\nC=\x81 z\r\nD\0=4\r\n[U]\r\nE=\x81\r\n"s);
}

TEST(IniTest, SetDefaultExpandsMacros) {
  SettingsStore env = Env("\\opt\\k");
  SettingsStore s;
  SetDefault("//ini/A/b", "$ARGV0$\\Setting", s, env);
  EXPECT_STREQ(s.GetText("//ini/a/B"), "\\opt\\k\\Setting");
}

}  // namespace
}  // namespace kestrova
