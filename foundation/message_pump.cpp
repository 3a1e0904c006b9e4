#include "foundation/message_pump.h"

#include <chrono>
#include <thread>

namespace kestrova {

void MessagePump::Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
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

}  // namespace kestrova
