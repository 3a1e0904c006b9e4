#include "service/online_commands.h"

#include "foundation/dates.h"
#include "foundation/sjis.h"
#include "service/main_fields.h"
#include "service/search_forms.h"
#include "store/csv_writer.h"
#include "store/detail_files.h"
#include "store/error_log.h"
#include "store/program_state.h"
#include "store/property_store.h"

namespace kestrova {

namespace {

// The title while the command runs, back to the plain title however the command ends.
class RunningTitleScope {
 public:
  explicit RunningTitleScope(OnlineCommandWindow& window) : window_(window) {
    window_.SetTitle(RunningTitle());
  }
  ~RunningTitleScope() { window_.SetTitle(kTitle); }
  RunningTitleScope(const RunningTitleScope&) = delete;
  RunningTitleScope& operator=(const RunningTitleScope&) = delete;

 private:
  OnlineCommandWindow& window_;
};

// Why the last fetched date stayed where it was, or empty when the run earned the move.
std::string DateKeptReason(const LoginRunResult& run) {
  if (run.refused) return run.refusal;
  if (run.stopped) return SJIS("中止したため");
  if (!run.loggedIn) return SJIS("ログインできなかったため");
  std::string reasons;
  auto add = [&reasons](const std::string& reason) {
    if (!reasons.empty()) reasons += SJIS("、");
    reasons += reason;
  };
  if (run.formsFailed > 0) {
    add(std::to_string(run.formsFailed) + "/" + std::to_string(run.formsSent) +
        SJIS(" 件の検索が失敗したため"));
  }
  if (run.redirected) add(SJIS("検索がログイン画面に戻されたため"));
  if (run.pagesCut > 0) {
    add(std::to_string(run.pagesCut) + SJIS(" 件の検索結果が100件で打ち切られたため"));
  }
  if (run.storeNotSaved) add(SJIS("取得したデータを保存できなかったため"));
  if (run.downloadsNotSaved > 0) {
    add(std::to_string(run.downloadsNotSaved) + SJIS(" 件のダウンロードを保存できなかったため"));
  }
  return reasons;
}

// The status line after the merge: the success text only when the store and the CSV files
// were written.
std::string MergeStatus(int merged) {
  switch (merged) {
    case 0:
      return SJIS("CSV情報を更新しました。");
    case kBackupFailed:
      return SJIS("CSV情報を更新しました。（バックアップを保存できませんでした）");
    case kCsvWriteFailed:
      return SJIS("CSV情報を更新できませんでした。");
    default:
      return SJIS("取得したデータを保存できませんでした。");
  }
}

void AppendLine(std::string& box, const std::string& line) {
  if (!box.empty()) box += "\r\n";
  box += line;
}

// What splitting the cut results cost, for the log box; empty when nothing was split.
std::string ExtraFormsLine(const LoginRunResult& run) {
  if (run.extraForms == 0) return std::string();
  return SJIS("100件で打ち切られた検索を分割し、検索を ") + std::to_string(run.extraForms) +
         SJIS(" 回追加しました");
}

}  // namespace

const std::string& RunningTitle() { return SJIS("Kestrova[実行中..]"); }

std::string ErrorSummary(const ProgramState& state) {
  const TextList& errors = state.errorList;
  return SJIS("エラーが ") + std::to_string(errors.Count()) + SJIS("件 発生しました。\r\n") +
         std::string(errors.View(errors.Count() - 1));
}

LoginRunResult OnlinePropertySearch(ProgramState& state, OnlineCommandWindow& window,
                                    Transport& transport) {
  window.ReadFields();
  RunningTitleScope title(window);
  LoginRunResult run = LoginAndSearch(state, window, transport, SearchKind::kListings);

  MainFields& fields = window.Fields();
  if (state.newRowsFound != 0) {
    const int merged = MergeNewRows(state);
    run.storeNotSaved = merged == kStoreWriteFailed || merged == kStoreGuardRefused;
    fields.statusLine = MergeStatus(merged);
  }
  // The downloads of the run changed the detail store; keep it now, not only at close (a
  // failure is logged, and the close tries again).
  (void)SaveChangedDetailFiles(state);

  // The last fetched date moves only over a range that was fetched and kept whole; otherwise
  // the next "last + 1" preset would skip days that never arrived.
  const std::string kept = DateKeptReason(run);
  if (kept.empty()) fields.lastDate = fields.endDate;
  // The run's own lines (a stop) follow the error summary.
  if (state.errorList.Count() > 0) {
    const std::string own = fields.logBox;
    fields.logBox = ErrorSummary(state);
    if (run.stopped) AppendLine(fields.logBox, own);
  }
  if (run.extraForms > 0) AppendLine(fields.logBox, ExtraFormsLine(run));
  if (!kept.empty())
    AppendLine(fields.logBox, SJIS("最終取得日付は更新していません（") + kept + SJIS("）"));
  window.ShowFields();
  return run;
}

LoginRunResult OnlineClosedDealSearch(ProgramState& state, OnlineCommandWindow& window,
                                      Transport& transport) {
  window.ReadFields();
  RunningTitleScope title(window);
  const int before = state.dealStore.Count();
  LoginRunResult run = LoginAndSearch(state, window, transport, SearchKind::kClosedDeals);
  const int after = state.dealStore.Count();

  MainFields& fields = window.Fields();
  bool csvWritten = true;
  if (after != before) {
    fields.statusLine = SJIS("CSV更新中");
    window.ShowFields();
    csvWritten = WriteTotalCsv(state) == 0;
  }
  fields.statusLine =
      SJIS("成約情報：") + std::to_string(before) + SJIS("→") + std::to_string(after) + SJIS(" 件");
  if (run.extraForms > 0) fields.logBox = ExtraFormsLine(run);
  if (!SaveChangedDetailFiles(state) || !csvWritten) {
    fields.statusLine += SJIS("（保存できなかったファイルがあります）");
    AppendLine(fields.logBox, ErrorSummary(state));
  }
  window.ShowFields();
  return run;
}

LoginRunResult FeeCheck(ProgramState& state, OnlineCommandWindow& window, Transport& transport) {
  RunningTitleScope title(window);
  return LoginAndSearch(state, window, transport, SearchKind::kFeeCheck);
}

void PresetLastPlusOneToYesterday(ProgramState& state, OnlineCommandWindow& window) {
  window.ReadFields();
  MainFields& fields = window.Fields();
  fields.startDate = AddToDate(fields.lastDate, kDays, 1).substr(0, 10);
  fields.endDate = AddToDate(Now(*state.clock), kDays, -1).substr(0, 10);
  window.ShowFields();
}

void PresetLastToToday(ProgramState& state, OnlineCommandWindow& window) {
  window.ReadFields();
  MainFields& fields = window.Fields();
  fields.endDate = Now(*state.clock).substr(0, 10);
  fields.startDate = fields.lastDate;
  window.ShowFields();
}

}  // namespace kestrova
