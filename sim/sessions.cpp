#include "sim/sessions.h"

#include <openssl/rand.h>

namespace kestrova::sim {

std::string SessionTable::Open(const std::string& accountId) {
  unsigned char bytes[16];
  if (RAND_bytes(bytes, sizeof bytes) != 1) return "";
  static const char kHex[] = "0123456789ABCDEF";
  std::string id;
  for (unsigned char b : bytes) {
    id += kHex[b >> 4];
    id += kHex[b & 15];
  }
  std::lock_guard lock(mutex_);
  sessions_[id] = Session{accountId, 0};
  order_.push_back(id);
  while (order_.size() > capacity_) {
    sessions_.erase(order_.front());
    order_.pop_front();
  }
  return id;
}

std::string SessionTable::AccountOf(const std::string& cookieHeader) const {
  std::string id = CookieValue(cookieHeader, kSessionCookie);
  if (id.empty()) return "";
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(id);
  return it == sessions_.end() ? "" : it->second.account;
}

std::string SessionTable::Use(const std::string& cookieHeader, int limit) {
  std::string id = CookieValue(cookieHeader, kSessionCookie);
  if (id.empty()) return "";
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(id);
  if (it == sessions_.end()) return "";
  if (limit > 0 && ++it->second.uses > limit) return "";
  return it->second.account;
}

std::size_t SessionTable::Count() const {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

std::string SessionTable::CookieValue(const std::string& cookieHeader, const std::string& name) {
  std::size_t pos = 0;
  while (pos < cookieHeader.size()) {
    std::size_t end = cookieHeader.find(';', pos);
    if (end == std::string::npos) end = cookieHeader.size();
    std::size_t start = cookieHeader.find_first_not_of(' ', pos);
    if (start < end) {
      std::size_t eq = cookieHeader.find('=', start);
      if (eq < end && cookieHeader.compare(start, eq - start, name) == 0 &&
          eq - start == name.size()) {
        std::string value = cookieHeader.substr(eq + 1, end - eq - 1);
        while (!value.empty() && value.back() == ' ') value.pop_back();
        return value;
      }
    }
    pos = end + 1;
  }
  return "";
}

}  // namespace kestrova::sim
