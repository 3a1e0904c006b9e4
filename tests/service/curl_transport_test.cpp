// The libcurl transport under the exchange, against an HTTPS server on loopback started by
// the test, and against the stand-in service.
#include "service/curl_transport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include "foundation/files.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "service/http_exchange.h"
#include "service/service_requests.h"
#include "store/program_state.h"
#include "tests/service/test_certificates.h"
#include "tests/sim/sim_process.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

using namespace std::chrono_literals;

// A loopback HTTPS server with the handlers the cases need; it records the client port of
// every request, so the number of TCP connections can be told.
class LoopbackServer {
 public:
  LoopbackServer(X509* cert, EVP_PKEY* key) : server_(cert, key) {
    server_.Get("/set-cookie", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Set-Cookie", "sid=abc123; Path=/");
      res.set_content("set", "text/plain");
    });
    server_.Post("/echo-cookie", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    server_.Post("/echo", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      res.set_content(req.method + "|" + req.get_header_value("Content-Type") + "|" +
                          req.get_header_value("User-Agent") + "|" + req.body,
                      "text/plain");
    });
    // Closes the connection after reading the request, without a byte of answer.
    server_.Post("/drop", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      if (req.ssl) ::shutdown(SSL_get_fd(req.ssl), SHUT_RDWR);
      res.status = 500;
    });
    server_.Get("/query", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      res.set_content(req.target, "text/plain");
    });
    server_.Post("/redirect", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      res.status = 302;
      res.set_header("Location", "/target");
    });
    server_.Get("/target", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      res.set_content("followed", "text/plain");
    });
    server_.Post("/big", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      res.set_content(BigBody(), "application/pdf");
    });
    server_.Post("/slow", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      std::this_thread::sleep_for(2500ms);
      res.set_content("late", "text/plain");
    });
    server_.Post("/stall", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      res.set_chunked_content_provider("text/plain",
                                       [](std::size_t offset, httplib::DataSink& sink) {
                                         if (offset == 0) {
                                           sink.write("partial", 7);
                                           return true;
                                         }
                                         std::this_thread::sleep_for(2500ms);
                                         sink.done();
                                         return true;
                                       });
    });
    // Never answers while the test runs (a service that holds the request).
    server_.Post("/hold", [this](const httplib::Request& req, httplib::Response& res) {
      Note(req);
      for (int i = 0; i < 1000 && !released_; ++i) std::this_thread::sleep_for(10ms);
      res.set_content("late", "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i) std::this_thread::sleep_for(10ms);
  }
  ~LoopbackServer() {
    released_ = true;
    server_.stop();
    thread_.join();
  }

  static const std::string& BigBody() {
    static const std::string body = [] {
      std::string b(6 * 1024 * 1024 + 13, '\0');
      for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<char>((i * 7919) % 251);
      return b;
    }();
    return body;
  }

  std::string Url(std::string_view path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + std::string(path);
  }
  int Requests() const { return requests_; }
  std::size_t DistinctClientPorts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return clientPorts_.size();
  }
  std::vector<std::string> Paths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return paths_;
  }

 private:
  void Note(const httplib::Request& req) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++requests_;
    clientPorts_.insert(req.remote_port);
    paths_.push_back(req.path);
  }

  httplib::SSLServer server_;
  int port_ = -1;
  std::thread thread_;
  std::atomic<int> requests_{0};
  std::atomic<bool> released_{false};
  std::mutex mutex_;
  std::set<int> clientPorts_;
  std::vector<std::string> paths_;
};

class CurlTransportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("no_proxy", "127.0.0.1,localhost", 1);  // loopback never goes through a proxy
    ca_ = new test::KeyAndCert(test::MakeCertificate("Kestrova Test CA", nullptr));
    server_ =
        new test::KeyAndCert(test::MakeCertificate("127.0.0.1", ca_, "IP:127.0.0.1,DNS:localhost"));
    otherCa_ = new test::KeyAndCert(test::MakeCertificate("Unrelated CA", nullptr));
  }
  static void TearDownTestSuite() {
    delete ca_;
    delete server_;
    delete otherCa_;
  }

  void SetUp() override {
    state.clock = &clock;
    state.desktop = &desktop;
    ASSERT_TRUE(WriteFileAtomic(CaFile(), test::PemOf(ca_->cert.get())));
    ASSERT_TRUE(WriteFileAtomic(OtherCaFile(), test::PemOf(otherCa_->cert.get())));
  }

  std::string CaFile() const { return folder.Path("ca.pem"); }
  std::string OtherCaFile() const { return folder.Path("other-ca.pem"); }
  // Options that trust the test CA as an extra CA file.
  TransportOptions Trusting() const {
    TransportOptions options;
    options.extraCaFile = CaFile();
    return options;
  }
  int Post(HttpSession& session, const std::string& url, std::string& answer,
           std::string_view form = "x=1") {
    return SendRequest(session, url, false, form, answer);
  }

  static test::KeyAndCert* ca_;
  static test::KeyAndCert* server_;
  static test::KeyAndCert* otherCa_;
  test::TempFolder folder;
  FixedClock clock{std::string_view("2011/05/07 09:30:00")};
  test::ScriptedDesktop desktop;
  ProgramState state;
};

test::KeyAndCert* CurlTransportTest::ca_ = nullptr;
test::KeyAndCert* CurlTransportTest::server_ = nullptr;
test::KeyAndCert* CurlTransportTest::otherCa_ = nullptr;

TEST_F(CurlTransportTest, PostCarriesFormContentTypeAndUserAgent) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  ASSERT_EQ(Post(session, server.Url("/echo"), answer, "riyousyaId=a&password=b"), 0)
      << session.lastError;
  EXPECT_EQ(answer, std::string("POST|application/x-www-form-urlencoded|") + kUserAgent +
                        "|riyousyaId=a&password=b");
}

TEST_F(CurlTransportTest, GetSendsTheFormAsQuery) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string bare, withQuery;
  ASSERT_EQ(SendRequest(session, server.Url("/query"), true, "", bare), 0) << session.lastError;
  ASSERT_EQ(SendRequest(session, server.Url("/query"), true, "a=1&b=2", withQuery), 0);
  EXPECT_EQ(bare, "/query");
  EXPECT_EQ(withQuery, "/query?a=1&b=2");
}

TEST_F(CurlTransportTest, CookiesSetByTheServiceComeBackUntilTheSessionCloses) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string set, echoed;
  ASSERT_EQ(SendRequest(session, server.Url("/set-cookie"), true, "", set), 0) << session.lastError;
  ASSERT_EQ(Post(session, server.Url("/echo-cookie"), echoed), 0);
  EXPECT_EQ(echoed, "sid=abc123");

  CloseSession(session);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string fresh = "-";
  ASSERT_EQ(Post(session, server.Url("/echo-cookie"), fresh), 0);
  EXPECT_EQ(fresh, "-");  // a new session starts without cookies
}

TEST_F(CurlTransportTest, RequestsOfOneSessionShareOneConnection) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  for (int i = 0; i < 4; ++i) {
    std::string answer;
    ASSERT_EQ(Post(session, server.Url("/echo"), answer), 0) << session.lastError;
  }
  EXPECT_EQ(server.Requests(), 4);
  EXPECT_EQ(server.DistinctClientPorts(), 1u);
  EXPECT_EQ(transport.ConnectionsMade(), 1);
}

TEST_F(CurlTransportTest, PostOnAReusedConnectionThatDiesIsNotSentAgain) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  ASSERT_EQ(Post(session, server.Url("/echo"), answer), 0) << session.lastError;
  // The service may have acted on it (a search costs a fee): it fails instead of going out
  // again on a fresh connection.
  EXPECT_EQ(Post(session, server.Url("/drop"), answer, "bukkenNo=1"), kExchangeSendFailed);
  EXPECT_EQ(session.lastFailure, TransportFailure::kConnection);
  EXPECT_EQ(session.lastError, "connection closed after the request was sent; not sent again");
  // The session goes on over a new connection.
  EXPECT_EQ(Post(session, server.Url("/echo"), answer), 0) << session.lastError;
  EXPECT_EQ(server.Paths(), (std::vector<std::string>{"/echo", "/drop", "/echo"}));
}

TEST_F(CurlTransportTest, RedirectIsNotFollowedAndGives10005WithoutLine) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  EXPECT_EQ(Post(session, server.Url("/redirect"), answer), kExchangeRedirect);
  EXPECT_TRUE(answer.empty());
  EXPECT_EQ(state.errorList.Count(), 0);
  EXPECT_EQ(server.Paths(), std::vector<std::string>{"/redirect"});
}

TEST_F(CurlTransportTest, NotFoundPutsTheStatusLineInErrorList) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  EXPECT_EQ(Post(session, server.Url("/nowhere.do"), answer), kExchangeStatusError);
  EXPECT_EQ(session.lastStatus, 404);
  ASSERT_EQ(state.errorList.Count(), 1);
  EXPECT_EQ(std::string(state.errorList.Get(0)),
            "2011/05/07 09:30:00\t  404\t" + Sjis("↓ステータスエラー"));
}

TEST_F(CurlTransportTest, LargeAnswerArrivesWhole) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  LineReaderPtr buffer = kestrova::Open("3000", "mw");
  ASSERT_TRUE(buffer);
  ASSERT_EQ(SendRequest(session, server.Url("/big"), false, "bukkenNo=1", buffer.get()), 0)
      << session.lastError;
  EXPECT_EQ(buffer->Text().size(), LoopbackServer::BigBody().size());
  EXPECT_TRUE(buffer->Text() == LoopbackServer::BigBody());
  Close(buffer);
}

TEST_F(CurlTransportTest, RefusedConnectionGives10003) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  int port = ntohs(addr.sin_port);
  ::close(fd);  // bound, never listened: nothing answers on the port

  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  std::string url = "https://127.0.0.1:" + std::to_string(port) + "/x";
  ASSERT_EQ(OpenSession(session, kUserAgent, url), 0);
  std::string answer;
  EXPECT_EQ(Post(session, url, answer), kExchangeSendFailed);
  EXPECT_FALSE(session.lastError.empty());
  EXPECT_EQ(session.lastFailure, TransportFailure::kConnection);
  EXPECT_EQ(state.errorList.Count(), 0);  // the caller writes the line with its own text
}

TEST_F(CurlTransportTest, UntrustedCertificateFailsBeforeAnythingIsSent) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  CurlTransport transport;  // the system's CAs only
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  EXPECT_EQ(Post(session, server.Url("/echo"), answer, "password=secret"), kExchangeSendFailed);
  EXPECT_EQ(server.Requests(), 0);
  EXPECT_NE(session.lastError.find("certificate"), std::string::npos) << session.lastError;
  EXPECT_EQ(session.lastFailure, TransportFailure::kCertificate);
}

TEST_F(CurlTransportTest, CaSettingMakesTheSameCertificateTrusted) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  SettingsStore settings;
  settings.Set(keys::kCaFile, CaFile());
  CurlTransport transport(TransportOptionsFromSettings(settings));
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  EXPECT_EQ(Post(session, server.Url("/echo"), answer), 0) << session.lastError;
  EXPECT_EQ(server.Requests(), 1);
}

TEST_F(CurlTransportTest, ExtraCaIsTrustedBesidesTheSystemBundle) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  // The test CA plays the system bundle; an unrelated extra CA must not replace it.
  TransportOptions options;
  options.systemCaFile = folder.native() + "/ca.pem";
  options.extraCaFile = OtherCaFile();
  CurlTransport transport(options);
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  EXPECT_EQ(Post(session, server.Url("/echo"), answer), 0) << session.lastError;

  TransportOptions neither;
  neither.systemCaFile = folder.native() + "/other-ca.pem";
  CurlTransport untrusting(neither);
  HttpSession second(state, untrusting);
  ASSERT_EQ(OpenSession(second, kUserAgent, server.Url("/")), 0);
  EXPECT_EQ(Post(second, server.Url("/echo"), answer), kExchangeSendFailed);
}

TEST_F(CurlTransportTest, CertificateForAnotherHostIsRefusedEvenFromTrustedCa) {
  test::KeyAndCert wrongHost = test::MakeCertificate("other.example", ca_, "DNS:other.example");
  LoopbackServer server(wrongHost.cert.get(), wrongHost.key.get());
  CurlTransport transport(Trusting());
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  EXPECT_EQ(Post(session, server.Url("/echo"), answer), kExchangeSendFailed);
  EXPECT_EQ(server.Requests(), 0);
}

TEST_F(CurlTransportTest, SilentServerEndsTheRequestAfterTheReceiveTimeOut) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  SettingsStore settings;
  settings.Set(Sjis("//ini/設定2/CA証明書"), CaFile());
  settings.Set(Sjis("//ini/設定2/受信タイムアウト"), "1");
  settings.Set(Sjis("//ini/設定2/接続タイムアウト"), "7");
  TransportOptions options = TransportOptionsFromSettings(settings);
  EXPECT_EQ(options.connectTimeoutMs, 7000);
  CurlTransport transport(options);
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  EXPECT_EQ(Post(session, server.Url("/slow"), answer), kExchangeSendFailed);
  EXPECT_TRUE(answer.empty());
  EXPECT_EQ(session.lastStatus, 0);
  EXPECT_EQ(session.lastError, "nothing received for 1 s");
  EXPECT_EQ(session.lastFailure, TransportFailure::kTimeout);
}

TEST_F(CurlTransportTest, StopEndsARequestTheServiceNeverAnswersWithinASecond) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  TransportOptions options = Trusting();
  options.receiveTimeoutSeconds = 30;
  CurlTransport transport(options);
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  // The stop signal arrives from another thread while the request waits for its answer.
  std::thread signal([this] {
    std::this_thread::sleep_for(300ms);
    state.stopSignal = SIGTERM;
  });
  const auto started = std::chrono::steady_clock::now();
  std::string answer;
  EXPECT_EQ(Post(session, server.Url("/hold"), answer), kExchangeSendFailed);
  const auto took = std::chrono::steady_clock::now() - started;
  signal.join();
  EXPECT_LT(took, 1300ms);
  EXPECT_EQ(server.Requests(), 1);
  EXPECT_EQ(session.lastFailure, TransportFailure::kStopped);
  EXPECT_EQ(state.errorList.Count(), 0);

  // The stop button is read while waiting too: the window's messages are pumped meanwhile.
  state.stopSignal = 0;
  int pumped = 0;
  desktop.onPump = [&] {
    if (++pumped == 3) state.stopPressed = true;
  };
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  EXPECT_EQ(Post(session, server.Url("/hold"), answer), kExchangeSendFailed);
  EXPECT_EQ(session.lastFailure, TransportFailure::kStopped);
  EXPECT_EQ(pumped, 3);
}

TEST_F(CurlTransportTest, BodyThatStallsGives10006AndKeepsWhatArrived) {
  LoopbackServer server(server_->cert.get(), server_->key.get());
  TransportOptions options = Trusting();
  options.receiveTimeoutSeconds = 1;
  CurlTransport transport(options);
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, server.Url("/")), 0);
  std::string answer;
  EXPECT_EQ(Post(session, server.Url("/stall"), answer), kExchangeReadFailed);
  EXPECT_EQ(answer, "partial");
  EXPECT_EQ(state.errorList.Count(), 0);
}

TEST_F(CurlTransportTest, ServerThatNeverHandsShakesEndsAfterTheConnectTimeOut) {
  // Listens but never accepts: the TCP handshake completes, the TLS one never does.
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(fd, 4), 0);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  std::string url = "https://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/x";

  TransportOptions options = Trusting();
  options.connectTimeoutMs = 300;
  options.receiveTimeoutSeconds = 30;
  CurlTransport transport(options);
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, url), 0);
  auto started = std::chrono::steady_clock::now();
  std::string answer;
  EXPECT_EQ(Post(session, url, answer), kExchangeSendFailed);
  // Ended by the 300 ms limit, long before the 30 s one.
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
  EXPECT_EQ(session.lastFailure, TransportFailure::kTimeout);
  ::close(fd);
}

TEST_F(CurlTransportTest, SendWithoutOpenSessionFails) {
  CurlTransport transport;
  TransportRequest request;
  request.method = "GET";
  request.url = "https://127.0.0.1:1/";
  TransportResult result = transport.Send(request);
  EXPECT_EQ(result.code, kExchangeSendFailed);
  EXPECT_EQ(result.status, 0);
}

// The exchange against the stand-in service: login with its session cookie, style sheet,
// detail page.
TEST_F(CurlTransportTest, LogsInToTheStandInServiceAndKeepsItsSession) {
  if (!FileExists(platform::ProgramPath(test::SimBinary()))) {
    GTEST_SKIP() << "kestrova-sim was not built at " << test::SimBinary();
  }
  test::SimProcess sim;
  ASSERT_TRUE(sim.Start()) << "the stand-in service did not start";
  SettingsStore settings;
  settings.Set(keys::kBaseUrl, sim.url());
  settings.Set(keys::kCaFile, platform::ProgramPath(sim.caFile()));
  CurlTransport transport(TransportOptionsFromSettings(settings));
  HttpSession session(state, transport);
  ASSERT_EQ(OpenSession(session, kUserAgent, ServiceUrl(settings, kLoginPath)), 0);

  std::string page;
  ASSERT_EQ(SendRequest(session, ServiceUrl(settings, kLoginPath), false,
                        LoginBody("demo", "demo-pass"), page),
            0)
      << session.lastError;
  EXPECT_EQ(LoginSucceeded(Utf8ToAnsi(page)), 1);

  std::string css;
  EXPECT_EQ(SendRequest(session, ServiceUrl(settings, kStyleSheetPath), true, "", css), 0);
  EXPECT_FALSE(css.empty());

  // The search is answered only for the session the login's cookie names; a session that
  // has not logged in is sent back to the login page.
  std::string result;
  EXPECT_EQ(SendRequest(session, ServiceUrl(settings, kSearchPath), false, "", result), 0)
      << session.lastError;
  EXPECT_EQ(transport.ConnectionsMade(), 1);
  CurlTransport stranger(TransportOptionsFromSettings(settings));
  HttpSession fresh(state, stranger);
  ASSERT_EQ(OpenSession(fresh, kUserAgent, ServiceUrl(settings, kLoginPath)), 0);
  std::string none;
  EXPECT_EQ(SendRequest(fresh, ServiceUrl(settings, kSearchPath), false, "", none),
            kExchangeRedirect);
  CloseSession(fresh);
  CloseSession(session);  // an idle kept-alive connection would hold the server's stop
  EXPECT_EQ(sim.Stop(), 0);
}

TEST_F(CurlTransportTest, WrongPasswordGivesAPageWithoutTheMenu) {
  if (!FileExists(platform::ProgramPath(test::SimBinary()))) {
    GTEST_SKIP() << "kestrova-sim was not built at " << test::SimBinary();
  }
  test::SimProcess sim;
  ASSERT_TRUE(sim.Start()) << "the stand-in service did not start";
  TransportOptions options;
  options.extraCaFile = platform::ProgramPath(sim.caFile());
  CurlTransport transport(options);
  HttpSession session(state, transport);
  std::string login = sim.url() + kLoginPath;
  ASSERT_EQ(OpenSession(session, kUserAgent, login), 0);
  std::string page;
  ASSERT_EQ(SendRequest(session, login, false, LoginBody("demo", "wrong"), page), 0);
  EXPECT_EQ(LoginSucceeded(Utf8ToAnsi(page)), 0);
}

TEST_F(CurlTransportTest, InjectedServiceFaultsMapToTheirCodes) {
  if (!FileExists(platform::ProgramPath(test::SimBinary()))) {
    GTEST_SKIP() << "kestrova-sim was not built at " << test::SimBinary();
  }
  test::SimProcess sim;
  ASSERT_TRUE(sim.Start({"--fail", std::string(kDetailPath) + "=503", "--drop", kFloorPlanPath}))
      << "the stand-in service did not start";
  TransportOptions options;
  options.extraCaFile = platform::ProgramPath(sim.caFile());
  CurlTransport transport(options);
  HttpSession session(state, transport);
  std::string base = sim.url();
  ASSERT_EQ(OpenSession(session, kUserAgent, base + kLoginPath), 0);
  std::string page;
  ASSERT_EQ(SendRequest(session, base + kLoginPath, false, LoginBody("demo", "demo-pass"), page),
            0);
  std::string detail, plan;
  EXPECT_EQ(SendRequest(session, base + kDetailPath, false, DetailBody("1"), detail),
            kExchangeStatusError);
  ASSERT_EQ(state.errorList.Count(), 1);
  EXPECT_EQ(std::string(state.errorList.Get(0)).substr(19),
            "\t  503\t" + Sjis("↓ステータスエラー"));
  EXPECT_EQ(SendRequest(session, base + kFloorPlanPath, false, FloorPlanBody("1"), plan),
            kExchangeSendFailed);
  EXPECT_TRUE(plan.empty());
}

}  // namespace
}  // namespace kestrova
