#include "store/property_store.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "foundation/platform/platform.h"
#include "foundation/settings_keys.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/error_log.h"
#include "tests/store/store_fixture.h"
#include "tests/support/failing_writes.h"

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
  ASSERT_EQ(MergeNewRows(state), 0);
  EXPECT_EQ(Stored(), (std::vector<std::string>{storedNew, newer}));  // number descending
  EXPECT_EQ(state.newRows.Count(), 0);
  EXPECT_EQ(state.newRowsFound, 0);
  // The run files hold the new rows as they came, the older one included.
  EXPECT_EQ(Read("\\csv\\20120330133227.txt"), newer + "\r\n" + older + "\r\n");
  EXPECT_NE(Read("\\csv\\20120330133227_csvdata.csv").find("\"100000000002\","), std::string::npos);
  // The backup is the store as it was before the merge replaced it.
  EXPECT_EQ(Read("\\dat\\backup_20120330133227_TotalData.txt"),
            storedOld + "\r\n" + storedNew + "\r\n");
  EXPECT_NE(Read("\\csv_total\\TotalData_kanri_csvdata.csv").find("\"100000000001\",2012/03/25,"),
            std::string::npos);
}

TEST_F(PropertyStoreTest, EqualDatesKeepTheGreaterLine) {
  std::string a = Record("11売り・土地", "100000000001", "2012/03/01", {{3, "A"}});
  std::string b = Record("11売り・土地", "100000000001", "2012/03/01", {{3, "B"}});
  Store({a});
  NewRows({b});
  ASSERT_EQ(MergeNewRows(state), 0);
  EXPECT_EQ(Stored(), std::vector<std::string>{b});
}

TEST_F(PropertyStoreTest, EmptyNumbersSortLastAndOnlyTheFirstSurvives) {
  std::string numbered = Record("11売り・土地", "100000000001", "2012/03/01");
  std::string empty1 = Record("11売り・土地", "", "2012/03/05");
  std::string empty2 = Record("11売り・土地", "", "2012/03/01");
  NewRows({empty2, numbered, empty1});
  ASSERT_EQ(MergeNewRows(state), 0);
  EXPECT_EQ(Stored(), (std::vector<std::string>{numbered, empty1}));
}

TEST_F(PropertyStoreTest, NothingHappensWithoutNewRows) {
  Store({Record("11売り・土地", "1", "2012/03/01")});
  state.newRows.Add(Record("11売り・土地", "2", "2012/03/01"));
  state.newRowsFound = 0;
  ASSERT_EQ(MergeNewRows(state), 0);
  EXPECT_EQ(Stored().size(), 1u);
  EXPECT_EQ(Read("\\csv\\20120330133227.txt"), "");
}

TEST_F(PropertyStoreTest, MissingStoreCountsAsEmpty) {
  NewRows({Record("23賃貸・マンション", "5", "2012/03/01")});
  ASSERT_EQ(MergeNewRows(state), 0);
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

// The sort compares "key TAB key TAB <TAB> line" texts as whole byte strings. Keys that are
// prefixes of each other, keys with bytes below the TAB, equal keys with different lines: the
// order must be that of the texts themselves, sorted and reversed.
TEST_F(PropertyStoreTest, SortByKeyColumnsOrdersAsTheKeyTextsCompare) {
  std::mt19937 rng(11);
  const std::string pieces[] = {"1", "12", "12\x01", "12\x7f", "1\x82\xa0", "", "2"};
  TextList list;
  std::vector<std::pair<std::string, std::string>> texts;  // key text, line
  for (int i = 0; i < 400; ++i) {
    std::string line = pieces[rng() % 7] + "\t" + pieces[rng() % 7] + "\t" + pieces[rng() % 7];
    if (rng() % 3 == 0) line += "\t" + pieces[rng() % 7];
    list.Add(line);
    texts.emplace_back(std::string(RecordField(line, 2)) + "\t" +
                           std::string(RecordField(line, 0)) + "\t<\t>" + line,
                       line);
  }
  std::stable_sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) {
    return std::strcmp(a.first.c_str(), b.first.c_str()) < 0;
  });
  std::reverse(texts.begin(), texts.end());
  SortByKeyColumns(list, "2,0");
  ASSERT_EQ(list.Count(), static_cast<int>(texts.size()));
  for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.View(i), texts[i].second) << i;
}

// A store that cannot be written keeps the old file, and the fetched rows stay as they came,
// so the next merge writes them.
TEST_F(PropertyStoreTest, FailedStoreWriteKeepsTheFetchedRowsForTheNextMerge) {
  const std::string stored = Record("11売り・土地", "100000000001", "2012/03/01");
  const std::string fetched = Record("11売り・土地", "100000000002", "2012/03/25");
  Store({stored});
  NewRows({fetched});
  {
    test::FailingWrites full({"\\dat\\TotalData.txt"});
    EXPECT_EQ(MergeNewRows(state), kStoreWriteFailed);
  }
  EXPECT_EQ(Stored(), std::vector<std::string>{stored});
  EXPECT_EQ(state.newRows.ToVector(), std::vector<std::string>{fetched});
  EXPECT_EQ(state.newRowsFound, 1);
  ASSERT_EQ(MergeNewRows(state), 0);
  EXPECT_EQ(Stored(), (std::vector<std::string>{fetched, stored}));
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
  ASSERT_EQ(MergeNewRows(state), 0);
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

// A NUL byte or a block of binary bytes in the store costs no record: every line before and
// after it is merged, the line holding the NUL with a space in its place.
TEST_F(PropertyStoreTest, MergeKeepsEveryRecordAroundNulAndBinaryBytes) {
  std::string bytes;
  std::set<std::string> numbers;
  for (int i = 0; i < 3000; ++i) {
    std::string n = std::to_string(100000000000LL + i);
    numbers.insert(n);
    std::string line = Record("11売り・土地", n, "2012/02/01", {{3, "price"}});
    if (i == 1000) line.replace(line.find("price"), 5, std::string("pr\0ce", 5));
    if (i == 2000) {
      std::string binary(65536, '\0');
      for (std::size_t k = 0; k < binary.size(); ++k)
        binary[k] = static_cast<char>((k * 7919 + k / 13) % 256);
      bytes += binary + "\r\n";
    }
    bytes += line + "\r\n";
  }
  ASSERT_TRUE(WriteFileAtomic(state.PathOf("\\dat\\TotalData.txt"), bytes));
  NewRows({Record("11売り・土地", "200000000000", "2012/03/01")});
  numbers.insert("200000000000");
  EXPECT_EQ(MergeNewRows(state), 0);
  std::set<std::string> seen;
  for (const auto& line : Stored()) {
    seen.insert(std::string(RecordField(line, 2)));
    if (RecordField(line, 2) == "100000001000") {
      EXPECT_EQ(RecordField(line, 3), "pr ce");
    }
  }
  for (const auto& n : numbers) EXPECT_EQ(seen.count(n), 1u) << n;
  EXPECT_EQ(state.errorList.Count(), 0);
}

// A key field ending in "<" before one beginning with ">" looks like the sort's own marker.
TEST_F(PropertyStoreTest, MergeKeepsLinesWhoseKeyFieldsLookLikeTheSortMarker) {
  const std::string odd = Record("11売り・土地", "12<", ">2012/03/01");
  Store({Record("11売り・土地", "100000000001", "2012/03/01")});
  NewRows({odd});
  EXPECT_EQ(MergeNewRows(state), 0);
  EXPECT_EQ(Stored(),
            (std::vector<std::string>{odd, Record("11売り・土地", "100000000001", "2012/03/01")}));
}

// The guards read the store bytes on their own: a store read only up to a NUL, as the line
// reader once did, is found to lose the records behind it.
TEST_F(PropertyStoreTest, GuardsFindRecordsTheRewriteWouldLose) {
  const std::string a = Record("11売り・土地", "1", "2012/03/01");
  const std::string b = Record("11売り・土地", "2", std::string("2012/03\0/01", 11));
  const std::string c = Record("11売り・土地", "3", "2011/01/01");
  const std::string stored = a + "\r\n" + b + "\r" + c + "\n\r\n";
  TextList readToNul;
  readToNul.Add(a);
  readToNul.Add(b.substr(0, b.find('\0')));
  EXPECT_EQ(FirstLostNumber(stored, readToNul), "3");
  TextList all;
  all.LoadLinesFromText(stored);
  EXPECT_EQ(FirstLostNumber(stored, all), "");
  TextList other;
  other.Add(Record("11売り・土地", "4", "2012/03/01"));
  EXPECT_EQ(FirstLostNumber(stored, other), "1");
  EXPECT_EQ(FirstLostNumber("", other), "");

  TextList loaded;
  loaded.Add(a);
  loaded.Add(c);
  EXPECT_EQ(FirstLostRecord(stored, loaded), "2");
  EXPECT_EQ(FirstLostRecord(stored, all), "");
  // A line of the same property that differs is still a record lost.
  TextList changed;
  changed.Add(a);
  changed.Add(all.View(1));
  changed.Add("");
  changed.Add(Record("11売り・土地", "3", "2011/01/02"));
  EXPECT_EQ(FirstLostRecord(stored, changed), "3");
}

TEST_F(PropertyStoreTest, TidyMovesOnlyLinesOlderThanTheRetention) {
  state.settings.Set(keys::kRetentionMonths, "12");
  std::string moved = Record("11売り・土地", "1", "2011/03/29");
  std::string stays = Record("11売り・土地", "2", "2011/03/30");
  std::string blank = Record("11売り・土地", "3", "");
  Store({moved, "", stays, blank});
  ASSERT_TRUE(AppendToFile(state.PathOf("\\dat\\TotalData_Kako.txt"), "earlier\r\n"));
  ASSERT_EQ(TidyData(state), 0);
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
  ASSERT_EQ(TidyData(state), 0);
  EXPECT_EQ(Stored(), std::vector<std::string>{line});
  EXPECT_EQ(Read("\\dat\\TotalData_Kako.txt"), "");
}

TEST_F(PropertyStoreTest, TidyThatCannotAppendToPastDataMovesNothingAndSaysWhere) {
  state.settings.Set(keys::kRetentionMonths, "12");
  const std::string old = Record("11売り・土地", "1", "2011/03/29");
  Store({old});
  {
    test::FailingWrites full({"TotalData_Kako.txt"});
    EXPECT_EQ(TidyData(state), kPastDataWriteFailed);
  }
  EXPECT_EQ(Stored(), std::vector<std::string>{old});
  ASSERT_EQ(state.errorList.Count(), 1);
  EXPECT_NE(FindText(state.errorList.View(0),
                     "\t30002\t" + Sjis("書き込みできませんでした: ") +
                         platform::DisplayPath(state.PathOf("\\dat\\TotalData_Kako.txt"))),
            std::string_view::npos);
  EXPECT_EQ(state.failedWrites, 1);
}

TEST_F(PropertyStoreTest, NonNumericRetentionMeansToday) {
  state.settings.Set(keys::kRetentionMonths, "abc");
  Store({Record("11売り・土地", "1", "2012/03/29"), Record("11売り・土地", "2", "2012/03/30")});
  ASSERT_EQ(TidyData(state), 0);
  EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(PropertyStoreTest, BackupNamesCarryTheStamp) {
  ASSERT_TRUE(WriteFileAtomic(state.PathOf("\\dat\\x.txt"), "bytes"));
  BackupFile(state, state.PathOf("\\dat\\x.txt"));
  EXPECT_EQ(Read("\\dat\\backup_20120330133227_x.txt"), "bytes");
  BackupFile(state, state.PathOf("\\dat\\missing.txt"));
  EXPECT_EQ(FileExists(state.PathOf("\\dat\\backup_20120330133227_missing.txt")), 0);
}

TEST_F(PropertyStoreTest, TidyInTheSecondOfTheMergeKeepsTheStoreAsItWasBeforeTheRun) {
  const std::string before = Record("11売り・土地", "1", "2012/03/01");
  Store({before});
  NewRows({Record("11売り・土地", "2", "2012/03/29")});
  ASSERT_EQ(MergeNewRows(state), 0);
  const std::string merged = Read("\\dat\\TotalData.txt");
  ASSERT_EQ(TidyData(state), 0);  // the same second, as on the first run of a month
  EXPECT_EQ(Read("\\dat\\backup_20120330133227_TotalData.txt"), before + "\r\n");
  EXPECT_EQ(Read("\\dat\\backup_20120330133227-2_TotalData.txt"), merged);
}

TEST_F(PropertyStoreTest, TidyFailingAtEveryCloseCopiesTheStoreOnlyWhenItChanged) {
  state.settings.Set(keys::kRetentionMonths, "12");
  Store({Record("11売り・土地", "1", "2012/03/01")});
  ASSERT_TRUE(AppendToFile(state.PathOf("\\dat\\TotalData_Kako.txt"), "earlier\r\n"));
  auto backups = [this] {
    TextList names;
    ListFiles(state.PathOf("\\dat"), "backup_", names);
    return names.Count();
  };
  test::FailingWrites full({"csv_total"});
  EXPECT_EQ(TidyData(state), kCsvWriteFailed);
  EXPECT_EQ(backups(), 2);
  for (int close = 0; close < 3; ++close) {
    clock.Advance(60);
    EXPECT_EQ(TidyData(state), kCsvWriteFailed);
  }
  EXPECT_EQ(backups(), 2);
  // A store that changed in between is copied again, the past data is not.
  Store({Record("11売り・土地", "2", "2012/03/29")});
  clock.Advance(60);
  EXPECT_EQ(TidyData(state), kCsvWriteFailed);
  EXPECT_EQ(backups(), 3);
  EXPECT_EQ(Read("\\dat\\backup_20120330133627_TotalData.txt"), Read("\\dat\\TotalData.txt"));
}

}  // namespace
}  // namespace kestrova
