#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/headless_run.h"

namespace kestrova::test {
namespace {

// A stored record (UTF-8): 30 TAB-terminated fields with the plan, type, number, price, place,
// station, member and update date where the shipped HeaderInfo names them.
std::string StoredRecord(const std::string& type, const std::string& number,
                         const std::string& place, const std::string& station,
                         const std::string& updated) {
  std::vector<std::string> f(30);
  f[0] = "有";
  f[1] = type;
  f[2] = number;
  f[3] = "1980万円";
  f[5] = place;
  f[6] = station;
  f[7] = "徒歩5分";
  f[12] = "なにわ住宅販売";
  f[18] = updated;
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
    ProgramRun rebuilt = Find({}, "rebuild-csv");
    ASSERT_EQ(rebuilt.status, 0) << rebuilt.console;
  }
  ProgramRun Find(const std::vector<std::string>& options, const std::string& command = "find") {
    std::vector<std::string> args = {"--home", home.native(), "--headless", command};
    args.insert(args.end(), options.begin(), options.end());
    return RunKestrova(args, {}, true);
  }
  static std::string LastLine(const std::string& text) {
    std::string t = text;
    while (!t.empty() && t.back() == '\n') t.pop_back();
    return t.substr(t.rfind('\n') + 1);
  }

  TempFolder home;
};

TEST_F(HeadlessFindTest, PrintsTheShownRowsAndTitleAndSavesTheSearch) {
  Store(StoredRecord("11売り・土地", "100000001", "大阪市北区梅田1丁目", "御堂筋線　梅田",
                     "2011/05/01") +
        StoredRecord("13売り・マンション", "100000002", "大阪市中央区本町2丁目", "御堂筋線　本町",
                     "2011/04/01") +
        StoredRecord("23賃貸・マンション", "100000003", "大阪市北区中津3丁目", "御堂筋線　中津",
                     "2011/05/02"));
  ProgramRun run = Find({"--keys", "北区;;;", "--type", "2", "--from", "2011/05/01"});
  ASSERT_EQ(run.status, 0) << run.console;
  EXPECT_EQ(LastLine(run.console), "Kestrova-検索(2/3)");
  // One line per row, every cell of the 32 columns followed by a TAB, CR LF after each row.
  const std::string first = run.output.substr(0, run.output.find("\r\n") + 2);
  EXPECT_EQ(first.rfind("100000001\t2011/05/01\t", 0), 0u) << first;
  EXPECT_EQ(std::count(first.begin(), first.end(), '\t'), 32);
  EXPECT_TRUE(first.ends_with("11売り・土地\t\r\n")) << first;
  EXPECT_NE(run.output.find("\r\n100000003\t"), std::string::npos);
  EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 2);

  // The search it ran is the saved one; a run without options repeats it.
  EXPECT_EQ(SettingOf(home.native(), "検索文字"), "北区;;;;;;;;");
  EXPECT_EQ(SettingOf(home.native(), "検索日付ST"), "2011/05/01");
  ProgramRun again = Find({"--type", "1"});
  ASSERT_EQ(again.status, 0) << again.console;
  EXPECT_EQ(LastLine(again.console), "Kestrova-検索(1/3)");
  EXPECT_EQ(again.output.rfind("100000003\t", 0), 0u);
}

TEST_F(HeadlessFindTest, RefusesWithoutManagementDataAndRejectsUnknownChoices) {
  ProgramRun none = Find({});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.console.find("「管理情報作成」を行ってください"), std::string::npos)
      << none.console;
  EXPECT_EQ(none.output, "");

  Store(StoredRecord("11売り・土地", "100000001", "大阪市北区梅田1丁目", "御堂筋線　梅田",
                     "2011/05/01"));
  ProgramRun station = Find({"--station", "どこにもない駅"});
  EXPECT_EQ(station.status, 2);
  EXPECT_NE(station.console.find("どこにもない駅"), std::string::npos) << station.console;
  EXPECT_EQ(Find({"--list1", "そんな項目"}).status, 2);
  EXPECT_EQ(Find({"--unique", "yes"}).status, 2);
  // The shipped first key list holds this entry.
  ProgramRun listed = Find({"--list1", "大阪市北区|大阪市中央区|大阪市西区", "--type", "2"});
  EXPECT_EQ(listed.status, 0) << listed.console;
  EXPECT_EQ(LastLine(listed.console), "Kestrova-検索(1/1)");
}

}  // namespace
}  // namespace kestrova::test
