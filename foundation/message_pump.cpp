#include "foundation/message_pump.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

namespace kestrova {

void MessagePump::Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void RunPumping(MessagePump* pump, const std::function<void()>& work) {
  if (pump == nullptr || !pump->KeepsAWindowAlive()) {
    work();
    return;
  }
  std::future<void> done = std::async(std::launch::async, work);
  while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
    pump->Sleep(10);  // dispatches the window's messages at the pump's pace meanwhile
  }
  done.get();
}

void PumpMessages(MessagePump* pump, int n) {
  if (pump && n > 0) pump->Pump(n);
}

void WaitPumping(MessagePump* pump, int milliseconds) {
  if (milliseconds <= 0) return;
  const int rounds = (milliseconds + 99) / 100;
  for (int i = 0; i < rounds; ++i) {
    PumpMessages(pump, 50);
    if (pump) {
      pump->Sleep(100);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
}

void PumpPacer::Pump(const std::function<void()>& dispatch) {
  if (std::chrono::steady_clock::now() - lastDispatch_ < interval_) return;
  Dispatch(dispatch);
}

void PumpPacer::Sleep(int ms, const std::function<void()>& dispatch) {
  using namespace std::chrono;
  const auto deadline = steady_clock::now() + milliseconds(ms);
  for (auto now = steady_clock::now(); now < deadline; now = steady_clock::now()) {
    if (now - lastDispatch_ >= interval_) Dispatch(dispatch);
    const auto next = std::min(deadline, lastDispatch_ + interval_);
    if (next > steady_clock::now()) std::this_thread::sleep_until(next);
  }
  // A sleep that woke late (a busy machine, a coarse timer) still dispatches when one is due
  // before the caller goes back to its work.
  if (steady_clock::now() - lastDispatch_ >= interval_) Dispatch(dispatch);
}

void PumpPacer::Reset() {
  stats_ = PumpStats();
  lastDispatch_ = std::chrono::steady_clock::now();
}

void PumpPacer::Dispatch(const std::function<void()>& dispatch) {
  // The gap is the time no event could be handled: from the end of one dispatch to the start
  // of the next.
  const auto start = std::chrono::steady_clock::now();
  if (lastDispatch_.time_since_epoch().count() != 0) {
    stats_.longestGap = std::max(stats_.longestGap, start - lastDispatch_);
  }
  dispatch();
  ++stats_.dispatches;
  lastDispatch_ = std::chrono::steady_clock::now();
}

}  // namespace kestrova
