#include "store/management_csv.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/sjis.h"
#include "store/csv_layout.h"

namespace kestrova {
namespace {

TEST(ManagementCsvTest, FieldBySourceTakesTheFirstColumnAndDropsQuotes) {
  CsvLayout layout;
  layout.LoadFromText(Sjis("物件番号\tS\t番号\n$駅$\tS\t駅\n$駅$\tS\t駅2\n価格\tN\t価格\n"));
  const std::string line = Sjis("\"12\",\"本\"\"町\",\"梅田\",1980,");
  EXPECT_EQ(FieldBySource(layout, line, Sjis("$駅$")), Sjis("本町"));
  EXPECT_EQ(FieldBySource(layout, line, Sjis("図面")), "");      // not in the layout
  EXPECT_EQ(FieldBySource(layout, "\"12\"", Sjis("価格")), "");  // the line ends before it
}

TEST(ManagementCsvTest, ALongSeparatorIsFoundOnlyAtCharacterStarts) {
  // "＝" is 0x81 0x81.
  const std::string separator = Sjis("＝");
  const std::string line = Sjis("ア＝イ＝＝ウ");
  EXPECT_EQ(RawField(line, separator, 1), Sjis("イ"));
  EXPECT_EQ(RawField(line, separator, 2), "");
  EXPECT_EQ(RawField(line, separator, 3), Sjis("ウ"));
  // 梶 is 0x8A 0x81: its trail byte and the first byte of "＝" are no separator.
  EXPECT_EQ(RawField(Sjis("梶＝x"), separator, 0), Sjis("梶"));
  EXPECT_EQ(RawField(Sjis("梶＝x"), separator, 1), "x");
  EXPECT_EQ(RawField("a,b", "", 1), "b");  // an empty separator reads as ","
}

}  // namespace
}  // namespace kestrova
