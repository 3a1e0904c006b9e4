#include "service/login_session.h"

#include <cstdio>
#include <ctime>

#include "foundation/dates.h"
#include "foundation/desktop.h"
#include "foundation/files.h"
#include "foundation/message_pump.h"
#include "foundation/platform/platform.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "service/http_exchange.h"
#include "service/main_fields.h"
#include "service/search_downloads.h"
#include "service/search_forms.h"
#include "service/search_split.h"
#include "service/service_requests.h"
#include "service/transport.h"
#include "store/error_log.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

void Tell(ProgramState& state, const std::string& text, MessageIcon icon) {
  state.desktop->Message(text, SJIS("Kestrova"), icon, MessageButtons::kOk);
}

int LocalHour(const Clock& clock) { return platform::LocalTime(clock.Current()).tm_hour; }

// The two style sheets of the service, kept under "\\Tmp" and fetched only when missing.
void KeepStyleSheets(ProgramState& state, HttpSession& session) {
  struct Sheet {
    const char* file;
    const char* path;
  };
  static const Sheet kSheets[] = {{"\\Tmp\\style.css", kStyleSheetPath},
                                  {"\\Tmp\\style_fip.css", kStyleSheetFipPath}};
  for (const Sheet& sheet : kSheets) {
    const std::string file = state.PathOf(sheet.file);
    if (FileExists(file)) continue;
    std::string answer;
    // Only a whole answer is kept: an empty file would count as present from then on.
    const int rc = SendRequest(session, ServiceUrl(state.settings, sheet.path), true, "", answer);
    if (rc != 0 && session.lastFailure == TransportFailure::kStopped) return;
    if (rc != 0) {
      LogError(state, rc, sheet.path);
    } else if (!WriteFileAtomic(file, answer)) {
      LogWriteFailure(state, kPageWriteFailed, file);
    }
  }
}

// Digits only, and between min and max of them.
bool IsDigits(std::string_view text, std::size_t min, std::size_t max) {
  if (text.size() < min || text.size() > max) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "2011/05/01" or "2011/5/1": a four-digit year and a day that exists in its month. The search
// form takes the three parts as they stand, so nothing else (a time, a fourth part) may follow.
bool IsRealDate(std::string_view text) {
  std::size_t first = text.find('/');
  std::size_t second = first == std::string_view::npos ? first : text.find('/', first + 1);
  if (second == std::string_view::npos) return false;
  std::string_view year = text.substr(0, first);
  std::string_view month = text.substr(first + 1, second - first - 1);
  std::string_view day = text.substr(second + 1);
  if (!IsDigits(year, 4, 4) || !IsDigits(month, 1, 2) || !IsDigits(day, 1, 2)) return false;
  const int y = ToInt(year), m = ToInt(month), d = ToInt(day);
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12 || d < 1) return false;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

// Why the login did not succeed, for the message and the error line.
struct LoginFault {
  int code;             // of the error line
  std::string message;  // after "ログインエラー："
  std::string logText;  // after "Password Login Error.. "
};

LoginFault LoginFaultOf(int rc, const HttpSession& session) {
  if (rc == 0) {
    return {kLoginRefusedCode, SJIS("ログインIDまたはパスワードが違います"),
            "wrong ID or password (no menu after login)"};
  }
  const std::string detail = session.lastError.empty() ? "" : ": " + session.lastError;
  switch (session.lastFailure) {
    case TransportFailure::kCertificate:
      return {rc, SJIS("接続先のサーバー証明書を信頼できません"),
              "certificate not trusted" + detail};
    case TransportFailure::kTimeout:
      return {rc, SJIS("接続先から応答がありません（タイムアウト）"), "time-out" + detail};
    case TransportFailure::kConnection:
      return {rc, SJIS("接続先に接続できませんでした"), "connection failed" + detail};
    case TransportFailure::kStopped:  // the caller ends a stopped login before asking
    case TransportFailure::kNone:
      break;
  }
  if (session.lastStatus != 0) {
    const std::string status = std::to_string(session.lastStatus);
    return {rc, SJIS("接続先がエラーを返しました（ステータス ") + status + SJIS("）"),
            "status " + status};
  }
  return {rc, SJIS("接続先に接続できませんでした"), "connection failed" + detail};
}

}  // namespace

std::string FirstInputFault(const MainFields& f) {
  if (f.agreed == 0) return SJIS("規約に同意しないと利用できません");
  if (f.startDate.empty() || f.endDate.empty()) return SJIS("日付を設定してください");
  if (f.codes.empty()) return SJIS("5桁の市町村コードを設定してください");
  if (f.password.empty()) return SJIS("パスワードを設定してください");
  if (f.loginInfo.empty()) return SJIS("ログインID未設定");
  return std::string();
}

std::string InputValueFault(const MainFields& f, SearchKind kind) {
  const std::string hint = SJIS("が正しくありません（年/月/日で入力してください）：");
  if (kind == SearchKind::kClosedDeals) {
    if (!IsRealDate(f.dealStartDate)) return SJIS("成約取得開始日") + hint + f.dealStartDate;
  } else if (!IsRealDate(f.startDate)) {
    return SJIS("取得開始日付") + hint + f.startDate;
  }
  if (!IsRealDate(f.endDate)) return SJIS("取得終了日付") + hint + f.endDate;
  // An empty entry ("27128,,27111", a trailing ",") would fill a form without a municipality.
  TextList codes(f.codes, ",");
  for (int i = 0; i < codes.Count(); ++i) {
    if (!IsDigits(codes.View(i), 5, 5)) {
      const std::string_view code = codes.View(i);
      return SJIS("市町村コードは5桁の数字をカンマで区切って入力してください：") +
             (code.empty() ? SJIS("（空の項目）") : std::string(code));
    }
  }
  return std::string();
}

std::string InsecureUrlFault(std::string_view baseUrl) {
  UrlParts parts;
  if (CrackUrl(baseUrl, parts) && parts.secure) return std::string();
  return SJIS(
             "接続先URLが https "
             "ではないため接続しません（パスワードが暗号化されずに送られます）：") +
         std::string(baseUrl) +
         SJIS("\r\n設定「接続先URL」を https:// で始まるアドレスにしてください");
}

std::string SearchLimitFault(int planned, int limit) {
  if (planned <= limit) return std::string();
  const long long fee = static_cast<long long>(planned) * kFeePerSearchYen;
  return SJIS("検索 ") + std::to_string(planned) + SJIS(" 回（約") + std::to_string(fee) +
         SJIS("円）は1回の実行の上限 ") + std::to_string(limit) +
         SJIS(
             " 回を超えるため実行しません。\r\n市町村コードを減らすか、設定「検索上限」を見直してく"
             "ださい");
}

std::string LoadBalancingNotice(std::string_view loginId, int hour) {
  std::string shortened(loginId.substr(0, loginId.size() >= 2 ? loginId.size() - 2 : 0));
  // Parities, not remainders: a leading "-" would make the remainder negative.
  if ((ToInt(shortened) % 2 != 0) == (hour % 2 != 0)) return std::string();
  return SJIS("負荷分散の為、\r\nログインID:") + shortened +
         SJIS(
             "\r\n(※下二桁を除いたID)"
             "\r\n\r\n偶数の場合は「偶数の時間帯」\r\n奇数の場合は「奇数の時間帯」\r\n\r\nでご利用"
             "ください");
}

std::string FeeText(std::string_view convertedPage) {
  std::string amount =
      ExtractBetween(convertedPage, FeeStartMarker(), FeeValueStart(), FeeEndMarker());
  char text[32];
  std::snprintf(text, sizeof text, "%d ", ToInt(amount));
  return text + SJIS("円");
}

void RunSearches(OnlineContext& context, SearchKind kind, LoginRunResult& result) {
  ProgramState& state = context.state;
  MainFields& fields = context.window.Fields();
  const std::string stamp = NowStamp(*state.clock);
  const bool splitting = SplitOnCut(state.settings);
  SearchQueue queue(BuildSearchForms(state.settings, kind, fields.sale != 0, fields.rent != 0));
  while (!queue.Empty() && !state.StopRequested()) {
    const SearchForm form = queue.Take();
    fields.statusLine = form.status;
    context.window.SearchProgress(queue.Taken(), queue.Total());
    context.window.ShowFields();
    PumpMessages(state.desktop, 100);
    const SearchAnswer answer = SearchAndDownload(context, form.body, queue.Taken() - 1, stamp,
                                                  kind, splitting && CanSplit(form));
    // A form stopped while its answer was awaited has gone out (and may be charged for).
    if (answer.stopped && answer.code == 0) break;
    result.formsSent = queue.Taken();
    if (answer.stopped) break;
    if (answer.code == kExchangeRedirect) {
      // The session is gone: every later form would come back the same.
      LogError(state, kExchangeRedirect, SJIS("検索がログイン画面に戻されました ") + form.status);
      result.redirected = true;
      break;
    }
    if (answer.code != 0) {
      ++result.formsFailed;
    } else if (answer.split) {
      queue.Split(form);
    } else if (answer.cut) {
      ++result.pagesCut;
    }
  }
  result.extraForms = queue.ExtraForms();
  result.downloadsNotSaved = context.downloadsNotSaved;
  result.formsPlanned = queue.Total();
  result.stopped = state.StopRequested();
}

std::string StoppedLine(const LoginRunResult& run) {
  if (!run.loggedIn) return SJIS("中止しました（ログイン前）");
  return SJIS("中止しました（検索 ") + std::to_string(run.formsSent) + "/" +
         std::to_string(run.formsPlanned) + SJIS(" 件を送信済み）");
}

std::string RefusalBeforeRun(ProgramState& state, OnlineCommandWindow& window, SearchKind kind) {
  window.ReadFields();
  MainFields& fields = window.Fields();
  NormaliseField(fields.startDate, true);
  NormaliseField(fields.endDate, true);
  NormaliseField(fields.codes, true);
  NormaliseField(fields.password, false);
  window.ShowFields();
  StoreFieldsInSettings(fields, state.settings);

  std::string fault = FirstInputFault(fields);
  if (fault.empty()) fault = InputValueFault(fields, kind);
  if (fault.empty()) {
    const std::string baseUrl = BaseUrl(state.settings);
    fault = InsecureUrlFault(baseUrl);
    if (!fault.empty()) LogError(state, kExchangeBadUrl, "not https: " + baseUrl);
  }
  if (fault.empty() && kind != SearchKind::kFeeCheck) {
    int limit = state.settings.GetInt(keys::kSearchLimit);
    if (limit <= 0) limit = kDefaultSearchLimit;
    fault = SearchLimitFault(
        PlannedFormCount(state.settings, kind, fields.sale != 0, fields.rent != 0), limit);
  }
  return fault;
}

LoginRunResult LoginAndSearch(ProgramState& state, OnlineCommandWindow& window,
                              Transport& transport, SearchKind kind) {
  LoginRunResult result;
  result.refusal = RefusalBeforeRun(state, window, kind);
  if (!result.refusal.empty()) {
    Tell(state, result.refusal, MessageIcon::kWarning);
    result.refused = true;
    return result;
  }
  MainFields& fields = window.Fields();
  if (fields.pdf != 0 || fields.detail != 0) {
    std::string notice = LoadBalancingNotice(fields.loginInfo, LocalHour(*state.clock));
    if (!notice.empty()) Tell(state, notice, MessageIcon::kInformation);
  }

  HttpSession session(state, transport);
  const std::string loginUrl = ServiceUrl(state.settings, kLoginPath);
  int rc = OpenSession(session, kUserAgent, loginUrl);
  if (rc != 0) LogError(state, rc, "Connect Error..");

  auto endStopped = [&] {
    CloseSession(session);
    result.stopped = true;
    fields.statusLine = SJIS("中止");
    fields.logBox = StoppedLine(result);
    window.ShowFields();
    return result;
  };
  WaitPumping(state.desktop, LoadReductionMs(state.settings));
  if (state.StopRequested()) return endStopped();
  std::string answer;
  rc = SendRequest(session, loginUrl, false, LoginBody(fields.loginInfo, fields.password), answer);
  if (rc != 0 && session.lastFailure == TransportFailure::kStopped) return endStopped();
  {
    const std::string page = Utf8ToAnsi(answer);
    if (rc != 0 || !LoginSucceeded(page)) {
      // Say which failure it was; a fee read from no page would be a made-up "0 円".
      const LoginFault why = LoginFaultOf(rc, session);
      LogError(state, why.code, "Password Login Error.. " + why.logText);
      CloseSession(session);
      fields.fee.clear();
      window.ShowFields();
      Tell(state, SJIS("ログインエラー：") + why.message, MessageIcon::kError);
      return result;
    }
    fields.fee = FeeText(page);
    window.ShowFields();
  }
  result.loggedIn = true;
  KeepStyleSheets(state, session);

  if (kind == SearchKind::kListings || kind == SearchKind::kClosedDeals) {
    OnlineContext context{state, window, session, 0, {}, {}};
    RunSearches(context, kind, result);
  }
  CloseSession(session);
  fields.statusLine = result.stopped ? SJIS("中止") : SJIS("終了");
  fields.logBox = result.stopped ? StoppedLine(result) : std::string();
  window.ShowFields();
  return result;
}

}  // namespace kestrova
