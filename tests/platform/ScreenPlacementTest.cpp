#include "platform/ui/ScreenPlacement.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

namespace tavo::ui {

std::ostream& operator<<(std::ostream& out, const Bounds& b) {
  return out << "(" << b.left << ", " << b.top << ", " << b.width << " x " << b.height << ")";
}

namespace {

// A laptop screen, its panel on top, and a monitor to its right that is
// taller and starts higher.
const Bounds kLaptop{0, 27, 1366, 741};
const Bounds kMonitor{1366, -200, 1920, 1080};

TEST(ScreenPlacement, AWindowOutOfReachComesOntoTheNearestScreenAndOneInReachStays) {
  const std::vector<Bounds> both{kLaptop, kMonitor};
  const struct {
    const char* what;
    Bounds saved;
    std::vector<Bounds> screens;
    Bounds placed;
  } cases[] = {
      {"as the user left it, partly off the screen", {-300, 400, 811, 521}, both, {-300, 400, 811, 521}},
      {"far off up and right", {40000, -30000, 811, 521}, {kLaptop}, {555, 27, 811, 521}},
      {"far off up and right, two screens", {40000, -30000, 811, 521}, both, {2475, -200, 811, 521}},
      {"the title bar under the panel", {100, 10, 811, 521}, both, {100, 27, 811, 521}},
      {"the title bar just below the screen's end", {100, 740, 811, 521}, {kLaptop}, {100, 247, 811, 521}},
      {"only a sliver of the title bar on the screen", {1300, 100, 811, 521}, {kLaptop}, {555, 100, 811, 521}},
      {"on a monitor since unplugged", {2000, 300, 700, 500}, {kLaptop}, {666, 268, 700, 500}},
      {"larger than every screen, in reach", {10, 40, 5000, 4000}, both, {10, 40, 3286, 1080}},
      {"larger than the screen it is brought to", {9000, 9000, 5000, 4000}, {kLaptop}, {0, 27, 1366, 741}},
      {"no size", {50, 50, 0, -5}, {kLaptop}, {50, 50, 1, 1}},
      {"the ends of int", {INT_MAX, INT_MIN, INT_MAX, INT_MAX}, {kLaptop}, {0, 27, 1366, 741}},
      {"no screens", {40000, -30000, 811, 521}, {}, {40000, -30000, 811, 521}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlaceOnScreens(c.saved, c.screens), c.placed) << c.what;
}

}  // namespace
}  // namespace tavo::ui
