#include "service/login_session.h"

#include <cstdio>
#include <ctime>

#include "foundation/dates.h"
#include "foundation/desktop.h"
#include "foundation/files.h"
#include "foundation/message_pump.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"
#include "service/http_exchange.h"
#include "service/main_fields.h"
#include "service/search_downloads.h"
#include "service/search_forms.h"
#include "service/search_split.h"
#include "service/service_requests.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

void Tell(ProgramState& state, const std::string& text, MessageIcon icon) {
  state.desktop->Message(text, SJIS("Kestrova"), icon, MessageButtons::kOk);
}

int LocalHour(const Clock& clock) {
  std::time_t t = clock.Current();
  std::tm local{};
  localtime_r(&t, &local);
  return local.tm_hour;
}

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
    if (SendRequest(session, ServiceUrl(state.settings, sheet.path), true, "", answer) == 0) {
      WriteFileAtomic(file, answer);
    }
  }
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
  while (!queue.Empty()) {
    const SearchForm form = queue.Take();
    fields.statusLine = form.status;
    context.window.SearchProgress(queue.Taken(), queue.Total());
    context.window.ShowFields();
    PumpMessages(state.desktop, 100);
    const SearchAnswer answer = SearchAndDownload(context, form.body, queue.Taken() - 1, stamp,
                                                  kind, splitting && CanSplit(form));
    result.formsSent = queue.Taken();
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
}

LoginRunResult LoginAndSearch(ProgramState& state, OnlineCommandWindow& window,
                              Transport& transport, SearchKind kind) {
  LoginRunResult result;
  window.ReadFields();
  MainFields& fields = window.Fields();
  NormaliseField(fields.startDate, true);
  NormaliseField(fields.endDate, true);
  NormaliseField(fields.codes, true);
  NormaliseField(fields.password, false);
  window.ShowFields();
  StoreFieldsInSettings(fields, state.settings);

  std::string fault = FirstInputFault(fields);
  if (!fault.empty()) {
    Tell(state, fault, MessageIcon::kWarning);
    result.refused = true;
    return result;
  }
  if (fields.pdf != 0 || fields.detail != 0) {
    std::string notice = LoadBalancingNotice(fields.loginInfo, LocalHour(*state.clock));
    if (!notice.empty()) Tell(state, notice, MessageIcon::kInformation);
  }

  HttpSession session(state, transport);
  const std::string loginUrl = ServiceUrl(state.settings, kLoginPath);
  int rc = OpenSession(session, kUserAgent, loginUrl);
  if (rc != 0) LogError(state, rc, "Connect Error..");

  WaitPumping(state.desktop, LoadReductionMs(state.settings));
  std::string answer;
  rc = SendRequest(session, loginUrl, false, LoginBody(fields.loginInfo, fields.password), answer);
  if (rc != 0) LogError(state, rc, "Password Login Error..");
  {
    const std::string page = Utf8ToAnsi(answer);
    fields.fee = FeeText(page);
    window.ShowFields();
    if (!LoginSucceeded(page)) {
      CloseSession(session);
      Tell(state, SJIS("ログインエラー"), MessageIcon::kError);
      return result;
    }
  }
  result.loggedIn = true;
  KeepStyleSheets(state, session);

  if (kind == SearchKind::kListings || kind == SearchKind::kClosedDeals) {
    OnlineContext context{state, window, session};
    RunSearches(context, kind, result);
  }
  CloseSession(session);
  fields.statusLine = SJIS("終了");
  fields.logBox.clear();
  window.ShowFields();
  return result;
}

}  // namespace kestrova
