// The plan for tiling the skin's background into a band picture so that its pattern continues the
// cool bar's pattern behind it. Positions come in twips, the plan is in pixels.
#pragma once

#include <vector>

namespace tarvik {

// One copy from the tile to the band picture, in pixels.
struct TileCopy {
  int src_x, src_y, width, height, dst_x, dst_y;

  bool operator==(const TileCopy&) const = default;
};

// The band picture whose position gives band picture `index` (0 to 4) its pattern: the job bar
// (3) and the address bar (4) lie at the origin of picBack(2), so they take its position and show
// the same pattern as it.
int BandPatternReference(int index);

// A length in twips as pixels at `twips_per_pixel`, rounded to the nearest whole pixel with
// halves to even. `twips_per_pixel` must be positive.
int TwipsToPixels(int twips, int twips_per_pixel);

// The copies, row by row from the top, each row from the left. The band picture sits at
// (`band_left_twips`, `band_top_twips`) in the cool bar (either may be negative) and is
// `band_width_px` x `band_height_px`; the tile is `tile_width_twips` x `tile_height_twips`. The
// first column and row start inside the tile at the band's position modulo the tile's size; the
// last column and row may reach past the band's edge. A band of zero size still gets one copy.
// Empty when the tile has no area or a scale is not positive: there is nothing to paint with.
std::vector<TileCopy> PlanBandTiles(int band_left_twips, int band_top_twips, int band_width_px,
                                    int band_height_px, int tile_width_twips, int tile_height_twips,
                                    int twips_per_pixel_x, int twips_per_pixel_y);

}  // namespace tarvik
