// The local search window without a toolkit: the two management CSV files read once when the
// window opens, the nine keys, the three key lists and the other filters run over their raw
// lines, and the rows that pass, shown through the Output_Kanri layout and sortable by column.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/line_file.h"
#include "foundation/list_sorter.h"
#include "foundation/text_list.h"

namespace kestrova {

struct CsvLayout;
struct ProgramState;
class SettingsStore;

// The controls kept between runs ("//ini/検索用/..."), cp932 texts.
struct SearchState {
  // Column 1 rows 1-3, column 2 rows 1-3, column 3 rows 1-3; saved joined by ";".
  std::array<std::string, 9> keys;
  std::string startDate;  // "YYYY/MM/DD" or empty; compared as text
  std::string endDate;
  int type = 0;            // 0 売買, 1 賃貸, 2 両方; -1 (no radio set) acts as both
  int plan = 2;            // 0 図面有, 1 図面無, 2 両方; -1 acts as both
  int pastData = 0;        // "過去データを含める"
  int hideDuplicates = 0;  // "重複非表示"
  int doubleClick = 0;     // index of the double-click action (a ResultAction 0-4)
};

// The nine keys of the saved "%s;%s;..." text: split at every ";" with empty fields kept; a
// tenth field and beyond are dropped, missing ones stay empty.
std::array<std::string, 9> SplitSearchKeys(std::string_view joined);
void LoadSearchState(const SettingsStore& settings, SearchState& state);
void SaveSearchState(SettingsStore& settings, const SearchState& state);

// Whether the list's columns fit their headings and first rows on opening: while the column
// widths are the shipped ones, which were measured for another column order than the shipped
// layout's. A fitted column is measured over the first kFitRows rows (a long list opens as
// fast as a short one) and is at most kFitChars full-width characters wide.
bool ColumnsFitContents(const SettingsStore& settings);
inline constexpr int kFitRows = 100;
inline constexpr int kFitChars = 16;

// The actions on selected result rows. The numbers 0-4 are the entries of the double-click
// list, in its order.
enum class ResultAction : int {
  kOpenPdf = 0,              // "PDFを開く"
  kCopyPdfToDesktop = 1,     // "PDFをﾃﾞｽｸﾄｯﾌﾟへCopy"
  kCopyInfoToClipboard = 2,  // "情報をクリップボードへCopy"
  kOpenDetailPage = 3,       // "詳細HTMLを開く"
  kOpenLocation = 4,         // "所在地を開く"
  kExportCompatibleCsv = 5,  // "互換CSV出力" (menu only)
  kCollectDragFiles = 6,     // dragging rows out (no menu entry)
};

// The right-button menu, in its order, and the double-click list (the first five actions).
const std::vector<ResultAction>& MenuActions();
// The menu / double-click text of an action (cp932).
std::string_view ActionText(ResultAction action);

// The shown rows: one per record that passed, its cells as displayed (double quotes taken out,
// ".00" taken off the end of a number), with a sort-key buffer each. The sorter reorders rows.
// A row keeps its record line where it lies (AddLine) or a copy of it (Add) and cuts its cells
// when they are asked for, so a search that passes a million lines copies none of them.
class SearchResults : public ListControl {
 public:
  void Clear();
  // Appends a copy of the record line as a row, cut at the separator into at most columns cells.
  void Add(std::string_view rawLine, std::string_view separator, int columns);
  // As Add, without the copy: the line must outlive the row (the window's loaded data does).
  void AddLine(std::string_view rawLine, std::string_view separator, int columns);

  int RowCount() const override { return static_cast<int>(rows_.size()); }
  std::string CellText(int row, int column) const override;
  // Where the rows that were at these places before a sort stand now, in list order.
  std::vector<int> RowsNow(const std::vector<int>& beforeSort,
                           const std::vector<int>& addedBeforeSort) const;
  // The place at which the row was added (a search adds in file order).
  int AddedAt(int row) const { return rows_[static_cast<std::size_t>(row)].added; }
  // The record line of the row, as it was given.
  std::string_view RawLine(int row) const { return Line(rows_[static_cast<std::size_t>(row)]); }
  // The cell as displayed; empty for a row or column out of range. The text stays valid until
  // the rows are cleared.
  std::string_view Cell(int row, int column) const;
  // Appends the row as the clipboard has it: each of the first columns cells and a TAB, CR LF.
  void AppendRowText(int row, int columns, std::string& out) const;

  std::string& RowKey(int row) override { return rows_[static_cast<std::size_t>(row)].key; }
  bool HasRowKey(int row) const override;
  void AllocRowKey(int row, std::size_t size) override;
  void FreeRowKey(int row) override;
  void SortRows(const std::function<int(const std::string&, const std::string&)>& compare) override;
  void SortRowsByKeys(int flag) override;

 private:
  struct Shape {
    std::string separator;
    int columns = 0;
  };
  struct Row {
    const char* line = nullptr;  // the raw record line
    std::uint32_t length = 0;
    int added = 0;  // the row's place when it was added, kept through sorting
    std::uint16_t shape = 0;
    bool hasKey = false;
    std::string key;
  };
  // The row's displayed cells, each followed by '\0', cut from the whole displayed line.
  const std::string& ShownCells(const Row& row) const;
  std::string_view Line(const Row& row) const { return {row.line, row.length}; }

  std::vector<Row> rows_;
  std::vector<Shape> shapes_;
  std::vector<std::unique_ptr<std::string>> copies_;  // the lines given to Add
  // The cells of the rows that Cell was asked for, by the place at which they were added.
  mutable std::unordered_map<int, std::string> shown_;
};
// The rows as text, as the clipboard gets them: every cell of the first columns followed by a
// TAB (the last one too), CR LF after each row. Rows out of range are left out.
std::string ClipboardText(const SearchResults& rows, const std::vector<int>& selected, int columns);

// The line as the list shows it: every double quote taken out, and ".00" taken out where it
// ends a number (a digit before it, none after it), so 150.00 shows as 150 and 1.005 stays.
std::string DisplayText(std::string_view rawLine);
// Appends DisplayText(raw) to out.
void AppendDisplayText(std::string_view raw, std::string& out);

// A key list's entries from its file: "すべて", then every line that is neither empty nor begins
// with "#", in file order. A missing file gives "すべて" alone.
std::vector<std::string> LoadKeyList(const std::string& path);
// The alternatives of the selected entry (split at every "|", empty pieces kept); none when the
// first entry, no entry or an entry "すべて" is selected.
std::vector<std::string> KeyListGroup(const std::vector<std::string>& entries, int selected);

// The window's controls (cp932 texts).
struct SearchFields {
  SearchState state;                  // nine keys, dates, radio groups, check boxes, action
  std::vector<std::string> stations;  // "駅": "すべて", then every station of the current data
  int station = 0;                    // selected entry, -1 none
  std::array<std::vector<std::string>, 3> keyLists;  // "すべて", then the file's entries
  std::array<int, 3> keyListSelection{0, 0, 0};      // selected entry of each, -1 none
  std::vector<int> selected;                         // the selected result rows, in list order
};

// The buttons and lists of the window, by control id.
enum class SearchCommand : int {
  kSearch = 1,         // "検索" (the default button: Enter in a key box)
  kClear = 1001,       // "クリア"
  kPreset1Day = 1010,  // "1日" "2日" "3日" "1週" "2週" "1月" "2月" "3月" "1年" "ALL": 1010-1019
  kPresetAll = 1019,
  kEditList1 = 1020,    // "検索設定" of key list 1-3: 1020-1022
  kReloadList1 = 1023,  // "★再読込" of key list 1-3: 1023-1025
};

class SearchView {
 public:
  virtual ~SearchView() = default;
  // Controls into fields (the user's edits and selections).
  virtual void ReadFields(SearchFields& fields) = 0;
  // Fields into controls (keys, dates, radio groups, lists, selections).
  virtual void ShowFields(const SearchFields& fields) = 0;
  // The rows changed (a search or a sort): the list shows Results() anew.
  virtual void ShowResults() = 0;
  // Selects exactly these result rows (a sort keeps the records selected, not the places).
  virtual void SelectRows(const std::vector<int>& rows) = 0;
  virtual void SetTitle(std::string_view title) = 0;
};

// The management lines of the window, read once when it opens.
struct ManagementData {
  LineFile current;  // "\\csv_total\\TotalData_kanri_csvdata.csv", every line
  LineFile past;     // "\\csv_total\\TotalData_kanri_kako_csvdata.csv"; empty when missing
};

class SearchWindow {
 public:
  SearchWindow(ProgramState& state, SearchView& view);

  SearchFields& Fields() { return fields_; }
  void ReadFields() { view_.ReadFields(fields_); }
  void ShowFields() { view_.ShowFields(fields_); }
  const SearchResults& Results() const { return results_; }
  const ManagementData& Data() const { return data_; }
  const CsvLayout& Layout() const;
  // "1;" per "N" column, "0;" for any other, the last ";" removed.
  std::string SortTypes() const;
  // The column the rows were last sorted by and its direction (the view's sort arrow).
  const ListSorter& Sorter() const { return sorter_; }

  // The opening: data read, stations, key lists, saved state, the first search. false (after
  // "「管理情報作成」を行ってください") when the current data holds 3 lines or fewer: the window
  // closes then.
  bool Open();
  // The opening without its search: data read, stations, key lists, saved state shown. false
  // as Open. Without stations the station box holds "すべて" alone (a search that chooses no
  // station, from the command line, skips a pass over the current data). With releasePassed
  // each pass over the data gives back the pages it has read (a run that searches once and
  // writes the rows in file order, as the command line's find does, then never holds both
  // files in memory).
  bool Load(bool withStations = true, bool releasePassed = false);
  // Saves the state from the controls, walks the lines and fills the results; sets the title
  // "Kestrova-検索(shown/walked)".
  void RunSearch();
  // A button of the window.
  void Command(SearchCommand id);
  // A click on a column heading: sorts by it; the same column again reverses.
  void SortByColumn(int column);
  // The column the rows are sorted by, for the heading's sort arrow; -1 while they stand in
  // file order (before a sort, and after every search).
  int SortedColumn() const { return sortedColumn_; }
  bool SortedDescending() const { return sorter_.sortFlag() != 0; }
  // The double-click: the chosen action on every selected row.
  void DoubleClick();
  // The action on the selected rows (fields.selected); kCollectDragFiles answers the PDF paths
  // found, every other action an empty list.
  std::vector<std::string> RunAction(ResultAction action);
  // The close box: state saved (position and column widths are the dialog's).
  void Close();

 private:
  std::string KeyListPath(int list) const;
  void Preset(int index);

  ProgramState& state_;
  SearchView& view_;
  SearchFields fields_;
  ManagementData data_;
  SearchResults results_;
  ListSorter sorter_;
  int sortedColumn_ = -1;
};

}  // namespace kestrova
