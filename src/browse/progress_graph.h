// The progress graph of the status bar: a red box growing from the left of its panel.
#pragma once

namespace tarvik {

struct ProgressFill {
  enum Action {
    Keep,   // the panel has no size yet: the drawing stays as it is
    Clear,  // the load reports no progress: the graph is taken away
    Draw,   // the box below is added to the drawing
  } action = Keep;
  double width = 0;  // the box's right edge, from the panel's left, in pixels
  int top = 0;
  int height = 0;
  int extent() const { return static_cast<int>(width); }
};

// The pixels above and below the box.
inline constexpr int kProgressMargin = 3;

// What a progress report of `progress` out of `maximum` does to a panel of `width` by `height`
// pixels.
ProgressFill ProgressGeometry(long progress, long maximum, int width, int height);

}  // namespace tarvik
