#include "store/csv_layout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "store/csv_writer.h"
#include "store/detail_files.h"
#include "store/program_state.h"
#include "tests/support/cp932_text.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

using test::Cp932Lines;

CsvLayout Layout(const std::string& utf8) {
  CsvLayout layout;
  layout.LoadFromText(Cp932Lines(utf8));
  return layout;
}

TEST(CsvLayoutTest, ColumnLinesGiveSourceTypeAndHeading) {
  CsvLayout layout = Layout("物件番号\tS\t番号\n価格|賃料\tN0\t価格(万円)\n");
  ASSERT_EQ(layout.Columns(), 2);
  EXPECT_EQ(layout.sources.View(1), Sjis("価格|賃料"));
  EXPECT_EQ(layout.types.View(1), "N0");
  EXPECT_EQ(layout.headings.View(1), Sjis("価格(万円)"));
  EXPECT_EQ(layout.separator, ",");
  EXPECT_EQ(layout.blankLines, 2);
  EXPECT_EQ(layout.blankText, "\n\n");
}

TEST(CsvLayoutTest, MissingPartsOfAColumnLineAreEmpty) {
  CsvLayout layout = Layout("物件番号\n価格\tN\n");
  ASSERT_EQ(layout.Columns(), 2);
  EXPECT_EQ(layout.types.Count(), 2);
  EXPECT_EQ(layout.headings.Count(), 2);
  EXPECT_EQ(layout.types.View(0), "");
  EXPECT_EQ(layout.headings.View(0), "");
  EXPECT_EQ(layout.types.View(1), "N");
  EXPECT_EQ(layout.headings.View(1), "");
}

TEST(CsvLayoutTest, CommentsAndEmptyLinesAreNoColumns) {
  CsvLayout layout = Layout("' 管理用\n\n'物件番号\tS\t番号\n図面\tS\t図面\n\n");
  ASSERT_EQ(layout.Columns(), 1);
  EXPECT_EQ(layout.sources.View(0), Sjis("図面"));
}

TEST(CsvLayoutTest, SettingsStandAnywhereAndTheLastWins) {
  CsvLayout layout =
      Layout("!区切り=;\na\tS\tA\n!ヘッダ空行=5\n!区切り=||\nb\tS\tB\n!ヘッダ空行=1\n");
  EXPECT_EQ(layout.Columns(), 2);
  EXPECT_EQ(layout.separator, "||");
  EXPECT_EQ(layout.blankLines, 1);
  EXPECT_EQ(layout.blankText, "\n");
}

TEST(CsvLayoutTest, SeparatorIsTheRestOfTheLineUnchanged) {
  EXPECT_EQ(Layout("!区切り=\t\n").separator, "\t");
  EXPECT_EQ(Layout("!区切り= ; \n").separator, " ; ");
  EXPECT_EQ(Layout("!区切り=、\n").separator, Sjis("、"));
  EXPECT_EQ(Layout("!区切り=\n").separator, "");
}

TEST(CsvLayoutTest, BlankLineCountReadsLeadingDigits) {
  EXPECT_EQ(Layout("!ヘッダ空行=3行\n").blankLines, 3);
  EXPECT_EQ(Layout("!ヘッダ空行=0\n").blankText, "");
  EXPECT_EQ(Layout("!ヘッダ空行=abc\n").blankLines, 0);
}

TEST(CsvLayoutTest, BlankLineCountIsNeverNegativeNorHuge) {
  CsvLayout negative = Layout("!ヘッダ空行=-3\n");
  EXPECT_EQ(negative.blankLines, 0);
  EXPECT_EQ(negative.blankText, "");
  CsvLayout huge = Layout("!ヘッダ空行=2000000000\n");
  EXPECT_EQ(huge.blankLines, CsvLayout::kMaxBlankLines);
  EXPECT_EQ(huge.blankText.size(), static_cast<std::size_t>(CsvLayout::kMaxBlankLines));
}

TEST(CsvLayoutTest, UnknownSettingsAreIgnored) {
  CsvLayout layout = Layout("!区切り=;\n!区切り文字=x\n!ヘッダ=9\n!\na\tS\tA\n");
  EXPECT_EQ(layout.separator, ";");
  EXPECT_EQ(layout.blankLines, 2);
  EXPECT_EQ(layout.Columns(), 1);
}

TEST(CsvLayoutTest, ReloadingStartsFromTheDefaults) {
  CsvLayout layout = Layout("!区切り=;\n!ヘッダ空行=0\na\tS\tA\nb\tS\tB\n");
  layout.LoadFromText(Cp932Lines("c\tN\tC\n"));
  EXPECT_EQ(layout.Columns(), 1);
  EXPECT_EQ(layout.sources.View(0), "c");
  EXPECT_EQ(layout.separator, ",");
  EXPECT_EQ(layout.blankLines, 2);
  EXPECT_EQ(layout.blankText, "\n\n");
}

TEST(CsvLayoutTest, LineEndsOfAnyKindAreAccepted) {
  CsvLayout layout;
  layout.LoadFromText("a\tS\tA\rb\tS\tB\nc\tS\tC\r\n");
  ASSERT_EQ(layout.Columns(), 3);
  EXPECT_EQ(layout.headings.View(0), "A");
  EXPECT_EQ(layout.headings.View(2), "C");
}

TEST(HeaderListsTest, LineIBelongsToTheIthTypeCode) {
  HeaderLists lists;
  std::string text;
  const char* codes[] = {"11", "12", "13", "14", "15", "21", "22", "23", "24", "25"};
  for (const char* code : codes) text += std::string("n") + code + "\tx\t\r\n";
  lists.LoadFromText(text);
  for (int i = 0; i < 10; ++i) {
    std::string type = std::string(codes[i]) + Sjis("売り・土地");
    EXPECT_EQ(lists.IndexForType(type), i) << codes[i];
    EXPECT_EQ(lists.ForType(type).View(0), std::string("n") + codes[i]);
    EXPECT_EQ(lists.ForType(type).Count(), 3);  // the trailing TAB leaves an empty last name
  }
}

TEST(HeaderListsTest, UnknownTypeTextsUseTheLastList) {
  HeaderLists lists;
  EXPECT_EQ(lists.IndexForType("99"), 9);
  EXPECT_EQ(lists.IndexForType("1"), 9);
  EXPECT_EQ(lists.IndexForType(""), 9);
  EXPECT_EQ(lists.IndexForType(Sjis("売り")), 9);
}

TEST(HeaderListsTest, MissingLinesGiveEmptyListsAndReloadClears) {
  HeaderLists lists;
  lists.LoadFromText("a\tb\r\nc\td\r\n");
  EXPECT_EQ(lists.lists[1].View(1), "d");
  EXPECT_EQ(lists.lists[2].Count(), 0);
  lists.LoadFromText("e\r\n");
  EXPECT_EQ(lists.lists[0].View(0), "e");
  EXPECT_EQ(lists.lists[1].Count(), 0);
}

class LoadLayoutsTest : public ::testing::Test {
 protected:
  LoadLayoutsTest() {
    BuildEnvironment(state.environment, {home.path() + "\\kestrova"});
    EXPECT_TRUE(MakeFolder(state.PathOf("\\Setting")));
  }
  void Write(const std::string& relative, const std::string& utf8) {
    ASSERT_TRUE(WriteFileAtomic(state.PathOf(relative), Cp932Lines(utf8)));
  }
  test::TempFolder home;
  ProgramState state;
};

TEST_F(LoadLayoutsTest, ReadsTheThreeSettingFiles) {
  Write("\\Setting\\HeaderInfo.dat", "図面\t物件種別\t物件番号\t\n");
  Write("\\Setting\\Output_CSV.txt", "物件番号\tS\t番号\n");
  Write("\\Setting\\Output_Kanri.txt", "!区切り=\t\n図面\tS\t図面\n物件種別\tS\t種別\n");
  LoadLayouts(state);
  EXPECT_EQ(state.headerLists.lists[0].Find(0, Sjis("物件番号")), 2);
  ASSERT_EQ(state.csvLayout.Columns(), 1);
  EXPECT_EQ(state.csvLayout.headings.View(0), Sjis("番号"));
  ASSERT_EQ(state.kanriLayout.Columns(), 2);
  EXPECT_EQ(state.kanriLayout.separator, "\t");
  EXPECT_EQ(state.csvLayout.separator, ",");
}

TEST_F(LoadLayoutsTest, MissingFilesGiveEmptyLayoutsWithDefaults) {
  state.csvLayout.LoadFromText("a\tS\tA\r\n!区切り=;\r\n");
  LoadLayouts(state);
  EXPECT_EQ(state.csvLayout.Columns(), 0);
  EXPECT_EQ(state.csvLayout.separator, ",");
  EXPECT_EQ(state.kanriLayout.Columns(), 0);
  EXPECT_EQ(state.headerLists.lists[0].Count(), 0);
}

// The files that ship in Setting/: the names the program looks for are there, the management
// layout holds every source spec the local search reads, and both layouts write a CSV.
class ShippedLayoutsTest : public LoadLayoutsTest {
 protected:
  void SetUp() override {
    const std::string shipped = std::string(KESTROVA_SOURCE_DIR) + "/Setting";
    for (const char* f :
         {"HeaderInfo.dat", "Output_CSV.txt", "Output_Kanri.txt", "Syousai_Header.dat"}) {
      std::filesystem::copy_file(shipped + "/" + f,
                                 platform::NativePath(state.PathOf("\\Setting\\")) + f);
    }
    LoadLayouts(state);
    LoadDetailFiles(state);
  }
};

TEST_F(ShippedLayoutsTest, EveryTypeNamesThirtyFieldsAndTheColumnsLookedFor) {
  for (int i = 0; i < 10; ++i) {
    const TextList& names = state.headerLists.lists[i];
    EXPECT_EQ(names.Count(), 31) << "type list " << i;  // 30 TAB-terminated names
    for (const char* n :
         {"物件番号", "更新年月日", "物件種別", "所在地", "最寄駅", "徒歩", "取引態様/報酬形態"}) {
      EXPECT_GE(names.Find(0, Sjis(n)), 0) << "type list " << i << " lacks " << n;
    }
  }
}

TEST_F(ShippedLayoutsTest, ManagementLayoutHoldsWhatTheLocalSearchReads) {
  for (const char* spec :
       {"更新年月日", "図面", "$駅$", "会員名", "%所在階%", "%土地面積%", "%建物面積１%",
        "%築年月%", "$徒歩分$", "$所在地$", "物件番号", "物件種別"}) {
    EXPECT_GE(state.kanriLayout.sources.Find(0, Sjis(spec)), 0) << spec;
  }
  EXPECT_EQ(state.kanriLayout.sources.Count(), state.kanriLayout.headings.Count());
}

TEST_F(ShippedLayoutsTest, BothLayoutsWriteTheStoredRecords) {
  ASSERT_TRUE(MakeFolder(state.PathOf("\\dat")));
  ASSERT_TRUE(MakeFolder(state.PathOf("\\csv_total")));
  TextList store;
  for (const char* type :
       {"11売り・土地", "13売り・マンション", "23賃貸・マンション", "25賃貸・建物一部"}) {
    std::string line;
    for (int f = 0; f < 30; ++f) {
      line += f == 1   ? Sjis(type)
              : f == 2 ? std::string("10000000") + type[1]
                       : "x" + std::to_string(f);
      line += '\t';
    }
    store.Add(line);
  }
  ASSERT_TRUE(store.SaveLines(state.PathOf("\\dat\\TotalData.txt")));
  ASSERT_EQ(WriteTotalCsv(state), 0);
  for (const auto* layout : {&state.csvLayout, &state.kanriLayout}) {
    const char* name = layout == &state.csvLayout ? "\\csv_total\\TotalData_csvdata.csv"
                                                  : "\\csv_total\\TotalData_kanri_csvdata.csv";
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(state.PathOf(name), bytes));
    TextList lines;
    lines.LoadLinesFromText(bytes);
    ASSERT_EQ(lines.Count(), 1 + layout->blankLines + 4) << name;
    // Every record line ends with the separator after the last column.
    std::string_view last = lines.View(lines.Count() - 1);
    EXPECT_NE(last.find("\"100000005\""), std::string_view::npos) << name;
    EXPECT_EQ(last.substr(last.size() - layout->separator.size()), layout->separator) << name;
  }
}

}  // namespace
}  // namespace kestrova
