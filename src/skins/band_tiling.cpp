#include "skins/band_tiling.h"

#include <cstdint>

namespace tarvik {

namespace {

// `value` modulo `size`, in [0, size) also for negative values.
std::int64_t Phase(std::int64_t value, std::int64_t size) {
  const std::int64_t r = value % size;
  return r < 0 ? r + size : r;
}

}  // namespace

int BandPatternReference(int index) { return index == 3 || index == 4 ? 2 : index; }

int TwipsToPixels(int twips, int twips_per_pixel) {
  // Exact integer division, rounded to nearest with halves to even: floating point would round
  // some halves the wrong way.
  const std::int64_t t = twips_per_pixel;
  std::int64_t q = twips / t;
  std::int64_t r = twips % t;
  if (r < 0) {
    r += t;
    --q;
  }
  if (2 * r > t || (2 * r == t && (q % 2 != 0))) ++q;
  return static_cast<int>(q);
}

std::vector<TileCopy> PlanBandTiles(int band_left_twips, int band_top_twips, int band_width_px,
                                    int band_height_px, int tile_width_twips, int tile_height_twips,
                                    int twips_per_pixel_x, int twips_per_pixel_y) {
  std::vector<TileCopy> plan;
  if (tile_width_twips <= 0 || tile_height_twips <= 0 || twips_per_pixel_x <= 0 ||
      twips_per_pixel_y <= 0)
    return plan;
  const std::int64_t tile_w = tile_width_twips, tile_h = tile_height_twips;
  const std::int64_t phase_x = Phase(band_left_twips, tile_w);
  const std::int64_t phase_y = Phase(band_top_twips, tile_h);
  // The band's size in twips, as the loop compares against it.
  const std::int64_t band_w = std::int64_t{band_width_px} * twips_per_pixel_x;
  const std::int64_t band_h = std::int64_t{band_height_px} * twips_per_pixel_y;
  auto px = [](std::int64_t twips, int scale) {
    return TwipsToPixels(static_cast<int>(twips), scale);
  };

  std::int64_t y = 0;
  do {
    const std::int64_t src_y = y == 0 ? phase_y : 0;
    const std::int64_t h = tile_h - src_y;
    std::int64_t x = 0;
    do {
      const std::int64_t src_x = x == 0 ? phase_x : 0;
      const std::int64_t w = tile_w - src_x;
      plan.push_back({px(src_x, twips_per_pixel_x), px(src_y, twips_per_pixel_y),
                      px(w, twips_per_pixel_x), px(h, twips_per_pixel_y), px(x, twips_per_pixel_x),
                      px(y, twips_per_pixel_y)});
      x += w;
    } while (x < band_w);
    y += h;
  } while (y < band_h);
  return plan;
}

}  // namespace tarvik
