#include "ui/search_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/dates.h"
#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "tests/support/cp932_text.h"
#include "tests/support/recording_search_view.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/temp_folder.h"

namespace kestrova::test {
namespace {

constexpr char kLayout[] =
    "物件番号\tS\t番号\n更新年月日\tD\t更新日\n図面\tS\t図面\n$駅$\tS\t駅\n価格\tN\t価格\n"
    "会員名\tS\t会員\n$所在地$\tS\t所在地\n物件種別\tS\t種別\n";

// One management line as the writer lays it out for kLayout (UTF-8).
std::string Record(const std::string& number, const std::string& date, const std::string& plan,
                   const std::string& station, const std::string& price, const std::string& member,
                   const std::string& place, const std::string& type) {
  return "\"" + number + "\"," + date + ",\"" + plan + "\",\"" + station + "\"," + price + ",\"" +
         member + "\",\"" + place + "\",\"" + type + "\",";
}

class SearchWindowTest : public ::testing::Test {
 protected:
  SearchWindowTest() : clock("2011/05/08 14:30:00"), window(state, view) {
    BuildEnvironment(state.environment, {home.path() + "\\kestrova"});
    state.clock = &clock;
    state.desktop = &desktop;
    state.kanriLayout.LoadFromText(Sjis(kLayout));
    state.settings.Set(keys::kSearchType, "2");
    state.settings.Set(keys::kSearchFloorPlan, "2");
    std::filesystem::create_directories(home.native() + "/csv_total");
    std::filesystem::create_directories(home.native() + "/Setting");
    WriteData(
        "TotalData_kanri_csvdata.csv",
        {Record("1", "2011/05/01", "有", "本町", "1980.00", "A社", "大阪市北区", "11売り・土地"),
         Record("2", "2011/04/15", "無", "梅田", "2500", "B社", "大阪市中央区", "12売り・戸建て"),
         Record("3", "", "有", "本町", "8.5", "A社", "豊中市", "23賃貸・マンション"),
         Record("4", "2011/05/03", "有", "江坂", "12", "C社", "吹田市ポ", "21賃貸・土地")});
  }

  void WriteData(const std::string& file, const std::vector<std::string>& records) {
    std::string text =
        "\"番号\",\"更新日\",\"図面\",\"駅\",\"価格\",\"会員\",\"所在地\",\"種別\",\n\n\n";
    for (const std::string& r : records) text += r + "\n";
    WriteNative(home.native() + "/csv_total/" + file, Cp932Lines(text));
  }
  void WriteList(int list, const std::string& utf8) {
    WriteNative(home.native() + "/Setting/UserFindKeyList" + std::to_string(list) + ".txt",
                Cp932Lines(utf8));
  }
  // The property numbers shown, in list order, after a search with the controls changed.
  template <typename Edit>
  std::string SearchWith(Edit edit) {
    edit(view.controls);
    window.RunSearch();
    return Shown();
  }
  std::string Shown() const {
    std::string numbers;
    for (int row = 0; row < window.Results().RowCount(); ++row)
      numbers += window.Results().Cell(row, 0);
    return numbers;
  }

  TempFolder home;
  FixedClock clock;
  ScriptedDesktop desktop;
  ProgramState state;
  RecordingSearchView view;
  SearchWindow window;
};

TEST_F(SearchWindowTest, OpensWithEveryRecordStationsInByteOrderAndEqualTitleNumbers) {
  ASSERT_TRUE(window.Open());
  EXPECT_EQ(Shown(), "1234");
  EXPECT_EQ(view.titles.back(), "Kestrova-検索(4/4)");
  // 江 (0x8D) before 梅 (0x94) before 本 (0x96); each station once.
  std::vector<std::string> stations;
  for (const std::string& s : view.controls.stations) stations.push_back(Utf8(s));
  EXPECT_EQ(stations, (std::vector<std::string>{"すべて", "江坂", "梅田", "本町"}));
  EXPECT_EQ(window.SortTypes(), "0;0;0;0;1;0;0;0");
  EXPECT_EQ(window.Results().Cell(0, 4), "1980");
}

TEST_F(SearchWindowTest, RefusesToOpenWithoutManagementData) {
  WriteData("TotalData_kanri_csvdata.csv", {});  // heading and two blank lines: 3 lines
  EXPECT_FALSE(window.Open());
  ASSERT_EQ(desktop.Texts(), std::vector<std::string>{"「管理情報作成」を行ってください"});
  EXPECT_TRUE(view.titles.empty());
}

TEST_F(SearchWindowTest, KeyColumnsAreAndedAndTheirRowsOred) {
  ASSERT_TRUE(window.Open());
  EXPECT_EQ(SearchWith([](SearchFields& f) {
              f.state.keys[0] = Sjis("北区");
              f.state.keys[1] = Sjis("中央区");
              f.state.keys[3] = Sjis("A社");
            }),
            "1");  // record 2 holds 中央区 but not A社
  EXPECT_EQ(view.titles.back(), "Kestrova-検索(1/4)");
  // "{" is the trail byte of 本 in record 1 and 3: no match inside a character.
  EXPECT_EQ(SearchWith([](SearchFields& f) {
              f.state.keys = {};
              f.state.keys[6] = "{";
            }),
            "");
  // A ";" typed in a key starts the next key position; the ninth key falls off.
  EXPECT_EQ(SearchWith([](SearchFields& f) {
              f.state.keys = {};
              f.state.keys[0] = Sjis("梅田;豊中");
              f.state.keys[8] = Sjis("X社");
            }),
            "23");
  EXPECT_EQ(Utf8(state.settings.GetView(keys::kSearchKeys)), "梅田;豊中;;;;;;;;X社");
}

// The keys are looked up in the whole file at once: a match inside a character or reaching
// into the next line is passed over and the search goes on in the same line and after it; a
// key held by most lines is tested line by line; either way the same records come out.
TEST_F(SearchWindowTest, WholeFileLookupsFindTheSameRecordsAsALineByLineTest) {
  std::vector<std::string> records;
  for (int i = 0; i < 9000; ++i) {
    // Every third line holds 本 (the trail byte "{" inside it), every seventh a "{" of its own.
    const std::string place = std::string(i % 3 == 0 ? "本" : "北") + (i % 7 == 0 ? "{" : "");
    records.push_back(Record(std::to_string(i), "2011/05/01", "有", "梅田", "1",
                             i % 5 == 0 ? "A社" : "B社", place, "11売り・土地"));
  }
  WriteData("TotalData_kanri_csvdata.csv", records);
  ASSERT_TRUE(window.Open());
  auto expected = [&](auto holds) {
    std::string numbers;
    for (int i = 0; i < 9000; ++i) {
      if (holds(i)) numbers += std::to_string(i);
    }
    return numbers;
  };
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.state.keys[0] = "{"; }),
            expected([](int i) { return i % 7 == 0; }));
  // Two alternatives in the rarest group, one of them common; the other group tests each line.
  EXPECT_EQ(SearchWith([](SearchFields& f) {
              f.state.keys[0] = "{";
              f.state.keys[1] = Sjis("A社");
              f.state.keys[3] = Sjis("本");
            }),
            expected([](int i) { return i % 3 == 0 && (i % 7 == 0 || i % 5 == 0); }));
  // "北" is in two lines of three: the line-by-line walk.
  EXPECT_EQ(SearchWith([](SearchFields& f) {
              f.state.keys = {};
              f.state.keys[0] = Sjis("北");
            }),
            expected([](int i) { return i % 3 != 0; }));
  EXPECT_EQ(view.titles.back(), "Kestrova-検索(6000/9000)");
  // The heading line holds "番号" but is never a record.
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.state.keys[0] = Sjis("番号"); }), "");
  // A key running from one line into the next matches neither.
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.state.keys[0] = Sjis("土地\",\r\n\"1"); }), "");
}

// The command line's find loads the data to give back the pages each pass has read, and the
// whole-file lookup searches it a piece at a time: the records found stay the same, a key that
// lies across the end of a piece included.
TEST_F(SearchWindowTest, GivingBackReadPagesLosesNoRecordAcrossSearchedPieces) {
  const std::string heading =
      "\"番号\",\"更新日\",\"図面\",\"駅\",\"価格\",\"会員\",\"所在地\",\"種別\",\n\n\n";
  auto line = [](const std::string& number, const std::string& place) {
    return Cp932Lines(
        Record(number, "2011/05/01", "有", "梅田", "1", "B社", place, "11売り・土地") + "\n");
  };
  std::string text = Cp932Lines(heading);
  // With no match before it, the first piece searched ends 4 MB after the first record's start.
  const std::size_t pieceEnd = Cp932Lines(heading).size() + (4u << 20);
  int fillers = 0;
  while (text.size() + 400 < pieceEnd) text += line(std::to_string(fillers++), "北");
  // "ZQX" starts one byte before the piece's end, so that only its first byte lies inside.
  const std::size_t before = line("across", "").find("\"\",\"") + 1;
  text += line("across", std::string(pieceEnd - 1 - text.size() - before, 'x') + "ZQX");
  ASSERT_EQ(text.substr(pieceEnd - 1, 3), "ZQX");
  for (int i = 0; i < 30000; ++i) text += line(std::to_string(fillers++), "北");
  text += line("last", "ZQX");
  WriteNative(home.native() + "/csv_total/TotalData_kanri_csvdata.csv", text);

  ASSERT_TRUE(window.Load(true, true));
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.state.keys[0] = "ZQX"; }), "acrosslast");
  // A key in most lines: every line is tested, over pages given back by the passes before.
  SearchWith([](SearchFields& f) { f.state.keys[0] = Sjis("北"); });
  EXPECT_EQ(view.titles.back(),
            "Kestrova-検索(" + std::to_string(fillers) + "/" + std::to_string(fillers + 2) + ")");
  const std::string lastFiller = line(std::to_string(fillers - 1), "北");
  EXPECT_EQ(window.Results().RawLine(fillers - 1), lastFiller.substr(0, lastFiller.size() - 2));
}

TEST_F(SearchWindowTest, KeyListEntriesFilterAndReloadOnlyOnRequest) {
  WriteList(1, "# 駅の候補\n\n梅田|江坂\nすべて\n豊中|\nポ\n＃全角\n");
  WriteList(2, "C社\n");
  ASSERT_TRUE(window.Open());
  std::vector<std::string> entries;
  for (const std::string& e : view.controls.keyLists[0]) entries.push_back(Utf8(e));
  EXPECT_EQ(entries,
            (std::vector<std::string>{"すべて", "梅田|江坂", "すべて", "豊中|", "ポ", "＃全角"}));
  EXPECT_EQ(view.controls.keyLists[2], std::vector<std::string>{Sjis("すべて")});  // no file

  EXPECT_EQ(SearchWith([](SearchFields& f) { f.keyListSelection[0] = 1; }), "24");
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.keyListSelection[1] = 1; }), "4");
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.keyListSelection = {2, 0, 0}; }), "1234");
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.keyListSelection[0] = 3; }), "1234");
  // "ポ" ends in the byte of "|": it is one alternative, found only where it is a character.
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.keyListSelection[0] = 4; }), "4");

  WriteList(1, "本町\n");
  const std::size_t titles = view.titles.size();
  window.Command(SearchCommand::kReloadList1);
  EXPECT_EQ(view.controls.keyLists[0], (std::vector<std::string>{Sjis("すべて"), Sjis("本町")}));
  EXPECT_EQ(view.controls.keyListSelection[0], 0);
  EXPECT_EQ(view.titles.size(), titles);  // no search until the next trigger
  window.Command(static_cast<SearchCommand>(static_cast<int>(SearchCommand::kEditList1) + 1));
  ASSERT_EQ(desktop.opened.size(), 1u);
  EXPECT_TRUE(desktop.opened[0].ends_with("\\Setting\\UserFindKeyList2.txt"));
}

TEST_F(SearchWindowTest, DatesCompareAsTextAndTypePlanAndStationFilter) {
  ASSERT_TRUE(window.Open());
  const std::vector<std::pair<void (*)(SearchFields&), const char*>> cases = {
      {[](SearchFields& f) { f.state.startDate = "2011/05/01"; }, "14"},  // no date: dropped
      {[](SearchFields& f) { f.state.endDate = "2011/04/30"; }, "23"},    // no date: kept
      // Without leading zeros the text orders after every stored date of 2011.
      {[](SearchFields& f) { f.state.startDate = "2011/4/1"; }, ""},
      {[](SearchFields& f) { f.state.type = 0; }, "12"},
      {[](SearchFields& f) { f.state.type = 1; }, "34"},
      {[](SearchFields& f) { f.state.type = -1; }, "1234"},
      {[](SearchFields& f) { f.state.plan = 0; }, "134"},
      {[](SearchFields& f) { f.state.plan = 1; }, "2"},
      {[](SearchFields& f) { f.station = 3; }, "13"},  // 本町
  };
  for (const auto& item : cases) {
    const auto& edit = item.first;
    EXPECT_EQ(SearchWith([&](SearchFields& f) {
                f = window.Fields();
                f.state.startDate = f.state.endDate = "";
                f.state.type = f.state.plan = 2;
                f.station = 0;
                edit(f);
              }),
              item.second);
  }
}

TEST_F(SearchWindowTest, PastDataCountsInTheTitleAndLosesToCurrentDuplicates) {
  WriteData("TotalData_kanri_kako_csvdata.csv",
            {Record("5", "2010/01/01", "有", "本町", "1", "A社", "大阪市北区", "11売り・土地"),
             Record("6", "2010/01/02", "有", "本町", "1", "A社", "大阪市西区", "11売り・土地"),
             Record("7", "2010/01/03", "有", "町", "1", "A社本", "大阪市北区", "11売り・土地")});
  ASSERT_TRUE(window.Open());
  EXPECT_EQ(view.titles.back(), "Kestrova-検索(4/4)");
  EXPECT_EQ(view.controls.stations.size(), 4u);  // past data adds no station
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.state.pastData = 1; }), "1234567");
  EXPECT_EQ(view.titles.back(), "Kestrova-検索(7/7)");
  // Record 5 repeats record 1 in every part of the duplicate key; record 7 only in the parts
  // run together (A社 + 本町 against A社本 + 町).
  EXPECT_EQ(SearchWith([](SearchFields& f) { f.state.hideDuplicates = 1; }), "123467");
  EXPECT_EQ(view.titles.back(), "Kestrova-検索(6/7)");
}

TEST_F(SearchWindowTest, ClearPresetsAndCloseKeepWhatTheyDoNotReset) {
  ASSERT_TRUE(window.Open());
  SearchWith([](SearchFields& f) {
    f.state.keys[0] = Sjis("本町");
    f.state.startDate = "2011/05/01";
    f.station = 1;
    f.keyListSelection = {0, 0, 1};
  });
  window.Command(SearchCommand::kClear);
  EXPECT_EQ(view.controls.state.keys, (std::array<std::string, 9>{}));
  EXPECT_EQ(view.controls.station + view.controls.keyListSelection[2], 0);
  EXPECT_EQ(Shown(), "14");  // the date range stays

  // 1日, 2日, 2週, 1月, 1年 from 2011/05/08.
  for (const auto& [offset, start] : std::vector<std::pair<int, std::string>>{{0, "2011/05/08"},
                                                                              {1, "2011/05/07"},
                                                                              {4, "2011/04/25"},
                                                                              {5, "2011/04/08"},
                                                                              {8, "2010/05/08"}}) {
    window.Command(
        static_cast<SearchCommand>(static_cast<int>(SearchCommand::kPreset1Day) + offset));
    EXPECT_EQ(view.controls.state.startDate + "-" + view.controls.state.endDate,
              start + "-2011/05/08");
  }
  EXPECT_EQ(Shown(), "124");
  window.Command(SearchCommand::kPresetAll);
  EXPECT_EQ(Shown(), "1234");

  view.controls.state.endDate = "2011/12/31";
  window.Close();
  SearchState saved;
  LoadSearchState(state.settings, saved);
  EXPECT_EQ(saved.endDate, "2011/12/31");
  EXPECT_EQ(saved.startDate, "");
  state.settings.Set(keys::kSearchFloorPlan, "");
  state.settings.Set(keys::kDoubleClickAction, "5");
  LoadSearchState(state.settings, saved);
  EXPECT_EQ(saved.plan, 0);         // an empty value reads as 0
  EXPECT_EQ(saved.doubleClick, 0);  // not an entry of the double-click list
}

TEST_F(SearchWindowTest, SortingTwiceReversesAndKeepsTheSelectedRecords) {
  ASSERT_TRUE(window.Open());
  window.SortByColumn(4);
  EXPECT_EQ(Shown(), "3412");       // 8.5 reads as 8
  view.controls.selected = {0, 1};  // the records 3 and 4
  window.SortByColumn(4);
  EXPECT_EQ(Shown(), "2143");
  EXPECT_EQ(view.controls.selected, (std::vector<int>{2, 3}));  // the same records, sorted anew
  EXPECT_EQ(ClipboardText(window.Results(), {1, 9}, 3), "1\t2011/05/01\t" + Sjis("有") + "\t\r\n");
  view.controls.selected = {1};  // record 1
  window.SortByColumn(4);
  EXPECT_EQ(Shown(), "3412");
  EXPECT_EQ(view.controls.selected, std::vector<int>{2});
}

}  // namespace
}  // namespace kestrova::test
