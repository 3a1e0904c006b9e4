// The logged-in sessions, known to the service only by their cookie. Shared by the server's
// worker threads.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace kestrova::sim {

inline constexpr const char* kSessionCookie = "JSESSIONID";

class SessionTable {
 public:
  explicit SessionTable(std::size_t capacity = 10000) : capacity_(capacity) {}

  // A new session for the account; returns its cookie value (32 hex digits).
  std::string Open(const std::string& accountId);
  // The account of the session named by a Cookie header, or empty when there is none.
  std::string AccountOf(const std::string& cookieHeader) const;
  // The same for a request the session answers: with a limit above 0, a session answers that
  // many requests after its login and has ended for every later one (empty then).
  std::string Use(const std::string& cookieHeader, int limit);
  std::size_t Count() const;

  // The value of one cookie in a Cookie header ("a=1; b=2"); empty when absent.
  static std::string CookieValue(const std::string& cookieHeader, const std::string& name);

 private:
  mutable std::mutex mutex_;
  struct Session {
    std::string account;
    int uses = 0;  // requests answered since the login
  };
  std::unordered_map<std::string, Session> sessions_;  // by cookie value
  std::deque<std::string> order_;  // oldest first, so a long run cannot grow without bound
  std::size_t capacity_;
};

}  // namespace kestrova::sim
