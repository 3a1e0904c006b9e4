#include "service/search_downloads.h"

#include <vector>

#include "foundation/files.h"
#include "foundation/message_pump.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "service/detail_page_parser.h"
#include "service/http_exchange.h"
#include "service/main_fields.h"
#include "service/result_page_parser.h"
#include "service/service_requests.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

std::vector<std::string_view> SplitTabs(std::string_view row) {
  std::vector<std::string_view> fields;
  std::size_t from = 0;
  for (;;) {
    std::size_t tab = row.find('\t', from);
    fields.push_back(row.substr(from, tab == std::string_view::npos ? row.npos : tab - from));
    if (tab == std::string_view::npos) return fields;
    from = tab + 1;
  }
}

std::string_view FieldOf(const std::vector<std::string_view>& fields, std::size_t i) {
  return i < fields.size() ? fields[i] : std::string_view();
}

// Writes a fetched page or PDF whole (WriteFileAtomic), off the window's thread while a window
// waits for it.
bool WriteFetched(ProgramState& state, const std::string& path, const std::string& bytes) {
  bool written = false;
  RunPumping(state.desktop, [&] { written = WriteFileAtomic(path, bytes, 0644, false); });
  return written;
}

void Show(OnlineContext& context) {
  context.window.ShowFields();
  PumpMessages(context.state.desktop, 100);
}

// One download of a row: the request, and the answer written to target only when it arrived
// whole, so a failed download leaves an earlier file as it was and no empty file behind. true
// when the service answered; an answer that could not be saved is logged and counted.
bool Download(OnlineContext& context, DownloadKind& kind, const std::string& kindName,
              const char* path, const std::string& number, const std::string& body,
              const std::string& target, std::string& answer) {
  WaitPumping(context.state.desktop, LoadReductionMs(context.state.settings));
  if (context.state.StopRequested()) return false;
  int rc =
      SendRequest(context.session, ServiceUrl(context.state.settings, path), false, body, answer);
  const TransportFailure failure = context.session.lastFailure;
  // A request ended by a stop is no failure of the service: the run's stop line tells it.
  if (rc != 0 && failure == TransportFailure::kStopped) return false;
  kind.timeoutsInARow =
      rc != 0 && failure == TransportFailure::kTimeout ? kind.timeoutsInARow + 1 : 0;
  if (rc != 0) {
    LogError(context.state, rc,
             SJIS("ダウンロードできませんでした: 物件番号 ") + number + " " + path + " (" +
                 FailureCause(rc, context.session) + ")");
    if (kind.timeoutsInARow >= kTimeoutsBeforeGivingUp) {
      kind.givenUp = true;
      LogError(context.state, kDownloadsGivenUpCode,
               kindName + SJIS("の取得が ") + std::to_string(kind.timeoutsInARow) +
                   SJIS(" 回続けてタイムアウトしたため、この実行では以降の") + kindName +
                   SJIS("を取得しません"));
    }
    return false;
  }
  if (!WriteFetched(context.state, target, answer)) {
    LogWriteFailure(context.state, kPageWriteFailed, target);
    ++context.downloadsNotSaved;
  }
  return true;
}

void DownloadRow(OnlineContext& context, const std::vector<std::string_view>& row) {
  ProgramState& state = context.state;
  MainFields& fields = context.window.Fields();
  const std::string number(FieldOf(row, 2));
  const bool wantDetail = fields.detail != 0 && !context.detailPages.givenUp;
  const bool wantPdf =
      FieldOf(row, 0) == SJIS("有") && fields.pdf != 0 && !context.floorPlans.givenUp;
  if (!wantDetail && !wantPdf) return;

  const std::string_view typeCode = TypeCodeOf(FieldOf(row, 1));
  const std::string folder = PropertyFolder(typeCode, FieldOf(row, 5));
  if (!IsSafePropertyPath(typeCode, FieldOf(row, 5), number)) {
    const bool tooLong = !FitsAsName(number) || !FitsAsName(MunicipalityFolder(FieldOf(row, 5)));
    LogError(state, kRefusedNameCode,
             (tooLong ? SJIS("ファイル名として長すぎる名前のためダウンロードしません: ")
                      : SJIS("ファイル名に使えない名前のためダウンロードしません: ")) +
                 folder + "\\" + number);
    return;
  }
  const std::string base = state.PathOf("\\pdf\\") + folder + "\\" + number;
  const std::string progress = std::string(FieldOf(row, 2)) + "," + std::string(FieldOf(row, 3)) +
                               "\r\n" + std::string(FieldOf(row, 5));

  if (wantDetail) {
    const std::string file = base + ".html";
    if (!FileExists(file) || fields.skipExisting == 0) {
      MakeFolderFor(state, file);
      fields.logBox = SJIS("★HTML取得中★") + progress;
      Show(context);
      // The values are taken from the answer itself, so a page the disk had no room for
      // still reaches the detail store.
      std::string answer;
      if (Download(context, context.detailPages, SJIS("詳細ページ"), kDetailPath, number,
                   DetailBody(number), file, answer)) {
        ++state.pagesFetched;
        ParseDetailText(state, Utf8ToAnsi(answer));
      }
    }
  }
  if (wantPdf) {
    const std::string file = base + ".pdf";
    if (!FileExists(file) || fields.skipExisting == 0) {
      MakeFolderFor(state, file);
      fields.logBox = SJIS("★PDF取得中★") + progress;
      Show(context);
      std::string answer;
      if (Download(context, context.floorPlans, SJIS("図面PDF"), kFloorPlanPath, number,
                   FloorPlanBody(number), file, answer))
        ++state.pdfsFetched;
    }
  }
}

}  // namespace

std::string_view TypeCodeOf(std::string_view typeText) {
  std::size_t n = 0;
  for (int chars = 0; chars < 2 && n < typeText.size(); ++chars) n += CharLength(typeText, n);
  return typeText.substr(0, n);
}

std::string MunicipalityFolder(std::string_view location) {
  static const char* const kEnds[] = {"区", "市", "町", "村"};
  for (const char* end : kEnds) {
    const std::string mark = Sjis(end);
    std::size_t at = FindText(location, mark);
    if (at != std::string_view::npos) return std::string(location.substr(0, at + mark.size()));
  }
  return std::string();
}

std::string PropertyFolder(std::string_view typeCode, std::string_view location) {
  const std::string municipality = MunicipalityFolder(location);
  if (municipality.empty()) return std::string(typeCode);
  return std::string(typeCode) + "\\" + municipality;
}

std::string PropertyFolderOfRow(std::string_view row) {
  std::vector<std::string_view> fields = SplitTabs(row);
  return PropertyFolder(TypeCodeOf(FieldOf(fields, 1)), FieldOf(fields, 5));
}

bool IsSafePropertyPath(std::string_view typeCode, std::string_view location,
                        std::string_view propertyNumber) {
  const std::string municipality = MunicipalityFolder(location);
  return IsSafeFileName(typeCode) && IsSafeFileName(propertyNumber) &&
         (municipality.empty() || IsSafeFileName(municipality)) && FitsAsName(propertyNumber) &&
         FitsAsName(municipality);
}

bool FitsAsName(std::string_view name) {
  return platform::Cp932ToUtf8(name).size() <= kMaxPageNameBytes;
}

void MakeFolderFor(ProgramState& state, const std::string& filePath) {
  std::string folder = SplitPath(filePath).folderPath;
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (folder.empty() || !state.madeFolders.insert(folder).second) return;
  if (IsFolder(folder)) return;
  // A type folder the user removed is made again rather than losing every download below it.
  const std::string root = state.ProgramFolder();
  std::vector<std::string> missing;
  for (std::string f = folder; f.size() > root.size() && !IsFolder(f);) {
    missing.push_back(f);
    f = SplitPath(f).folderPath;
    while (!f.empty() && f.back() == '\\') f.pop_back();
  }
  // A folder that cannot be made shows as the failed write of each file below it.
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) (void)MakeFolder(*it);
}

std::string ResultPagePath(const ProgramState& state, std::string_view stamp, int counter,
                           SearchKind kind) {
  const std::string& prefix =
      kind == SearchKind::kClosedDeals ? SJIS("\\Log\\成約_") : SJIS("\\Log\\検索_");
  return state.PathOf(prefix) + std::string(stamp) + "_" + std::to_string(counter) + ".html";
}

SearchAnswer SearchAndDownload(OnlineContext& context, const std::string& formBody, int counter,
                               std::string_view stamp, SearchKind kind, bool splitIfCut) {
  ProgramState& state = context.state;
  MainFields& fields = context.window.Fields();
  WaitPumping(state.desktop, LoadReductionMs(state.settings));
  if (state.StopRequested()) {
    SearchAnswer stopped;
    stopped.stopped = true;
    return stopped;
  }
  // Counted just before the form goes out, so a stop during the wait counts nothing.
  fields.searchCount = std::to_string(ToInt(fields.searchCount) + 1);
  Show(context);
  SearchAnswer result;
  std::string answer;
  result.code = SendRequest(context.session, ServiceUrl(state.settings, kSearchPath), false,
                            formBody, answer);
  // A redirect is the service sending the session back to its login form: no result page.
  if (result.code == kExchangeRedirect) return result;
  if (result.code != 0 && context.session.lastFailure == TransportFailure::kStopped) {
    result.stopped = true;
    return result;
  }
  if (result.code != 0) {
    LogError(state, result.code, formBody);
    return result;
  }
  // Every page is kept under "\\Log", a page left to its parts too; a page that cannot be kept
  // is still parsed from memory.
  const std::string pagePath = ResultPagePath(state, stamp, counter, kind);
  if (!WriteFetched(state, pagePath, answer)) LogWriteFailure(state, kPageWriteFailed, pagePath);
  const std::string page = Utf8ToAnsi(answer);
  result.cut = IsCutResultPage(page);
  if (result.cut && splitIfCut) {
    // The parts search the same range again; rows taken here would come twice.
    result.split = true;
    return result;
  }
  TextList rows;
  ParseResultText(state, page, rows, kind);
  if (kind == SearchKind::kClosedDeals) return result;

  for (int i = 0; i < rows.Count() && !state.StopRequested(); ++i) {
    std::vector<std::string_view> row = SplitTabs(rows.View(i));
    if (FieldOf(row, 2).empty()) continue;
    DownloadRow(context, row);
    fields.logBox = "_";
    Show(context);
  }
  return result;
}

}  // namespace kestrova
