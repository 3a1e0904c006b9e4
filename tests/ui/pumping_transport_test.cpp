// The pumping transport: the window's pump keeps running while a request is under way on the
// request's own thread, and the answer comes back as the inner transport gave it; without a
// window, work runs where it was asked for.
#include "ui/pumping_transport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "foundation/message_pump.h"
#include "foundation/settings_store.h"

namespace kestrova {
namespace {

// A pump that counts its calls.
class CountingPump final : public MessagePump {
 public:
  void Pump(int) override { ++pumps; }
  void Sleep(int) override { ++pumps; }
  bool KeepsAWindowAlive() const override { return window; }
  std::atomic<int> pumps{0};
  bool window = true;
};

// A server that answers only once the window has been pumped a few times meanwhile (or gives
// up after five seconds, so a transport that does not pump fails instead of hanging).
class WaitingTransport final : public Transport {
 public:
  explicit WaitingTransport(CountingPump& pump) : pump_(pump) {}
  int Open(std::string_view) override { return Wait() ? 0 : 10007; }
  TransportResult Send(const TransportRequest& request) override {
    TransportResult result;
    result.status = Wait() ? 200 : 0;
    result.body = request.url;
    return result;
  }
  void Close() override {}

 private:
  bool Wait() {
    const int from = pump_.pumps.load();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (pump_.pumps.load() < from + 3) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }
  CountingPump& pump_;
};

TEST(PumpingTransportTest, TheWindowIsPumpedWhileARequestWaitsAndItsAnswerComesBack) {
  CountingPump pump;
  TransportFactory factory = PumpingTransports(
      [&pump](const SettingsStore&) { return std::make_unique<WaitingTransport>(pump); }, pump);
  SettingsStore settings;
  std::unique_ptr<Transport> transport = factory(settings);
  EXPECT_EQ(transport->Open("agent"), 0);
  TransportResult result = transport->Send({"GET", "https://localhost/a", {}, ""});
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(result.body, "https://localhost/a");
  EXPECT_GE(pump.pumps.load(), 6);
}

TEST(PumpingTransportTest, WithoutAWindowWorkRunsOnTheCallersThreadAndNothingIsPumped) {
  // Headless runs and the tests' desktops keep one thread: their waits and writes stay in order.
  CountingPump pump;
  pump.window = false;
  std::thread::id ranOn;
  RunPumping(&pump, [&] { ranOn = std::this_thread::get_id(); });
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  RunPumping(nullptr, [&] { ranOn = std::thread::id(); });
  EXPECT_EQ(ranOn, std::thread::id());
  EXPECT_EQ(pump.pumps.load(), 0);
}

}  // namespace
}  // namespace kestrova
