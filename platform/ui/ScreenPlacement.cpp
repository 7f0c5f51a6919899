#include "platform/ui/ScreenPlacement.h"

#include <algorithm>
#include <cstdint>

namespace tavo::ui {
namespace {

// The sums of far-off values overflow an int: everything is worked out in
// 64 bits.
struct Box {
  int64_t left, top, right, bottom;  // right and bottom one past the last pixel
};

Box BoxOf(const Bounds& b) { return {b.left, b.top, int64_t{b.left} + b.width, int64_t{b.top} + b.height}; }

int64_t Overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) { return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0)); }

// How far apart two boxes are, squared; 0 when they touch or overlap.
int64_t Distance2(const Box& a, const Box& b) {
  const int64_t dx = std::max<int64_t>({0, b.left - a.right, a.left - b.right});
  const int64_t dy = std::max<int64_t>({0, b.top - a.bottom, a.top - b.bottom});
  return dx * dx + dy * dy;
}

bool TitleBarReachable(const Box& w, const Box& s) {
  const int64_t grip = std::min<int64_t>(kTitleBarGrip, w.right - w.left);
  return w.top >= s.top && w.top + kTitleBarHeight <= s.bottom && Overlap(w.left, w.right, s.left, s.right) >= grip;
}

int Clamp(int64_t v, int64_t lo, int64_t hi) { return static_cast<int>(std::max(lo, std::min(v, hi))); }

}  // namespace

Bounds PlaceOnScreens(Bounds window, const std::vector<Bounds>& screens) {
  if (screens.empty()) return window;
  Box all = BoxOf(screens.front());
  for (const Bounds& s : screens) {
    const Box b = BoxOf(s);
    all = {std::min(all.left, b.left), std::min(all.top, b.top), std::max(all.right, b.right),
           std::max(all.bottom, b.bottom)};
  }
  window.width = Clamp(window.width, 1, all.right - all.left);
  window.height = Clamp(window.height, 1, all.bottom - all.top);
  const Box w = BoxOf(window);
  for (const Bounds& s : screens)
    if (TitleBarReachable(w, BoxOf(s))) return window;

  const Bounds* best = &screens.front();
  int64_t bestArea = -1, bestDistance = 0;
  for (const Bounds& s : screens) {
    const Box b = BoxOf(s);
    const int64_t area = Overlap(w.left, w.right, b.left, b.right) * Overlap(w.top, w.bottom, b.top, b.bottom);
    const int64_t distance = Distance2(w, b);
    if (area > bestArea || (area == 0 && bestArea == 0 && distance < bestDistance)) {
      best = &s;
      bestArea = area;
      bestDistance = distance;
    }
  }
  const Box s = BoxOf(*best);
  window.width = Clamp(window.width, 1, s.right - s.left);
  window.height = Clamp(window.height, 1, s.bottom - s.top);
  window.left = Clamp(window.left, s.left, s.right - window.width);
  window.top = Clamp(window.top, s.top, s.bottom - window.height);
  return window;
}

}  // namespace tavo::ui
