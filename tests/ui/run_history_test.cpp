// The run history's line and its cap, and the notice built from a run's counts and sent to a
// fake notification service on a private session bus.
#include "ui/run_history.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif  // !_WIN32

#include <cstdio>
#include <future>
#include <thread>

#include "foundation/dbus_message.h"
#include "foundation/sjis.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace kestrova {
namespace {

using test::TempFolder;

RunRecord Counted() {
  RunRecord run;
  run.start = "2026/12/10 07:30:00";
  run.end = "2026/12/10 07:41:12";
  run.command = "daily --deals";
  run.status = 0;
  run.recordsBefore = 100;
  run.recordsAfter = 148;
  run.pagesFetched = 52;
  run.pdfsFetched = 31;
  run.dealsBefore = 7;
  run.dealsAfter = 40;
  run.errorLines = 2;
  run.cutSearches = 1;
  return run;
}

TEST(RunHistoryTest, LineHoldsEveryCountInItsField) {
  const std::string line = HistoryLine(Counted());
  EXPECT_EQ(
      line,
      "2026/12/10 07:30:00\t2026/12/10 07:41:12\tdaily --deals\t0\t100\t148\t48\t52\t31\t7\t40"
      "\t2\t1\t0");
  RunRecord stopped = Counted();
  stopped.stopped = true;
  stopped.status = 130;
  stopped.recordsAfter = 90;  // never a negative count of new records
  const std::string last = HistoryLine(stopped);
  EXPECT_EQ(last.substr(last.size() - 6), "\t2\t1\t1");
  EXPECT_NE(last.find("\t130\t100\t90\t0\t"), std::string::npos) << last;
}

TEST(RunHistoryTest, FileKeepsTheLastThousandLinesInCrLf) {
  TempFolder folder;
  const std::string path = folder.Path("RunHistory.txt");
  // A full history, edited with LF line ends, is read all the same.
  std::string older;
  for (int i = 0; i <= 1002; ++i) older += "line " + std::to_string(i) + "\n";
  test::WriteNative(folder.native() + "/RunHistory.txt", older);
  ASSERT_TRUE(AppendHistoryLine(path, "line 1003"));
  ASSERT_TRUE(AppendHistoryLine(path, "line 1004"));
  const std::string bytes = test::ReadNative(folder.native() + "/RunHistory.txt");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), kHistoryLines);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), kHistoryLines);
  EXPECT_EQ(bytes.rfind("line 5\r\n", 0), 0u);
  EXPECT_EQ(bytes.substr(bytes.size() - 11), "line 1004\r\n");
  EXPECT_EQ(LastHistoryLine(path), "line 1004");
  EXPECT_EQ(LastHistoryLine(folder.Path("missing.txt")), "");
}

TEST(RunHistoryTest, NoticeSaysWhatCameInOrWhyNothingDid) {
  RunRecord run = Counted();
  EXPECT_EQ(Utf8(NoticeText(run, true)),
            "Kestrova: 新着 48 件、成約 33 件（100件で打ち切られた検索があります）");
  run.cutSearches = 0;
  EXPECT_EQ(Utf8(NoticeText(run, false)), "Kestrova: 新着 48 件");
  run.status = 3;
  EXPECT_EQ(Utf8(NoticeText(run, false)),
            "Kestrova: 新着 48 件（保存できなかったファイルがあります）");
  run.status = 1;
  run.failure = SJIS("ログインエラー");
  EXPECT_EQ(Utf8(NoticeText(run, true)), "Kestrova: 取得に失敗しました（ログインエラー）");
  run.failure.clear();
  EXPECT_EQ(Utf8(NoticeText(run, true)), "Kestrova: 取得に失敗しました（終了コード 1）");
  run.stopped = true;
  EXPECT_EQ(Utf8(NoticeText(run, true)), "Kestrova: 中止しました");
}

#ifndef _WIN32
// The notice goes over a Linux desktop's session bus; on Windows there is the history line only.
// A private session bus (dbus-daemon) with a notification service of our own on it.
class NotificationBus {
 public:
  bool Start(std::string& why) {
    std::FILE* daemon =
        ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>&1", "r");
    if (daemon == nullptr) return why = "popen failed", false;
    char line[512] = {};
    if (std::fgets(line, sizeof line, daemon)) address_ = line;
    if (std::fgets(line, sizeof line, daemon)) pid_ = std::atoi(line);
    ::pclose(daemon);
    while (!address_.empty() && address_.back() == '\n') address_.pop_back();
    if (address_.rfind("unix:path=", 0) != 0 || pid_ <= 0)
      return why = "dbus-daemon did not start: " + address_, false;
    return true;
  }
  ~NotificationBus() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }
  const std::string& address() const { return address_; }

  // Connects and says Hello; -1 when it cannot.
  int Connect() {
    const std::string path = address_.substr(10, address_.find(',') - 10);
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    path.copy(where.sun_path, sizeof where.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) return -1;
    const std::string auth = std::string(1, '\0') + DbusAuthExternal(::getuid());
    ::send(fd, auth.data(), auth.size(), 0);
    std::string reply = Receive(fd);
    if (reply.rfind("OK ", 0) != 0) return -1;
    ::send(fd, "BEGIN\r\n", 7, 0);
    Send(fd, HelloCall(1));
    return fd;
  }
  static void Send(int fd, const std::string& bytes) { ::send(fd, bytes.data(), bytes.size(), 0); }
  static std::string Receive(int fd) {
    char chunk[4096];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    return n > 0 ? std::string(chunk, static_cast<std::size_t>(n)) : std::string();
  }
  // The next message on fd.
  static bool Next(int fd, std::string& buffer, DbusHeader& header, std::string& body) {
    for (;;) {
      const std::size_t used = ParseDbusMessage(buffer, header, body);
      if (used == std::string::npos) return false;
      if (used > 0) {
        buffer.erase(0, used);
        return true;
      }
      const std::string more = Receive(fd);
      if (more.empty()) return false;
      buffer += more;
    }
  }

 private:
  std::string address_;
  int pid_ = 0;
};

struct Received {
  std::string appName, summary;
};

// Owns org.freedesktop.Notifications, answers one Notify and hands back what it said.
Received ServeOneNotice(NotificationBus& bus, std::promise<void>& ready) {
  Received got;
  const int fd = bus.Connect();
  if (fd < 0) {
    ready.set_value();
    return got;
  }
  DbusWriter name;
  name.String("org.freedesktop.Notifications");
  name.Uint32(4);  // do not queue
  DbusHeader request;
  request.serial = 2;
  request.path = "/org/freedesktop/DBus";
  request.interface = "org.freedesktop.DBus";
  request.member = "RequestName";
  request.destination = "org.freedesktop.DBus";
  request.signature = "su";
  NotificationBus::Send(fd, DbusMessage(request, name.bytes()));
  std::string buffer, body;
  DbusHeader header;
  while (NotificationBus::Next(fd, buffer, header, body)) {
    if (header.replySerial == 2) ready.set_value();
    if (header.member != "Notify") continue;
    DbusReader reader(body);
    std::uint32_t replaces = 0;
    std::string icon;
    reader.String(got.appName);
    reader.Uint32(replaces);
    reader.String(icon);
    reader.String(got.summary);
    DbusHeader answer;
    answer.type = DbusType::kReturn;
    answer.serial = 3;
    answer.replySerial = header.serial;
    answer.destination = header.sender;
    answer.signature = "u";
    DbusWriter id;
    id.Uint32(7);
    NotificationBus::Send(fd, DbusMessage(answer, id.bytes()));
    break;
  }
  ::close(fd);
  return got;
}

TEST(RunNoticeTest, NoticeFromTheRunsCountsReachesTheNotificationService) {
  NotificationBus bus;
  std::string why;
  if (!bus.Start(why)) GTEST_SKIP() << why;
  test::ScopedEnv session("DBUS_SESSION_BUS_ADDRESS", bus.address());
  std::string error;
  // No service owns the name yet: the bus's refusal is the reason.
  EXPECT_FALSE(platform::SendDesktopNotice("x", error));
  EXPECT_NE(error.find("org.freedesktop.DBus.Error.ServiceUnknown"), std::string::npos) << error;

  std::promise<void> ready;
  auto service = std::async(std::launch::async, [&] { return ServeOneNotice(bus, ready); });
  ready.get_future().wait();
  RunRecord run = Counted();
  run.cutSearches = 0;
  run.dealsBefore = 0;
  run.dealsAfter = 33;
  EXPECT_TRUE(platform::SendDesktopNotice(NoticeText(run, true), error)) << error;
  const Received got = service.get();
  EXPECT_EQ(got.appName, "Kestrova");
  EXPECT_EQ(got.summary, "Kestrova: 新着 48 件、成約 33 件");
}

TEST(RunNoticeTest, WithoutASessionBusThereIsNoNotice) {
  test::ScopedEnv session("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
  std::string error;
  EXPECT_FALSE(platform::SendDesktopNotice("x", error));
  EXPECT_NE(error.find("DBUS_SESSION_BUS_ADDRESS"), std::string::npos) << error;
  test::ScopedEnv gone("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
  EXPECT_FALSE(platform::SendDesktopNotice("x", error));
}
#endif  // !_WIN32

}  // namespace
}  // namespace kestrova
