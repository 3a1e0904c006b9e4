// A transport that forwards to the test's fake service, so that its script and its recorded
// requests outlive the transport each command makes for itself.
#pragma once

#include <string_view>

#include "service/fake_transport.h"
#include "service/transport.h"

namespace kestrova::test {

class ForwardingTransport final : public Transport {
 public:
  explicit ForwardingTransport(FakeTransport& fake) : fake_(fake) {}
  int Open(std::string_view userAgent) override { return fake_.Open(userAgent); }
  TransportResult Send(const TransportRequest& request) override { return fake_.Send(request); }
  void Close() override { fake_.Close(); }

 private:
  FakeTransport& fake_;
};

}  // namespace kestrova::test
