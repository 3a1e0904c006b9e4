// The local search over hostile management lines, keys and key lists, through the window's own
// interface. Parts, divided by the part separator: the controls (bytes: type, floor plan, past
// data, duplicates, station, the three key-list selections, the sort column, then the selected
// rows), the Output_Kanri layout (empty: a small layout of its own), the current and the past
// management files, the nine keys as saved (joined by ";"), the start and the end date, and the
// three key-list files. The search runs with every filter off and then with the input's; the
// rows are sorted, copied as text and shown.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "foundation/dates.h"
#include "foundation/desktop.h"
#include "foundation/environment.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "fuzz/fuzz_input.h"
#include "store/csv_layout.h"
#include "store/program_state.h"
#include "ui/search_window.h"

using namespace kestrova;

namespace {

// Columns of every kind the filter reads: date, floor plan, station, the duplicate parts, type.
constexpr char kLayout[] =
    "物件番号\tS\t番号\n更新年月日\tD\t更新日\n図面\tS\t図面\n$駅$\tS\t駅\n価格\tN\t価格\n"
    "会員名\tS\t会員\n$所在地$\tS\t所在地\n物件種別\tS\t種別\n%所在階%\tS\t階\n$徒歩分$\tN\t徒歩\n";

// The controls as the user left them: ReadFields hands them to the window, which keeps its own
// lists (stations, key lists) as it loaded them.
class ScriptedView final : public SearchView {
 public:
  void ReadFields(SearchFields& fields) override {
    fields.state = controls.state;
    fields.station = controls.station;
    fields.keyListSelection = controls.keyListSelection;
    fields.selected = controls.selected;
  }
  void ShowFields(const SearchFields& fields) override { shown = fields; }
  void ShowResults() override {}
  void SelectRows(const std::vector<int>& rows) override { controls.selected = rows; }
  void SetTitle(std::string_view text) override { title = std::string(text); }

  SearchFields controls;
  SearchFields shown;
  std::string title;
};

int Byte(std::string_view controls, std::size_t i) {
  return i < controls.size() ? static_cast<unsigned char>(controls[i]) : 0;
}

// A radio choice of the byte: -1 (none set), 0, 1 or 2.
int Radio(std::string_view controls, std::size_t i) { return Byte(controls, i) % 4 - 1; }

// The two numbers of the title "Kestrova-検索(shown/walked)".
std::pair<long, long> TitleNumbers(const std::string& title) {
  const std::size_t open = title.rfind('(');
  const std::size_t slash = title.rfind('/');
  FUZZ_CHECK(open != std::string::npos && slash != std::string::npos && slash > open, title);
  return {std::stol(title.substr(open + 1)), std::stol(title.substr(slash + 1))};
}

// The place each shown row had when it was added.
std::multiset<int> AddedPlaces(const SearchResults& rows) {
  std::multiset<int> places;
  for (int row = 0; row < rows.RowCount(); ++row) places.insert(rows.AddedAt(row));
  return places;
}

std::string AllCells(const SearchResults& rows, int row, int columns) {
  std::string cells;
  for (int column = 0; column < columns; ++column) cells.append(rows.Cell(row, column)) += '\0';
  return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parts = fuzz::Parts(data, size, 10);
  const std::string_view controls = parts[0];
  const std::string& folder = fuzz::ScratchProgramFolder();
  fuzz::WriteNative(folder + "/csv_total/TotalData_kanri_csvdata.csv", parts[2]);
  fuzz::WriteNative(folder + "/csv_total/TotalData_kanri_kako_csvdata.csv", parts[3]);
  for (int list = 0; list < 3; ++list) {
    fuzz::WriteNative(folder + "/Setting/UserFindKeyList" + std::to_string(list + 1) + ".txt",
                      parts[7 + static_cast<std::size_t>(list)]);
  }

  ProgramState state;
  FixedClock clock{std::string_view("2011/05/08 14:30:00")};
  state.clock = &clock;
  state.environment.SetId(kEnvProgramFolder, platform::ProgramPath(folder));
  state.kanriLayout.LoadFromText(parts[1].empty() ? Sjis(kLayout) : std::string(parts[1]));
  const int columns = state.kanriLayout.Columns();

  ScriptedView view;
  SearchWindow window(state, view);
  if (!window.Load()) return 0;
  const SearchResults& rows = window.Results();

  // Every filter off: each record is shown, and the title counts them.
  SearchFields& wanted = view.controls;
  wanted.state.type = 2;
  wanted.state.plan = 2;
  wanted.state.pastData = Byte(controls, 2) % 2;
  window.RunSearch();
  const long all = rows.RowCount();
  const auto [shownAll, walked] = TitleNumbers(view.title);
  FUZZ_CHECK(shownAll == all && walked == all, view.title);

  // The input's filters: never more rows than with none, and the same records walked.
  wanted.state.keys = SplitSearchKeys(parts[4]);
  wanted.state.startDate = std::string(parts[5]);
  wanted.state.endDate = std::string(parts[6]);
  wanted.state.type = Radio(controls, 0);
  wanted.state.plan = Radio(controls, 1);
  wanted.station = static_cast<int>(Byte(controls, 4)) - 1;  // -1 (none) and beyond the list too
  for (std::size_t list = 0; list < 3; ++list)
    wanted.keyListSelection[list] = static_cast<int>(Byte(controls, 5 + list)) - 1;
  wanted.state.hideDuplicates = 0;
  window.RunSearch();
  const int withDuplicates = rows.RowCount();
  FUZZ_CHECK(withDuplicates <= all, view.title);
  FUZZ_CHECK(TitleNumbers(view.title) == std::make_pair(long{withDuplicates}, walked), view.title);
  wanted.state.hideDuplicates = Byte(controls, 3) % 2;
  window.RunSearch();
  FUZZ_CHECK(rows.RowCount() <= withDuplicates, view.title);

  // Out of range is empty, never a read past the rows.
  FUZZ_CHECK(rows.Cell(rows.RowCount(), 0).empty() && rows.Cell(0, columns).empty() &&
                 rows.Cell(-1, 0).empty() && rows.Cell(0, -1).empty(),
             view.title);

  // The shown text holds no double quote and no line end: a copied row is one line.
  std::vector<int> every(static_cast<std::size_t>(rows.RowCount()));
  for (int row = 0; row < rows.RowCount(); ++row) {
    every[static_cast<std::size_t>(row)] = row;
    for (int column = 0; column < columns; ++column) {
      const std::string_view cell = rows.Cell(row, column);
      FUZZ_CHECK(cell.find_first_of("\"\r\n") == std::string_view::npos, cell);
    }
  }
  const std::string copied = ClipboardText(rows, every, columns);
  FUZZ_CHECK(std::count(copied.begin(), copied.end(), '\n') == rows.RowCount() &&
                 std::count(copied.begin(), copied.end(), '\r') == rows.RowCount(),
             copied);

  // A sort reorders the rows and keeps the selected records selected.
  std::vector<int> selected;
  for (std::size_t i = 9; i < controls.size() && rows.RowCount() > 0; ++i) {
    const int row = Byte(controls, i) % rows.RowCount();
    if (std::find(selected.begin(), selected.end(), row) == selected.end()) selected.push_back(row);
  }
  std::multiset<std::string> cellsBefore, selectedBefore;
  for (int row = 0; row < rows.RowCount(); ++row) cellsBefore.insert(AllCells(rows, row, columns));
  for (int row : selected) selectedBefore.insert(AllCells(rows, row, columns));
  const std::multiset<int> placesBefore = AddedPlaces(rows);
  wanted.selected = selected;
  const int column = columns > 0 ? Byte(controls, 8) % columns : 0;
  for (int round = 0; round < 2 && columns > 0; ++round) {
    window.SortByColumn(column);
    std::multiset<std::string> cellsAfter, selectedAfter;
    for (int row = 0; row < rows.RowCount(); ++row) cellsAfter.insert(AllCells(rows, row, columns));
    for (int row : view.controls.selected) {
      FUZZ_CHECK(row >= 0 && row < rows.RowCount(), view.title);
      selectedAfter.insert(AllCells(rows, row, columns));
    }
    FUZZ_CHECK(cellsAfter == cellsBefore, view.title);
    FUZZ_CHECK(selectedAfter == selectedBefore, view.title);
    FUZZ_CHECK(AddedPlaces(rows) == placesBefore, view.title);
  }

  // The display form and the key-list groups alone, on the raw lines and entries.
  const std::string display = DisplayText(parts[2]);
  FUZZ_CHECK(display.size() <= parts[2].size() && display.find('"') == std::string::npos, display);
  for (std::size_t list = 0; list < 3; ++list) {
    const std::vector<std::string>& entries = view.shown.keyLists[list];
    FUZZ_CHECK(!entries.empty() && entries[0] == SJIS("すべて"), view.title);
    for (int pick : {-1, 0, static_cast<int>(entries.size()), wanted.keyListSelection[list]})
      (void)KeyListGroup(entries, pick);
  }
  window.Close();
  return 0;
}
