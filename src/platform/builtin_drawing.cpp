#include "platform/builtin_drawing.h"

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdkmm/wrap_init.h>
#include <giomm/init.h>
#include <pango/pangocairo.h>
#include <pangomm/init.h>
#include <pangomm/layout.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/builtin_drawing_kit.h"

namespace tarvik::builtin {

namespace {

using kit::Cr;
using kit::Draw;
using kit::DrawWindowIcon;
using kit::Hex;
using kit::kPi;
using kit::Look;
using kit::Paint;
using kit::Polygon;
using kit::Rgb;
using kit::RoundedRect;
using kit::SetColour;
using kit::ToPixbuf;
using kit::Vertical;

constexpr const char* kFontFamily = "IPAPGothic";

void Star(const Cr& cr, double cx, double cy, double outer, double inner) {
  for (int i = 0; i < 10; ++i) {
    double a = -kPi / 2 + i * kPi / 5;
    double r = (i % 2 == 0) ? outer : inner;
    if (i == 0)
      cr->move_to(cx + r * std::cos(a), cy + r * std::sin(a));
    else
      cr->line_to(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cr->close_path();
}

// Text in the interface font, `px` pixels high at most, shrunk until it fits `max_width`, with
// its ink centred vertically on `cy` and its left edge at `x` (or centred on `x` when `centre`).
// With `halo`, the letters get a light rim, so that dark text stays legible on a dark button.
void Text(const Cr& cr, const Glib::ustring& text, double px, double max_width, double x, double cy,
          bool centre, Rgb colour, bool bold = false, bool halo = false) {
  auto layout = Pango::Layout::create(cr);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(layout->get_context()->gobj(), options);
  cairo_font_options_destroy(options);
  layout->context_changed();
  layout->set_text(text);

  Pango::Rectangle ink, logical;
  for (;;) {
    Pango::FontDescription font;
    font.set_family(kFontFamily);
    font.set_absolute_size(px * PANGO_SCALE);
    if (bold) font.set_weight(Pango::WEIGHT_BOLD);
    layout->set_font_description(font);
    layout->get_pixel_extents(ink, logical);
    if (logical.get_width() <= max_width || px <= 7) break;
    px -= 0.5;
  }
  double left = centre ? x - logical.get_width() / 2.0 : x;
  double top = cy - ink.get_y() - ink.get_height() / 2.0;
  cr->move_to(std::round(left), std::round(top));
  if (halo) {
    cr->save();
    pango_cairo_layout_path(cr->cobj(), layout->gobj());
    cr->set_source_rgba(1, 1, 1, 0.9);
    cr->set_line_width(2.5);
    cr->set_line_join(Cairo::LINE_JOIN_ROUND);
    cr->stroke();
    cr->restore();
    cr->move_to(std::round(left), std::round(top));
  }
  SetColour(cr, colour);
  layout->show_in_cairo_context(cr);
}

// ---- toolbar ---------------------------------------------------------------------------------

void DrawStop(const Cr& cr) {
  const double cx = 16, cy = 16, r = 14.6;
  auto octagon = [&](double radius) {
    for (int i = 0; i < 8; ++i) {
      double a = kPi / 8 + i * kPi / 4;
      if (i == 0)
        cr->move_to(cx + radius * std::cos(a), cy + radius * std::sin(a));
      else
        cr->line_to(cx + radius * std::cos(a), cy + radius * std::sin(a));
    }
    cr->close_path();
  };
  Paint(cr, [&] { octagon(r); }, 2, 30, {Hex(0xf47a66), Hex(0xbb1a0c), Hex(0x6e0d05), 0.4});
  // A thin light ring inside the rim, as on a road sign.
  octagon(r - 2.2);
  cr->set_source_rgba(1, 1, 1, 0.55);
  cr->set_line_width(1);
  cr->stroke();

  auto cross = [&] {
    cr->move_to(11, 11);
    cr->line_to(21, 21);
    cr->move_to(21, 11);
    cr->line_to(11, 21);
  };
  cross();
  cr->set_source_rgba(0.45, 0.03, 0.0, 0.6);
  cr->set_line_width(5.6);
  cr->stroke();
  cross();
  cr->set_source_rgb(1, 1, 1);
  cr->set_line_width(3.6);
  cr->stroke();
}

void DrawRefresh(const Cr& cr) {
  const double cx = 16, cy = 16.5, outer = 12.6, inner = 7.4, mid = (outer + inner) / 2;
  const double a0 = -0.28 * kPi;  // tail, upper right
  const double a1 = 1.12 * kPi;   // head, upper left, pointing clockwise
  auto at = [&](double radius, double a) {
    return std::pair{cx + radius * std::cos(a), cy + radius * std::sin(a)};
  };
  auto path = [&] {
    cr->begin_new_sub_path();
    cr->arc(cx, cy, outer, a0, a1);
    auto [ox, oy] = at(outer + 3.6, a1);
    cr->line_to(ox, oy);
    auto [tx, ty] = at(mid, a1 + 0.78);
    cr->line_to(tx, ty);
    auto [ix, iy] = at(inner - 3.6, a1);
    cr->line_to(ix, iy);
    cr->arc_negative(cx, cy, inner, a1, a0);
    cr->close_path();
  };
  Paint(cr, path, 2, 30, {Hex(0x9be57a), Hex(0x2d8a1c), Hex(0x1a5510), 0.45});
}

void DrawHome(const Cr& cr) {
  const Look roof{Hex(0xee6a48), Hex(0xa8280f), Hex(0x661607), 0.35};
  const Look wall{Hex(0xfffaea), Hex(0xe2cf9c), Hex(0x7e6940), 0.2};
  // Chimney behind the roof.
  Paint(cr, [&] { cr->rectangle(21.5, 4.5, 4, 8); }, 4, 12,
        {Hex(0xc9826a), Hex(0x8e4a35), Hex(0x5a2c1e), 0.2});
  Paint(
      cr, [&] { cr->rectangle(6.5, 14.5, 19, 15); }, 14, 30, wall);
  Paint(
      cr,
      [&] {
        Polygon(cr, {{1.5, 16.5}, {16, 2.5}, {30.5, 16.5}, {27.5, 16.5}, {16, 6.5}, {4.5, 16.5}});
      },
      2, 17, roof);
  // Door and window.
  Paint(cr, [&] { cr->rectangle(9.5, 19.5, 6, 10); }, 19, 30,
        {Hex(0xb27a45), Hex(0x6f4420), Hex(0x4a2c12), 0.2, 0});
  cr->arc(14, 25, 0.8, 0, 2 * kPi);
  SetColour(cr, Hex(0xf6d36a));
  cr->fill();
  Paint(cr, [&] { cr->rectangle(18.5, 18.5, 5, 5); }, 18, 24,
        {Hex(0xcfeaff), Hex(0x4f95d8), Hex(0x2b4f73), 0.5, 0});
  cr->move_to(21, 18.5);
  cr->line_to(21, 23.5);
  cr->move_to(18.5, 21);
  cr->line_to(23.5, 21);
  SetColour(cr, Hex(0x2b4f73));
  cr->set_line_width(1);
  cr->stroke();
}

// A fat arrow pointing right; `mirror` turns it to point left.
void DrawArrow(const Cr& cr, bool mirror, double size, const Look& look) {
  cr->save();
  if (mirror) {
    cr->translate(size, 0);
    cr->scale(-1, 1);
  }
  const double s = size / 32.0;
  auto path = [&] {
    Polygon(cr, {{4 * s, 11.5 * s},
                 {16 * s, 11.5 * s},
                 {16 * s, 4 * s},
                 {29 * s, 16 * s},
                 {16 * s, 28 * s},
                 {16 * s, 20.5 * s},
                 {4 * s, 20.5 * s}});
  };
  Paint(cr, path, 4 * s, 28 * s, look);
  cr->restore();
}

const Look kBlueArrow{Hex(0x8cc4f7), Hex(0x1f5fb7), Hex(0x123b75), 0.5};
const Look kGreenArrow{Hex(0x9be57a), Hex(0x2d8a1c), Hex(0x1a5510), 0.45};

// ---- pockets ---------------------------------------------------------------------------------

void DrawPocket(const Cr& cr, bool full) {
  // The back panel, seen through the open mouth of the pocket, and the shadow inside it.
  auto back = [&] {
    cr->move_to(4.5, 17);
    cr->line_to(4.5, 8.5);
    cr->curve_to(4.5, 6.8, 5.2, 6.5, 7, 6.5);
    cr->line_to(25, 6.5);
    cr->curve_to(26.8, 6.5, 27.5, 6.8, 27.5, 8.5);
    cr->line_to(27.5, 17);
    cr->close_path();
  };
  Paint(cr, back, 6, 17, {Hex(0xc99257), Hex(0x8f5b2a), Hex(0x5e3813), 0.25, 0.15, 0.4});
  cr->save();
  back();
  cr->clip();
  auto inside = Cairo::LinearGradient::create(0, 9, 0, 16);
  inside->add_color_stop_rgba(0, 0.2, 0.1, 0.02, 0);
  inside->add_color_stop_rgba(1, 0.2, 0.1, 0.02, 0.75);
  cr->set_source(inside);
  cr->paint();
  cr->restore();

  if (full) {
    // A card standing in the pocket, a little tilted.
    cr->save();
    cr->translate(16, 14);
    cr->rotate(-0.12);
    auto card = [&] {
      cr->move_to(-7.5, -12.5);
      cr->line_to(4.5, -12.5);
      cr->line_to(7.5, -9.5);
      cr->line_to(7.5, 10);
      cr->line_to(-7.5, 10);
      cr->close_path();
    };
    Paint(cr, card, -13, 10, {Hex(0xffffff), Hex(0xe4e8ee), Hex(0x6b7480), 0, 0.3, 0});
    // The folded corner and the lines of the page.
    Polygon(cr, {{4.5, -12.5}, {4.5, -9.5}, {7.5, -9.5}});
    SetColour(cr, Hex(0xd5dbe3));
    cr->fill_preserve();
    SetColour(cr, Hex(0x6b7480));
    cr->set_line_width(1);
    cr->stroke();
    cr->set_line_width(1.2);
    cr->set_line_cap(Cairo::LINE_CAP_BUTT);
    for (int i = 0; i < 4; ++i) {
      double y = -8.5 + i * 2.6;
      cr->move_to(-5, y);
      cr->line_to(i == 0 ? 2 : 5, y);
      SetColour(cr, i == 0 ? Hex(0x2f6fc4) : Hex(0x8a96a6));
      cr->stroke();
    }
    cr->restore();
  }

  auto front = [&] {
    cr->move_to(3.5, 11.5);
    cr->curve_to(9, 16.5, 23, 16.5, 28.5, 11.5);
    cr->line_to(28.5, 23.5);
    cr->curve_to(24, 27, 20, 29.5, 16, 30.5);
    cr->curve_to(12, 29.5, 8, 27, 3.5, 23.5);
    cr->close_path();
  };
  Paint(cr, front, 11, 31, {Hex(0xe9bb7c), Hex(0xa96d33), Hex(0x5e3813), 0.35});
  // Stitching along the mouth and down the sides.
  cr->save();
  front();
  cr->clip();
  std::vector<double> dash{1.6, 1.4};
  cr->set_dash(dash, 0);
  cr->set_line_width(0.9);
  cr->set_line_cap(Cairo::LINE_CAP_BUTT);
  cr->move_to(5.8, 14.4);
  cr->curve_to(11, 18.8, 21, 18.8, 26.2, 14.4);
  cr->move_to(6, 16.5);
  cr->line_to(6, 22.6);
  cr->curve_to(9.5, 25.4, 13, 27.4, 16, 28.2);
  cr->curve_to(19, 27.4, 22.5, 25.4, 26, 22.6);
  cr->line_to(26, 16.5);
  cr->set_source_rgba(1, 0.93, 0.78, 0.9);
  cr->stroke();
  cr->restore();
}

// ---- mode switch -----------------------------------------------------------------------------

void DrawModeSwitch(const Cr& cr, int mode) {
  const bool job = mode == 1;
  const double w = kModeImageWidth, h = kModeImageHeight;
  // The plate.
  Paint(cr, [&] { RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 4); }, 0, h,
        {Hex(0xfbfbfb), Hex(0xd6d8dc), Hex(0x6f747c), 0.5, 0, 0.9});

  // The slide: a recessed track tinted by the mode, with the knob at one end.
  const double tx = 4.5, ty = 6.5, tw = 22, th = 12;
  const Rgb tint_top = job ? Hex(0x2c64b8) : Hex(0x2f8a2a);
  const Rgb tint_bottom = job ? Hex(0x6fa6ea) : Hex(0x7fd06a);
  const Rgb tint_rim = job ? Hex(0x1b3f78) : Hex(0x1c5518);
  Paint(cr, [&] { RoundedRect(cr, tx, ty, tw, th, th / 2); }, ty, ty + th,
        {tint_top, tint_bottom, tint_rim, 0, 0, 0});
  // Inner shadow along the top of the track.
  cr->save();
  RoundedRect(cr, tx, ty, tw, th, th / 2);
  cr->clip();
  auto shade = Cairo::LinearGradient::create(0, ty, 0, ty + 4);
  shade->add_color_stop_rgba(0, 0, 0, 0, 0.35);
  shade->add_color_stop_rgba(1, 0, 0, 0, 0);
  cr->set_source(shade);
  cr->paint();
  cr->restore();

  const double kr = 6.5;
  const double kx = job ? tx + kr - 0.5 : tx + tw - kr + 0.5;
  const double ky = ty + th / 2;
  Paint(cr,
        [&] {
          cr->begin_new_sub_path();
          cr->arc(kx, ky, kr, 0, 2 * kPi);
        },
        ky - kr, ky + kr, {Hex(0xffffff), Hex(0xc9ccd2), Hex(0x5b6068), 0.6, 0.3});

  // The label of the mode showing.
  const double lx = tx + tw + 3, lw = w - lx - 3;
  Text(cr, job ? "ジョブ" : "ダイレクト", 13, lw, lx + lw / 2, h / 2, true,
       job ? Hex(0x123061) : Hex(0x174212), true);
}

// ---- job step buttons --------------------------------------------------------------------------

const Look kNavLook{Hex(0x86bdf2), Hex(0x1f5fb7), Hex(0x123b75), 0.5, 0.18, 0.45};

// A triangle pointing right with its flat side at x0, or pointing left when `left`.
void NavTriangle(const Cr& cr, double x0, double x1, bool left) {
  if (left)
    Paint(
        cr,
        [&] {
          Polygon(cr, {{x1, 2.5}, {x1, 13.5}, {x0, 8}});
        },
        2, 14, kNavLook);
  else
    Paint(
        cr,
        [&] {
          Polygon(cr, {{x0, 2.5}, {x0, 13.5}, {x1, 8}});
        },
        2, 14, kNavLook);
}

void NavBar(const Cr& cr, double x) {
  Paint(cr, [&] { cr->rectangle(x, 2.5, 2.5, 11); }, 2, 14,
        {kNavLook.top, kNavLook.bottom, kNavLook.outline, 0.3, 0.18, 0});
}

void DrawList(const Cr& cr) {
  Paint(cr, [&] { cr->rectangle(1.5, 1.5, 13, 13); }, 1, 15,
        {Hex(0xffffff), Hex(0xe3e8ef), Hex(0x56606c), 0, 0.18, 0});
  for (int i = 0; i < 3; ++i) {
    double y = 3.5 + i * 3.5;
    cr->rectangle(3.5, y, 2, 2);
    SetColour(cr, Hex(0x2f6fc4));
    cr->fill();
    cr->rectangle(7, y + 0.5, 6, 1);
    SetColour(cr, Hex(0x5c6672));
    cr->fill();
  }
}

void DrawNav(const Cr& cr, int index) {
  switch (index) {
    case 0:
      NavBar(cr, 2.5);
      NavTriangle(cr, 5.5, 13.5, true);
      break;
    case 1: NavTriangle(cr, 3.5, 12.5, true); break;
    case 2: NavTriangle(cr, 3.5, 12.5, false); break;
    case 3:
      NavTriangle(cr, 2.5, 10.5, false);
      NavBar(cr, 11);
      break;
    default: DrawList(cr); break;
  }
}

// ---- address bar buttons -----------------------------------------------------------------------

void DrawGo(const Cr& cr) {
  cr->save();
  cr->translate(0, 1);
  DrawArrow(cr, false, 16,
            {kGreenArrow.top, kGreenArrow.bottom, kGreenArrow.outline, 0.45, 0.18, 0.4});
  cr->restore();
  Text(cr, "移動", 12, kGoImageWidth - 19, 19, kGoImageHeight / 2.0, false, Hex(0x17202b), true,
       true);
}

const Look kStarLook{Hex(0xfff2a0), Hex(0xe6a318), Hex(0x8a5a06), 0.45, 0.18, 0.4};

void DrawOpenFavorite(const Cr& cr) {
  // A folder whose front flap is open a little, with a star on it.
  Paint(cr,
        [&] {
          cr->move_to(1.5, 4.5);
          cr->line_to(6.5, 4.5);
          cr->line_to(8, 6);
          cr->line_to(15.5, 6);
          cr->line_to(15.5, 15.5);
          cr->line_to(1.5, 15.5);
          cr->close_path();
        },
        4, 16, {Hex(0xe8c46a), Hex(0xb98a26), Hex(0x7a5510), 0.2, 0.18, 0.3});
  Paint(cr,
        [&] {
          Polygon(cr, {{1.5, 15.5}, {3.5, 8.5}, {17.5, 8.5}, {15.5, 15.5}});
        },
        8, 16, {Hex(0xfde59a), Hex(0xe2b03e), Hex(0x7a5510), 0.4, 0, 0.4});
  Paint(cr, [&] { Star(cr, 9.8, 12.2, 4.6, 1.9); }, 7.5, 16,
        {Hex(0xfff7d0), Hex(0xf08a10), Hex(0x9b4a04), 0.3, 0, 0});
}

void DrawAddFavorite(const Cr& cr) {
  Paint(
      cr, [&] { Star(cr, 8, 8.6, 7.8, 3.2); }, 1, 15, kStarLook);
  // The plus badge.
  Paint(cr,
        [&] {
          cr->begin_new_sub_path();
          cr->arc(13, 13, 4.5, 0, 2 * kPi);
        },
        8.5, 17.5, {Hex(0x8fe070), Hex(0x2b8a1c), Hex(0x17500e), 0.4, 0.2, 0.3});
  cr->move_to(13, 10.6);
  cr->line_to(13, 15.4);
  cr->move_to(10.6, 13);
  cr->line_to(15.4, 13);
  cr->set_source_rgb(1, 1, 1);
  cr->set_line_width(1.6);
  cr->set_line_cap(Cairo::LINE_CAP_BUTT);
  cr->stroke();
}

// ---- cool bar tile ----------------------------------------------------------------------------

// Brushed metal in a warm light grey. Every row and every ripple has a period that divides the
// tile's size, so the tile joins itself seamlessly in both directions.
Glib::RefPtr<Gdk::Pixbuf> DrawCoolBarTile() {
  const int n = kCoolBarTileSize;
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, n, n);
  surface->flush();
  unsigned char* data = surface->get_data();
  const int stride = surface->get_stride();
  auto hash = [](std::uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352dU;
    v ^= v >> 15;
    v *= 0x846ca68bU;
    v ^= v >> 16;
    return (v & 0xffff) / 65535.0;  // 0..1
  };
  for (int y = 0; y < n; ++y) {
    double row = (hash(static_cast<std::uint32_t>(y) + 17) - 0.5) * 5.0;
    double phase = hash(static_cast<std::uint32_t>(y) * 31 + 5) * 2 * kPi;
    for (int x = 0; x < n; ++x) {
      double t = 2 * kPi * x / n;
      double streak = 1.6 * std::sin(t * 2 + phase) + 0.9 * std::sin(t * 5 + phase * 1.7);
      double grain = (hash(static_cast<std::uint32_t>(y * n + x) * 2654435761U) - 0.5) * 1.6;
      double v = row + streak + grain;
      auto channel = [&](double base) {
        return static_cast<unsigned char>(std::clamp(std::lround(base + v), 0L, 255L));
      };
      unsigned char* p = data + y * stride + x * 4;
      // Cairo stores opaque ARGB32 as B, G, R, A in memory on little-endian machines.
      std::uint32_t pixel = 0xff000000u | (std::uint32_t{channel(236)} << 16) |
                            (std::uint32_t{channel(233)} << 8) | channel(226);
      std::memcpy(p, &pixel, 4);
    }
  }
  surface->mark_dirty();
  return ToPixbuf(surface);
}

// ---- pointer --------------------------------------------------------------------------------

void DrawPocketCursor(const Cr& cr) {
  // A small pocket at the arrow's foot says what clicking does.
  cr->save();
  cr->translate(13, 13);
  cr->scale(0.56, 0.56);
  DrawPocket(cr, true);
  cr->restore();

  auto arrow = [&] {
    Polygon(cr, {{1.5, 1.5}, {1.5, 20.5}, {6, 16}, {9.2, 23.2}, {12.2, 22}, {9.2, 15}, {15.5, 15}});
  };
  cr->save();
  cr->translate(1, 1);
  arrow();
  cr->set_source_rgba(0, 0, 0, 0.3);
  cr->fill();
  cr->restore();
  arrow();
  cr->set_source_rgb(1, 1, 1);
  cr->fill_preserve();
  cr->set_source_rgb(0, 0, 0);
  cr->set_line_width(1);
  // A round join keeps the tip's outline on the hot spot instead of a mitre poking past it.
  cr->stroke();
}

}  // namespace

void InitDrawing() {
  Gio::init();  // and glibmm
  Pango::init();
  Gdk::wrap_init();
}

PictureSize SizeOf(Picture picture) {
  switch (picture) {
    case Picture::kStop:
    case Picture::kRefresh:
    case Picture::kHome:
    case Picture::kBack:
    case Picture::kForward: return {kToolbarImageSize, kToolbarImageSize};
    case Picture::kPocketEmpty:
    case Picture::kPocketFull: return {kPocketImageSize, kPocketImageSize};
    case Picture::kModeJob:
    case Picture::kModeDirect: return {kModeImageWidth, kModeImageHeight};
    case Picture::kNavFirst:
    case Picture::kNavPrevious:
    case Picture::kNavNext:
    case Picture::kNavLast:
    case Picture::kNavList: return {kNavButtonImageSize, kNavButtonImageSize};
    case Picture::kGo: return {kGoImageWidth, kGoImageHeight};
    case Picture::kOpenFavorite:
    case Picture::kAddFavorite: return {kFavoriteImageSize, kFavoriteImageSize};
    case Picture::kCoolBarTile: return {kCoolBarTileSize, kCoolBarTileSize};
    case Picture::kIcon16: return {16, 16};
    case Picture::kIcon24: return {24, 24};
    case Picture::kIcon32: return {32, 32};
    case Picture::kIcon48: return {kWindowIconSize, kWindowIconSize};
    case Picture::kPocketCursor: return {kPocketCursorSize, kPocketCursorSize};
    case Picture::kCount: break;
  }
  return {0, 0};
}

Glib::RefPtr<Gdk::Pixbuf> DrawPicture(Picture picture) {
  if (picture == Picture::kCoolBarTile) return DrawCoolBarTile();
  const PictureSize size = SizeOf(picture);
  if (size.width <= 0) return {};
  return Draw(size.width, size.height, [picture](const Cr& cr) {
    switch (picture) {
      case Picture::kStop: DrawStop(cr); break;
      case Picture::kRefresh: DrawRefresh(cr); break;
      case Picture::kHome: DrawHome(cr); break;
      case Picture::kBack: DrawArrow(cr, true, kToolbarImageSize, kBlueArrow); break;
      case Picture::kForward: DrawArrow(cr, false, kToolbarImageSize, kBlueArrow); break;
      case Picture::kPocketEmpty: DrawPocket(cr, false); break;
      case Picture::kPocketFull: DrawPocket(cr, true); break;
      case Picture::kModeJob: DrawModeSwitch(cr, 1); break;
      case Picture::kModeDirect: DrawModeSwitch(cr, 2); break;
      case Picture::kNavFirst:
      case Picture::kNavPrevious:
      case Picture::kNavNext:
      case Picture::kNavLast:
      case Picture::kNavList:
        DrawNav(cr, static_cast<int>(picture) - static_cast<int>(Picture::kNavFirst));
        break;
      case Picture::kGo: DrawGo(cr); break;
      case Picture::kOpenFavorite: DrawOpenFavorite(cr); break;
      case Picture::kAddFavorite: DrawAddFavorite(cr); break;
      case Picture::kIcon16:
      case Picture::kIcon24:
      case Picture::kIcon32:
      case Picture::kIcon48: DrawWindowIcon(cr, SizeOf(picture).width); break;
      case Picture::kPocketCursor: DrawPocketCursor(cr); break;
      case Picture::kCoolBarTile:
      case Picture::kCount: break;
    }
  });
}

}  // namespace tarvik::builtin
