#include "ui/stop_signals.h"

#include <csignal>

#include "foundation/platform/platform.h"

namespace kestrova {

namespace {

// A signal handler can reach nothing but a static; a lock-free atomic store is safe in it.
std::atomic<int>* stopFlag = nullptr;

extern "C" void OnStopSignal(int signal) {
  if (stopFlag != nullptr) stopFlag->store(signal);
}

}  // namespace

void CatchStopSignals(std::atomic<int>& flag) {
  static_assert(std::atomic<int>::is_always_lock_free);
  stopFlag = &flag;
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
  platform::CatchConsoleStop(flag);
}

}  // namespace kestrova
