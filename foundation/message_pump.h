// Keeping the window alive during long work: the toolkit supplies a pump, tests and headless
// mode pass none (or one that does nothing).
#pragma once

#include <chrono>
#include <functional>

namespace kestrova {

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Dispatch up to n pending window messages; never blocks.
  virtual void Pump(int n) = 0;
  // Sleep for the given milliseconds (tests replace it so that waits cost nothing).
  virtual void Sleep(int milliseconds);
  // true for the pump of a window: work that waits for the disk or the network is then run on
  // a thread of its own while this pump keeps the window alive (RunPumping).
  virtual bool KeepsAWindowAlive() const { return false; }
};

// How a pump kept up during a stretch of work: the dispatches and the longest time between
// two of them.
struct PumpStats {
  int dispatches = 0;
  std::chrono::steady_clock::duration longestGap{};
};

// The pace of a desktop's pump, the same for every toolkit: a dispatch of the pending events at
// most every interval, so a loop that pumps per line pays for one only every few dozen
// milliseconds, and a wait that dispatches at that pace until its time is up.
class PumpPacer {
 public:
  explicit PumpPacer(std::chrono::milliseconds interval) : interval_(interval) {}
  // Runs dispatch unless the last one ended less than the interval ago.
  void Pump(const std::function<void()>& dispatch);
  // Sleeps for ms, running dispatch every interval meanwhile.
  void Sleep(int ms, const std::function<void()>& dispatch);
  // Starts a new measurement (the benchmark's longest gap).
  void Reset();
  const PumpStats& stats() const { return stats_; }

 private:
  void Dispatch(const std::function<void()>& dispatch);

  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point lastDispatch_{};
  PumpStats stats_;
};

// Runs work to its end. With the pump of a window, on a thread of its own while this thread
// pumps at the pump's pace, so a slow disk (or a file scanned as it is closed) never stills the
// window; otherwise right here. work must not touch the window or what its messages change.
void RunPumping(MessagePump* pump, const std::function<void()>& work);

// n tries at dispatching one pending message each; a null pump does nothing.
void PumpMessages(MessagePump* pump, int n);
// Nothing for milliseconds <= 0; otherwise ceil(ms / 100) times PumpMessages(50) and 100 ms sleep.
void WaitPumping(MessagePump* pump, int milliseconds);

}  // namespace kestrova
