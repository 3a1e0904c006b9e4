// Where the local search and the code lookup open: a saved placement only while it fits on a
// screen the desktop has now, the default otherwise.
#include "ui/window_placement.h"

#include <gtest/gtest.h>

#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"

namespace kestrova {
namespace {

bool Same(const WindowRect& a, const WindowRect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

class WindowPlacementTest : public ::testing::Test {
 protected:
  WindowRect Open(const char* saved, const std::vector<WindowRect>& screens) {
    SettingsStore settings;
    settings.Set(keys::kSearchPlacement, saved);
    return PlacementToOpen(settings, keys::kSearchPlacement, screens);
  }
  const WindowRect kDefault{118, 128, 1103, 714};
  const std::vector<WindowRect> kTwoScreens{{0, 0, 1920, 1040}, {1920, 0, 1280, 984}};
};

TEST_F(WindowPlacementTest, SavedPlacementOnAnyCurrentScreenIsUsedAsItWasSaved) {
  EXPECT_TRUE(Same(Open("118,128,1103,714", kTwoScreens), kDefault));
  EXPECT_TRUE(Same(Open("2000,50,900,600", kTwoScreens), {2000, 50, 900, 600}));
  // A frame saved a few pixels over the edge, as a window pushed against it stands.
  EXPECT_TRUE(Same(Open("1,-8,1928,1050", kTwoScreens), {1, -8, 1928, 1050}));
}

TEST_F(WindowPlacementTest, DamagedOrOffScreenPlacementOpensAtTheDefault) {
  for (const char* saved : {"99999999,99999999,99999999,99999999", "118,128,99999999,714",
                            "5000,5000,800,600", "118,128,10,10", "118,128,-500,714",
                            "2147483647,0,1000,700", "1800,100,900,600", "garbage", ""}) {
    EXPECT_TRUE(Same(Open(saved, kTwoScreens), kDefault)) << saved;
  }
}

TEST_F(WindowPlacementTest, ScreenSmallerThanTheDefaultGetsTheDefaultShrunkIntoIt) {
  const WindowRect opened = Open("5000,5000,800,600", {{0, 0, 800, 600}});
  EXPECT_TRUE(Same(opened, {0, 0, 800, 600}));
  EXPECT_TRUE(FitsOnScreen(opened, {0, 0, 800, 600}));
}

TEST_F(WindowPlacementTest, WithoutKnownScreensOnlyTheSizeIsChecked) {
  EXPECT_TRUE(Same(Open("5000,5000,800,600", {}), {5000, 5000, 800, 600}));
  EXPECT_TRUE(Same(Open("99999999,1,99999999,99999999", {}), kDefault));
}

}  // namespace
}  // namespace kestrova
