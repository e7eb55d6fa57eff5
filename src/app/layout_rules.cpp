#include "app/layout_rules.h"

#include <algorithm>
#include <cmath>

namespace tarvik {

int TwipsPerPixel(double dpi) {
  if (!(dpi > 0)) dpi = 96;
  int t = static_cast<int>(std::lround(1440.0 / dpi));
  return t < 1 ? 1 : t;
}

int ToPixels(double twips, int twips_per_pixel) {
  return static_cast<int>(std::nearbyint(twips / twips_per_pixel));
}

std::optional<ResizeLayout> ResizeRule(const LayoutSnapshot& s, const WindowState& w, int tx,
                                       int ty) {
  if (w.in_code_resize || w.minimized) return std::nullopt;
  if (w.width < 400.0f * tx || w.height < 300.0f * ty) return std::nullopt;
  const float dW = w.width - s.W;
  ResizeLayout l;
  l.browser_width = dW + s.BW;
  l.browser_height = w.height - s.H + s.BH;
  l.coolbar_width = dW + s.CW;
  l.band4_width = dW + s.B4;
  l.job_width = dW + s.JW;
  l.url_width = dW + s.UW;
  l.move_left = dW + s.GL;
  l.open_fav_left = dW + s.OL;
  l.save_fav_left = dW + s.SL;
  return l;
}

CoolBarHeightChange CoolBarHeightRule(const LayoutSnapshot& s, float new_height, bool toolbar,
                                      float window_height) {
  CoolBarHeightChange c;
  c.snapshot = s;
  const float d = new_height - s.CH;
  c.browser_top = d + s.BT;
  if (toolbar) {
    c.browser_height = window_height - s.H + s.BH - d;
    c.snapshot.BT = c.browser_top;
    c.snapshot.CH = new_height;
    // The browser's new height is the one later resizes keep: without this a window resize
    // after a band moved would give back the old height and leave a gap under the browser.
    c.snapshot.BH = s.BH - d;
  } else {
    c.window_height = window_height + d;
    c.snapshot.H = s.H + d;
    // The bar reports each band it hides or shows on its own; measuring the next report from
    // this one keeps the window from shrinking by the same rows more than once.
    c.snapshot.BT = c.browser_top;
    c.snapshot.CH = new_height;
  }
  return c;
}

std::optional<BandChange> BandChangeRule(const LayoutSnapshot& s, float band4_width) {
  if (band4_width == s.B4) return std::nullopt;
  return BandChange{band4_width - s.B4 + s.JW, band4_width - s.B4 + s.UW};
}

ScreenRect KeepOnScreen(const ScreenRect& window, const std::vector<ScreenRect>& monitors,
                        const ScreenRect& primary_work_area) {
  if (monitors.empty()) return window;
  for (const ScreenRect& m : monitors) {
    const int left = std::max(window.x, m.x), top = std::max(window.y, m.y);
    const int right = std::min(window.x + window.width, m.x + m.width);
    const int bottom = std::min(window.y + window.height, m.y + m.height);
    if (right > left && bottom > top) return window;
  }
  const ScreenRect& a = primary_work_area;
  ScreenRect placed = window;
  placed.x = a.x + std::max(0, (a.width - window.width) / 2);
  placed.y = a.y + std::max(0, (a.height - window.height) / 2);
  return placed;
}

}  // namespace tarvik
