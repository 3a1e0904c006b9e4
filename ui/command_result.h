// What a window's command came to, for the window logic classes of ui/.
#pragma once

namespace kestrova {

// It ran to its end, it was refused (input check, login error, another command still running),
// or the id is not a command of this window.
enum class CommandResult { kRan, kRefused, kUnknown };

}  // namespace kestrova
