// The built kestrova-sim over HTTPS on loopback: login and session, the pages and PDFs, the
// certificate it makes, the injected faults and its clean stop.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "tests/sim/result_rows.h"
#include "tests/sim/sim_process.h"

namespace kestrova::test {
namespace {

using sim::NumberOf;
using sim::RowChunks;

const char* const kLogin = "/reinsip/an0100/an010002_login.do";
const char* const kSearch = "/reinsip/in0100/in010001_search.do";
const char* const kDetail = "/reinsip/in0300/in030001_init.do";
const char* const kPlan = "/reinsip/in0200/in020001_zumenDownload.do";

// A search form as the program sends it: the fields that carry values, the others empty.
std::string SearchForm(const std::string& codes1, const std::string& kind = "1",
                       const std::string& dataType = "1", const std::string& type1 = "3",
                       const std::string& type2 = "5") {
  return "sortKey1=6&sortKey2=0&dataSyuruiKubun=" + kind + "&dataSyuruiStr=" + dataType +
         "&bukkenSyubetu1Str=" + type1 + "&bukkenSyubetu2Str=" + type2 +
         "&bukkenSyumoku11Str=&calledKubun=1&returnUrl=%2Fin0100%2Fin010001_redisplay_from_"
         "In020001.do"
         "&syozaiti11=" +
         codes1 +
         "&syozaiti11Name2=&syozaiti12=27111&syozaiti13=&ensen1=&kakaku1="
         "&tourokuTime1Y=2011&tourokuTime1M=05&tourokuTime1D=01"
         "&tourokuTime2Y=2011&tourokuTime2M=05&tourokuTime2D=07&dataCountInfo=&kaiinNo=";
}

class SimServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sim_ = new SimProcess;
    ASSERT_TRUE(std::filesystem::exists(SimBinary())) << SimBinary() << " is not built";
    ASSERT_TRUE(sim_->Start({"--account", "demo:demo-pass", "--account", "agent7:p@ss w&rd%",
                             "--account", "kana:パス", "--fee", "3456"}));
  }
  static void TearDownTestSuite() {
    delete sim_;
    sim_ = nullptr;
  }
  std::string Login(httplib::SSLClient& client) {
    auto r = client.Post(kLogin, "riyousyaId=demo&password=demo%2Dpass", kFormType);
    return SessionCookie(r);
  }
  static SimProcess* sim_;
};
SimProcess* SimServerTest::sim_ = nullptr;

TEST_F(SimServerTest, PrintsItsLoopbackUrlFirst) {
  EXPECT_EQ(sim_->url(), "https://127.0.0.1:" + std::to_string(sim_->port()));
  EXPECT_GT(sim_->port(), 0);
}

TEST_F(SimServerTest, LoginWithRightPasswordSetsCookieAndShowsMenuAndFee) {
  auto client = sim_->Client();
  auto r = client->Post(kLogin, "riyousyaId=demo&password=demo%2Dpass", kFormType);
  ASSERT_TRUE(r) << httplib::to_string(r.error());
  EXPECT_EQ(r->status, 200);
  EXPECT_NE(r->body.find("日報検索"), std::string::npos);
  EXPECT_NE(r->body.find("前日までの利用料</th><td class=\"feeValue\">3456円"), std::string::npos);
  EXPECT_EQ(SessionCookie(r).rfind("JSESSIONID=", 0), 0u);
}

TEST_F(SimServerTest, PercentEncodedCredentialsAreDecoded) {
  auto client = sim_->Client();
  // "p@ss w&rd%" with every byte outside the unreserved set encoded.
  auto r = client->Post(kLogin, "riyousyaId=agent7&password=p%40ss%20w%26rd%25", kFormType);
  ASSERT_TRUE(r);
  EXPECT_NE(r->body.find("日報検索"), std::string::npos);
  EXPECT_FALSE(SessionCookie(r).empty());
}

TEST_F(SimServerTest, NonAsciiPasswordMatchesInCp932AsTheProgramSendsIt) {
  auto client = sim_->Client();
  // "パス" in cp932 (83 70 83 58), percent-encoded; the account was given in UTF-8.
  auto r = client->Post(kLogin, "riyousyaId=kana&password=%83p%83X", kFormType);
  ASSERT_TRUE(r);
  EXPECT_NE(r->body.find("日報検索"), std::string::npos);
}

TEST_F(SimServerTest, WrongPasswordGivesPageWithoutMenuAndNoCookie) {
  auto client = sim_->Client();
  auto r = client->Post(kLogin, "riyousyaId=demo&password=wrong", kFormType);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_EQ(r->body.find("日報検索"), std::string::npos);
  EXPECT_EQ(r->body.find("前日までの利用料"), std::string::npos);
  EXPECT_FALSE(r->has_header("Set-Cookie"));
}

TEST_F(SimServerTest, RequestsWithoutValidSessionAreRedirected) {
  auto client = sim_->Client();
  httplib::Headers stale = {{"Cookie", "JSESSIONID=00000000000000000000000000000000"}};
  for (const char* path : {kSearch, kDetail, kPlan}) {
    auto none = client->Post(path, "bukkenNo=1", kFormType);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->status, 302) << path;
    EXPECT_EQ(none->get_header_value("Location"), "/reinsip/an0100/an010001_init.do");
    EXPECT_TRUE(none->body.empty());
    auto old = client->Post(path, stale, "bukkenNo=1", kFormType);
    ASSERT_TRUE(old);
    EXPECT_EQ(old->status, 302) << path;
  }
}

TEST_F(SimServerTest, StyleSheetsAreServedByGet) {
  auto client = sim_->Client();
  for (const char* path : {"/reinsip/css/style.css", "/reinsip/css/style_fip.css"}) {
    auto r = client->Get(path);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200) << path;
    EXPECT_NE(r->body.find('{'), std::string::npos) << path;
  }
  auto missing = client->Get("/reinsip/css/other.css");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
}

TEST_F(SimServerTest, SearchDetailAndPlanOfOneSession) {
  auto client = sim_->Client();
  httplib::Headers session = {{"Cookie", Login(*client)}};
  auto search = client->Post(kSearch, session, SearchForm("27128"), kFormType);
  ASSERT_TRUE(search);
  ASSERT_EQ(search->status, 200);
  EXPECT_NE(search->get_header_value("Content-Type").find("UTF-8"), std::string::npos);
  std::vector<std::string> chunks = RowChunks(search->body);
  ASSERT_FALSE(chunks.empty());
  std::string number = NumberOf(chunks[0]);
  ASSERT_EQ(number.size(), 13u);

  auto detail = client->Post(kDetail, session, "dataSyurui=1&bukkenNo=" + number, kFormType);
  ASSERT_TRUE(detail);
  EXPECT_EQ(detail->status, 200);
  EXPECT_NE(detail->body.find("物件番号</td><td class=\"dtTd\">" + number + "</td>"),
            std::string::npos);

  // A row with the floor-plan icon gets its PDF; a row without it gets 404.
  int plans = 0, noPlans = 0;
  for (const std::string& chunk : chunks) {
    bool hasPlan = chunk.find("/zumen.gif") != std::string::npos;
    if ((hasPlan && plans > 0) || (!hasPlan && noPlans > 0)) continue;
    std::string n = NumberOf(chunk);
    auto pdf = client->Post(kPlan, session, "seiyakuFlg=0&bukkenNo=" + n, kFormType);
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->status, hasPlan ? 200 : 404) << n;
    if (hasPlan) {
      EXPECT_EQ(pdf->get_header_value("Content-Type"), "application/pdf");
      EXPECT_EQ(pdf->body.rfind("%PDF-1.4", 0), 0u);
      EXPECT_NE(pdf->body.find("Property No. " + n), std::string::npos);
      ++plans;
    } else {
      ++noPlans;
    }
  }
  EXPECT_EQ(plans, 1);
  EXPECT_EQ(noPlans, 1);
}

TEST_F(SimServerTest, CertificateNamesLocalhostToo) {
  auto client = sim_->Client("localhost");
  auto r = client->Get("/reinsip/css/style.css");
  ASSERT_TRUE(r) << httplib::to_string(r.error());
  EXPECT_EQ(r->status, 200);
}

TEST_F(SimServerTest, ClientWithoutTheCaRefusesTheCertificate) {
  httplib::SSLClient client("127.0.0.1", sim_->port());
  client.enable_server_certificate_verification(true);
  client.set_ca_cert_path("/nonexistent/ca.pem");
  auto r = client.Get("/reinsip/css/style.css");
  EXPECT_FALSE(r);
}

TEST_F(SimServerTest, UnknownPathWithSessionIs404AndGetOfSearchIs405) {
  auto client = sim_->Client();
  httplib::Headers session = {{"Cookie", Login(*client)}};
  auto unknown = client->Post("/reinsip/xx/unknown.do", session, "", kFormType);
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 404);
  auto get = client->Get(kSearch, session);
  ASSERT_TRUE(get);
  EXPECT_EQ(get->status, 405);
}

// Each fault test runs a sim of its own with the fault switched on.
TEST(SimFaultTest, FailPathAnswersThatStatusOnlyThere) {
  SimProcess sim;
  ASSERT_TRUE(
      sim.Start({"--fail", std::string(kSearch) + "=503", "--fail", "/reinsip/css/style.css=302"}));
  auto client = sim.Client();
  auto search = client->Post(kSearch, "x=1", kFormType);
  ASSERT_TRUE(search);
  EXPECT_EQ(search->status, 503);
  auto css = client->Get("/reinsip/css/style.css");
  ASSERT_TRUE(css);
  EXPECT_EQ(css->status, 302);
  auto other = client->Get("/reinsip/css/style_fip.css");
  ASSERT_TRUE(other);
  EXPECT_EQ(other->status, 200);
}

TEST(SimFaultTest, DropPathClosesConnectionWithoutAnswer) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--drop", "/reinsip/css/style.css"}));
  auto client = sim.Client();
  auto dropped = client->Get("/reinsip/css/style.css");
  EXPECT_FALSE(dropped);
  auto fine = client->Get("/reinsip/css/style_fip.css");
  ASSERT_TRUE(fine);
  EXPECT_EQ(fine->status, 200);
}

TEST(SimFaultTest, FailEveryThirdRequest) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--fail-every", "3=500"}));
  auto client = sim.Client();
  std::vector<int> statuses;
  for (int i = 0; i < 7; ++i) {
    auto r = client->Get("/reinsip/css/style.css");
    statuses.push_back(r ? r->status : -1);
  }
  EXPECT_EQ(statuses, (std::vector<int>{200, 200, 500, 200, 200, 500, 200}));
}

TEST(SimFaultTest, ExpireAfterEndsEachSessionAfterItsRequests) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--expire-after", "2"}));
  auto client = sim.Client();
  auto login = [&] {
    auto r = client->Post(kLogin, "riyousyaId=demo&password=demo%2Dpass", kFormType);
    return httplib::Headers{{"Cookie", SessionCookie(r)}};
  };
  httplib::Headers session = login();
  std::vector<int> statuses;
  for (int i = 0; i < 3; ++i) {
    auto r = client->Post(kSearch, session, SearchForm("27128"), kFormType);
    statuses.push_back(r ? r->status : -1);
    if (i == 2 && r) {
      EXPECT_EQ(r->get_header_value("Location"), "/reinsip/an0100/an010001_init.do");
    }
  }
  EXPECT_EQ(statuses, (std::vector<int>{200, 200, 302}));
  // A new login starts afresh.
  auto again = client->Post(kSearch, login(), SearchForm("27128"), kFormType);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->status, 200);
}

TEST(SimFaultTest, DelayHoldsEveryAnswer) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--delay-ms", "300"}));
  auto client = sim.Client();
  auto start = std::chrono::steady_clock::now();
  auto r = client->Get("/reinsip/css/style.css");
  auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(r);
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 300);
}

TEST(SimProcessTest, SigtermStopsWithExitZero) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start());
  auto client = sim.Client();
  ASSERT_TRUE(client->Get("/reinsip/css/style.css"));  // with a kept-alive connection open
  EXPECT_EQ(sim.Stop(), 0);
}

TEST(SimProcessTest, SigintStopsWithExitZero) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start());
  EXPECT_EQ(sim.Stop(SIGINT), 0);
}

TEST(SimProcessTest, UsageErrorExitsTwoWithoutUrl) {
  SimProcess sim;
  EXPECT_FALSE(sim.Start({"--port", "99999"}, 3000));
  EXPECT_EQ(sim.Stop(), 2);
}

TEST(SimProcessTest, MissingSettingFolderIsRefused) {
  SimProcess sim;
  EXPECT_FALSE(sim.Start({"--setting", "/nonexistent/Setting"}, 3000));
  EXPECT_EQ(sim.Stop(), 1);
}

}  // namespace
}  // namespace kestrova::test
