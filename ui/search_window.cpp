#include "ui/search_window.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <unordered_set>

#include "foundation/dates.h"
#include "foundation/desktop.h"
#include "foundation/message_pump.h"
#include "foundation/platform/platform.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "store/csv_layout.h"
#include "store/management_csv.h"
#include "store/program_state.h"
#include "ui/default_settings.h"

namespace kestrova {

namespace {

constexpr int kSortKeyLength = 20;
constexpr char kTitle[] = "Kestrova";

}  // namespace

// ";" is below 0x40, so it is never a trail byte.
std::array<std::string, 9> SplitSearchKeys(std::string_view joined) {
  std::array<std::string, 9> keys;
  std::size_t start = 0;
  for (std::string& key : keys) {
    const std::size_t at = joined.find(';', start);
    key = joined.substr(start, at == std::string_view::npos ? at : at - start);
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  return keys;
}

namespace {

// Whether the byte at `at` starts a character: the lead-byte-range bytes right before it pair
// up as lead and trail bytes exactly when there is an even number of them.
bool AtCharStart(std::string_view text, std::size_t at) {
  std::size_t leads = 0;
  while (leads < at && IsLeadByte(static_cast<unsigned char>(text[at - leads - 1]))) ++leads;
  return leads % 2 == 0;
}

// A search text looked for in raw lines: a byte search (memchr for the first byte, which is
// quicker on this text than a skip table), a match that begins on a trail byte passed over.
// The empty text occurs in every line.
class LineKey {
 public:
  explicit LineKey(std::string_view text) : text_(text) {}

  bool In(std::string_view line) const {
    if (text_.empty()) return true;
    for (std::size_t from = 0;;) {
      const std::size_t at = line.find(text_, from);
      if (at == std::string_view::npos) return false;
      if (AtCharStart(line, at)) return true;
      from = at + 1;
    }
  }

  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// At least one text of the group occurs in the line.
bool AnyIn(const std::vector<LineKey>& group, std::string_view line) {
  return std::any_of(group.begin(), group.end(), [&](const LineKey& k) { return k.In(line); });
}

// Everything one search tests, prepared before the walk so that the walk allocates nothing
// for a line it drops.
struct Filter {
  std::string_view separator;
  std::vector<std::vector<LineKey>> groups;  // only groups that can drop a line
  std::string start, end;
  int dateColumn = -1;
  std::vector<LineKey> type;  // "売り・" or "賃貸・", or none
  std::string plan;           // "有" or "無", or empty for no test
  int planColumn = -1;
  std::string station;  // empty: no station test
  int stationColumn = -1;
  bool hideDuplicates = false;
  std::array<int, 8> duplicateColumns{};

  std::string buffer;
  std::string duplicateKey;
  std::unordered_set<std::string> seen;

  std::string_view Field(std::string_view line, int column) {
    return Unquoted(RawField(line, separator, column), buffer);
  }

  bool Passes(std::string_view line) {
    for (const std::vector<LineKey>& group : groups) {
      if (!AnyIn(group, line)) return false;
    }
    if (!start.empty() || !end.empty()) {
      const std::string_view date = Field(line, dateColumn);
      if (!start.empty() && date < start) return false;
      if (!end.empty() && date > end) return false;
    }
    if (!type.empty() && !type.front().In(line)) return false;
    if (!plan.empty() && Field(line, planColumn) != plan) return false;
    if (!station.empty() && Field(line, stationColumn) != station) return false;
    if (hideDuplicates) {
      duplicateKey.clear();
      // Each part closed by a NUL, which no line holds: "A" + "B C" never equals "A B" + "C".
      for (int column : duplicateColumns) duplicateKey.append(Field(line, column)) += '\0';
      if (!seen.insert(duplicateKey).second) return false;
    }
    return true;
  }
};

// The group the walk looks up in the whole file: the one with the fewest texts, of those the one
// whose shortest text is longest (a long text is rarely found by chance); -1 when there is none.
int LeadingGroup(const std::vector<std::vector<LineKey>>& groups) {
  int best = -1;
  std::size_t bestCount = 0, bestLength = 0;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    std::size_t shortest = std::string::npos;
    for (const LineKey& key : groups[g]) shortest = std::min(shortest, key.Text().size());
    if (best < 0 || groups[g].size() < bestCount ||
        (groups[g].size() == bestCount && shortest > bestLength)) {
      best = static_cast<int>(g);
      bestCount = groups[g].size();
      bestLength = shortest;
    }
  }
  return best;
}

// The lines from `first` on that hold at least one text of the group, in file order; nothing
// when the texts turn out to be common. The whole file is searched at once, so a text found in
// few lines costs about one pass over the file; where most lines hold it, testing each line on
// its own is quicker than starting the search again after every hit.
std::optional<std::vector<int>> LinesHolding(const LineFile& lines, int first,
                                             const std::vector<LineKey>& group) {
  constexpr std::size_t kFewHits = 4096;
  constexpr std::size_t kLinesPerHit = 16;
  constexpr std::size_t kPiece = 4 << 20;
  const std::string_view text = lines.Text();
  const std::size_t begin = lines.Count() > first
                                ? static_cast<std::size_t>(lines.View(first).data() - text.data())
                                : text.size();
  std::vector<int> found;
  for (const LineKey& key : group) {
    const std::string& k = key.Text();
    const std::size_t before = found.size();
    std::size_t released = begin;
    for (std::size_t from = begin; from < text.size();) {
      // A piece at a time, so that the pages searched can be given back as the search goes: a
      // match in the piece is the first from `from` on; without one, the next piece starts
      // where a match reaching past this piece's end would.
      const std::size_t end = std::min(text.size(), from + kPiece);
      const std::size_t at = platform::FindBytes(text.substr(0, end), k, from);
      if (at == std::string_view::npos) {
        if (end == text.size()) break;
        from = std::max(from + 1, end - std::min(end, k.size() - 1));
        lines.ReleasePassed(from, released);
        continue;
      }
      lines.ReleasePassed(at, released);
      const int index = lines.LineAt(at);
      const std::string_view line = lines.View(index);
      const std::size_t start = static_cast<std::size_t>(line.data() - text.data());
      // A match reaching past the line's end (a text holding a line end) is none.
      if (at + k.size() <= start + line.size() && AtCharStart(line, at - start)) {
        found.push_back(index);
        from = start + line.size() + 1;  // one hit is enough for a line
        const std::size_t hits = found.size() - before;
        if (hits > kFewHits && hits * kLinesPerHit > static_cast<std::size_t>(index - first))
          return std::nullopt;
      } else {
        from = at + 1;
      }
    }
  }
  if (group.size() > 1) {
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
  }
  return found;
}

// Calls pass(line) for each line from `first` on that passes the filter, in file order.
template <typename Pass>
void WalkPassing(const LineFile& lines, int first, Filter& filter, Pass pass) {
  // Groups hold no empty text: a group with one passes every line and is left out.
  const int leading = LeadingGroup(filter.groups);
  const std::optional<std::vector<int>> holding =
      leading < 0 ? std::nullopt
                  : LinesHolding(lines, first, filter.groups[static_cast<std::size_t>(leading)]);
  // Each line is read once: a pass that may give back what it has read does.
  std::size_t released = 0;
  auto test = [&](int i) {
    const std::string_view line = lines.View(i);
    lines.ReleasePassed(static_cast<std::size_t>(line.data() - lines.Text().data()), released);
    if (filter.Passes(line)) pass(line);
  };
  if (!holding) {
    for (int i = first; i < lines.Count(); ++i) test(i);
    return;
  }
  for (int i : *holding) test(i);
}

}  // namespace

void LoadSearchState(const SettingsStore& settings, SearchState& state) {
  state.keys = SplitSearchKeys(settings.GetView(keys::kSearchKeys));
  state.startDate = settings.GetView(keys::kSearchDateFrom);
  state.endDate = settings.GetView(keys::kSearchDateTo);
  state.type = ToInt(settings.GetView(keys::kSearchType));
  state.plan = ToInt(settings.GetView(keys::kSearchFloorPlan));
  state.pastData = ToInt(settings.GetView(keys::kSearchPastData));
  state.hideDuplicates = ToInt(settings.GetView(keys::kSearchHideDuplicates));
  state.doubleClick = ToInt(settings.GetView(keys::kDoubleClickAction));
  // The list holds the first five actions only: an edited file must not make a double-click
  // export or collect files.
  if (state.doubleClick < 0 || state.doubleClick > static_cast<int>(ResultAction::kOpenLocation))
    state.doubleClick = 0;
}

bool ColumnsFitContents(const SettingsStore& settings) {
  for (const DefaultSetting& setting : DefaultSettings()) {
    if (setting.key == &keys::kSearchColumnWidths)
      return settings.GetView(keys::kSearchColumnWidths) == setting.value;
  }
  return false;
}

void SaveSearchState(SettingsStore& settings, const SearchState& state) {
  std::string joined;
  for (std::size_t i = 0; i < state.keys.size(); ++i) {
    if (i > 0) joined += ';';
    joined += state.keys[i];
  }
  settings.Set(keys::kSearchKeys, joined);
  settings.Set(keys::kSearchDateFrom, state.startDate);
  settings.Set(keys::kSearchDateTo, state.endDate);
  settings.SetInt(keys::kSearchType, state.type);
  settings.SetInt(keys::kSearchFloorPlan, state.plan);
  settings.SetInt(keys::kSearchPastData, state.pastData);
  settings.SetInt(keys::kSearchHideDuplicates, state.hideDuplicates);
  settings.SetInt(keys::kDoubleClickAction, state.doubleClick);
}

SearchWindow::SearchWindow(ProgramState& state, SearchView& view) : state_(state), view_(view) {}

const CsvLayout& SearchWindow::Layout() const { return state_.kanriLayout; }

std::string SearchWindow::SortTypes() const {
  std::string types;
  for (int i = 0; i < Layout().Columns(); ++i) {
    if (i > 0) types += ';';
    types += Layout().types.View(i).starts_with('N') ? '1' : '0';
  }
  return types;
}

bool SearchWindow::Open() {
  if (!Load()) return false;
  RunSearch();
  return true;
}

bool SearchWindow::Load(bool withStations, bool releasePassed) {
  sorter_.Attach(&results_, SortTypes(), kSortKeyLength);
  // The rows point into the loaded lines.
  results_.Clear();
  data_.current.Load(state_.PathOf("\\csv_total\\TotalData_kanri_csvdata.csv"), state_.desktop,
                     releasePassed);
  data_.past.Load(state_.PathOf("\\csv_total\\TotalData_kanri_kako_csvdata.csv"), state_.desktop,
                  releasePassed);
  if (data_.current.Count() <= 3) {
    state_.desktop->Message(SJIS("「管理情報作成」を行ってください"), kTitle,
                            MessageIcon::kInformation, MessageButtons::kOk);
    return false;
  }

  // Stations of the current data only, in byte order (std::string compares bytes unsigned).
  const int stationColumn = SourceColumn(Layout(), SJIS("$駅$"));
  std::set<std::string, std::less<>> stations;
  std::string buffer;
  std::size_t released = 0;
  for (int i = Layout().blankLines + 1; withStations && i < data_.current.Count(); ++i) {
    const std::string_view line = data_.current.View(i);
    data_.current.ReleasePassed(static_cast<std::size_t>(line.data() - data_.current.Text().data()),
                                released);
    const std::string_view station =
        Unquoted(RawField(line, Layout().separator, stationColumn), buffer);
    if (!station.empty() && stations.find(station) == stations.end()) stations.emplace(station);
    // A million lines take a while: the window keeps answering.
    if (i % 65536 == 0) PumpMessages(state_.desktop, 1);
  }
  fields_.stations.assign({SJIS("すべて")});
  fields_.stations.insert(fields_.stations.end(), stations.begin(), stations.end());
  fields_.station = 0;

  for (int list = 0; list < 3; ++list) {
    fields_.keyLists[static_cast<std::size_t>(list)] = LoadKeyList(KeyListPath(list));
    fields_.keyListSelection[static_cast<std::size_t>(list)] = 0;
  }
  LoadSearchState(state_.settings, fields_.state);
  fields_.selected.clear();
  ShowFields();
  PumpMessages(state_.desktop, 1);
  return true;
}

void SearchWindow::RunSearch() {
  ReadFields();
  SaveSearchState(state_.settings, fields_.state);

  const CsvLayout& layout = Layout();
  Filter filter;
  filter.separator = layout.separator;
  // The key columns as the setting reads back: a ";" typed in a key starts the next key.
  const std::array<std::string, 9> typed =
      SplitSearchKeys(state_.settings.GetView(keys::kSearchKeys));
  for (std::size_t column = 0; column < 3; ++column) {
    std::vector<LineKey> group;
    for (std::size_t row = 0; row < 3; ++row) {
      if (!typed[column * 3 + row].empty()) group.emplace_back(typed[column * 3 + row]);
    }
    if (!group.empty()) filter.groups.push_back(std::move(group));
  }
  for (std::size_t list = 0; list < 3; ++list) {
    const std::vector<std::string> pieces =
        KeyListGroup(fields_.keyLists[list], fields_.keyListSelection[list]);
    // An empty alternative occurs in every line: such a group drops nothing.
    if (pieces.empty() || std::find(pieces.begin(), pieces.end(), "") != pieces.end()) continue;
    filter.groups.emplace_back(pieces.begin(), pieces.end());
  }
  const SearchState& s = fields_.state;
  filter.start = s.startDate;
  filter.end = s.endDate;
  filter.dateColumn = SourceColumn(layout, SJIS("更新年月日"));
  if (s.type == 0) filter.type.emplace_back(SJIS("売り・"));
  if (s.type == 1) filter.type.emplace_back(SJIS("賃貸・"));
  if (s.plan == 0) filter.plan = SJIS("有");
  if (s.plan == 1) filter.plan = SJIS("無");
  filter.planColumn = SourceColumn(layout, SJIS("図面"));
  if (fields_.station >= 0 && fields_.station < static_cast<int>(fields_.stations.size()) &&
      fields_.stations[static_cast<std::size_t>(fields_.station)] != SJIS("すべて")) {
    filter.station = fields_.stations[static_cast<std::size_t>(fields_.station)];
  }
  filter.stationColumn = SourceColumn(layout, SJIS("$駅$"));
  filter.hideDuplicates = s.hideDuplicates == 1;
  static const std::array<const char*, 8> kDuplicateParts = {
      "会員名",   "%所在階%", "%土地面積%", "%建物面積１%",
      "%築年月%", "$駅$",     "$徒歩分$",   "$所在地$"};
  for (std::size_t i = 0; i < kDuplicateParts.size(); ++i)
    filter.duplicateColumns[i] = SourceColumn(layout, Sjis(kDuplicateParts[i]));

  sorter_.FreeAllKeys();
  results_.Clear();
  sortedColumn_ = -1;
  fields_.selected.clear();
  const int skip = layout.blankLines + 1;
  int walked = 0;
  auto walk = [&](const LineFile& lines) {
    WalkPassing(lines, skip, filter, [&](std::string_view line) {
      results_.AddLine(line, layout.separator, layout.Columns());
      sorter_.AllocKey(results_.RowCount() - 1);
    });
    // A file shorter than its heading block walks no record (and counts none).
    walked += std::max(0, lines.Count() - skip);
  };
  walk(data_.current);
  if (s.pastData == 1) walk(data_.past);

  view_.ShowResults();
  view_.SetTitle(SJIS("Kestrova-検索(") + std::to_string(results_.RowCount()) + "/" +
                 std::to_string(walked) + ")");
}

void SearchWindow::Command(SearchCommand id) {
  const int n = static_cast<int>(id);
  if (id == SearchCommand::kSearch) {
    RunSearch();
  } else if (id == SearchCommand::kClear) {
    ReadFields();
    for (std::string& key : fields_.state.keys) key.clear();
    fields_.station = 0;
    fields_.keyListSelection = {0, 0, 0};
    ShowFields();
    RunSearch();
  } else if (n >= static_cast<int>(SearchCommand::kPreset1Day) &&
             n <= static_cast<int>(SearchCommand::kPresetAll)) {
    Preset(n - static_cast<int>(SearchCommand::kPreset1Day));
  } else if (n >= static_cast<int>(SearchCommand::kEditList1) &&
             n < static_cast<int>(SearchCommand::kReloadList1)) {
    ReadFields();
    // The user's editor; whether it opens is the desktop's business, and nothing is refreshed.
    (void)state_.desktop->ShellOpen(KeyListPath(n - static_cast<int>(SearchCommand::kEditList1)));
  } else if (n >= static_cast<int>(SearchCommand::kReloadList1) &&
             n < static_cast<int>(SearchCommand::kReloadList1) + 3) {
    ReadFields();
    const std::size_t list =
        static_cast<std::size_t>(n - static_cast<int>(SearchCommand::kReloadList1));
    fields_.keyLists[list] = LoadKeyList(KeyListPath(static_cast<int>(list)));
    fields_.keyListSelection[list] = 0;
    ShowFields();
  }
}

void SearchWindow::Preset(int index) {
  struct Step {
    int field;
    int amount;
  };
  static constexpr std::array<Step, 9> kSteps = {{{kDays, 0},
                                                  {kDays, -1},
                                                  {kDays, -2},
                                                  {kDays, -6},
                                                  {kDays, -13},
                                                  {kMonths, -1},
                                                  {kMonths, -2},
                                                  {kMonths, -3},
                                                  {kYears, -1}}};
  ReadFields();
  if (index < static_cast<int>(kSteps.size())) {
    const std::string now = Now(*state_.clock);
    const Step step = kSteps[static_cast<std::size_t>(index)];
    fields_.state.endDate = now.substr(0, 10);
    fields_.state.startDate = AddToDate(now, step.field, step.amount).substr(0, 10);
  } else {
    fields_.state.startDate.clear();
    fields_.state.endDate.clear();
  }
  ShowFields();
  RunSearch();
}

void SearchWindow::SortByColumn(int column) {
  ReadFields();
  std::vector<int> added(static_cast<std::size_t>(results_.RowCount()));
  for (int row = 0; row < results_.RowCount(); ++row)
    added[static_cast<std::size_t>(row)] = results_.AddedAt(row);
  sorter_.PrepareKeys(column);
  sorter_.SortBy(column, -9);
  sortedColumn_ = column;
  fields_.selected = results_.RowsNow(fields_.selected, added);
  view_.ShowResults();
  view_.SelectRows(fields_.selected);
}

void SearchWindow::Close() {
  ReadFields();
  SaveSearchState(state_.settings, fields_.state);
}

std::string SearchWindow::KeyListPath(int list) const {
  return state_.PathOf("\\Setting\\UserFindKeyList" + std::to_string(list + 1) + ".txt");
}

}  // namespace kestrova
