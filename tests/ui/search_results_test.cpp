#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace kestrova
