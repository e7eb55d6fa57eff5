// Painting the skin's background tile into a band picture so that its pattern continues the cool
// bar's pattern behind it.
#pragma once

#include <gdkmm/pixbuf.h>

namespace tarvik {

struct BandPlacement {
  int left_twips = 0, top_twips = 0;  // where the band picture lies in the cool bar
  int width_px = 0, height_px = 0;    // and how large it is
};

// A picture of the band's size holding the tile laid out by PlanBandTiles for the band's
// position, the tile's size being its pixel size at the given twips per pixel. nullptr when the
// tile is missing or has no area, or the band has none: there is nothing to show then.
Glib::RefPtr<Gdk::Pixbuf> PaintBandBackground(const Glib::RefPtr<Gdk::Pixbuf>& tile,
                                              const BandPlacement& band, int twips_per_pixel_x,
                                              int twips_per_pixel_y);

}  // namespace tarvik
