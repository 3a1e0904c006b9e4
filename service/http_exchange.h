// The program's one road to the listing service: a session to the service host, GET and POST
// requests over it, the status rules, and the error lines of ErrorList.
#pragma once

#include <string>
#include <string_view>

#include "service/transport.h"
#include "store/error_log.h"

namespace kestrova {

struct ProgramState;
struct LineReader;
class Transport;

// Result codes of the exchange; 0 is success.
inline constexpr int kExchangeBadUrl = 10001;         // URL not cracked, or not https
inline constexpr int kExchangeOpenFailed = 10002;     // request not opened (no session)
inline constexpr int kExchangeSendFailed = 10003;     // request not sent / no answer
inline constexpr int kExchangeStatusError = 10004;    // status unreadable, or not 200/302
inline constexpr int kExchangeRedirect = 10005;       // status 302, not followed
inline constexpr int kExchangeReadFailed = 10006;     // the body broke off
inline constexpr int kExchangeSessionFailed = 10007;  // session not opened
inline constexpr int kExchangeConnectFailed = 10008;  // host not usable for a connection

struct UrlParts {
  std::string scheme;  // lower case
  std::string host;
  int port = 0;         // the scheme's default when the URL names none
  std::string path;     // from the first "/" on, query included; "/" when the URL has none
  bool secure = false;  // https
};

// Splits scheme://host[:port][/path]. false when the form is broken or the scheme is neither
// http nor https.
bool CrackUrl(std::string_view url, UrlParts& parts);

// The session state of one online command. The command creates it, opens it once, sends any
// number of requests and closes it; the destructor closes what is still open.
struct HttpSession {
  HttpSession(ProgramState& programState, Transport& client)
      : state(programState), transport(client) {}
  ~HttpSession();
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;

  ProgramState& state;
  Transport& transport;
  bool sessionOpen = false;  // the transport's session is running
  bool connected = false;    // a host and port to send to are known
  std::string host;          // of the URL given to OpenSession
  int port = 0;
  int lastStatus = 0;     // HTTP status of the last request, 0 when none arrived
  std::string lastError;  // the client's reason when the last request failed
  TransportFailure lastFailure = TransportFailure::kNone;  // its cause, when no answer came
};

// Clears the session, takes the host and port from url, starts the client with the user
// agent. 0, kExchangeSessionFailed, or kExchangeConnectFailed (with the message
// "HTTP接続に失敗").
[[nodiscard]] int OpenSession(HttpSession& session, std::string_view userAgent,
                              std::string_view url);
// One request to the session's host; only the path of url is used. A URL that is not https
// gives kExchangeBadUrl and nothing is sent: the login form carries the password. get chooses GET
// (form is the query, "?" added only when it is not empty), else POST (form is the url-encoded
// body). The answer body is appended to answer. 0 or one of the codes above; a status other than
// 200 and 302 is logged here as "↓ステータスエラー" with the status as its code.
[[nodiscard]] int SendRequest(HttpSession& session, std::string_view url, bool get,
                              std::string_view form, std::string& answer);
// The same with the answer appended to a memory buffer ("mw" LineReader).
[[nodiscard]] int SendRequest(HttpSession& session, std::string_view url, bool get,
                              std::string_view form, LineReader* answer);
// Closes what is open and forgets it; a second call closes nothing.
void CloseSession(HttpSession& session);
// Why the last request of the session failed with code rc, for the error log: "time-out: …",
// "status 500", "answer broke off", …
std::string FailureCause(int rc, const HttpSession& session);

// Adds "time\tcode\ttext" ("%s\t%5d\t%s", time from Now) to state.errorList.

}  // namespace kestrova
