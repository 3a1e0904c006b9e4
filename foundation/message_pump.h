// Keeping the window alive during long work: the toolkit supplies a pump, tests and headless
// mode pass none (or one that does nothing).
#pragma once

namespace kestrova {

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Dispatch up to n pending window messages; never blocks.
  virtual void Pump(int n) = 0;
  // Sleep for the given milliseconds (tests replace it so that waits cost nothing).
  virtual void Sleep(int milliseconds);
};

// n tries at dispatching one pending message each; a null pump does nothing.
void PumpMessages(MessagePump* pump, int n);
// Nothing for milliseconds <= 0; otherwise ceil(ms / 100) times PumpMessages(50) and 100 ms sleep.
void WaitPumping(MessagePump* pump, int milliseconds);

}  // namespace kestrova
