// SIGINT and SIGTERM (Ctrl+C, a time limit, a desktop logging out) stop a running online
// command instead of killing the program, so what it fetched is kept and the close sequence
// runs.
#pragma once

#include <atomic>

namespace kestrova {

// From now on SIGINT and SIGTERM store their number in flag (ProgramState::stopSignal); on
// Windows so do Ctrl+C and closing the console window (SIGINT), logging off and shutting down
// (SIGTERM). The flag must live until the program ends.
void CatchStopSignals(std::atomic<int>& flag);

}  // namespace kestrova
