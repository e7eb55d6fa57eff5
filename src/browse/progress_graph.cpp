#include "browse/progress_graph.h"

#include <algorithm>

namespace tarvik {

ProgressFill ProgressGeometry(long progress, long maximum, int width, int height) {
  ProgressFill fill;
  if (progress < 1 || maximum < 1) {
    fill.action = ProgressFill::Clear;
    return fill;
  }
  if (width <= 0 || height <= 0) return fill;
  fill.action = ProgressFill::Draw;
  const double x = static_cast<double>(progress) / static_cast<double>(maximum) * width;
  fill.width = std::min<double>(x, width);
  fill.top = kProgressMargin;
  fill.height = std::max(0, height - 2 * kProgressMargin);
  return fill;
}

}  // namespace tarvik
