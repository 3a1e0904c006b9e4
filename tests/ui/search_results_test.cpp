#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/list_sorter.h"
#include "foundation/sjis.h"
#include "ui/search_window.h"

namespace kestrova {
namespace {

TEST(SearchResultsTest, DisplayTakesOutQuotesAndOnlyTheZerosThatEndANumber) {
  EXPECT_EQ(DisplayText("\"150.00\",\"85.00m2\",1.005,\"2.00\"\"\""), "150,85m2,1.005,2");
  // ".00" without a digit before it, or with one after it, is part of the text.
  EXPECT_EQ(DisplayText("a.00,.00,1.000,12.0,3.00.00"), "a.00,.00,1.000,12.0,3");
}

TEST(SearchResultsTest, CellsFollowTheSeparatorAndStopAtTheLastColumn) {
  SearchResults rows;
  rows.Add("\"1\",\"two\",,\"4\",\"5\"", ",", 4);
  rows.Add("x<>y", "<>", 3);
  ASSERT_EQ(rows.RowCount(), 2);
  EXPECT_EQ(rows.Cell(0, 1), "two");
  EXPECT_EQ(rows.Cell(0, 2), "");
  EXPECT_EQ(rows.Cell(0, 3), "4");
  EXPECT_EQ(rows.Cell(0, 4), "");  // beyond the layout's columns
  EXPECT_EQ(rows.Cell(1, 1), "y");
  EXPECT_EQ(rows.Cell(1, 2), "");  // a short line leaves its last cells empty
  EXPECT_EQ(rows.Cell(2, 0), "");
  // A double-byte separator ("＝", 0x81 0x81) is no separator inside 梶 (0x8A 0x81) before it.
  rows.Add(Sjis("梶＝x"), Sjis("＝"), 2);
  EXPECT_EQ(rows.Cell(2, 0), Sjis("梶"));
}

// The sort keys and the copied rows cut each cell from the record line and display it alone;
// the list cuts the displayed line. Both must give the same cells.
TEST(SearchResultsTest, CellsCutFromTheRecordLineEqualTheCellsOfTheDisplayedLine) {
  const std::vector<std::string> lines = {"\"150.00\",\"85.00m2\",1.005,\"2.00\"\"\",.00,3.00",
                                          "1.00,\"2\".00,\"3.\"00,4.0\"0\"5,,\"\"",
                                          "a.00,.00,1.000,12.0,3.00.00,x,y,z",
                                          Sjis("\"梶\",ソ.00,9\"\".00,表,"),
                                          "",
                                          "only"};
  SearchResults rows;
  for (const std::string& line : lines) rows.AddLine(line, ",", 6);
  std::string copied;
  for (int row = 0; row < rows.RowCount(); ++row) {
    std::string expected;
    for (int column = 0; column < 8; ++column) {
      EXPECT_EQ(rows.CellText(row, column), std::string(rows.Cell(row, column)))
          << "row " << row << " column " << column;
      if (column < 7) expected += std::string(rows.Cell(row, column)) + "\t";
    }
    copied.clear();
    rows.AppendRowText(row, 7, copied);
    EXPECT_EQ(copied, expected + "\r\n") << "row " << row;
  }
  EXPECT_EQ(rows.Cell(1, 1), "2");
  EXPECT_EQ(rows.Cell(1, 2), "3");
  // Add keeps a copy of the line: the row outlives the caller's text.
  {
    std::string line = "\"7\",\"8.00\"";
    rows.Add(line, ",", 2);
    line.assign(line.size(), 'x');
  }
  EXPECT_EQ(rows.Cell(rows.RowCount() - 1, 1), "8");
  EXPECT_EQ(ClipboardText(rows, {rows.RowCount() - 1, 99}, 2), "7\t8\t\r\n");
}

TEST(SearchResultsTest, SorterOrdersNumericColumnAndReversesOnSecondClick) {
  SearchResults rows;
  for (const char* line : {"a,100", "b,2", "c,10", "d,x"}) rows.Add(line, ",", 2);
  ListSorter sorter;
  sorter.Attach(&rows, "0;1", 20);
  for (int row = 0; row < rows.RowCount(); ++row) sorter.AllocKey(row);
  auto firstColumn = [&] {
    std::string order;
    for (int row = 0; row < rows.RowCount(); ++row) order += rows.Cell(row, 0);
    return order;
  };
  sorter.PrepareKeys(1);
  sorter.SortBy(1, -9);
  EXPECT_EQ(firstColumn(), "dbca");  // "x" reads as 0
  sorter.PrepareKeys(1);
  sorter.SortBy(1, -9);
  EXPECT_EQ(firstColumn(), "acbd");
}

// Keys that fit beside their row numbers and keys too long for that sort alike: by their bytes
// as unsigned, a shorter key before a longer one it begins, equal keys in their order either way.
TEST(SearchResultsTest, SortingKeepsEqualKeysInOrderWhateverTheKeyLength) {
  for (int keyLength : {20, 40}) {
    SearchResults rows;
    // 0xB1 (a half-width katakana) orders after ASCII; d's key outgrows the short form at 40.
    for (const char* line :
         {"a,x", "b,\xB1", "c,x", "d,xyyyyyyyyyyyyyyyyyyyyyyyyyyyyy", "e,", "f,x"})
      rows.Add(line, ",", 2);
    ListSorter sorter;
    sorter.Attach(&rows, "0;0", keyLength);
    for (int row = 0; row < rows.RowCount(); ++row) sorter.AllocKey(row);
    auto order = [&] {
      std::string names;
      for (int row = 0; row < rows.RowCount(); ++row) names += rows.Cell(row, 0);
      return names;
    };
    sorter.PrepareKeys(1);
    sorter.SortBy(1, -9);
    EXPECT_EQ(order(), "eacfdb") << keyLength;
    sorter.PrepareKeys(1);
    sorter.SortBy(1, -9);
    EXPECT_EQ(order(), "bdacfe") << keyLength;
  }
}

}  // namespace
}  // namespace kestrova
