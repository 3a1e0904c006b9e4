#include "store/csv_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/program_state.h"
#include "store/property_record.h"
#include "tests/support/cp932_text.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

using test::Cp932Lines;

class CsvWriterTest : public ::testing::Test {
 protected:
  CsvWriterTest() {
    BuildEnvironment(state.environment, {home.path() + "\\kestrova"});
    for (const char* f : {"\\dat", "\\csv", "\\csv_total", "\\Setting"})
      EXPECT_TRUE(MakeFolder(state.PathOf(f)));
    // Every type names field i "f<i>", except the ones named here.
    std::string line;
    for (int i = 0; i < 30; ++i) {
      line += i == 2 ? Sjis("物件番号") : i == 3 ? Sjis("価格") : "f" + std::to_string(i);
      line += '\t';
    }
    std::string all;
    for (int t = 0; t < 10; ++t) all += line + "\r\n";
    state.headerLists.LoadFromText(all);
  }

  // A record of the given type and property number with more fields set (UTF-8 values).
  static std::string Record(const std::string& type, const std::string& number,
                            const std::vector<std::pair<int, std::string>>& more = {}) {
    std::vector<std::string> f(30);
    f[0] = Sjis("有");
    f[1] = Sjis(type);
    f[2] = number;
    for (const auto& [i, v] : more) f[static_cast<std::size_t>(i)] = Sjis(v);
    return JoinRecord(f);
  }
  std::string Csv(const std::string& layoutUtf8, const std::vector<std::string>& records) {
    CsvLayout layout;
    layout.LoadFromText(Cp932Lines(layoutUtf8));
    TextList list;
    for (const auto& r : records) list.Add(r);
    return BuildCsv(state, list, layout);
  }
  std::string Read(const std::string& relative) const {
    std::string bytes;
    ReadWholeFile(state.PathOf(relative), bytes);
    return bytes;
  }

  test::TempFolder home;
  ProgramState state;
};

TEST_F(CsvWriterTest, WritesQuotedHeadingsTwoBlankLinesAndFormattedRecords) {
  std::string csv = Csv("物件番号\tS\t番号\n価格\tN\t価格\n",
                        {Record("11売り・土地", "12345", {{3, "1,980万円"}})});
  EXPECT_EQ(csv, Cp932Lines("\"番号\",\"価格\",\n\n\n\"12345\",1980,\n"));
}

TEST_F(CsvWriterTest, TabSeparatorFollowsEveryHeadingAndValue) {
  std::string csv = Csv("!区切り=\t\n物件番号\tS\t番号\n価格\tN\t価格\n",
                        {Record("11売り・土地", "7", {{3, "5"}})});
  EXPECT_EQ(csv, Cp932Lines("\"番号\"\t\"価格\"\t\n\n\n\"7\"\t5\t\n"));
}

TEST_F(CsvWriterTest, MultiByteSeparatorIsWrittenWhole) {
  std::string csv =
      Csv("!区切り=；\n!ヘッダ空行=0\n物件番号\t\t番号\n", {Record("11売り・土地", "7")});
  EXPECT_EQ(csv, Cp932Lines("\"番号\"；\n7；\n"));
}

TEST_F(CsvWriterTest, ZeroBlankLinesPutTheFirstRecordUnderTheHeading) {
  std::string csv = Csv("!ヘッダ空行=0\n物件番号\tS\t番号\n",
                        {Record("11売り・土地", "1"), Record("21賃貸・土地", "2")});
  EXPECT_EQ(csv, Cp932Lines("\"番号\",\n\"1\",\n\"2\",\n"));
}

TEST_F(CsvWriterTest, TypeCodesWriteTheirDefaultsForEmptyValues) {
  std::string csv =
      Csv("!ヘッダ空行=0\nf4\tS\ta\nf4\tS未定\tb\nf4\tN0\tc\nf4\tD\td\nf4\t\te\nf4\tX既定\tf\n",
          {Record("11売り・土地", "1")});
  EXPECT_EQ(csv, Cp932Lines("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\n\"\",\"未定\",0,,,,\n"));
}

TEST_F(CsvWriterTest, TypeCodesFormatPresentValues) {
  std::string csv = Csv(
      "!ヘッダ空行=0\nf4\tS未定\ta\nf4\tN0\tb\nf6\tD\tc\nf4\tX\td\nf7\tN\te\n",
      {Record("11売り・土地", "1", {{4, "約12.5㎡（２区画）"}, {6, "平成23年10月"}, {7, "未定"}})});
  EXPECT_EQ(csv, Cp932Lines("\"a\",\"b\",\"c\",\"d\",\"e\",\n\"約12.5㎡（２区画）\",12.5,2011/10/"
                            "01,約12.5㎡（２区画）,,\n"));
}

TEST_F(CsvWriterTest, NumberColumnKeepsOnlyAsciiDigitsAndPoints) {
  // Full-width digits and the trail bytes of double-byte characters never count as digits.
  std::string csv =
      Csv("!ヘッダ空行=0\nf4\tN\ta\n", {Record("11売り・土地", "1", {{4, "１２3,4.5-6 ｍ＠"}})});
  EXPECT_EQ(csv, Cp932Lines("\"a\",\n34.56,\n"));
}

TEST_F(CsvWriterTest, CommaInAnyValueBecomesIdeographicComma) {
  std::string csv = Csv("!ヘッダ空行=0\n!区切り=\t\nf4\tS\ta\nf4\t\tb\n",
                        {Record("11売り・土地", "1", {{4, "南,東"}})});
  EXPECT_EQ(csv, Cp932Lines("\"a\"\t\"b\"\t\n\"南、東\"\t南、東\t\n"));
}

TEST_F(CsvWriterTest, QuoteInQuotedValueIsDoubled) {
  std::string csv = Csv("!ヘッダ空行=0\nf4\tS\ta\nf5\tS\"空\"\tb\n",
                        {Record("11売り・土地", "1", {{4, "say \"hi\""}})});
  EXPECT_EQ(csv, Cp932Lines("\"a\",\"b\",\n\"say \"\"hi\"\"\",\"\"\"空\"\"\",\n"));
}

TEST_F(CsvWriterTest, QuoteInHeadingIsDoubled) {
  std::string csv = Csv("!ヘッダ空行=0\nf4\tS\t\"A\"列\n", {});
  EXPECT_EQ(csv, Cp932Lines("\"\"\"A\"\"列\",\n"));
}

TEST_F(CsvWriterTest, DefaultTextKeepsItsCommas) {
  // Only resolved values have their commas replaced; the default comes from the layout.
  std::string csv = Csv("!ヘッダ空行=0\n!区切り=\t\nf4\tSa,b\ta\n", {Record("11売り・土地", "1")});
  EXPECT_EQ(csv, Cp932Lines("\"a\"\t\n\"a,b\"\t\n"));
}

TEST_F(CsvWriterTest, RecordsWithoutTypeAndEmptyLinesGiveNoLine) {
  std::string csv = Csv("!ヘッダ空行=0\n物件番号\t\tn\n",
                        {Record("", "9"), "", Record("25賃貸・建物一部", "7"), "\t\t"});
  EXPECT_EQ(csv, Cp932Lines("\"n\",\n7,\n"));
}

TEST_F(CsvWriterTest, EachRecordUsesTheColumnNamesOfItsType) {
  // Type 21 calls field 3 "賃料" and field 4 "価格"; unknown type texts use type 25's list.
  std::string names11, names21, names25;
  for (int i = 0; i < 30; ++i) {
    names11 += (i == 3 ? Sjis("価格") : "a" + std::to_string(i)) + "\t";
    names21 += (i == 3 ? Sjis("賃料") : i == 4 ? Sjis("価格") : "b" + std::to_string(i)) + "\t";
    names25 += (i == 5 ? Sjis("価格") : "c" + std::to_string(i)) + "\t";
  }
  std::string all;
  for (int t = 0; t < 10; ++t)
    all += (t == 0 ? names11 : t == 5 ? names21 : t == 9 ? names25 : names11) + "\r\n";
  state.headerLists.LoadFromText(all);
  std::vector<std::pair<int, std::string>> fields = {{3, "3"}, {4, "4"}, {5, "5"}};
  std::string csv = Csv("!ヘッダ空行=0\n価格\tN\tp\n賃料|価格\tN\tr\n",
                        {Record("11売り・土地", "1", fields), Record("21賃貸・土地", "2", fields),
                         Record("25賃貸・建物一部", "3", fields), Record("31その他", "4", fields)});
  EXPECT_EQ(csv, Cp932Lines("\"p\",\"r\",\n3,3,\n4,3,\n5,5,\n5,5,\n"));
}

TEST_F(CsvWriterTest, ValuesAreCutAt2000BytesBeforeCommasAreReplaced) {
  std::string commas(2100, ',');
  std::string csv = Csv("!ヘッダ空行=0\nf4\t\ta\n", {Record("11売り・土地", "1", {{4, commas}})});
  std::string expected = "\"a\",\r\n";
  for (int i = 0; i < 2000; ++i) expected += Sjis("、");
  EXPECT_EQ(csv, expected + ",\r\n");
}

TEST_F(CsvWriterTest, CutNeverSplitsADoubleByteCharacter) {
  std::string value = std::string(1999, 'a') + "あい";
  std::string csv = Csv("!ヘッダ空行=0\nf4\t\ta\n", {Record("11売り・土地", "1", {{4, value}})});
  EXPECT_EQ(csv, "\"a\",\r\n" + std::string(1999, 'a') + ",\r\n");
}

TEST_F(CsvWriterTest, MissingLayoutGivesEmptyHeadingBlankLinesAndEmptyRecordLines) {
  std::string csv = Csv("", {Record("11売り・土地", "1"), Record("12売り・戸建", "2")});
  EXPECT_EQ(csv, "\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(CsvWriterTest, FormatValueAppendsTheLayoutSeparator) {
  CsvLayout layout;
  layout.LoadFromText("!" + Sjis("区切り") + "=;\r\n");
  std::string out = "x";
  FormatValue("a\"b", "S", layout, out);
  FormatValue("", "N7", layout, out);
  FormatValue("2012/3/5", "D", layout, out);
  FormatValue("a,b", "", layout, out);
  EXPECT_EQ(out, "x\"a\"\"b\";7;2012/03/05;a,b;");
}

TEST_F(CsvWriterTest, LongWritesLetTheWindowDispatchMessages) {
  test::ScriptedDesktop desktop;
  state.desktop = &desktop;
  CsvLayout layout;
  layout.LoadFromText(Cp932Lines("物件番号\tS\t番号\n"));
  TextList records;
  for (int i = 0; i < 10000; ++i) records.Add(Record("11売り・土地", std::to_string(i)));
  std::string csv = BuildCsv(state, records, layout);
  EXPECT_GE(desktop.pumps.size(), 2u);
  const std::string last = "\"9999\",\r\n";
  EXPECT_EQ(csv.substr(csv.size() - last.size()), last);
}

TEST_F(CsvWriterTest, WriteCsvReplacesTheFileWhole) {
  const std::string path = state.PathOf("\\csv\\run_csvdata.csv");
  ASSERT_TRUE(WriteFileAtomic(path, std::string(10000, 'z')));
  CsvLayout layout;
  layout.LoadFromText(Cp932Lines("物件番号\tS\t番号\n"));
  TextList records;
  records.Add(Record("11売り・土地", "5"));
  ASSERT_EQ(WriteCsv(state, records, path, layout), 0);
  EXPECT_EQ(Read("\\csv\\run_csvdata.csv"), Cp932Lines("\"番号\",\n\n\n\"5\",\n"));
  // Nothing but the file itself is left in the folder.
  int entries = 0;
  for (const auto& e :
       std::filesystem::directory_iterator(platform::NativePath(state.PathOf("\\csv")))) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST_F(CsvWriterTest, WriteCsvReportsAFileThatCannotBeWritten) {
  CsvLayout layout;
  TextList records;
  EXPECT_EQ(WriteCsv(state, records, state.PathOf("\\no_such_folder\\x.csv"), layout), -1);
}

TEST_F(CsvWriterTest, TotalFilesComeFromTheCurrentStoreWithTheirLayouts) {
  state.csvLayout.LoadFromText(Cp932Lines("物件番号\tS\t番号\n"));
  state.kanriLayout.LoadFromText(Cp932Lines("!ヘッダ空行=0\n価格\tN\t価格\n"));
  TextList store;
  store.Add(Record("11売り・土地", "42", {{3, "3,000万円"}}));
  store.Add("");
  ASSERT_TRUE(store.SaveLines(state.PathOf("\\dat\\TotalData.txt")));
  EXPECT_EQ(WriteTotalCsv(state), 0);
  EXPECT_EQ(Read("\\csv_total\\TotalData_csvdata.csv"), Cp932Lines("\"番号\",\n\n\n\"42\",\n"));
  EXPECT_EQ(Read("\\csv_total\\TotalData_kanri_csvdata.csv"), Cp932Lines("\"価格\",\n3000,\n"));
  EXPECT_FALSE(FileExists(state.PathOf("\\csv_total\\TotalData_kako_csvdata.csv")));
}

TEST_F(CsvWriterTest, PastFilesComeFromThePastStore) {
  state.csvLayout.LoadFromText(Cp932Lines("物件番号\tS\t番号\n"));
  state.kanriLayout.LoadFromText(Cp932Lines("!ヘッダ空行=1\n物件番号\tN\t番号\n"));
  TextList past;
  past.Add(Record("23賃貸・マンション", "77"));
  ASSERT_TRUE(past.SaveLines(state.PathOf("\\dat\\TotalData_Kako.txt")));
  EXPECT_EQ(WritePastCsv(state), 0);
  EXPECT_EQ(Read("\\csv_total\\TotalData_kako_csvdata.csv"),
            Cp932Lines("\"番号\",\n\n\n\"77\",\n"));
  EXPECT_EQ(Read("\\csv_total\\TotalData_kanri_kako_csvdata.csv"),
            Cp932Lines("\"番号\",\n\n77,\n"));
  EXPECT_FALSE(FileExists(state.PathOf("\\csv_total\\TotalData_csvdata.csv")));
}

TEST_F(CsvWriterTest, MissingStoreGivesHeadingOnlyFiles) {
  state.csvLayout.LoadFromText(Cp932Lines("物件番号\tS\t番号\n"));
  EXPECT_EQ(WriteTotalCsv(state), 0);
  EXPECT_EQ(Read("\\csv_total\\TotalData_csvdata.csv"), Cp932Lines("\"番号\",\n\n\n"));
}

TEST_F(CsvWriterTest, TotalFilesReportAMissingOutputFolder) {
  std::filesystem::remove_all(platform::NativePath(state.PathOf("\\csv_total")));
  EXPECT_EQ(WriteTotalCsv(state), -1);
  EXPECT_EQ(WritePastCsv(state), -1);
  // Each file is an error line of its own, with its code and path.
  ASSERT_EQ(state.errorList.Count(), 4);
  EXPECT_NE(FindText(state.errorList.View(0),
                     "\t30003\t" + Sjis("書き込みできませんでした: ") +
                         platform::DisplayPath(state.PathOf("\\csv_total\\TotalData_csvdata.csv"))),
            std::string_view::npos);
  EXPECT_EQ(state.failedWrites, 4);
}

TEST_F(CsvWriterTest, PastAndTotalTogetherWriteWhatEachWritesAlone) {
  state.csvLayout.LoadFromText(Cp932Lines("物件番号\tS\t番号\n価格\tN\t価格\n"));
  state.kanriLayout.LoadFromText(Cp932Lines("!ヘッダ空行=1\n物件番号\tN\t番号\n"));
  // Enough records that both files are read in several pieces while the other is written.
  TextList past, total;
  for (int i = 0; i < 20000; ++i) {
    past.Add(Record("23賃貸・マンション", std::to_string(100000 + i), {{3, "8万円"}}));
    total.Add(Record("11売り・土地", std::to_string(200000 + i), {{3, "3,000万円"}}));
  }
  ASSERT_TRUE(past.SaveLines(state.PathOf("\\dat\\TotalData_Kako.txt")));
  ASSERT_TRUE(total.SaveLines(state.PathOf("\\dat\\TotalData.txt")));
  const char* files[] = {"TotalData_kako_csvdata.csv", "TotalData_kanri_kako_csvdata.csv",
                         "TotalData_csvdata.csv", "TotalData_kanri_csvdata.csv"};
  ASSERT_EQ(WritePastCsv(state), 0);
  ASSERT_EQ(WriteTotalCsv(state), 0);
  std::vector<std::string> alone;
  for (const char* f : files) alone.push_back(Read(std::string("\\csv_total\\") + f));
  EXPECT_GT(alone[2].size(), std::size_t{256} << 10);
  std::filesystem::remove_all(platform::NativePath(state.PathOf("\\csv_total")));
  std::filesystem::create_directory(platform::NativePath(state.PathOf("\\csv_total")));
  ASSERT_EQ(WritePastAndTotalCsv(state), 0);
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(Read(std::string("\\csv_total\\") + files[i]), alone[i]) << files[i];

  // Failures are logged in the order of the one-at-a-time writers: the past files first.
  std::filesystem::remove_all(platform::NativePath(state.PathOf("\\csv_total")));
  EXPECT_EQ(WritePastAndTotalCsv(state), -1);
  ASSERT_EQ(state.errorList.Count(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NE(
        FindText(state.errorList.View(i),
                 platform::DisplayPath(state.PathOf(std::string("\\csv_total\\") + files[i]))),
        std::string_view::npos)
        << i;
  }
}

TEST(NormaliseDateTest, SlashDatesArePadded) {
  EXPECT_EQ(NormaliseDate("2012/3/5"), "2012/03/05");
  EXPECT_EQ(NormaliseDate("12/3/5"), "0012/03/05");
  EXPECT_EQ(NormaliseDate("2012/13/45"), "2012/13/45");  // no range check
  EXPECT_EQ(NormaliseDate("2012//"), "2012/00/00");
  EXPECT_EQ(NormaliseDate("-5/3/1"), "-005/03/01");  // as printf's "%04d" writes it
}

TEST(NormaliseDateTest, WesternYearsWithKanjiUnits) {
  EXPECT_EQ(NormaliseDate(Sjis("2012年3月")), "2012/03/01");
  EXPECT_EQ(NormaliseDate(Sjis("2012年3月30日")), "2012/03/30");
  EXPECT_EQ(NormaliseDate(Sjis("1998年0月0日")), "1998/01/01");
  EXPECT_EQ(NormaliseDate("2012/3"), "2012/01/01");
  EXPECT_EQ(NormaliseDate("2012/3/5/6"), "2012/01/01");
}

TEST(NormaliseDateTest, EraDatesTakeTheFirstOfTheMonth) {
  EXPECT_EQ(NormaliseDate(Sjis("平成23年10月")), "2011/10/01");
  EXPECT_EQ(NormaliseDate(Sjis("昭和50年13月")), "1975/01/01");
  EXPECT_EQ(NormaliseDate(Sjis("大正10年")), "1921/01/01");
  EXPECT_EQ(NormaliseDate(Sjis("明治45年7月")), "1912/07/01");
  EXPECT_EQ(NormaliseDate(Sjis("平成5年3月築")), "1993/03/01");
}

TEST(NormaliseDateTest, NoDateGivesEmpty) {
  EXPECT_EQ(NormaliseDate(Sjis("平成元年5月")), "");
  EXPECT_EQ(NormaliseDate(Sjis("令和2年5月")), "");
  EXPECT_EQ(NormaliseDate(Sjis("(未定)")), "");
  EXPECT_EQ(NormaliseDate(""), "");
  EXPECT_EQ(NormaliseDate(Sjis("相談")), "");
}

TEST(NormaliseDateTest, RemarksInParenthesesAreRemovedFirst) {
  EXPECT_EQ(NormaliseDate(Sjis("2012/3/5(予定)")), "2012/03/05");
  EXPECT_EQ(NormaliseDate(Sjis("平成23年(2011年)10月")), "2011/10/01");
  // The era is read from the text as given: a leading remark hides it.
  EXPECT_EQ(NormaliseDate(Sjis("(築)平成23年10月")), "");
}

TEST(NormaliseDateTest, HugeNumbersNeitherOverflowNorGetCut) {
  EXPECT_EQ(NormaliseDate(Sjis("平成99999999999年1月")), "2147485635/01/01");
  EXPECT_EQ(NormaliseDate("-99999999999/-99999999999/-99999999999"),
            "-2147483648/-2147483648/-2147483648");
}

}  // namespace
}  // namespace kestrova
