// The exchange on the scripted transport: URL cracking, the status rules, the codes and the
// exact error lines.
#include "service/http_exchange.h"

#include <gtest/gtest.h>

#include "foundation/dates.h"
#include "foundation/line_reader.h"
#include "foundation/sjis.h"
#include "service/fake_transport.h"
#include "store/program_state.h"
#include "tests/support/scripted_desktop.h"

namespace kestrova {
namespace {

constexpr char kBase[] = "https://reins.test";
constexpr char kLogin[] = "https://reins.test/reinsip/an0100/an010002_login.do";

class HttpExchangeTest : public ::testing::Test {
 protected:
  HttpExchangeTest() : clock(std::string_view("2011/05/07 09:30:00")), session(state, fake) {
    state.clock = &clock;
    state.desktop = &desktop;
  }
  void Open() { ASSERT_EQ(OpenSession(session, "agent", kBase), 0); }

  FixedClock clock;
  test::ScriptedDesktop desktop;
  ProgramState state;
  FakeTransport fake;
  HttpSession session;
};

TEST(CrackUrlTest, TakesSchemeHostPortAndPath) {
  UrlParts parts;
  ASSERT_TRUE(CrackUrl("HTTPS://Host.example:8443/a/b.do?x=1", parts));
  EXPECT_EQ(parts.scheme, "https");
  EXPECT_EQ(parts.host, "Host.example");
  EXPECT_EQ(parts.port, 8443);
  EXPECT_EQ(parts.path, "/a/b.do?x=1");
  EXPECT_TRUE(parts.secure);
}

TEST(CrackUrlTest, GivesEachSchemeItsDefaultPortAndRootPath) {
  UrlParts parts;
  ASSERT_TRUE(CrackUrl("http://host", parts));
  EXPECT_EQ(parts.port, 80);
  EXPECT_EQ(parts.path, "/");
  EXPECT_FALSE(parts.secure);
  ASSERT_TRUE(CrackUrl("https://host?q", parts));
  EXPECT_EQ(parts.port, 443);
  EXPECT_EQ(parts.path, "/?q");
  ASSERT_TRUE(CrackUrl("https://[::1]:9000/p", parts));
  EXPECT_EQ(parts.host, "[::1]");
  EXPECT_EQ(parts.port, 9000);
}

TEST(CrackUrlTest, RefusesOtherSchemesAndBrokenForms) {
  UrlParts parts;
  EXPECT_FALSE(CrackUrl("ftp://host/file", parts));
  EXPECT_FALSE(CrackUrl("host/path", parts));
  EXPECT_FALSE(CrackUrl("https:///path", parts));
  EXPECT_FALSE(CrackUrl("https://host:/p", parts));
  EXPECT_FALSE(CrackUrl("https://host:70000/p", parts));
  EXPECT_FALSE(CrackUrl("https://host:12a/p", parts));
  EXPECT_FALSE(CrackUrl("https://ho st/p", parts));
}

TEST_F(HttpExchangeTest, OtherSchemeGives10001WithoutAnyRequest) {
  Open();
  std::string answer;
  EXPECT_EQ(SendRequest(session, "ftp://reins.test/file", true, "", answer), kExchangeBadUrl);
  EXPECT_TRUE(fake.Requests().empty());
  EXPECT_EQ(state.errorList.Count(), 0);
}

TEST_F(HttpExchangeTest, RequestWithoutOpenSessionGives10002) {
  std::string answer;
  EXPECT_EQ(SendRequest(session, kLogin, false, "a=1", answer), kExchangeOpenFailed);
  EXPECT_TRUE(fake.Requests().empty());
}

TEST_F(HttpExchangeTest, SessionThatCannotStartGives10007) {
  fake.openCode = kExchangeSessionFailed;
  EXPECT_EQ(OpenSession(session, "agent", kBase), kExchangeSessionFailed);
  std::string answer;
  EXPECT_EQ(SendRequest(session, kLogin, false, "", answer), kExchangeOpenFailed);
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(HttpExchangeTest, UrlWithoutHostGives10008AndTheConnectionMessage) {
  EXPECT_EQ(OpenSession(session, "agent", "not a url"), kExchangeConnectFailed);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, Sjis("HTTP接続に失敗"));
  std::string answer;
  EXPECT_EQ(SendRequest(session, kLogin, false, "", answer), kExchangeOpenFailed);
  CloseSession(session);
  EXPECT_EQ(fake.closes, 1);  // the started client is still closed
}

TEST_F(HttpExchangeTest, PostSendsFormBodyWithContentTypeAndUserAgent) {
  ASSERT_EQ(OpenSession(session, "Mozilla/4.0 (x;", kBase), 0);
  fake.QueueOk("/reinsip/an0100/an010002_login.do", "menu");
  std::string answer = "kept:";
  EXPECT_EQ(SendRequest(session, kLogin, false, "riyousyaId=a&password=b", answer), 0);
  EXPECT_EQ(answer, "kept:menu");  // appended, not replaced
  EXPECT_EQ(fake.userAgent, "Mozilla/4.0 (x;");
  ASSERT_EQ(fake.Requests().size(), 1u);
  const TransportRequest& sent = fake.Requests()[0];
  EXPECT_EQ(sent.method, "POST");
  EXPECT_EQ(sent.url, kLogin);
  EXPECT_EQ(sent.body, "riyousyaId=a&password=b");
  ASSERT_EQ(sent.headers.size(), 1u);
  EXPECT_EQ(sent.headers[0], "Content-Type: application/x-www-form-urlencoded");
}

TEST_F(HttpExchangeTest, GetWithEmptyFormSendsTheBarePath) {
  Open();
  fake.QueueOk("/reinsip/css/style.css", "css");
  std::string answer;
  EXPECT_EQ(SendRequest(session, "https://reins.test/reinsip/css/style.css", true, "", answer), 0);
  ASSERT_EQ(fake.Requests().size(), 1u);
  EXPECT_EQ(fake.Requests()[0].method, "GET");
  EXPECT_EQ(fake.Requests()[0].url, "https://reins.test/reinsip/css/style.css");
  EXPECT_TRUE(fake.Requests()[0].headers.empty());
  EXPECT_TRUE(fake.Requests()[0].body.empty());
}

TEST_F(HttpExchangeTest, GetWithFormSendsItAsTheQuery) {
  Open();
  std::string answer;
  (void)SendRequest(session, "https://reins.test/q.do", true, "a=1&b=2", answer);
  ASSERT_EQ(fake.Requests().size(), 1u);
  EXPECT_EQ(fake.Requests()[0].url, "https://reins.test/q.do?a=1&b=2");
  EXPECT_TRUE(fake.Requests()[0].body.empty());
}

TEST_F(HttpExchangeTest, RequestGoesToTheSessionHostWhateverTheUrlNames) {
  ASSERT_EQ(OpenSession(session, "agent", "https://127.0.0.1:8443/start"), 0);
  std::string answer;
  (void)SendRequest(session, "https://elsewhere.example/reinsip/x.do", false, "", answer);
  ASSERT_EQ(fake.Requests().size(), 1u);
  EXPECT_EQ(fake.Requests()[0].url, "https://127.0.0.1:8443/reinsip/x.do");
}

TEST_F(HttpExchangeTest, RedirectGives10005AnEmptyAnswerAndNoLine) {
  Open();
  TransportResult redirect;
  redirect.status = 302;
  redirect.body = "<a href=/login>moved</a>";
  fake.Queue("/reinsip/in0100/in010001_search.do", redirect);
  std::string answer;
  EXPECT_EQ(SendRequest(session, "https://reins.test/reinsip/in0100/in010001_search.do", false,
                        "form", answer),
            kExchangeRedirect);
  EXPECT_TRUE(answer.empty());
  EXPECT_EQ(state.errorList.Count(), 0);
}

TEST_F(HttpExchangeTest, NotFoundLogsTheStatusLineAndGives10004) {
  Open();
  fake.QueueStatus("/missing.do", 404, "<h1>Not Found</h1>");
  std::string answer;
  EXPECT_EQ(SendRequest(session, "https://reins.test/missing.do", false, "", answer),
            kExchangeStatusError);
  EXPECT_TRUE(answer.empty());
  ASSERT_EQ(state.errorList.Count(), 1);
  EXPECT_EQ(std::string(state.errorList.Get(0)),
            "2011/05/07 09:30:00\t  404\t" + Sjis("↓ステータスエラー"));
}

TEST_F(HttpExchangeTest, EveryStatusButOkAndRedirectIsAnError) {
  Open();
  for (int status : {201, 301, 303, 500}) {
    fake.QueueStatus("/x", status, "body");
    std::string answer;
    EXPECT_EQ(SendRequest(session, "https://reins.test/x", false, "", answer), kExchangeStatusError)
        << status;
    EXPECT_TRUE(answer.empty()) << status;
  }
  EXPECT_EQ(state.errorList.Count(), 4);
  EXPECT_EQ(std::string(state.errorList.Get(3)).substr(19),
            "\t  500\t" + Sjis("↓ステータスエラー"));
}

TEST_F(HttpExchangeTest, NoAnswerGives10003AndLeavesTheLineToTheCaller) {
  Open();
  TransportResult refused;
  refused.code = kExchangeSendFailed;
  refused.error = "Connection refused";
  fake.Queue("/x", refused);
  std::string answer;
  EXPECT_EQ(SendRequest(session, "https://reins.test/x", false, "", answer), kExchangeSendFailed);
  EXPECT_EQ(state.errorList.Count(), 0);
  EXPECT_EQ(session.lastError, "Connection refused");
}

TEST_F(HttpExchangeTest, BrokenBodyGives10006AndKeepsWhatArrived) {
  Open();
  TransportResult broken;
  broken.code = kExchangeReadFailed;
  broken.status = 200;
  broken.body = "first half";
  fake.Queue("/x", broken);
  std::string answer;
  EXPECT_EQ(SendRequest(session, "https://reins.test/x", false, "", answer), kExchangeReadFailed);
  EXPECT_EQ(answer, "first half");
  EXPECT_EQ(state.errorList.Count(), 0);
}

TEST_F(HttpExchangeTest, AnswerWithoutStatusGives10004WithoutLine) {
  Open();
  TransportResult none;
  none.status = 0;
  fake.Queue("/x", none);
  std::string answer;
  EXPECT_EQ(SendRequest(session, "https://reins.test/x", false, "", answer), kExchangeStatusError);
  EXPECT_EQ(state.errorList.Count(), 0);
}

TEST_F(HttpExchangeTest, LargeAnswerGrowsTheMemoryBuffer) {
  Open();
  std::string big(5 * 1024 * 1024 + 7, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 23);
  fake.QueueOk("/big.pdf", big);
  LineReaderPtr buffer = kestrova::Open("3000", "mw");
  ASSERT_TRUE(buffer);
  EXPECT_EQ(SendRequest(session, "https://reins.test/big.pdf", false, "", buffer.get()), 0);
  EXPECT_EQ(buffer->Text(), big);
  Close(buffer);
}

TEST_F(HttpExchangeTest, CloseTwiceClosesOnce) {
  Open();
  CloseSession(session);
  CloseSession(session);
  EXPECT_EQ(fake.closes, 1);
  EXPECT_FALSE(fake.isOpen);
  std::string answer;
  EXPECT_EQ(SendRequest(session, kLogin, false, "", answer), kExchangeOpenFailed);
}

TEST_F(HttpExchangeTest, ReopeningClosesTheEarlierSession) {
  Open();
  Open();
  EXPECT_EQ(fake.opens, 2);
  EXPECT_EQ(fake.closes, 1);
}

TEST_F(HttpExchangeTest, SessionLeftOpenIsClosedWhenItEnds) {
  FakeTransport other;
  {
    HttpSession scoped(state, other);
    ASSERT_EQ(OpenSession(scoped, "agent", kBase), 0);
  }
  EXPECT_EQ(other.closes, 1);
}

TEST_F(HttpExchangeTest, LogErrorRightAlignsTheCodeInFivePlaces) {
  LogError(state, 10004, "riyousyaId=a");
  LogError(state, 7, Sjis("テキスト"));
  LogError(state, 123456, "wide");
  ASSERT_EQ(state.errorList.Count(), 3);
  EXPECT_EQ(std::string(state.errorList.Get(0)), "2011/05/07 09:30:00\t10004\triyousyaId=a");
  EXPECT_EQ(std::string(state.errorList.Get(1)), "2011/05/07 09:30:00\t    7\t" + Sjis("テキスト"));
  EXPECT_EQ(std::string(state.errorList.Get(2)), "2011/05/07 09:30:00\t123456\twide");
}

TEST_F(HttpExchangeTest, LogErrorTakesTheTimeFromTheClock) {
  clock.Advance(3600 + 61);
  LogError(state, 10003, "x");
  EXPECT_EQ(std::string(state.errorList.Get(0)), "2011/05/07 10:31:01\t10003\tx");
}

TEST(FakeTransportTest, AnswersQueuedPerPathInOrderThenTheSetOne) {
  FakeTransport fake;
  ASSERT_EQ(fake.Open("ua"), 0);
  fake.QueueOk("/a", "one");
  fake.QueueOk("/a", "two");
  TransportResult always;
  always.status = 200;
  always.body = "always";
  fake.SetAnswer("/a", always);
  TransportRequest request;
  request.url = "https://h/a?query";
  EXPECT_EQ(fake.Send(request).body, "one");
  EXPECT_EQ(fake.Pending(), 1);
  EXPECT_EQ(fake.Send(request).body, "two");
  EXPECT_EQ(fake.Send(request).body, "always");
  request.url = "https://h/other";
  EXPECT_EQ(fake.Send(request).status, 404);
  EXPECT_EQ(fake.Paths(), (std::vector<std::string>{"/a", "/a", "/a", "/other"}));
  EXPECT_EQ(fake.sendsWhileClosed, 0);
}

TEST(FakeTransportTest, ResponderComesBeforeTheQueues) {
  FakeTransport fake;
  fake.QueueOk("/d", "queued");
  fake.responder = [](const TransportRequest& r) -> std::optional<TransportResult> {
    if (r.body.find("bukkenNo=7") == std::string::npos) return std::nullopt;
    TransportResult answer;
    answer.status = 200;
    answer.body = "seven";
    return answer;
  };
  TransportRequest request;
  request.url = "https://h/d";
  request.body = "bukkenNo=7";
  EXPECT_EQ(fake.Send(request).body, "seven");
  request.body = "bukkenNo=8";
  EXPECT_EQ(fake.Send(request).body, "queued");
  EXPECT_EQ(fake.sendsWhileClosed, 2);
}

TEST(PathOfUrlTest, DropsSchemeHostAndQuery) {
  EXPECT_EQ(PathOfUrl("https://h:1/p/q.do?x=1"), "/p/q.do");
  EXPECT_EQ(PathOfUrl("https://h"), "/");
  EXPECT_EQ(PathOfUrl("/p?x"), "/p");
}

}  // namespace
}  // namespace kestrova
