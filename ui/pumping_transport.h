// A transport whose requests run on a thread of their own while the window's thread keeps
// pumping messages: a request that waits for a slow server (or a first TLS handshake) does not
// freeze the window. The requests of one session still go out one after another.
#pragma once

#include <memory>

#include "service/transport.h"
#include "ui/main_window.h"

namespace kestrova {

class MessagePump;

class PumpingTransport final : public Transport {
 public:
  // pump keeps the window alive while a request runs; it must outlive the transport.
  PumpingTransport(std::unique_ptr<Transport> inner, MessagePump& pump)
      : inner_(std::move(inner)), pump_(pump) {}
  int Open(std::string_view userAgent) override;
  TransportResult Send(const TransportRequest& request) override;
  void Close() override;

 private:
  std::unique_ptr<Transport> inner_;
  MessagePump& pump_;
};

// The factory's transports, each wrapped to pump while it works.
TransportFactory PumpingTransports(TransportFactory inner, MessagePump& pump);

}  // namespace kestrova
