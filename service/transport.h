// The HTTP client the exchange runs on: one session to one host, requests as values in and
// answers as values out. libcurl implements it for the program; a scripted fake stands in
// for it in tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

struct TransportRequest {
  std::string method;                // "GET" or "POST"
  std::string url;                   // scheme://host[:port]/path[?query]
  std::vector<std::string> headers;  // whole header lines, e.g. "Content-Type: ..."
  std::string body;                  // sent as it is; empty for none
};

// Why a request got no whole answer, so the user can be told more than "it failed".
enum class TransportFailure {
  kNone,
  kCertificate,  // the server's certificate is not trusted (or names another host)
  kTimeout,      // nothing arrived within the connect or receive time-out
  kConnection,   // no connection, or it was closed before the answer was whole
};

struct TransportResult {
  // 0 when an answer arrived whole; kExchangeSendFailed (10003) when no answer arrived
  // (refused, name not found, certificate not trusted, time-out before the status line);
  // kExchangeReadFailed (10006) when the answer broke off after its status line.
  int code = 0;
  TransportFailure failure = TransportFailure::kNone;  // the cause when code is not 0
  int status = 0;                                      // HTTP status; 0 when none was received
  std::string body;                  // the bytes as received (what arrived, on a failure)
  std::vector<std::string> headers;  // header lines of the answer, without line ends
  std::string error;                 // the client's reason for a failure, for diagnosis
};

class Transport {
 public:
  virtual ~Transport() = default;
  // Starts a session (cookies empty) with the user agent; 0, or kExchangeSessionFailed (10007).
  virtual int Open(std::string_view userAgent) = 0;
  // One request over the session's connection; cookies the service set earlier in the
  // session go with it. Redirects are never followed, and a POST is sent at most once: when
  // the connection dies under it, the request fails rather than going out again unseen.
  virtual TransportResult Send(const TransportRequest& request) = 0;
  // Ends the session and forgets its cookies; harmless when none is open.
  virtual void Close() = 0;
};

}  // namespace kestrova
