#include "foundation/list_sorter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "foundation/sjis.h"

namespace kestrova {
namespace {

// A list control held in memory: rows of cells plus each row's key.
class FakeList : public ListControl {
 public:
  explicit FakeList(std::vector<std::vector<std::string>> rows)
      : rows_(std::move(rows)), keys_(rows_.size()) {}
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  std::string CellText(int row, int column) const override {
    const auto& r = rows_[static_cast<std::size_t>(row)];
    return column >= 0 && static_cast<std::size_t>(column) < r.size()
               ? r[static_cast<std::size_t>(column)]
               : "";
  }
  std::string& RowKey(int row) override { return keys_[static_cast<std::size_t>(row)].second; }
  bool HasRowKey(int row) const override { return keys_[static_cast<std::size_t>(row)].first; }
  void AllocRowKey(int row, std::size_t size) override {
    keys_[static_cast<std::size_t>(row)] = {true, std::string()};
    keys_[static_cast<std::size_t>(row)].second.reserve(size);
  }
  void FreeRowKey(int row) override {
    keys_[static_cast<std::size_t>(row)] = {false, std::string()};
  }
  void SortRows(
      const std::function<int(const std::string&, const std::string&)>& compare) override {
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return compare(keys_[a].second, keys_[b].second) < 0;
    });
    std::vector<std::vector<std::string>> rows;
    std::vector<std::pair<bool, std::string>> keys;
    for (std::size_t i : order) {
      rows.push_back(rows_[i]);
      keys.push_back(keys_[i]);
    }
    rows_ = rows;
    keys_ = keys;
  }
  std::vector<std::string> Column(int c) const {
    std::vector<std::string> out;
    for (int r = 0; r < RowCount(); ++r) out.push_back(CellText(r, c));
    return out;
  }

 private:
  std::vector<std::vector<std::string>> rows_;
  std::vector<std::pair<bool, std::string>> keys_;
};

using V = std::vector<std::string>;

class ListSorterTest : public ::testing::Test {
 protected:
  void Attach(FakeList& list, const char* descriptors) {
    sorter.Attach(&list, descriptors, 20);
    for (int r = 0; r < list.RowCount(); ++r) sorter.AllocKey(r);
  }
  void Click(int column) {
    ASSERT_EQ(sorter.PrepareKeys(column), 0);
    ASSERT_EQ(sorter.SortBy(column, -9), 0);
  }
  ListSorter sorter;
};

TEST_F(ListSorterTest, NumericColumnTogglesDirection) {
  FakeList list({{"10", "b"}, {"2", "a"}, {"100", "c"}});
  Attach(list, "1;0");
  Click(0);
  EXPECT_EQ(list.Column(0), (V{"2", "10", "100"}));
  Click(0);
  EXPECT_EQ(list.Column(0), (V{"100", "10", "2"}));
  Click(1);
  EXPECT_EQ(list.Column(1), (V{"a", "b", "c"}));
}

TEST_F(ListSorterTest, NonNumbersSortAsZero) {
  FakeList list({{"5"}, {"abc"}, {"1"}});
  Attach(list, "1");
  Click(0);
  EXPECT_EQ(list.Column(0), (V{"abc", "1", "5"}));
}

TEST_F(ListSorterTest, OffsetsAndOwnFormats) {
  FakeList list({{"No.30"}, {"No.4"}, {"No.200"}});
  Attach(list, "%8d,3");
  Click(0);
  EXPECT_EQ(list.Column(0), (V{"No.4", "No.30", "No.200"}));
}

TEST_F(ListSorterTest, KeysOfNumericColumnsAreTwelveWide) {
  FakeList list({{"42"}, {"x"}});
  Attach(list, "1");
  ASSERT_EQ(sorter.PrepareKeys(0), 0);
  EXPECT_EQ(list.RowKey(0), "          42");
  EXPECT_EQ(list.RowKey(1), "           0");
}

// A format that does not hold exactly one conversion of the column's kind would make the
// formatting read arguments it is not given; such a column falls back to the plain key.
TEST_F(ListSorterTest, UnusableOwnFormatsFallBack) {
  FakeList list({{"7", "7", "7", "7", "7"}});
  Attach(list, "%d%d;%n;%s%s;%-4s;%05d");
  const std::pair<int, const char*> expected[] = {
      {0, "           7"}, {1, "           7"}, {2, "7"}, {3, "7   "}, {4, "00007"}};
  for (const auto& [column, key] : expected) {
    ASSERT_EQ(sorter.PrepareKeys(column), 0);
    EXPECT_EQ(list.RowKey(0), key) << column;
  }
}

TEST_F(ListSorterTest, OffsetBeyondTheCellGivesAnEmptyKey) {
  FakeList list({{"abc"}, {"abcdef"}});
  Attach(list, "0,4");
  ASSERT_EQ(sorter.PrepareKeys(0), 0);
  EXPECT_EQ(list.RowKey(0), "");
  EXPECT_EQ(list.RowKey(1), "ef");
}

TEST_F(ListSorterTest, RowsWithoutKeysAreLeftAlone) {
  FakeList list({{"b"}, {"a"}});
  sorter.Attach(&list, "0", 20);
  sorter.AllocKey(0);
  ASSERT_EQ(sorter.PrepareKeys(0), 0);
  EXPECT_EQ(list.RowKey(0), "b");
  EXPECT_FALSE(list.HasRowKey(1));
  ASSERT_EQ(sorter.FreeAllKeys(), 0);
  EXPECT_FALSE(list.HasRowKey(0));
}

TEST_F(ListSorterTest, AttachKeepsColumnsWhenGivenNone) {
  FakeList list({{"10"}, {"9"}});
  Attach(list, "1");
  sorter.Attach(&list, "", 0);  // neither descriptors nor key length: both stay
  EXPECT_EQ(sorter.keyLength(), 20);
  Click(0);
  EXPECT_EQ(list.Column(0), (V{"9", "10"}));
}

TEST_F(ListSorterTest, TextKeysAreCutAtWholeCharacters) {
  std::string base = std::string(19, 'a');
  FakeList list({{base + Sjis("日")}, {base + "b"}});
  Attach(list, "0");
  ASSERT_EQ(sorter.PrepareKeys(0), 0);
  EXPECT_EQ(list.RowKey(0), base);  // the 20th byte would cut the double-byte character
  EXPECT_EQ(list.RowKey(1), base + "b");
}

TEST_F(ListSorterTest, StateRules) {
  EXPECT_EQ(sorter.SetSortState(2, -9), 0);
  EXPECT_EQ(sorter.SetSortState(2, -9), -1);
  EXPECT_EQ(sorter.SetSortState(2, -9), 0);
  EXPECT_EQ(sorter.SetSortState(3, -9), 0);
  EXPECT_EQ(sorter.SetSortState(3, 5), 5);
  EXPECT_LT(ListSorter::CompareKeys("a", "b", 0), 0);
  EXPECT_GT(ListSorter::CompareKeys("a", "b", -1), 0);
}

TEST_F(ListSorterTest, NothingAttachedRefuses) {
  EXPECT_EQ(sorter.PrepareKeys(0), -1);
  EXPECT_EQ(sorter.SortBy(0, -9), -1);
  EXPECT_EQ(sorter.AllocKey(0), -1);
  EXPECT_EQ(sorter.FreeAllKeys(), -1);
}

}  // namespace
}  // namespace kestrova
