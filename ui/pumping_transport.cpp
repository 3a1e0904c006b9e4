#include "ui/pumping_transport.h"

#include <future>

#include "foundation/message_pump.h"

namespace kestrova {

namespace {

// Runs work on another thread, pumping until it has ended; its result.
template <typename Work>
auto WhilePumping(MessagePump& pump, Work work) {
  auto result = std::async(std::launch::async, std::move(work));
  while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
    pump.Sleep(10);  // dispatches the window's messages at the pump's pace meanwhile
  }
  return result.get();
}

}  // namespace

int PumpingTransport::Open(std::string_view userAgent) {
  return WhilePumping(pump_, [&] { return inner_->Open(userAgent); });
}

TransportResult PumpingTransport::Send(const TransportRequest& request) {
  return WhilePumping(pump_, [&] { return inner_->Send(request); });
}

void PumpingTransport::Close() { inner_->Close(); }

TransportFactory PumpingTransports(TransportFactory inner, MessagePump& pump) {
  return [inner = std::move(inner), &pump](const SettingsStore& settings) {
    return std::unique_ptr<Transport>(std::make_unique<PumpingTransport>(inner(settings), pump));
  };
}

}  // namespace kestrova
