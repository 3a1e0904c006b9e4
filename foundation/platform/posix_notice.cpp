// Desktop notifications on the session bus: a unix socket from DBUS_SESSION_BUS_ADDRESS, the
// EXTERNAL authentication, Hello, and one Notify call whose answer is awaited briefly.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "foundation/dbus_message.h"
#include "foundation/platform/platform.h"

namespace kestrova::platform {

namespace {

constexpr int kTimeoutSeconds = 3;

class Socket {
 public:
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  int fd_ = -1;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%2f" and the like in an address value.
std::string Unescape(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 2 < value.size() && HexDigit(value[i + 1]) >= 0 &&
        HexDigit(value[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(value[i + 1]) * 16 + HexDigit(value[i + 2]));
      i += 2;
    } else {
      out += value[i];
    }
  }
  return out;
}

// The first unix address of the list that accepts a connection.
int ConnectBus(std::string_view addresses, std::string& error) {
  error = "no unix address in DBUS_SESSION_BUS_ADDRESS";
  while (!addresses.empty()) {
    const std::size_t end = addresses.find(';');
    std::string_view address = addresses.substr(0, end);
    addresses = end == std::string_view::npos ? std::string_view() : addresses.substr(end + 1);
    if (address.substr(0, 5) != "unix:") continue;
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    socklen_t length = 0;
    for (std::string_view rest = address.substr(5); !rest.empty();) {
      const std::size_t comma = rest.find(',');
      const std::string_view pair = rest.substr(0, comma);
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
      const bool abstract = pair.substr(0, 9) == "abstract=";
      if (pair.substr(0, 5) != "path=" && !abstract) continue;
      const std::string path = Unescape(pair.substr(pair.find('=') + 1));
      if (path.size() + 1 >= sizeof where.sun_path) continue;
      // An abstract name starts with a NUL byte and is not NUL-terminated.
      std::memcpy(where.sun_path + (abstract ? 1 : 0), path.data(), path.size());
      length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() +
                                      (abstract ? 1 : 0));
    }
    if (length == 0) continue;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) continue;
    timeval limit{kTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&where), length) == 0) return fd;
    error = std::string(address) + ": " + std::strerror(errno);
    ::close(fd);
  }
  return -1;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Appends what arrives; false at the end of the stream, an error or the time-out.
bool Receive(int fd, std::string& buffer) {
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer.append(chunk, static_cast<std::size_t>(n));
    return true;
  }
}

}  // namespace

bool SendDesktopNotice(std::string_view cp932Text, std::string& error) {
  const auto address = EnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
  if (!address || address->empty()) {
    error = "no session bus (DBUS_SESSION_BUS_ADDRESS is not set)";
    return false;
  }
  Socket bus;
  bus.fd_ = ConnectBus(*address, error);
  if (bus.fd_ < 0) return false;
  // The credentials byte, then the line-based authentication.
  if (!SendAll(bus.fd_, std::string(1, '\0') + DbusAuthExternal(::getuid()))) {
    error = "the session bus closed the connection";
    return false;
  }
  std::string buffer;
  while (buffer.find("\r\n") == std::string::npos) {
    if (!Receive(bus.fd_, buffer)) {
      error = "the session bus did not answer the authentication";
      return false;
    }
  }
  if (buffer.rfind("OK ", 0) != 0) {
    error = "the session bus refused the authentication: " + buffer.substr(0, buffer.find('\r'));
    return false;
  }
  buffer.clear();
  constexpr std::uint32_t kNotifySerial = 2;
  const std::string utf8 = Cp932ToUtf8(cp932Text);
  if (!SendAll(bus.fd_, "BEGIN\r\n" + HelloCall(1) +
                            NotifyCall(kNotifySerial, "Kestrova", utf8, std::string()))) {
    error = "the session bus closed the connection";
    return false;
  }
  for (;;) {
    DbusHeader header;
    std::string body;
    const std::size_t used = ParseDbusMessage(buffer, header, body);
    if (used == std::string::npos) {
      error = "the session bus sent bytes that are no message";
      return false;
    }
    if (used == 0) {
      if (!Receive(bus.fd_, buffer)) {
        error = "no answer from the notification service";
        return false;
      }
      continue;
    }
    buffer.erase(0, used);
    if (header.replySerial != kNotifySerial) continue;  // Hello's answer, signals
    if (header.type == DbusType::kReturn) return true;
    std::string detail;
    DbusReader(body).String(detail);
    error = header.errorName + (detail.empty() ? "" : ": " + detail);
    return false;
  }
}

}  // namespace kestrova::platform
