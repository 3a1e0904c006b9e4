#include "ui/pumping_transport.h"

#include "foundation/message_pump.h"

namespace kestrova {

int PumpingTransport::Open(std::string_view userAgent) {
  int rc = 0;
  RunPumping(&pump_, [&] { rc = inner_->Open(userAgent); });
  return rc;
}

TransportResult PumpingTransport::Send(const TransportRequest& request) {
  TransportResult result;
  RunPumping(&pump_, [&] { result = inner_->Send(request); });
  return result;
}

void PumpingTransport::Close() { inner_->Close(); }

TransportFactory PumpingTransports(TransportFactory inner, MessagePump& pump) {
  return [inner = std::move(inner), &pump](const SettingsStore& settings) {
    return std::unique_ptr<Transport>(std::make_unique<PumpingTransport>(inner(settings), pump));
  };
}

}  // namespace kestrova
