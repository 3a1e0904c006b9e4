#include "ui/code_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"
#include "store/error_log.h"
#include "store/program_state.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

namespace fs = std::filesystem;
using test::ReadNative;
using test::TempFolder;

// The dialog's controls: the user's pending edit is applied once at the next ReadFields.
class RecordingLookupView final : public CodeLookupView {
 public:
  void ReadFields(CodeLookupFields& fields) override {
    if (select) fields.selected = std::move(*select);
    select.reset();
  }
  void ShowFields(const CodeLookupFields& fields) override { shown = fields; }

  std::optional<std::vector<int>> select;
  CodeLookupFields shown;
};

class CodeLookupTest : public ::testing::Test {
 protected:
  CodeLookupTest() {
    state.desktop = &desktop;
    state.environment.SetId(kEnvProgramFolder, home.path());
    fs::create_directories(Native("Setting"));
    state.settings.Set(keys::kLookupPrefecture, Sjis("大阪府"));
    state.settings.Set(keys::kLookupMunicipality, Sjis("おおさかし"));
  }
  std::string Native(const std::string& relative) const { return home.native() + "/" + relative; }
  void ShipTable() {
    fs::copy_file(std::string(KESTROVA_SOURCE_DIR) + "/Setting/zip_code.txt",
                  Native("Setting/zip_code.txt"));
  }
  void WriteTable(const std::string& utf8) {
    test::WriteNative(Native("Setting/zip_code.txt"), Sjis(utf8));
  }
  std::vector<std::string> ShownCodes(const CodeLookupWindow& window) {
    std::vector<std::string> codes;
    for (std::size_t r = 0; r < window.Fields().rows.size(); ++r)
      codes.emplace_back(window.Cell(static_cast<int>(r), 0));
    return codes;
  }

  // The error lines (UTF-8) and the messages shown, each list emptied once read.
  std::vector<std::string> TakeProblems() {
    std::vector<std::string> out;
    for (int i = 0; i < state.errorList.Count(); ++i) out.push_back(Utf8(state.errorList.View(i)));
    for (const auto& m : desktop.messages) out.push_back("message: " + Utf8(m.text));
    state.errorList.Clear();
    desktop.messages.clear();
    return out;
  }

  TempFolder home;
  test::ScriptedDesktop desktop;
  ProgramState state;
  RecordingLookupView view;
};

TEST_F(CodeLookupTest, DefaultTextsListEveryLineHoldingBothInTableOrderAndTheTableIsScrambled) {
  ShipTable();
  const std::string plain = ReadNative(Native("Setting/zip_code.txt"));
  TextList lines;
  lines.LoadLinesFromText(plain);
  std::vector<std::string> expected;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string_view line = lines.View(i);
    if (FindText(line, Sjis("大阪府")) != std::string::npos &&
        FindText(line, Sjis("おおさかし")) != std::string::npos)
      expected.emplace_back(line.substr(0, 5));
  }
  ASSERT_GE(expected.size(), 20u);  // Osaka city and its wards

  CodeLookupWindow window(state, view);
  window.Open();
  EXPECT_EQ(ShownCodes(window), expected);
  EXPECT_EQ(view.shown.rows, window.Fields().rows);
  EXPECT_EQ(Utf8(window.Cell(0, 1)), "大阪府");

  // The plain file became the scrambled one, which the next opening reads alone.
  EXPECT_FALSE(fs::exists(Native("Setting/zip_code.txt")));
  const std::string scrambled = ReadNative(Native("Setting/zip_code.dat"));
  EXPECT_EQ(scrambled.find(Sjis("大阪府")), std::string::npos);
  std::string back;
  ASSERT_TRUE(Unscramble(scrambled, keys::kCodeTableScrambleKey.Text(), back));
  EXPECT_EQ(back, plain);
  CodeLookupWindow again(state, view);
  again.Open();
  EXPECT_EQ(ShownCodes(again), expected);
}

TEST_F(CodeLookupTest, DoubleClickAppendsNewCodesInListOrderAndRefreshesTheNames) {
  WriteTable(
      "27128\t大阪府\t大阪市中央区\tおおさかしちゅうおうく\r\n"
      "27111\t大阪府\t堺市堺区\tさかいしさかいく\r\n"
      "13101\t東京都\t千代田区\tちよだく\r\n\r\n");
  state.settings.Set(keys::kLookupMunicipality, "");
  state.settings.Set(keys::kMunicipalityCodes, "27111");
  CodeLookupWindow window(state, view);
  window.Open();
  ASSERT_EQ(ShownCodes(window), (std::vector<std::string>{"27128", "27111"}));
  EXPECT_EQ(Utf8(window.Fields().names), "堺市堺区(27111),");

  view.select = std::vector<int>{0, 1};  // 27111 is in the list already
  window.AddCodes();
  EXPECT_EQ(view.shown.codes, "27111,27128");
  EXPECT_EQ(Utf8(view.shown.names), "堺市堺区(27111),大阪市中央区(27128),");

  // Blanks after the commas make pieces of their own, with no name.
  state.settings.Set(keys::kMunicipalityCodes, "27128, 27111");
  state.settings.Set(keys::kLookupPrefecture, Sjis("東京都"));
  CodeLookupWindow other(state, view);
  other.Open();
  view.select = std::vector<int>{0};
  other.AddCodes();
  EXPECT_EQ(Utf8(view.shown.names), "大阪市中央区(27128),( 27111),千代田区(13101),");

  other.Close();
  EXPECT_EQ(std::string(state.settings.GetView(keys::kMunicipalityCodes)), "27128, 27111,13101");
  EXPECT_EQ(Utf8(state.settings.GetView(keys::kLookupPrefecture)), "東京都");
}

TEST_F(CodeLookupTest, PlainTableStaysWhenTheScrambledFileCannotBeWritten) {
  WriteTable("27128\t大阪府\t大阪市中央区\tおおさかしちゅうおうく\r\n");
  fs::create_directories(Native("Setting/zip_code.dat"));  // a folder cannot be replaced
  CodeLookupWindow window(state, view);
  window.Open();
  EXPECT_TRUE(fs::exists(Native("Setting/zip_code.txt")));
  EXPECT_EQ(ShownCodes(window), std::vector<std::string>{"27128"});
  ASSERT_EQ(state.errorList.Count(), 1);
  EXPECT_NE(std::string(state.errorList.View(0)).find("30009"), std::string::npos);
}

TEST_F(CodeLookupTest, DamagedScrambledTableIsToldAndLoggedNotAnEmptyLookup) {
  const std::string& key = keys::kCodeTableScrambleKey.Text();
  const std::string good = Sjis(
      "27128\t大阪府\t大阪市中央区\tおおさかしちゅうおうく\r\n"
      "27127\t大阪府\t大阪市北区\tおおさかしきたく\r\n");
  const std::string scrambled = Scramble(good, key);
  ASSERT_EQ(scrambled.size() % 4, 0u);
  struct Case {
    const char* what;
    std::string dat;
    const char* says;  // of the error line and the message
    std::vector<std::string> codes;
  };
  const std::vector<Case> cases = {
      {"empty", "", "壊れているため読めません", {}},
      {"cut off inside a group",
       scrambled.substr(0, scrambled.size() - 5),
       "壊れているため読めません",
       {}},
      {"cut off at a group's end",
       scrambled.substr(0, scrambled.size() - 8),
       "途中で切れています",
       {"27128"}},
      {"scrambled with another key", Scramble(good, "another key"), "壊れているため読めません", {}},
      {"not scrambled at all", good, "壊れているため読めません", {}},
  };
  for (const Case& c : cases) {
    test::WriteNative(Native("Setting/zip_code.dat"), c.dat);
    CodeLookupWindow window(state, view);
    window.Open();
    EXPECT_EQ(ShownCodes(window), c.codes) << c.what;
    const std::vector<std::string> problems = TakeProblems();
    ASSERT_EQ(problems.size(), 2u) << c.what;
    EXPECT_NE(problems[0].find("\t20005\t"), std::string::npos) << problems[0];
    EXPECT_NE(problems[0].find(c.says), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find(c.says), std::string::npos) << problems[1];
    EXPECT_NE(problems[1].find("zip_code.dat"), std::string::npos) << problems[1];
  }
  // A whole table says nothing.
  test::WriteNative(Native("Setting/zip_code.dat"), scrambled);
  CodeLookupWindow window(state, view);
  window.Open();
  EXPECT_TRUE(TakeProblems().empty());
  // Both files unusable: a line for each (a log line holds no line break), one message.
  test::WriteNative(Native("Setting/zip_code.dat"), "");
  WriteTable("no table\r\n");
  CodeLookupWindow both(state, view);
  both.Open();
  const std::vector<std::string> problems = TakeProblems();
  ASSERT_EQ(problems.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_NE(problems[i].find("\t20005\t"), std::string::npos) << problems[i];
    EXPECT_EQ(problems[i].find_first_of("\r\n"), std::string::npos) << problems[i];
  }
  EXPECT_NE(problems[2].find("zip_code.txt に有効な行"), std::string::npos) << problems[2];
  EXPECT_NE(problems[2].find("zip_code.dat が壊れている"), std::string::npos) << problems[2];
}

TEST_F(CodeLookupTest, PlainTableWithoutAValidRowNeverReplacesTheTableInUse) {
  WriteTable("27128\t大阪府\t大阪市中央区\tおおさかしちゅうおうく\r\n");
  CodeLookupWindow first(state, view);
  first.Open();
  const std::string dat = ReadNative(Native("Setting/zip_code.dat"));
  ASSERT_FALSE(dat.empty());
  ASSERT_TRUE(TakeProblems().empty());

  // Empty, binary, a header alone, and rows without a five-digit code or a name (cp932).
  const std::vector<std::string> damaged = {
      "", std::string("\0\0\0\0garbage", 11), Sjis("コード\t都道府県\t市町村名\tよみがな\r\n"),
      Sjis("2712\t大阪府\t大阪市北区\r\n27127\t\t大阪市北区\r\n27127\t大阪府\r\n")};
  for (const std::string& plain : damaged) {
    test::WriteNative(Native("Setting/zip_code.txt"), plain);
    CodeLookupWindow window(state, view);
    window.Open();
    EXPECT_EQ(ReadNative(Native("Setting/zip_code.dat")), dat) << plain;
    EXPECT_EQ(ShownCodes(window), std::vector<std::string>{"27128"}) << plain;
    // The plain file stays for the user to mend.
    EXPECT_TRUE(fs::exists(Native("Setting/zip_code.txt"))) << plain;
    const std::vector<std::string> problems = TakeProblems();
    ASSERT_EQ(problems.size(), 2u) << plain;
    EXPECT_NE(problems[0].find("\t20005\t"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("zip_code.txt に有効な行"), std::string::npos) << problems[1];
  }
  // One valid row is a table: it replaces the one in use.
  WriteTable("13101\t東京都\t千代田区\r\nbroken line\r\n");
  CodeLookupWindow window(state, view);
  window.Open();
  EXPECT_FALSE(fs::exists(Native("Setting/zip_code.txt")));
  state.settings.Set(keys::kLookupPrefecture, "");
  state.settings.Set(keys::kLookupMunicipality, "");
  CodeLookupWindow after(state, view);
  after.Open();
  EXPECT_EQ(ShownCodes(after), (std::vector<std::string>{"13101", "broken line"}));
  EXPECT_TRUE(TakeProblems().empty());
}

TEST_F(CodeLookupTest, NoTableGivesNoRowsAndEmptyNames) {
  state.settings.Set(keys::kMunicipalityCodes, "27128");
  CodeLookupWindow window(state, view);
  window.Open();
  EXPECT_TRUE(window.Fields().rows.empty());
  EXPECT_EQ(window.Fields().names, "(27128),");
  EXPECT_EQ(state.errorList.Count(), 0);
}

}  // namespace
}  // namespace kestrova
