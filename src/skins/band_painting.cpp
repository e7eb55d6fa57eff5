#include "skins/band_painting.h"

#include <algorithm>

#include "skins/band_tiling.h"

namespace tarvik {

Glib::RefPtr<Gdk::Pixbuf> PaintBandBackground(const Glib::RefPtr<Gdk::Pixbuf>& tile,
                                              const BandPlacement& band, int twips_per_pixel_x,
                                              int twips_per_pixel_y) {
  if (!tile || band.width_px <= 0 || band.height_px <= 0) return {};
  const int tile_w = tile->get_width(), tile_h = tile->get_height();
  const auto plan = PlanBandTiles(band.left_twips, band.top_twips, band.width_px, band.height_px,
                                  tile_w * twips_per_pixel_x, tile_h * twips_per_pixel_y,
                                  twips_per_pixel_x, twips_per_pixel_y);
  if (plan.empty()) return {};

  // The band's picture has the tile's channels, so copies are plain pixel copies.
  auto picture = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, tile->get_has_alpha(), 8, band.width_px,
                                     band.height_px);
  picture->fill(0x00000000);
  for (const TileCopy& c : plan) {
    // Clip the copy to both the tile and the band: the last column and row reach past the band,
    // and rounding to pixels can make a copy one pixel larger than what is left of the tile.
    int src_x = c.src_x, src_y = c.src_y, dst_x = c.dst_x, dst_y = c.dst_y;
    int w = c.width, h = c.height;
    if (src_x < 0) {
      w += src_x;
      dst_x -= src_x;
      src_x = 0;
    }
    if (src_y < 0) {
      h += src_y;
      dst_y -= src_y;
      src_y = 0;
    }
    w = std::min({w, tile_w - src_x, band.width_px - dst_x});
    h = std::min({h, tile_h - src_y, band.height_px - dst_y});
    if (w <= 0 || h <= 0 || dst_x < 0 || dst_y < 0) continue;
    tile->copy_area(src_x, src_y, w, h, picture, dst_x, dst_y);
  }
  return picture;
}

}  // namespace tarvik
