// The only file that sees libcurl (and, for the extra CA certificates, OpenSSL).
#include "service/curl_transport.h"

#include <curl/curl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>

#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "service/http_exchange.h"
#include "service/service_requests.h"

namespace kestrova {
namespace {

void GlobalInitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t AppendBody(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

size_t AppendHeader(char* data, size_t size, size_t count, void* user) {
  auto* headers = static_cast<std::vector<std::string>*>(user);
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  // A new status line (after "100 Continue") starts the headers over.
  if (line.rfind("HTTP/", 0) == 0) headers->clear();
  if (!line.empty()) headers->push_back(std::move(line));
  return size * count;
}

// Adds every certificate of the PEM text to the store; the number added.
int AddPemCertificates(X509_STORE* store, const std::string& pem) {
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  if (bio == nullptr) return 0;
  int added = 0;
  while (X509* cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) {
    if (X509_STORE_add_cert(store, cert) == 1) ++added;
    X509_free(cert);
  }
  ERR_clear_error();  // the loop ends on a "no start line" error
  BIO_free(bio);
  return added;
}

// Called by libcurl with the TLS context of a new connection, after the system's CA
// certificates are loaded: the extra ones join them instead of replacing them.
CURLcode AddExtraCertificates(CURL*, void* sslContext, void* user) {
  const auto* pem = static_cast<const std::string*>(user);
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
  if (store != nullptr) AddPemCertificates(store, *pem);
  return CURLE_OK;
}

// Ends a request once no byte has moved for the receive time-out. libcurl's own low-speed
// check averages over a few seconds, so it fires late after the request was just sent.
struct IdleWatch {
  std::chrono::steady_clock::time_point lastProgress;
  curl_off_t lastBytes = 0;
  long limitMs = 0;
  bool expired = false;
};

int CheckIdle(void* user, curl_off_t downloaded, curl_off_t, curl_off_t uploaded, curl_off_t) {
  auto* watch = static_cast<IdleWatch*>(user);
  auto now = std::chrono::steady_clock::now();
  if (downloaded + uploaded != watch->lastBytes) {
    watch->lastBytes = downloaded + uploaded;
    watch->lastProgress = now;
    return 0;
  }
  if (now - watch->lastProgress >= std::chrono::milliseconds(watch->limitMs)) {
    watch->expired = true;
    return 1;  // aborts the transfer
  }
  return 0;
}

// The body of a POST, handed to libcurl through a read callback. libcurl resends a request on
// a fresh connection when a reused one dies before an answer; with a fixed body
// (CURLOPT_POSTFIELDS) it does so unseen, so a search the service already counted as a fee
// would go out twice. Asked to rewind, this body refuses: the request then fails instead.
struct PostBody {
  std::string_view bytes;
  std::size_t sent = 0;
  bool resendRefused = false;
};

size_t ReadBody(char* buffer, size_t size, size_t count, void* user) {
  auto* body = static_cast<PostBody*>(user);
  const std::size_t n = std::min(size * count, body->bytes.size() - body->sent);
  std::memcpy(buffer, body->bytes.data() + body->sent, n);
  body->sent += n;
  return n;
}

int RefuseRewind(void* user, curl_off_t, int) {
  static_cast<PostBody*>(user)->resendRefused = true;
  return CURL_SEEKFUNC_CANTSEEK;
}

TransportFailure FailureOf(CURLcode rc, bool idleExpired) {
  if (idleExpired || rc == CURLE_OPERATION_TIMEDOUT) return TransportFailure::kTimeout;
  switch (rc) {
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
      return TransportFailure::kCertificate;
    default:
      return TransportFailure::kConnection;
  }
}

// Runs the transfer of easy on multi until it ends, asking shouldStop between waits of at most
// 100 ms; a true answer ends the transfer at once (its connection is closed) and sets stopped.
// The transfer's own result otherwise.
CURLcode Perform(CURLM* multi, CURL* easy, const std::function<bool()>& shouldStop, bool& stopped) {
  if (curl_multi_add_handle(multi, easy) != CURLM_OK) return CURLE_FAILED_INIT;
  CURLcode rc = CURLE_OK;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      rc = CURLE_FAILED_INIT;
      break;
    }
    if (running == 0) {
      int left = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) rc = message->data.result;
      }
      break;
    }
    if (shouldStop && shouldStop()) {
      stopped = true;
      break;
    }
    if (curl_multi_poll(multi, nullptr, 0, 100, nullptr) != CURLM_OK) {
      rc = CURLE_FAILED_INIT;
      break;
    }
  }
  curl_multi_remove_handle(multi, easy);
  return rc;
}

}  // namespace

struct CurlTransport::Impl {
  TransportOptions options;
  CURL* easy = nullptr;
  // Drives the easy handle, so the request can be looked at between waits of 100 ms; it holds
  // the session's connection from one request to the next.
  CURLM* multi = nullptr;
  std::string extraPem;
  long connections = 0;
  IdleWatch idle;
  PostBody post;
  char error[CURL_ERROR_SIZE] = {};
};

CurlTransport::CurlTransport(TransportOptions options) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

CurlTransport::~CurlTransport() { Close(); }

int CurlTransport::Open(std::string_view userAgent) {
  Close();
  GlobalInitOnce();
  CURL* easy = curl_easy_init();
  CURLM* multi = curl_multi_init();
  if (easy == nullptr || multi == nullptr) {
    if (easy != nullptr) curl_easy_cleanup(easy);
    if (multi != nullptr) curl_multi_cleanup(multi);
    return kExchangeSessionFailed;
  }
  impl_->easy = easy;
  impl_->multi = multi;
  impl_->connections = 0;
  std::string agent(userAgent);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.c_str());  // libcurl keeps its own copy
  curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");  // cookies in memory for this handle only
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, impl_->error);
  // The password travels in the login form, so the peer must prove who it is.
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
  // Without limits a silent server would hold the window's thread for ever.
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, impl_->options.connectTimeoutMs);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, impl_->options.receiveTimeoutSeconds);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &CheckIdle);
  curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &impl_->idle);
  if (!impl_->options.systemCaFile.empty()) {
    curl_easy_setopt(easy, CURLOPT_CAINFO, impl_->options.systemCaFile.c_str());
  }
  impl_->extraPem.clear();
  if (!impl_->options.extraCaFile.empty()) {
    ReadWholeFile(impl_->options.extraCaFile, impl_->extraPem);
#if LIBCURL_VERSION_NUM >= 0x075700  // 7.87: a cached store would lack the extra certificates
    curl_easy_setopt(easy, CURLOPT_CA_CACHE_TIMEOUT, 0L);
#endif  // LIBCURL_VERSION_NUM >= 0x075700
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &AddExtraCertificates);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, &impl_->extraPem);
  }
  return 0;
}

TransportResult CurlTransport::Send(const TransportRequest& request) {
  TransportResult result;
  CURL* easy = impl_->easy;
  if (easy == nullptr) {
    result.code = kExchangeSendFailed;
    result.error = "no open session";
    return result;
  }
  impl_->error[0] = '\0';
  curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
  if (request.method == "POST") {
    impl_->post = PostBody{request.body};
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_READFUNCTION, &ReadBody);
    curl_easy_setopt(easy, CURLOPT_READDATA, &impl_->post);
    curl_easy_setopt(easy, CURLOPT_SEEKFUNCTION, &RefuseRewind);
    curl_easy_setopt(easy, CURLOPT_SEEKDATA, &impl_->post);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body.size()));
  } else {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  }
  curl_slist* headers = nullptr;
  for (const std::string& line : request.headers)
    headers = curl_slist_append(headers, line.c_str());
  // A form is sent at once rather than after a "100 Continue" round trip.
  headers = curl_slist_append(headers, "Expect:");
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &AppendBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &result.body);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &AppendHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &result.headers);

  impl_->idle = IdleWatch();
  impl_->idle.lastProgress = std::chrono::steady_clock::now();
  impl_->idle.limitMs = impl_->options.receiveTimeoutSeconds * 1000;
  bool stopped = false;
  CURLcode rc = Perform(impl_->multi, easy, request.stopRequested, stopped);

  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
  curl_slist_free_all(headers);
  long status = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  long connects = 0;
  if (curl_easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &connects) == CURLE_OK) {
    impl_->connections += connects;
  }
  result.status = static_cast<int>(status);
  if (stopped) {
    result.code = status != 0 ? kExchangeReadFailed : kExchangeSendFailed;
    result.failure = TransportFailure::kStopped;
    result.error = "stopped while waiting for the answer";
  } else if (rc != CURLE_OK) {
    // With a status line in hand the answer broke off while its body was read.
    result.code = status != 0 ? kExchangeReadFailed : kExchangeSendFailed;
    result.failure = FailureOf(rc, impl_->idle.expired);
    result.error = impl_->error[0] != '\0' ? impl_->error : curl_easy_strerror(rc);
    if (impl_->idle.expired) {
      result.error =
          "nothing received for " + std::to_string(impl_->options.receiveTimeoutSeconds) + " s";
    } else if (impl_->post.resendRefused) {
      result.error = "connection closed after the request was sent; not sent again";
    }
  }
  return result;
}

void CurlTransport::Close() {
  if (impl_->easy != nullptr) curl_easy_cleanup(impl_->easy);
  if (impl_->multi != nullptr) curl_multi_cleanup(impl_->multi);
  impl_->easy = nullptr;
  impl_->multi = nullptr;
}

long CurlTransport::ConnectionsMade() const { return impl_->connections; }

std::unique_ptr<Transport> MakeSystemTransport(const SettingsStore& settings) {
  return std::make_unique<CurlTransport>(TransportOptionsFromSettings(settings));
}

}  // namespace kestrova
