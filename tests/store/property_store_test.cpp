#include "store/property_store.h"

#include <set>

#include "foundation/settings_keys.h"
#include "foundation/text_list.h"
#include "tests/store/store_fixture.h"

namespace kestrova {
namespace {

using test::StoreTest;

class PropertyStoreTest : public StoreTest {
 protected:
  void SetUp() override {
    WriteHeaderInfo({{2, "物件番号"}, {18, "更新年月日"}, {1, "物件種別"}});
    WriteSetting("\\Setting\\Output_CSV.txt", "物件番号\tS\t番号\n");
    WriteSetting("\\Setting\\Output_Kanri.txt", "物件番号\tS\t番号\n更新年月日\tD\t更新\n");
    LoadLayouts(state);
  }
  void Store(const std::vector<std::string>& lines) {
    TextList list;
    for (const auto& l : lines) list.Add(l);
    ASSERT_TRUE(list.SaveLines(state.PathOf("\\dat\\TotalData.txt")));
  }
  std::vector<std::string> Stored() {
    TextList list;
    list.LoadLines(state.PathOf("\\dat\\TotalData.txt"));
    return list.ToVector();
  }
  void NewRows(const std::vector<std::string>& lines) {
    for (const auto& l : lines) state.newRows.Add(l);
    state.newRowsFound = 1;
  }
};

TEST_F(PropertyStoreTest, NewerRowReplacesStoredOneAndOlderRowIsDropped) {
  std::string storedOld = Record("11売り・土地", "100000000001", "2012/03/01");
  std::string storedNew = Record("11売り・土地", "100000000002", "2012/03/20");
  Store({storedOld, storedNew});
  std::string newer = Record("11売り・土地", "100000000001", "2012/03/25", {{3, "1,980万円"}});
  std::string older = Record("11売り・土地", "100000000002", "2012/03/10");
  NewRows({newer, older});
  MergeNewRows(state);
  EXPECT_EQ(Stored(), (std::vector<std::string>{storedNew, newer}));  // number descending
  EXPECT_EQ(state.newRows.Count(), 0);
  EXPECT_EQ(state.newRowsFound, 0);
  // The run files hold the new rows as they came, the older one included.
  EXPECT_EQ(Read("\\csv\\20120330133227.txt"), newer + "\r\n" + older + "\r\n");
  EXPECT_NE(Read("\\csv\\20120330133227_csvdata.csv").find("\"100000000002\","), std::string::npos);
  EXPECT_EQ(Read("\\dat\\backup_20120330133227_TotalData.txt"),
            storedNew + "\r\n" + newer + "\r\n");
  EXPECT_NE(Read("\\csv_total\\TotalData_kanri_csvdata.csv").find("\"100000000001\",2012/03/25,"),
            std::string::npos);
}

TEST_F(PropertyStoreTest, EqualDatesKeepTheGreaterLine) {
  std::string a = Record("11売り・土地", "100000000001", "2012/03/01", {{3, "A"}});
  std::string b = Record("11売り・土地", "100000000001", "2012/03/01", {{3, "B"}});
  Store({a});
  NewRows({b});
  MergeNewRows(state);
  EXPECT_EQ(Stored(), std::vector<std::string>{b});
}

TEST_F(PropertyStoreTest, EmptyNumbersSortLastAndOnlyTheFirstSurvives) {
  std::string numbered = Record("11売り・土地", "100000000001", "2012/03/01");
  std::string empty1 = Record("11売り・土地", "", "2012/03/05");
  std::string empty2 = Record("11売り・土地", "", "2012/03/01");
  NewRows({empty2, numbered, empty1});
  MergeNewRows(state);
  EXPECT_EQ(Stored(), (std::vector<std::string>{numbered, empty1}));
}

TEST_F(PropertyStoreTest, NothingHappensWithoutNewRows) {
  Store({Record("11売り・土地", "1", "2012/03/01")});
  state.newRows.Add(Record("11売り・土地", "2", "2012/03/01"));
  state.newRowsFound = 0;
  MergeNewRows(state);
  EXPECT_EQ(Stored().size(), 1u);
  EXPECT_EQ(Read("\\csv\\20120330133227.txt"), "");
}

TEST_F(PropertyStoreTest, MissingStoreCountsAsEmpty) {
  NewRows({Record("23賃貸・マンション", "5", "2012/03/01")});
  MergeNewRows(state);
  EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(PropertyStoreTest, SortByKeyColumnsOrdersDescendingThenByLine) {
  TextList list;
  list.Add("x\ta\t1\t");
  list.Add("y\tb\t1\t");
  list.Add("z\ta\t2\t");
  list.Add("w\ta\t2\t");
  SortByKeyColumns(list, "1,2");
  EXPECT_EQ(list.ToVector(),
            (std::vector<std::string>{"y\tb\t1\t", "z\ta\t2\t", "w\ta\t2\t", "x\ta\t1\t"}));
}

TEST_F(PropertyStoreTest, LargeMergeLosesAndDuplicatesNothing) {
  TextList stored;
  std::set<std::string> numbers;
  for (int i = 0; i < 5000; ++i) {
    std::string n = std::to_string(100000000000LL + i * 3);
    numbers.insert(n);
    stored.Add(Record("13売り・マンション", n, "2012/02/01", {{3, "old"}}));
  }
  ASSERT_TRUE(stored.SaveLines(state.PathOf("\\dat\\TotalData.txt")));
  // 300 updates of stored properties with a later date, 500 new properties.
  for (int i = 0; i < 300; ++i) {
    state.newRows.Add(Record("13売り・マンション", std::to_string(100000000000LL + i * 9),
                             "2012/03/01", {{3, "new"}}));
  }
  for (int i = 0; i < 500; ++i) {
    std::string n = std::to_string(200000000000LL + i);
    numbers.insert(n);
    state.newRows.Add(Record("21賃貸・土地", n, "2012/03/02", {{3, "new"}}));
  }
  state.newRowsFound = 1;
  MergeNewRows(state);
  std::vector<std::string> lines = Stored();
  ASSERT_EQ(lines.size(), numbers.size());
  std::set<std::string> seen;
  int updated = 0;
  for (const auto& l : lines) {
    std::string n(RecordField(l, 2));
    EXPECT_TRUE(seen.insert(n).second) << "duplicate " << n;
    if (RecordField(l, 3) == "new" && n[0] == '1') ++updated;
  }
  EXPECT_EQ(seen, numbers);
  EXPECT_EQ(updated, 300);
}

TEST_F(PropertyStoreTest, TidyMovesOnlyLinesOlderThanTheRetention) {
  state.settings.Set(keys::kRetentionMonths, "12");
  std::string moved = Record("11売り・土地", "1", "2011/03/29");
  std::string stays = Record("11売り・土地", "2", "2011/03/30");
  std::string blank = Record("11売り・土地", "3", "");
  Store({moved, "", stays, blank});
  ASSERT_TRUE(AppendToFile(state.PathOf("\\dat\\TotalData_Kako.txt"), "earlier\r\n"));
  TidyData(state);
  EXPECT_EQ(Stored(), std::vector<std::string>{stays});
  EXPECT_EQ(Read("\\dat\\TotalData_Kako.txt"), "earlier\r\n" + moved + "\r\n" + blank + "\r\n");
  EXPECT_EQ(Read("\\dat\\backup_20120330133227_TotalData_Kako.txt"), "earlier\r\n");
  EXPECT_NE(Read("\\csv_total\\TotalData_kanri_kako_csvdata.csv").find("\"1\",2011/03/29,"),
            std::string::npos);
}

TEST_F(PropertyStoreTest, TidyWithoutUpdateColumnMovesNothing) {
  WriteHeaderInfo({{2, "物件番号"}});
  LoadLayouts(state);
  std::string line = Record("11売り・土地", "1", "2001/01/01");
  Store({line});
  TidyData(state);
  EXPECT_EQ(Stored(), std::vector<std::string>{line});
  EXPECT_EQ(Read("\\dat\\TotalData_Kako.txt"), "");
}

TEST_F(PropertyStoreTest, NonNumericRetentionMeansToday) {
  state.settings.Set(keys::kRetentionMonths, "abc");
  Store({Record("11売り・土地", "1", "2012/03/29"), Record("11売り・土地", "2", "2012/03/30")});
  TidyData(state);
  EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(PropertyStoreTest, BackupNamesCarryTheStamp) {
  ASSERT_TRUE(WriteFileAtomic(state.PathOf("\\dat\\x.txt"), "bytes"));
  BackupFile(state, state.PathOf("\\dat\\x.txt"));
  EXPECT_EQ(Read("\\dat\\backup_20120330133227_x.txt"), "bytes");
  BackupFile(state, state.PathOf("\\dat\\missing.txt"));
  EXPECT_EQ(FileExists(state.PathOf("\\dat\\backup_20120330133227_missing.txt")), 0);
}

}  // namespace
}  // namespace kestrova
