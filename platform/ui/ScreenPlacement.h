// Where a window whose bounds were saved in another run goes on the screens
// there are now: a settings file may come from a larger desktop, from a
// monitor since unplugged, or be edited by hand, and a window opened out of
// reach cannot be moved back by its user.
//
// Window-free and stateless; coordinates in the desktop's logical pixels,
// with the window's left and top as a window's position gives them (its
// frame's corner, where its title bar begins). Any int values, however far
// out, are safe.
#pragma once

#include <vector>

namespace tavo::ui {

struct Bounds {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Bounds&) const = default;
};

// How much of a window's title bar must lie on one screen for the user to
// reach it: all of its height, and this much of its width (or all of a
// narrower window's).
inline constexpr int kTitleBarHeight = 32;
inline constexpr int kTitleBarGrip = 100;

// `window` brought onto `screens` (their available areas):
// - no side larger than the bounding box of all the screens, and none
//   smaller than 1;
// - kept where it is when enough of its title bar lies on one screen
//   (a window may stand partly off the screens, as its user left it);
// - else moved, and made no larger than that screen, to lie wholly on the
//   screen it overlaps most, or, when it overlaps none, the nearest one.
// With no screens the window is returned as it is.
Bounds PlaceOnScreens(Bounds window, const std::vector<Bounds>& screens);

}  // namespace tavo::ui
