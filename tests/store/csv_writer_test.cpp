#include "store/csv_writer.h"

#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "tests/store/store_fixture.h"

namespace kestrova {
namespace {

using test::StoreTest;

class CsvWriterTest : public StoreTest {
 protected:
  void SetUp() override {
    WriteHeaderInfo({{2, "物件番号"}, {3, "価格"}, {18, "更新年月日"}, {5, "所在地"}});
    LoadLayouts(state);
  }
  std::string Csv(const std::string& layoutUtf8, const std::vector<std::string>& records) {
    CsvLayout layout;
    std::string text;
    for (char c : layoutUtf8) {
      if (c == '\n') text += '\r';
      text += c;
    }
    layout.LoadFromText(Sjis(text));
    TextList list;
    for (const auto& r : records) list.Add(r);
    return BuildCsv(state, list, layout);
  }
};

TEST_F(CsvWriterTest, WritesHeadingBlankLinesAndRecords) {
  std::string csv = Csv("物件番号\tS\t番号\n価格\tN\t価格\n",
                        {Record("11売り・土地", "12345", "2012/03/01", {{3, "1,980万円"}})});
  EXPECT_EQ(csv, Sjis("\"番号\",\"価格\",\r\n\r\n\r\n\"12345\",1980,\r\n"));
}

TEST_F(CsvWriterTest, SettingsChangeSeparatorAndBlankLines) {
  std::string csv = Csv("' a comment\n!区切り=\t\n!ヘッダ空行=0\n!unknown=1\n物件番号\tS\t番号\n",
                        {Record("11売り・土地", "1", "")});
  EXPECT_EQ(csv, Sjis("\"番号\"\t\r\n\"1\"\t\r\n"));
}

TEST_F(CsvWriterTest, TypeCodesAndTheirDefaults) {
  std::string csv = Csv("!ヘッダ空行=0\nf4\tS\ta\nf4\tS未定\tb\nf4\tN0\tc\nf6\tD\td\nf7\t\te\n",
                        {Record("11売り・土地", "1", "", {{6, "平成23年10月"}, {7, "as is"}})});
  EXPECT_EQ(csv, Sjis("\"a\",\"b\",\"c\",\"d\",\"e\",\r\n\"\",\"未定\",0,2011/10/01,as is,\r\n"));
}

TEST_F(CsvWriterTest, CommasBecomeIdeographicAndQuotesAreDoubled) {
  std::string csv = Csv("!ヘッダ空行=0\nf4\tS\ta\nf6\tS\tb\n",
                        {Record("11売り・土地", "1", "", {{4, "a,b"}, {6, "say \"hi\""}})});
  EXPECT_EQ(csv, Sjis("\"a\",\"b\",\r\n\"a、b\",\"say \"\"hi\"\"\",\r\n"));
}

TEST_F(CsvWriterTest, RecordsWithoutTypeAndEmptyLinesAreSkipped) {
  std::string noType = Record("", "9", "");
  std::string csv = Csv("!ヘッダ空行=0\n物件番号\t\tn\n", {noType, "", Record("25賃貸・建物一部", "7", "")});
  EXPECT_EQ(csv, Sjis("\"n\",\r\n7,\r\n"));
}

TEST_F(CsvWriterTest, MissingLayoutGivesEmptyHeadingAndEmptyLines) {
  std::string csv = Csv("", {Record("11売り・土地", "1", "")});
  EXPECT_EQ(csv, "\r\n\r\n\r\n\r\n");
}

TEST(NormaliseDateTest, WesternEraAndBrokenDates) {
  EXPECT_EQ(NormaliseDate("2012/3/5"), "2012/03/05");
  EXPECT_EQ(NormaliseDate(Sjis("2012年3月")), "2012/03/01");
  EXPECT_EQ(NormaliseDate(Sjis("2012年3月30日")), "2012/03/30");
  EXPECT_EQ(NormaliseDate(Sjis("平成23年10月")), "2011/10/01");
  EXPECT_EQ(NormaliseDate(Sjis("昭和50年13月")), "1975/01/01");
  EXPECT_EQ(NormaliseDate(Sjis("平成元年5月")), "");
  EXPECT_EQ(NormaliseDate(Sjis("(未定)")), "");
  EXPECT_EQ(NormaliseDate(Sjis("令和2年5月")), "");
  EXPECT_EQ(NormaliseDate(Sjis("2012/3/5(予定)")), "2012/03/05");
}

TEST_F(CsvWriterTest, TotalFilesAreWrittenFromTheStore) {
  WriteSetting("\\Setting\\Output_CSV.txt", "物件番号\tS\t番号\n");
  WriteSetting("\\Setting\\Output_Kanri.txt", "価格\tN\t価格\n");
  LoadLayouts(state);
  TextList store;
  store.Add(Record("11売り・土地", "42", "", {{3, "3,000万円"}}));
  ASSERT_TRUE(store.SaveLines(state.PathOf("\\dat\\TotalData.txt")));
  WriteTotalCsv(state);
  EXPECT_EQ(Read("\\csv_total\\TotalData_csvdata.csv"), Sjis("\"番号\",\r\n\r\n\r\n\"42\",\r\n"));
  EXPECT_EQ(Read("\\csv_total\\TotalData_kanri_csvdata.csv"), Sjis("\"価格\",\r\n\r\n\r\n3000,\r\n"));
}

}  // namespace
}  // namespace kestrova
