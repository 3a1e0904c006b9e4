// The transport on WinINet, the HTTP client of Windows: one session whose cookies WinINet
// keeps, one connection per host, redirects never followed, https only.
#pragma once

#include <memory>

#include "service/transport.h"

namespace kestrova {

class WinInetTransport final : public Transport {
 public:
  explicit WinInetTransport(TransportOptions options = TransportOptions());
  ~WinInetTransport() override;
  WinInetTransport(const WinInetTransport&) = delete;
  WinInetTransport& operator=(const WinInetTransport&) = delete;

  int Open(std::string_view userAgent) override;
  TransportResult Send(const TransportRequest& request) override;
  void Close() override;

 private:
  // The request itself, blocking until it ends; Send runs it on a second thread when the
  // request may be stopped.
  TransportResult SendNow(const TransportRequest& request);

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrova
