#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/headless_run.h"

namespace kestrova::test {
namespace {

// A stored record (UTF-8, 30 TAB-terminated fields) with the fields the shipped HeaderInfo
// names 図面, 物件種別, 物件番号, 所在地, 最寄駅 and 更新年月日.
std::string StoredRecord(const std::string& type, const std::string& number,
                         const std::string& place, const std::string& updated) {
  std::vector<std::string> f(30);
  for (const auto& [index, value] : {std::pair<int, std::string>{0, "有"},
                                     {1, type},
                                     {2, number},
                                     {5, place},
                                     {6, "御堂筋線　本町"},
                                     {18, updated}})
    f[static_cast<std::size_t>(index)] = value;
  std::string line;
  for (const std::string& field : f) line += field + "\t";
  return line + "\n";
}

class HeadlessFindTest : public ::testing::Test {
 protected:
  HeadlessFindTest() {
    std::filesystem::create_directories(home.native() + "/dat");
    // Terms agreed; a retention long enough that the close's tidy keeps every record.
    WriteSettings(home.native(), "[設定]\n同意=1\n[設定2]\nデータ保持期間=600\n");
  }
  void Store(const std::string& utf8) {
    WriteNative(home.native() + "/dat/TotalData.txt", Cp932Lines(utf8));
    ASSERT_EQ(Run({}, "rebuild-csv").status, 0);
  }
  ProgramRun Run(const std::vector<std::string>& options, const std::string& command = "find") {
    std::vector<std::string> args = {"--home", home.native(), "--headless", command};
    args.insert(args.end(), options.begin(), options.end());
    return RunKestrova(args, {}, true);
  }
  static std::string LastLine(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text.substr(text.rfind('\n') + 1);
  }

  TempFolder home;
};

TEST_F(HeadlessFindTest, PrintsTheShownRowsAndTitleAndSavesTheSearch) {
  Store(StoredRecord("11売り・土地", "100000001", "大阪市北区梅田1丁目", "2011/05/01") +
        StoredRecord("13売り・マンション", "100000002", "大阪市中央区本町2丁目", "2011/04/01") +
        StoredRecord("23賃貸・マンション", "100000003", "大阪市北区中津3丁目", "2011/05/02"));
  ProgramRun run = Run({"--keys", "北区;;;", "--type", "2", "--from", "2011/05/01"});
  ASSERT_EQ(run.status, 0) << run.console;
  EXPECT_EQ(LastLine(run.console), "Kestrova-検索(2/3)");
  // Every cell of the 32 columns followed by a TAB, CR LF after each row.
  const std::string first = run.output.substr(0, run.output.find("\r\n") + 2);
  EXPECT_TRUE(first.starts_with("100000001\t2011/05/01\t")) << first;
  EXPECT_TRUE(first.ends_with("11売り・土地\t\r\n")) << first;
  EXPECT_EQ(std::count(first.begin(), first.end(), '\t'), 32);
  EXPECT_TRUE(run.output.substr(first.size()).starts_with("100000003\t"));
  EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 2);

  // The search it ran is the saved one; a run without those options repeats it.
  EXPECT_EQ(SettingOf(home.native(), "検索文字"), "北区;;;;;;;;");
  ProgramRun again = Run({"--type", "1"});
  EXPECT_EQ(LastLine(again.console), "Kestrova-検索(1/3)");
  EXPECT_TRUE(again.output.starts_with("100000003\t"));
}

TEST_F(HeadlessFindTest, RefusesWithoutManagementDataAndRejectsUnknownChoices) {
  ProgramRun none = Run({});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.console.find("「管理情報作成」を行ってください"), std::string::npos);
  EXPECT_EQ(none.output, "");

  Store(StoredRecord("11売り・土地", "100000001", "大阪市北区梅田1丁目", "2011/05/01"));
  ProgramRun station = Run({"--station", "どこにもない駅"});
  EXPECT_EQ(station.status, 2);
  EXPECT_NE(station.console.find("どこにもない駅"), std::string::npos) << station.console;
  EXPECT_EQ(Run({"--list1", "そんな項目"}).status, 2);
  // An entry of the shipped first key list.
  ProgramRun listed = Run({"--list1", "大阪市北区|大阪市中央区|大阪市西区", "--type", "2"});
  EXPECT_EQ(LastLine(listed.console), "Kestrova-検索(1/1)") << listed.console;
}

TEST_F(HeadlessFindTest, OptionsReachNeitherTheTerminalRawNorTheSettingsWithLineBreaks) {
  Store(StoredRecord("11売り・土地", "100000001", "大阪市北区梅田1丁目", "2011/05/01"));
  // An escape sequence that would retitle the terminal and clear it.
  ProgramRun station = Run({"--station", "\x1b]0;owned\x07駅\x1b[2J"});
  EXPECT_EQ(station.status, 2);
  EXPECT_NE(station.console.find("\"?]0;owned?駅?[2J\""), std::string::npos) << station.console;
  EXPECT_EQ(station.console.find('\x1b'), std::string::npos);
  EXPECT_EQ(station.console.find('\x07'), std::string::npos);
  // A line break would start a section of its own in the settings file.
  ProgramRun keys = Run({"--keys", "a\r\n[A]\r\n重複非表示=0"});
  EXPECT_EQ(keys.status, 2);
  EXPECT_NE(keys.console.find("--keys holds a line break"), std::string::npos) << keys.console;
  EXPECT_EQ(SettingOf(home.native(), "検索文字"), "");
  EXPECT_EQ(ReadNative(home.native() + "/kestrova.ini").find("[A]"), std::string::npos);
}

}  // namespace
}  // namespace kestrova::test
