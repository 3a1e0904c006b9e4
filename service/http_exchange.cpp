#include "service/http_exchange.h"

#include <cstdio>

#include "foundation/dates.h"
#include "foundation/line_reader.h"
#include "foundation/message_pump.h"
#include "foundation/sjis.h"
#include "service/transport.h"
#include "store/program_state.h"

namespace kestrova {
namespace {

constexpr int kStatusOk = 200;
constexpr int kStatusRedirect = 302;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// "1".."65535"; -1 for anything else.
int ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return -1;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    port = port * 10 + (c - '0');
  }
  return port >= 1 && port <= 65535 ? port : -1;
}

int DefaultPort(bool secure) { return secure ? 443 : 80; }

// scheme://host[:port] + path, the port left out when it is the scheme's own.
std::string RequestUrl(const UrlParts& request, std::string_view host, int port) {
  std::string url = request.scheme + "://";
  url += host;
  if (port != DefaultPort(request.secure)) url += ":" + std::to_string(port);
  url += request.path;
  return url;
}

}  // namespace

bool CrackUrl(std::string_view url, UrlParts& parts) {
  parts = UrlParts();
  std::size_t colon = url.find("://");
  if (colon == std::string_view::npos || colon == 0) return false;
  parts.scheme = Lower(url.substr(0, colon));
  if (parts.scheme == "https") {
    parts.secure = true;
  } else if (parts.scheme != "http") {
    return false;
  }
  std::string_view rest = url.substr(colon + 3);
  std::size_t authorityEnd = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, authorityEnd);
  parts.path =
      authorityEnd == std::string_view::npos ? "/" : std::string(rest.substr(authorityEnd));
  if (parts.path[0] != '/') parts.path.insert(0, "/");
  std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) authority = authority.substr(at + 1);
  for (char c : authority) {
    // Control bytes, blanks and non-ASCII bytes have no place in a host name.
    if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
      return false;
  }
  std::string_view host = authority;
  std::string_view portText;
  if (!authority.empty() && authority[0] == '[') {
    std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return false;
    host = authority.substr(0, close + 1);
    std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after[0] != ':') return false;
      portText = after.substr(1);
      if (portText.empty()) return false;
    }
  } else {
    std::size_t portColon = authority.rfind(':');
    if (portColon != std::string_view::npos) {
      host = authority.substr(0, portColon);
      portText = authority.substr(portColon + 1);
      if (portText.empty()) return false;
    }
  }
  if (host.empty()) return false;
  parts.host.assign(host);
  parts.port = portText.empty() ? DefaultPort(parts.secure) : ParsePort(portText);
  return parts.port > 0;
}

HttpSession::~HttpSession() { CloseSession(*this); }

int OpenSession(HttpSession& session, std::string_view userAgent, std::string_view url) {
  // A session left open by an earlier command is closed, not leaked.
  CloseSession(session);
  session.lastStatus = 0;
  session.lastError.clear();
  session.lastFailure = TransportFailure::kNone;
  UrlParts parts;
  CrackUrl(url, parts);  // an uncracked URL leaves no host, which the connection step refuses
  if (session.transport.Open(userAgent) != 0) return kExchangeSessionFailed;
  session.sessionOpen = true;
  if (parts.host.empty()) {
    session.state.desktop->Message(SJIS("HTTP接続に失敗"), "Kestrova", MessageIcon::kError,
                                   MessageButtons::kOk);
    return kExchangeConnectFailed;
  }
  session.host = parts.host;
  session.port = parts.port;
  session.connected = true;
  return 0;
}

int SendRequest(HttpSession& session, std::string_view url, bool get, std::string_view form,
                std::string& answer) {
  session.lastStatus = 0;
  session.lastError.clear();
  session.lastFailure = TransportFailure::kNone;
  UrlParts parts;
  if (!CrackUrl(url, parts) || !parts.secure) return kExchangeBadUrl;
  if (!session.sessionOpen || !session.connected) return kExchangeOpenFailed;

  TransportRequest request;
  if (get) {
    request.method = "GET";
    if (!form.empty()) {
      parts.path += '?';
      parts.path += form;
    }
  } else {
    request.method = "POST";
    request.headers.emplace_back("Content-Type: application/x-www-form-urlencoded");
    request.body.assign(form);
  }
  request.url = RequestUrl(parts, session.host, session.port);
  // While the request waits, the window is kept alive, so the stop button can be pressed, and a
  // stop (the button or a signal) ends the wait rather than the service's silence or a time-out.
  ProgramState& state = session.state;
  request.stopRequested = [&state] {
    PumpMessages(state.desktop, 50);
    return state.StopRequested();
  };

  TransportResult result = session.transport.Send(request);
  session.lastStatus = result.status;
  session.lastError = result.error;
  session.lastFailure = result.failure;
  if (result.code != 0 && result.code != kExchangeReadFailed) return result.code;
  if (result.status == kStatusOk) {
    answer += result.body;  // on a broken-off body, what arrived stays
    return result.code;
  }
  if (result.status == 0) return kExchangeStatusError;  // no readable status
  if (result.status == kStatusRedirect) return kExchangeRedirect;
  LogError(session.state, result.status, SJIS("↓ステータスエラー"));
  return kExchangeStatusError;
}

int SendRequest(HttpSession& session, std::string_view url, bool get, std::string_view form,
                LineReader* answer) {
  std::string bytes;
  int code = SendRequest(session, url, get, form, bytes);
  if (answer != nullptr && !bytes.empty()) WriteBytes(answer, bytes);
  return code;
}

void CloseSession(HttpSession& session) {
  if (session.sessionOpen) session.transport.Close();
  session.sessionOpen = false;
  session.connected = false;
  session.host.clear();
  session.port = 0;
}

std::string FailureCause(int rc, const HttpSession& session) {
  const std::string detail = session.lastError.empty() ? "" : ": " + session.lastError;
  switch (session.lastFailure) {
    case TransportFailure::kCertificate:
      return "certificate not trusted" + detail;
    case TransportFailure::kTimeout:
      return "time-out" + detail;
    case TransportFailure::kConnection:
      return "connection failed" + detail;
    case TransportFailure::kStopped:
      return "stopped";
    case TransportFailure::kNone:
      break;
  }
  if (rc == kExchangeBadUrl) return "not an https URL";
  if (rc == kExchangeOpenFailed) return "no session";
  if (rc == kExchangeReadFailed) return "answer broke off" + detail;
  if (session.lastStatus != 0) return "status " + std::to_string(session.lastStatus);
  return "no answer" + detail;
}

}  // namespace kestrova
