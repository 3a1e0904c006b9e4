// The transport on libcurl: one easy handle per session, so the connection and the cookies
// carry from one request to the next.
#pragma once

#include <memory>
#include <string>

#include "service/transport.h"

namespace kestrova {

class CurlTransport final : public Transport {
 public:
  explicit CurlTransport(TransportOptions options = TransportOptions());
  ~CurlTransport() override;
  CurlTransport(const CurlTransport&) = delete;
  CurlTransport& operator=(const CurlTransport&) = delete;

  int Open(std::string_view userAgent) override;
  TransportResult Send(const TransportRequest& request) override;
  void Close() override;

  // New connections made by the requests of the open session (one while it is reused).
  long ConnectionsMade() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrova
