// The HTTP client the exchange runs on: one session to one host, requests as values in and
// answers as values out. The platform's client implements it for the program (libcurl, or
// WinINet on Windows); a scripted fake stands in for it in tests.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class SettingsStore;

struct TransportOptions {
  // PEM file (program path, cp932) of CA certificates trusted besides the system's; empty
  // for none.
  std::string extraCaFile;
  // System CA bundle (native path); empty for the client's own. Not used by WinINet, which
  // trusts the system's certificate store.
  std::string systemCaFile;
  long connectTimeoutMs = 60000;    // TCP and TLS set-up
  long receiveTimeoutSeconds = 60;  // a request with no byte for this long ends
};

// The options the settings ask for: "//ini/設定2/CA証明書", and the time-outs in seconds
// "//ini/設定2/接続タイムアウト" and "//ini/設定2/受信タイムアウト" (defaults where unset).
TransportOptions TransportOptionsFromSettings(const SettingsStore& settings);

struct TransportRequest {
  std::string method;                // "GET" or "POST"
  std::string url;                   // scheme://host[:port]/path[?query]
  std::vector<std::string> headers;  // whole header lines, e.g. "Content-Type: ..."
  std::string body;                  // sent as it is; empty for none
  // Asked about every 100 ms while the request waits, on the thread that called Send; true ends
  // the request at once (TransportFailure::kStopped). Empty: the request waits for its answer
  // or its time-outs.
  std::function<bool()> stopRequested = nullptr;
};

// Why a request got no whole answer, so the user can be told more than "it failed".
enum class TransportFailure {
  kNone,
  kCertificate,  // the server's certificate is not trusted (or names another host)
  kTimeout,      // nothing arrived within the connect or receive time-out
  kConnection,   // no connection, or it was closed before the answer was whole
  kStopped,      // the request's stopRequested said so before the answer was whole
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

// The platform's transport with the options of the settings: what the program runs on. Each
// platform's transport file defines it.
std::unique_ptr<Transport> MakeSystemTransport(const SettingsStore& settings);

}  // namespace kestrova
