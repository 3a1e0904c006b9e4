// The WinINet transport against the native kestrova-sim that CTest starts beside the tests
// (tests/service/host_sim.sh), reached as localhost, the name its certificate carries.
#include "service/wininet_transport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "service/http_exchange.h"
#include "service/service_requests.h"

namespace kestrova {
namespace {

// A file the fixture left in its folder (a host path: drive Z: is the host's root).
std::string HostPath(const std::string& name) {
  const char* dir = std::getenv("KESTROVA_HOST_SIM_DIR");
  std::string path = std::string("Z:") + (dir ? dir : "") + "/" + name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ReadHost(const std::string& name) {
  std::ifstream in(HostPath(name), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class WinInetTransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    url_ = ReadHost("url.txt");
    url_ = url_.substr(0, url_.find_first_of("\r\n"));
    ASSERT_EQ(url_.rfind("https://127.0.0.1:", 0), 0u) << "no kestrova-sim beside the tests";
    url_.replace(8, 9, "localhost");
  }
  static TransportOptions Trusting(const std::string& caFile) {
    TransportOptions options;
    options.extraCaFile = caFile.empty() ? std::string() : HostPath(caFile);
    options.connectTimeoutMs = 10000;
    options.receiveTimeoutSeconds = 10;
    return options;
  }
  TransportRequest Login() const {
    return {"POST",
            url_ + kLoginPath,
            {std::string("Content-Type: ") + kFormContentType},
            LoginBody("demo", "demo-pass")};
  }
  // How many login forms, the password in them, the sim has received (its request log).
  static int PasswordsReceived() {
    const std::string log = ReadHost("requests.log");
    int n = 0;
    for (std::size_t at = log.find("password="); at != std::string::npos;
         at = log.find("password=", at + 1)) {
      ++n;
    }
    return n;
  }

  std::string url_;
};

TEST_F(WinInetTransportTest, LogsInWithTheExtraCaAndKeepsTheSessionByItsCookie) {
  WinInetTransport transport(Trusting("ca.pem"));
  ASSERT_EQ(transport.Open(kUserAgent), 0);
  TransportResult login = transport.Send(Login());
  ASSERT_EQ(login.code, 0) << login.error;
  EXPECT_EQ(login.status, 200);
  EXPECT_NE(login.body.find("日報検索"), std::string::npos);  // the menu: logged in
  // The search is answered only for the session the login's cookie names.
  TransportResult search = transport.Send({"POST", url_ + kSearchPath, {}, ""});
  EXPECT_EQ(search.code, 0) << search.error;
  EXPECT_EQ(search.status, 200);
  transport.Close();
  // A new session starts without the cookie: sent back to the login form, not followed there.
  ASSERT_EQ(transport.Open(kUserAgent), 0);
  TransportResult stranger = transport.Send({"POST", url_ + kSearchPath, {}, ""});
  EXPECT_EQ(stranger.code, 0) << stranger.error;
  EXPECT_EQ(stranger.status, 302);
}

// A server of another CA (the sim's own CA not configured, or another one configured) never
// receives the login form: the session ends with the certificate error, and nothing more goes
// out over it.
TEST_F(WinInetTransportTest, ServerTheCaDoesNotVouchForNeverReceivesThePassword) {
  for (const char* caFile : {"other-ca.pem", ""}) {
    const int before = PasswordsReceived();
    WinInetTransport transport(Trusting(caFile));
    ASSERT_EQ(transport.Open(kUserAgent), 0);
    TransportResult login = transport.Send(Login());
    EXPECT_EQ(login.code, kExchangeSendFailed) << caFile;
    EXPECT_EQ(login.failure, TransportFailure::kCertificate) << caFile << ": " << login.error;
    if (*caFile) {
      EXPECT_EQ(transport.Send(Login()).code, kExchangeSendFailed);
    }
    EXPECT_EQ(PasswordsReceived(), before) << caFile;
  }
}

TEST_F(WinInetTransportTest, OnlyHttpsIsSpoken) {
  WinInetTransport transport(Trusting("ca.pem"));
  ASSERT_EQ(transport.Open(kUserAgent), 0);
  std::string plain = url_;
  plain.replace(0, 5, "http");
  EXPECT_EQ(transport.Send({"GET", plain + kStyleSheetPath, {}, ""}).code, kExchangeBadUrl);
  WinInetTransport closed;
  EXPECT_EQ(closed.Send(Login()).code, kExchangeSendFailed);  // no session open
}

}  // namespace
}  // namespace kestrova
