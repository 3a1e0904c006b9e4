// Result page parser: purely positional. The page is cut into row groups at the row marker, each
// group into table-row segments at "</tr>", each segment cleaned to cells; cells are copied into
// the record by position. What cannot be found comes out empty.
#include "service/result_page_parser.h"

#include <utility>
#include <vector>

#include "foundation/line_reader.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "service/http_exchange.h"
#include "service/page_text.h"
#include "service/service_requests.h"
#include "store/program_state.h"
#include "store/property_record.h"

namespace kestrova {

namespace {

constexpr std::string_view kRowMarker = "<td class=\"rlTeB\" rowspan=\"2\" nowrap>";
constexpr std::string_view kResultCellMarker = "td class=\"rbTeT\"";
constexpr std::string_view kFloorPlanIcon = "/zumen.gif";
constexpr std::string_view kCellMarker = "<***>";
constexpr std::size_t kDealFieldBytes = 100;  // closing date, price and number as stored

// Where the record's fields come from: segment, first cell, number of cells. Fields 2-29 in
// order; cell 0 of segment 2 is not used.
struct CellRun {
  int segment;
  int firstCell;
  int count;
};
constexpr CellRun kCellRuns[] = {{0, 2, 6}, {1, 0, 5}, {2, 1, 5}, {3, 0, 5}, {4, 0, 7}};
constexpr int kSegmentsUsed = 5;
constexpr int kLocationCell = 5;  // of segment 0

// NUL is dropped too: a record holding one would end its line file early when read back.
bool IsDroppedBlank(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\0'; }

// Full-width spaces inside the municipality name go; the one before the building name stays.
void NormaliseLocation(std::string& location) {
  static const char* const kPairs[][2] = {{"市　", "市"}, {"郡　", "郡"}, {"区　", "区"},
                                          {"　東", "東"}, {"　西", "西"}, {"　南", "南"},
                                          {"　北", "北"}, {"　中", "中"}};
  static const auto converted = [] {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& p : kPairs) pairs.emplace_back(Sjis(p[0]), Sjis(p[1]));
    return pairs;
  }();
  for (const auto& [what, with] : converted) ReplaceAllAligned(location, what, with);
}

// The cleaned cells of the first kSegmentsUsed table-row segments of a row group.
struct RowCells {
  std::string work[kSegmentsUsed];
  std::vector<std::string_view> cells[kSegmentsUsed];

  explicit RowCells(std::string_view chunk) {
    std::vector<std::string_view> segments = SplitAligned(chunk, "</tr>", kSegmentsUsed);
    for (std::size_t k = 0; k < segments.size(); ++k) {
      work[k].assign(segments[k]);
      CleanRowSegment(work[k]);
      cells[k] = SplitAligned(work[k], kCellMarker);
    }
  }
  std::string_view Cell(int segment, int cell) const {
    const auto& c = cells[segment];
    return static_cast<std::size_t>(cell) < c.size() ? c[static_cast<std::size_t>(cell)]
                                                     : std::string_view();
  }
};

// The record line, without its line end.
std::string BuildRecord(const RowCells& row, bool floorPlan, std::string_view typeText) {
  std::string out;
  out += floorPlan ? SJIS("有") : SJIS("無");
  out += '\t';
  out += typeText;
  out += '\t';
  for (const CellRun& run : kCellRuns) {
    for (int j = run.firstCell; j < run.firstCell + run.count; ++j) {
      if (run.segment == 0 && j == kLocationCell) {
        std::string location(row.Cell(0, j));
        NormaliseLocation(location);
        out += location;
      } else {
        out += row.Cell(run.segment, j);
      }
      out += '\t';
    }
  }
  return out;
}

void StoreDeal(ProgramState& state, const RowCells& row) {
  std::string number = CopyNChars(row.Cell(0, 2), kDealFieldBytes);
  std::string price = CopyNChars(row.Cell(0, 3), kDealFieldBytes);
  std::string date = CopyNChars(row.Cell(3, 0), kDealFieldBytes);
  ReplaceAllAligned(price, SJIS("万円"), "");
  ReplaceAllAligned(price, SJIS("円"), "");
  ReplaceAllAligned(price, ",", "");
  state.dealStore.Set(number, date + "\t" + price);  // an empty number stores nothing
}

}  // namespace

const TypeTable& TypeTable::Get() {
  static const TypeTable table = [] {
    TypeTable t;
    t.labels.Split(Sjis("売り・土地</;売り・建物全部</;売り・マンション</;売り・建物一部</;"
                        "売り・戸建て</;賃貸・土地</;賃貸・建物全部</;賃貸・マンション</;"
                        "賃貸・建物一部</;賃貸・戸建て</"),
                   ";");
    t.typeTexts.Split(Sjis("11売り・土地;14売り・建物全部;13売り・マンション;15売り・建物一部;"
                           "12売り・戸建て;21賃貸・土地;24賃貸・建物全部;23賃貸・マンション;"
                           "25賃貸・建物一部;22賃貸・戸建て"),
                      ";");
    return t;
  }();
  return table;
}

std::string_view TypeTable::Detect(std::string_view text) const {
  for (int e = 0; e < labels.Count(); ++e) {
    if (FindAligned(text, labels.View(e)) != std::string_view::npos) return typeTexts.View(e);
  }
  return {};
}

bool IsCutResultPage(std::string_view page) {
  return FindAligned(page, HundredthHitMarker()) != std::string_view::npos;
}

void CleanRowSegment(std::string& segment) {
  ReplaceAllAligned(segment, "</td>", kCellMarker);
  RemoveTagsInPlace(segment);
  // Blanks are single bytes below 0x40, never the trail byte of a well-formed character, so
  // they go byte by byte; a malformed pair thus cannot carry a line end into a record.
  std::erase_if(segment, IsDroppedBlank);
  ReplaceAllAligned(segment, "&nbsp;", "-");
}

void ParseResultText(ProgramState& state, std::string_view page, TextList& pageRows,
                     SearchKind kind) {
  pageRows.Clear();
  std::string cleaned;
  if (!IsCleanPageText(page)) {
    cleaned = CleanPageText(page);
    page = cleaned;
  }
  if (IsCutResultPage(page)) {
    LogError(state, kLostResultsCode,
             SJIS("100件以上の為、取りこぼしました(検索対象の日付の範囲を縮めてください)"));
  }
  const TypeTable& types = TypeTable::Get();
  std::string_view typeText;  // lives for one page: a row without a label inherits it
  // The text before the first marker is a chunk like the others.
  for (std::string_view chunk : SplitAligned(page, kRowMarker)) {
    std::string_view detected = types.Detect(chunk);
    if (!detected.empty()) typeText = detected;
    if (FindAligned(chunk, kResultCellMarker) == std::string_view::npos) continue;
    RowCells row(chunk);
    if (kind == SearchKind::kClosedDeals) {
      StoreDeal(state, row);
    } else {
      bool floorPlan = FindAligned(chunk, kFloorPlanIcon) != std::string_view::npos;
      pageRows.Add(BuildRecord(row, floorPlan, typeText));
    }
  }
  if (kind != SearchKind::kListings || pageRows.Count() == 0) {
    pageRows.Clear();
    return;
  }
  // As the page's lines cut at their line ends: the last entry is empty, and it travels into
  // the run-wide list like the others (every consumer skips empty lines).
  pageRows.Add("");
  pageRows.CopyTo(state.newRows);
  state.newRowsFound = 1;
}

void ParseResultPage(ProgramState& state, const std::string& path, TextList& pageRows,
                     SearchKind kind) {
  LineReaderPtr reader = Open(path, "fr");
  if (!reader) {
    pageRows.Clear();
    return;
  }
  std::string page = Utf8ToAnsi(reader->Text());
  Close(reader);
  ParseResultText(state, page, pageRows, kind);
}

}  // namespace kestrova
