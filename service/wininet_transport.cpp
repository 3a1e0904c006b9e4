// The only file that sees WinINet. With the extra CA of the settings, WinINet is told to let
// only an unknown root pass (name and dates are still checked), and the program checks the
// server's chain against that CA itself before any request body leaves: on a harmless first
// request of the session, and again on the connection of every request, whose headers go out
// first and whose body follows only when the check holds (without the extra CA, that the
// system trusts the chain).
#include "service/wininet_transport.h"

#include <windows.h>
// After windows.h, which they build on.
#include <wincrypt.h>
#include <wininet.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "foundation/files.h"
#include "foundation/platform/win32_text.h"
#include "service/http_exchange.h"

namespace kestrova {
namespace {

using platform::Utf8;
using platform::Wide;

constexpr DWORD kRequestFlags = INTERNET_FLAG_SECURE | INTERNET_FLAG_RELOAD |
                                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI;

class Internet {
 public:
  Internet() = default;
  explicit Internet(HINTERNET h) : h_(h) {}
  ~Internet() { Reset(); }
  Internet(const Internet&) = delete;
  Internet& operator=(const Internet&) = delete;
  void Reset(HINTERNET h = nullptr) {
    if (h_) InternetCloseHandle(h_);
    h_ = h;
  }
  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HINTERNET h_ = nullptr;
};

// The request handles of the request in flight. WinINet's calls block their thread; a stop
// closes the handles from the thread that waits for them, which makes the blocking call return
// at once. A handle closed that way is not closed again by its owner.
class InFlight {
 public:
  // Takes a new request handle into account; closes it and answers false when a stop came first.
  bool Hold(HINTERNET handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_) {
      InternetCloseHandle(handle);
      return false;
    }
    handles_.push_back(handle);
    return true;
  }
  // The owner's close: only a handle the stop has not closed already.
  void Close(HINTERNET handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = handles_.begin(); it != handles_.end(); ++it) {
      if (*it == handle) {
        handles_.erase(it);
        InternetCloseHandle(handle);
        return;
      }
    }
  }
  void Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    for (HINTERNET handle : handles_) InternetCloseHandle(handle);
    handles_.clear();
  }
  bool Stopped() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopped_;
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = false;
  }

 private:
  std::mutex mutex_;
  std::vector<HINTERNET> handles_;
  bool stopped_ = false;
};

// A request handle that a stop may close from the waiting thread.
class RequestHandle {
 public:
  RequestHandle(InFlight& inFlight, HINTERNET handle) : inFlight_(inFlight) {
    if (handle && inFlight_.Hold(handle)) h_ = handle;
  }
  ~RequestHandle() { Reset(); }
  RequestHandle(const RequestHandle&) = delete;
  RequestHandle& operator=(const RequestHandle&) = delete;
  void Reset() {
    if (h_) inFlight_.Close(h_);
    h_ = nullptr;
  }
  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  InFlight& inFlight_;
  HINTERNET h_ = nullptr;
};

TransportFailure FailureOf(DWORD error) {
  switch (error) {
    case ERROR_INTERNET_TIMEOUT:
      return TransportFailure::kTimeout;
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
    case ERROR_INTERNET_SEC_INVALID_CERT:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
      return TransportFailure::kCertificate;
    default:
      return TransportFailure::kConnection;
  }
}

std::string ErrorText(DWORD error) { return "WinINet error " + std::to_string(error); }

// Every certificate of a PEM text, in the form the system's certificate functions take.
std::vector<PCCERT_CONTEXT> Certificates(const std::string& pem) {
  static constexpr std::string_view kBegin = "-----BEGIN CERTIFICATE-----";
  static constexpr std::string_view kEnd = "-----END CERTIFICATE-----";
  std::vector<PCCERT_CONTEXT> certificates;
  for (std::size_t at = pem.find(kBegin); at != std::string::npos; at = pem.find(kBegin, at)) {
    const std::size_t end = pem.find(kEnd, at);
    if (end == std::string::npos) break;
    const std::string block = pem.substr(at, end + kEnd.size() - at);
    at = end;
    DWORD size = 0;
    if (!CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                              CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
      continue;
    }
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                              CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr)) {
      continue;
    }
    if (PCCERT_CONTEXT c = CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                                        der.data(), size)) {
      certificates.push_back(c);
    }
  }
  return certificates;
}

bool SameCertificate(PCCERT_CONTEXT a, PCCERT_CONTEXT b) {
  return a->cbCertEncoded == b->cbCertEncoded &&
         std::memcmp(a->pbCertEncoded, b->pbCertEncoded, a->cbCertEncoded) == 0;
}

bool SignedBy(PCCERT_CONTEXT subject, PCCERT_CONTEXT issuer) {
  return CryptVerifyCertificateSignatureEx(
      0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CERT, const_cast<CERT_CONTEXT*>(subject),
      CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT, const_cast<CERT_CONTEXT*>(issuer), 0, nullptr);
}

// True when the server's chain on the request's connection is trusted: by the system when no
// extra CA is set, else when it ends in one of the CA certificates (one of its certificates is
// that CA, or is signed by it). The chain's own links and the name and dates of the server's
// certificate WinINet has checked. Asked of every request, because WinINet keeps connections
// for the whole process: one that another session opened under the extra CA's rule could
// otherwise carry a request of a session that trusts only the system.
bool ChainTrusted(HINTERNET request, const std::vector<PCCERT_CONTEXT>& cas) {
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  DWORD size = sizeof chain;
  if (!InternetQueryOptionW(request, INTERNET_OPTION_SERVER_CERT_CHAIN_CONTEXT, &chain, &size) ||
      chain == nullptr) {
    return false;
  }
  // Whether a certificate was revoked may not have been asked; that alone is no distrust.
  constexpr DWORD kRevocationUnknown =
      CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
  bool trusted = cas.empty() && (chain->TrustStatus.dwErrorStatus & ~kRevocationUnknown) == 0;
  if (!cas.empty() && chain->cChain > 0) {
    const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
    for (DWORD i = 0; i < simple->cElement && !trusted; ++i) {
      PCCERT_CONTEXT element = simple->rgpElement[i]->pCertContext;
      for (PCCERT_CONTEXT ca : cas) {
        if (SameCertificate(element, ca) || SignedBy(element, ca)) trusted = true;
      }
    }
  }
  CertFreeCertificateChain(chain);
  return trusted;
}

struct Target {
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring path;  // path and query
};

bool Crack(const std::string& url, Target& target) {
  const std::wstring wide = Wide(url, CP_UTF8);
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = 1;
  parts.dwUrlPathLength = 1;
  parts.dwExtraInfoLength = 1;
  if (!InternetCrackUrlW(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTPS || parts.dwHostNameLength == 0) return false;
  target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  target.port = parts.nPort;
  target.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) target.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (target.path.empty()) target.path = L"/";
  return true;
}

std::vector<std::string> HeaderLines(HINTERNET request) {
  DWORD size = 0;
  HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr);
  std::wstring raw(size / sizeof(wchar_t) + 1, L'\0');
  std::vector<std::string> lines;
  if (!HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, raw.data(), &size, nullptr)) {
    return lines;
  }
  raw.resize(size / sizeof(wchar_t));
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find(L"\r\n", start);
    if (end == std::wstring::npos) end = raw.size();
    if (end > start) lines.push_back(Utf8(std::wstring_view(raw).substr(start, end - start)));
    start = end + 2;
  }
  return lines;
}

}  // namespace

struct WinInetTransport::Impl {
  TransportOptions options;
  std::vector<PCCERT_CONTEXT> cas;  // the extra CA; empty: WinINet's own verification alone
  Internet session;
  Internet connection;
  std::wstring connectedHost;
  INTERNET_PORT connectedPort = 0;
  bool verified = false;  // the harmless first request found the chain ending in the CA
  InFlight inFlight;

  ~Impl() { ForgetCas(); }
  void ForgetCas() {
    for (PCCERT_CONTEXT c : cas) CertFreeCertificateContext(c);
    cas.clear();
  }

  HINTERNET Connect(const Target& target) {
    if (connection && connectedHost == target.host && connectedPort == target.port) {
      return connection.get();
    }
    connection.Reset(InternetConnectW(session.get(), target.host.c_str(), target.port, nullptr,
                                      nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    connectedHost = target.host;
    connectedPort = target.port;
    verified = false;
    return connection.get();
  }

  HINTERNET OpenRequest(const wchar_t* verb, const std::wstring& path) {
    HINTERNET request = HttpOpenRequestW(connection.get(), verb, path.c_str(), nullptr, nullptr,
                                         nullptr, kRequestFlags, 0);
    if (request && !cas.empty()) {
      // Only the unknown root is let through; the program checks the chain itself. A private
      // CA names no revocation list, so whether its certificates were revoked cannot be asked.
      DWORD flags = 0;
      DWORD size = sizeof flags;
      InternetQueryOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &size);
      flags |= SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_REVOCATION;
      InternetSetOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
    }
    return request;
  }

  // The harmless first request: a GET of the service's root, whose answer is read and dropped
  // so the connection can carry the next request. true when its chain ends in the CA.
  bool VerifyConnection(TransportResult& result) {
    RequestHandle probe(inFlight, OpenRequest(L"GET", L"/"));
    if (!probe || !HttpSendRequestW(probe.get(), nullptr, 0, nullptr, 0)) {
      const DWORD error = GetLastError();
      result.code = kExchangeSendFailed;
      result.failure = FailureOf(error);
      result.error = ErrorText(error);
      return false;
    }
    if (!ChainTrusted(probe.get(), cas)) {
      result.code = kExchangeSendFailed;
      result.failure = TransportFailure::kCertificate;
      result.error = "the server's certificate does not come from the configured CA";
      return false;
    }
    char sink[4096];
    DWORD n = 0;
    while (InternetReadFile(probe.get(), sink, sizeof sink, &n) && n > 0) {
    }
    verified = true;
    return true;
  }
};

WinInetTransport::WinInetTransport(TransportOptions options) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

WinInetTransport::~WinInetTransport() { Close(); }

int WinInetTransport::Open(std::string_view userAgent) {
  Close();
  impl_->session.Reset(InternetOpenW(Wide(userAgent, 932).c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                     nullptr, nullptr, 0));
  if (!impl_->session) return kExchangeSessionFailed;
  // Without limits a silent server would hold the window's thread for ever.
  DWORD connectMs = static_cast<DWORD>(impl_->options.connectTimeoutMs);
  DWORD receiveMs = static_cast<DWORD>(impl_->options.receiveTimeoutSeconds * 1000);
  InternetSetOptionW(impl_->session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs,
                     sizeof connectMs);
  InternetSetOptionW(impl_->session.get(), INTERNET_OPTION_SEND_TIMEOUT, &receiveMs,
                     sizeof receiveMs);
  InternetSetOptionW(impl_->session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveMs,
                     sizeof receiveMs);
  if (!impl_->options.extraCaFile.empty()) {
    std::string pem;
    ReadWholeFile(impl_->options.extraCaFile, pem);
    impl_->cas = Certificates(pem);
    // A CA file that holds no certificate trusts nothing more: WinINet's own check stands.
  }
  return 0;
}

TransportResult WinInetTransport::Send(const TransportRequest& request) {
  if (!request.stopRequested) return SendNow(request);
  // The request runs on a second thread; this one asks about a stop between waits of 100 ms,
  // so the stop is seen (and the window kept alive) while the service is silent.
  impl_->inFlight.Reset();
  TransportResult result;
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::thread worker([&] {
    TransportResult answer = SendNow(request);
    std::lock_guard<std::mutex> lock(mutex);
    result = std::move(answer);
    done = true;
    ended.notify_one();
  });
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      if (ended.wait_for(lock, std::chrono::milliseconds(100), [&] { return done; })) break;
    }
    if (!impl_->inFlight.Stopped() && request.stopRequested()) impl_->inFlight.Stop();
  }
  worker.join();
  // An answer that arrived whole before the stop took hold is kept.
  if (impl_->inFlight.Stopped() && result.code != 0) {
    result.code = result.status != 0 ? kExchangeReadFailed : kExchangeSendFailed;
    result.failure = TransportFailure::kStopped;
    result.error = "stopped while waiting for the answer";
    // The connection may be in the middle of an answer: the next request starts a new one.
    impl_->connection.Reset();
    impl_->connectedHost.clear();
    impl_->verified = false;
  }
  impl_->inFlight.Reset();
  return result;
}

TransportResult WinInetTransport::SendNow(const TransportRequest& request) {
  TransportResult result;
  if (!impl_->session) {
    result.code = kExchangeSendFailed;
    result.error = "no open session";
    return result;
  }
  Target target;
  if (!Crack(request.url, target)) {
    result.code = kExchangeBadUrl;
    result.error = "not an https address";
    return result;
  }
  if (!impl_->Connect(target)) {
    result.code = kExchangeSendFailed;
    result.failure = TransportFailure::kConnection;
    result.error = ErrorText(GetLastError());
    return result;
  }
  if (!impl_->cas.empty() && !impl_->verified && !impl_->VerifyConnection(result)) {
    // A server the CA does not vouch for ends the session; a check cut short by a stop does not.
    if (!impl_->inFlight.Stopped()) Close();
    return result;
  }
  const bool post = request.method == "POST";
  RequestHandle handle(impl_->inFlight, impl_->OpenRequest(post ? L"POST" : L"GET", target.path));
  if (!handle) {
    result.code = kExchangeOpenFailed;
    result.error = ErrorText(GetLastError());
    return result;
  }
  std::wstring headers;
  for (const std::string& line : request.headers) headers += Wide(line, CP_UTF8) + L"\r\n";
  // The headers go out first; the body only once the connection they went over is checked.
  INTERNET_BUFFERSW buffers{};
  buffers.dwStructSize = sizeof buffers;
  buffers.lpcszHeader = headers.empty() ? nullptr : headers.c_str();
  buffers.dwHeadersLength = static_cast<DWORD>(headers.size());
  buffers.dwBufferTotal = static_cast<DWORD>(request.body.size());
  bool sent = HttpSendRequestExW(handle.get(), &buffers, nullptr, 0, 0) != FALSE;
  DWORD error = sent ? 0 : GetLastError();
  if (sent && !ChainTrusted(handle.get(), impl_->cas)) {
    handle.Reset();
    if (impl_->inFlight.Stopped()) {
      result.code = kExchangeSendFailed;
      return result;
    }
    Close();
    result.code = kExchangeSendFailed;
    result.failure = TransportFailure::kCertificate;
    result.error = "the server's certificate is not trusted";
    return result;
  }
  for (std::size_t at = 0; sent && at < request.body.size();) {
    DWORD written = 0;
    sent = InternetWriteFile(handle.get(), request.body.data() + at,
                             static_cast<DWORD>(request.body.size() - at), &written) &&
           written > 0;
    at += written;
    if (!sent) error = GetLastError();
  }
  if (sent && !HttpEndRequestW(handle.get(), nullptr, 0, 0)) {
    sent = false;
    error = GetLastError();
  }
  if (!sent) {
    result.code = kExchangeSendFailed;
    result.failure = FailureOf(error);
    result.error = ErrorText(error);
    return result;
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (HttpQueryInfoW(handle.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                     nullptr)) {
    result.status = static_cast<int>(status);
  }
  result.headers = HeaderLines(handle.get());
  char chunk[4096];
  for (;;) {
    DWORD n = 0;
    if (!InternetReadFile(handle.get(), chunk, sizeof chunk, &n)) {
      error = GetLastError();
      result.code = result.status != 0 ? kExchangeReadFailed : kExchangeSendFailed;
      result.failure = FailureOf(error);
      result.error = ErrorText(error);
      break;
    }
    if (n == 0) break;
    result.body.append(chunk, n);
  }
  return result;
}

void WinInetTransport::Close() {
  impl_->connection.Reset();
  impl_->connectedHost.clear();
  impl_->verified = false;
  if (impl_->session) {
    impl_->session.Reset();
    // WinINet keeps the cookies for the whole process: the session's end forgets them.
    InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
  }
  impl_->ForgetCas();
}

std::unique_ptr<Transport> MakeSystemTransport(const SettingsStore& settings) {
  return std::make_unique<WinInetTransport>(TransportOptionsFromSettings(settings));
}

}  // namespace kestrova
