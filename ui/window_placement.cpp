#include "ui/window_placement.h"

#include <algorithm>

#include "foundation/settings_keys.h"
#include "ui/default_settings.h"

namespace kestrova {

namespace {

// A frame saved while it stood a little over the screen's edge (SavePlacement keeps a left
// edge down to -9) still counts as on the screen.
constexpr int kEdgeSlack = 10;

// Larger than any screen: a rectangle beyond it is damage, whatever the screens are.
constexpr int kLargestWindow = 16384;

bool SaneSize(const WindowRect& frame) {
  return frame.width >= kMinimumWindowWidth && frame.height >= kMinimumWindowHeight &&
         frame.width <= kLargestWindow && frame.height <= kLargestWindow;
}

WindowRect DefaultPlacement(const SettingKey& key) {
  SettingsStore defaults;
  for (const DefaultSetting& setting : DefaultSettings()) {
    if (setting.key == &key) defaults.Set(key, setting.value);
  }
  WindowRect rect;
  (void)RestorePlacement(defaults, key, rect);
  return rect;
}

}  // namespace

bool FitsOnScreen(const WindowRect& frame, const WindowRect& screen) {
  if (!SaneSize(frame) || frame.width > screen.width + 2 * kEdgeSlack ||
      frame.height > screen.height + 2 * kEdgeSlack)
    return false;
  // In 64 bits: a saved left of 2^31-1 plus its width must not wrap round onto the screen.
  const long long right = static_cast<long long>(frame.left) + frame.width;
  const long long bottom = static_cast<long long>(frame.top) + frame.height;
  return frame.left >= screen.left - kEdgeSlack && frame.top >= screen.top - kEdgeSlack &&
         right <= static_cast<long long>(screen.left) + screen.width + kEdgeSlack &&
         bottom <= static_cast<long long>(screen.top) + screen.height + kEdgeSlack;
}

WindowRect PlacementToOpen(const SettingsStore& settings, const SettingKey& key,
                           const std::vector<WindowRect>& screens) {
  auto fits = [&screens](const WindowRect& frame) {
    if (screens.empty()) return SaneSize(frame);
    return std::any_of(screens.begin(), screens.end(),
                       [&frame](const WindowRect& screen) { return FitsOnScreen(frame, screen); });
  };
  WindowRect saved;
  if (RestorePlacement(settings, key, saved) && fits(saved)) return saved;
  WindowRect fallback = DefaultPlacement(key);
  if (fits(fallback) || screens.empty()) return fallback;
  // A screen smaller than the default: the default's size within the first screen, at its
  // top left corner.
  const WindowRect& screen = screens.front();
  fallback.width = std::min(fallback.width, screen.width);
  fallback.height = std::min(fallback.height, screen.height);
  fallback.left = screen.left;
  fallback.top = screen.top;
  return fallback;
}

}  // namespace kestrova
