// Where a resizable window opens: its saved frame rectangle when that still fits on a screen
// the desktop has now, otherwise the default of its key. The views supply the screens and move
// the frame; what they save is the same frame rectangle, so a window closed and opened again
// stands where it stood.
#pragma once

#include <vector>

#include "foundation/settings_store.h"

namespace kestrova {

class SettingKey;

// The smallest frame a window is opened at; a saved rectangle below it is taken as damaged.
inline constexpr int kMinimumWindowWidth = 200;
inline constexpr int kMinimumWindowHeight = 150;

// Whether the frame fits on the screen (its work area): at least the minimum size, no larger
// than the screen, and inside it but for the few pixels a frame may stand over its edge.
bool FitsOnScreen(const WindowRect& frame, const WindowRect& screen);

// The frame a window of this placement key opens at: the saved rectangle when it fits on one
// of the screens, else the key's default when that fits, else the default shrunk to the first
// screen and put at its corner. No screens (nothing known): the saved rectangle as it is when
// its size is sane, else the default.
WindowRect PlacementToOpen(const SettingsStore& settings, const SettingKey& key,
                           const std::vector<WindowRect>& screens);

}  // namespace kestrova
