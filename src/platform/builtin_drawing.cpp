#include "platform/builtin_drawing.h"

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <pango/pangocairo.h>
#include <pangomm/layout.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace tarvik::builtin {

namespace {

using Cr = Cairo::RefPtr<Cairo::Context>;
using Path = std::function<void()>;

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kFontFamily = "IPAPGothic";

struct Rgb {
  double r, g, b;
};

constexpr Rgb Hex(std::uint32_t v) {
  return {((v >> 16) & 0xff) / 255.0, ((v >> 8) & 0xff) / 255.0, (v & 0xff) / 255.0};
}

void SetColour(const Cr& cr, Rgb c, double alpha = 1.0) { cr->set_source_rgba(c.r, c.g, c.b, alpha); }

Cairo::RefPtr<Cairo::LinearGradient> Vertical(double y0, double y1, Rgb top, Rgb bottom) {
  auto g = Cairo::LinearGradient::create(0, y0, 0, y1);
  g->add_color_stop_rgb(0, top.r, top.g, top.b);
  g->add_color_stop_rgb(1, bottom.r, bottom.g, bottom.b);
  return g;
}

// A skin bitmap marks its background with RGB(192, 192, 192), and the image lists cut that colour
// out. Anti-aliasing can land on it by chance, so such pixels are moved one step lighter.
void AvoidMaskColour(const Glib::RefPtr<Gdk::Pixbuf>& pixbuf) {
  const int channels = pixbuf->get_n_channels();
  const int stride = pixbuf->get_rowstride();
  guint8* pixels = pixbuf->get_pixels();
  for (int y = 0; y < pixbuf->get_height(); ++y) {
    guint8* p = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < pixbuf->get_width(); ++x, p += channels) {
      if (p[0] == 192 && p[1] == 192 && p[2] == 192) p[0] = p[1] = p[2] = 193;
    }
  }
}

Glib::RefPtr<Gdk::Pixbuf> ToPixbuf(const Cairo::RefPtr<Cairo::ImageSurface>& surface) {
  surface->flush();
  auto pixbuf = Gdk::Pixbuf::create(surface, 0, 0, surface->get_width(), surface->get_height());
  AvoidMaskColour(pixbuf);
  return pixbuf;
}

Glib::RefPtr<Gdk::Pixbuf> Draw(int width, int height, const std::function<void(const Cr&)>& paint) {
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, width, height);
  {
    auto cr = Cairo::Context::create(surface);
    cr->set_line_join(Cairo::LINE_JOIN_ROUND);
    cr->set_line_cap(Cairo::LINE_CAP_ROUND);
    paint(cr);
  }
  return ToPixbuf(surface);
}

// ---- shared shapes and the common look ------------------------------------------------------

void RoundedRect(const Cr& cr, double x, double y, double w, double h, double r) {
  cr->begin_new_sub_path();
  cr->arc(x + w - r, y + r, r, -kPi / 2, 0);
  cr->arc(x + w - r, y + h - r, r, 0, kPi / 2);
  cr->arc(x + r, y + h - r, r, kPi / 2, kPi);
  cr->arc(x + r, y + r, r, kPi, 3 * kPi / 2);
  cr->close_path();
}

void Polygon(const Cr& cr, std::initializer_list<std::pair<double, double>> points) {
  bool first = true;
  for (auto [x, y] : points) {
    if (first) cr->move_to(x, y);
    else cr->line_to(x, y);
    first = false;
  }
  cr->close_path();
}

void Star(const Cr& cr, double cx, double cy, double outer, double inner) {
  for (int i = 0; i < 10; ++i) {
    double a = -kPi / 2 + i * kPi / 5;
    double r = (i % 2 == 0) ? outer : inner;
    if (i == 0) cr->move_to(cx + r * std::cos(a), cy + r * std::sin(a));
    else cr->line_to(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cr->close_path();
}

struct Look {
  Rgb top;      // fill at the upper edge
  Rgb bottom;   // fill at the lower edge
  Rgb outline;  // the 1-px rim
  double gloss = 0.45;   // strength of the light on the upper half
  double shadow = 0.22;  // opacity of the drop shadow, 0 for none
  double rim_light = 0.5;
};

// Fills the shape that `path` traces the way every Tarvik picture is lit: a soft shadow down and to
// the right, a vertical gradient, a light inner rim, a gloss on the upper half and a darker outline.
void Paint(const Cr& cr, const Path& path, double y0, double y1, const Look& look) {
  if (look.shadow > 0) {
    cr->save();
    cr->translate(0.8, 1.2);
    path();
    cr->set_source_rgba(0, 0, 0, look.shadow);
    cr->fill();
    cr->restore();
  }
  path();
  cr->set_source(Vertical(y0, y1, look.top, look.bottom));
  cr->fill();

  cr->save();
  path();
  cr->clip();
  if (look.rim_light > 0) {
    path();
    auto rim = Cairo::LinearGradient::create(0, y0, 0, y1);
    rim->add_color_stop_rgba(0, 1, 1, 1, look.rim_light);
    rim->add_color_stop_rgba(1, 1, 1, 1, look.rim_light * 0.15);
    cr->set_source(rim);
    cr->set_line_width(2.6);
    cr->stroke();
  }
  if (look.gloss > 0) {
    double mid = y0 + (y1 - y0) * 0.5;
    auto gloss = Cairo::LinearGradient::create(0, y0, 0, mid);
    gloss->add_color_stop_rgba(0, 1, 1, 1, look.gloss);
    gloss->add_color_stop_rgba(1, 1, 1, 1, look.gloss * 0.1);
    cr->set_source(gloss);
    cr->rectangle(-100, y0 - 1, 400, mid - y0 + 1);
    cr->fill();
  }
  cr->restore();

  path();
  SetColour(cr, look.outline);
  cr->set_line_width(1);
  cr->stroke();
}

// Text in the interface font, `px` pixels high at most, shrunk until it fits `max_width`, with
// its ink centred vertically on `cy` and its left edge at `x` (or centred on `x` when `centre`).
void Text(const Cr& cr, const Glib::ustring& text, double px, double max_width, double x, double cy,
          bool centre, Rgb colour, bool bold = false) {
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
  SetColour(cr, colour);
  layout->show_in_cairo_context(cr);
}

// ---- toolbar ---------------------------------------------------------------------------------

void DrawStop(const Cr& cr) {
  const double cx = 16, cy = 16, r = 14.6;
  auto octagon = [&](double radius) {
    for (int i = 0; i < 8; ++i) {
      double a = kPi / 8 + i * kPi / 4;
      if (i == 0) cr->move_to(cx + radius * std::cos(a), cy + radius * std::sin(a));
      else cr->line_to(cx + radius * std::cos(a), cy + radius * std::sin(a));
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
  const double a0 = -0.28 * kPi;         // tail, upper right
  const double a1 = 1.12 * kPi;          // head, upper left, pointing clockwise
  auto at = [&](double radius, double a) { return std::pair{cx + radius * std::cos(a), cy + radius * std::sin(a)}; };
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
  Paint(cr, [&] { cr->rectangle(21.5, 4.5, 4, 8); }, 4, 12, {Hex(0xc9826a), Hex(0x8e4a35), Hex(0x5a2c1e), 0.2});
  Paint(cr, [&] { cr->rectangle(6.5, 14.5, 19, 15); }, 14, 30, wall);
  Paint(cr, [&] { Polygon(cr, {{1.5, 16.5}, {16, 2.5}, {30.5, 16.5}, {27.5, 16.5}, {16, 6.5}, {4.5, 16.5}}); }, 2,
        17, roof);
  // Door and window.
  Paint(cr, [&] { cr->rectangle(9.5, 19.5, 6, 10); }, 19, 30, {Hex(0xb27a45), Hex(0x6f4420), Hex(0x4a2c12), 0.2, 0});
  cr->arc(14, 25, 0.8, 0, 2 * kPi);
  SetColour(cr, Hex(0xf6d36a));
  cr->fill();
  Paint(cr, [&] { cr->rectangle(18.5, 18.5, 5, 5); }, 18, 24, {Hex(0xcfeaff), Hex(0x4f95d8), Hex(0x2b4f73), 0.5, 0});
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
  Paint(cr, [&] { RoundedRect(cr, tx, ty, tw, th, th / 2); }, ty, ty + th, {tint_top, tint_bottom, tint_rim, 0, 0, 0});
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
  Paint(cr, [&] { cr->begin_new_sub_path(); cr->arc(kx, ky, kr, 0, 2 * kPi); }, ky - kr, ky + kr,
        {Hex(0xffffff), Hex(0xc9ccd2), Hex(0x5b6068), 0.6, 0.3});

  // The label of the mode showing.
  const double lx = tx + tw + 3, lw = w - lx - 3;
  Text(cr, job ? "ジョブ" : "ダイレクト", 13, lw, lx + lw / 2, h / 2, true, job ? Hex(0x123061) : Hex(0x174212), true);
}

// ---- job step buttons --------------------------------------------------------------------------

const Look kNavLook{Hex(0x86bdf2), Hex(0x1f5fb7), Hex(0x123b75), 0.5, 0.18, 0.45};

// A triangle pointing right with its flat side at x0, or pointing left when `left`.
void NavTriangle(const Cr& cr, double x0, double x1, bool left) {
  if (left) Paint(cr, [&] { Polygon(cr, {{x1, 2.5}, {x1, 13.5}, {x0, 8}}); }, 2, 14, kNavLook);
  else Paint(cr, [&] { Polygon(cr, {{x0, 2.5}, {x0, 13.5}, {x1, 8}}); }, 2, 14, kNavLook);
}

void NavBar(const Cr& cr, double x) {
  Paint(cr, [&] { cr->rectangle(x, 2.5, 2.5, 11); }, 2, 14, {kNavLook.top, kNavLook.bottom, kNavLook.outline, 0.3, 0.18, 0});
}

void DrawList(const Cr& cr) {
  Paint(cr, [&] { cr->rectangle(1.5, 1.5, 13, 13); }, 1, 15, {Hex(0xffffff), Hex(0xe3e8ef), Hex(0x56606c), 0, 0.18, 0});
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
    case 1:
      NavTriangle(cr, 3.5, 12.5, true);
      break;
    case 2:
      NavTriangle(cr, 3.5, 12.5, false);
      break;
    case 3:
      NavTriangle(cr, 2.5, 10.5, false);
      NavBar(cr, 11);
      break;
    default:
      DrawList(cr);
      break;
  }
}

// ---- address bar buttons -----------------------------------------------------------------------

void DrawGo(const Cr& cr) {
  cr->save();
  cr->translate(0, 1);
  DrawArrow(cr, false, 16, {kGreenArrow.top, kGreenArrow.bottom, kGreenArrow.outline, 0.45, 0.18, 0.4});
  cr->restore();
  Text(cr, "移動", 12, kGoImageWidth - 19, 19, kGoImageHeight / 2.0, false, Hex(0x17202b), true);
}

const Look kStarLook{Hex(0xfff2a0), Hex(0xe6a318), Hex(0x8a5a06), 0.45, 0.18, 0.4};

void DrawOpenFavorite(const Cr& cr) {
  // A folder whose front flap is open a little, with a star on it.
  Paint(cr, [&] {
    cr->move_to(1.5, 4.5);
    cr->line_to(6.5, 4.5);
    cr->line_to(8, 6);
    cr->line_to(15.5, 6);
    cr->line_to(15.5, 15.5);
    cr->line_to(1.5, 15.5);
    cr->close_path();
  }, 4, 16, {Hex(0xe8c46a), Hex(0xb98a26), Hex(0x7a5510), 0.2, 0.18, 0.3});
  Paint(cr, [&] { Polygon(cr, {{1.5, 15.5}, {3.5, 8.5}, {17.5, 8.5}, {15.5, 15.5}}); }, 8, 16,
        {Hex(0xfde59a), Hex(0xe2b03e), Hex(0x7a5510), 0.4, 0, 0.4});
  Paint(cr, [&] { Star(cr, 9.8, 12.2, 4.6, 1.9); }, 7.5, 16, {Hex(0xfff7d0), Hex(0xf08a10), Hex(0x9b4a04), 0.3, 0, 0});
}

void DrawAddFavorite(const Cr& cr) {
  Paint(cr, [&] { Star(cr, 8, 8.6, 7.8, 3.2); }, 1, 15, kStarLook);
  // The plus badge.
  Paint(cr, [&] { cr->begin_new_sub_path(); cr->arc(13, 13, 4.5, 0, 2 * kPi); }, 8.5, 17.5,
        {Hex(0x8fe070), Hex(0x2b8a1c), Hex(0x17500e), 0.4, 0.2, 0.3});
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
      std::uint32_t pixel = 0xff000000u | (std::uint32_t{channel(236)} << 16) | (std::uint32_t{channel(233)} << 8) |
                            channel(226);
      std::memcpy(p, &pixel, 4);
    }
  }
  surface->mark_dirty();
  return ToPixbuf(surface);
}

// ---- window icon --------------------------------------------------------------------------------

// Drawn on a 48-unit grid and scaled, so that each size of the icon is drawn rather than resampled.
void DrawWindowIcon(const Cr& cr, double size) {
  cr->scale(size / 48.0, size / 48.0);
  const double cx = 21, cy = 21, r = 18.5;
  // The globe.
  cr->arc(cx + 1, cy + 1.5, r, 0, 2 * kPi);
  cr->set_source_rgba(0, 0, 0, 0.2);
  cr->fill();
  auto sea = Cairo::RadialGradient::create(cx - 6, cy - 7, 1, cx, cy, r);
  sea->add_color_stop_rgb(0, 0.78, 0.91, 1.0);
  sea->add_color_stop_rgb(0.55, 0.22, 0.55, 0.88);
  sea->add_color_stop_rgb(1, 0.07, 0.28, 0.58);
  cr->arc(cx, cy, r, 0, 2 * kPi);
  cr->set_source(sea);
  cr->fill();

  cr->save();
  cr->arc(cx, cy, r, 0, 2 * kPi);
  cr->clip();
  // Land: two stylised continents.
  auto land = [&] {
    cr->move_to(cx - 15, cy - 9);
    cr->curve_to(cx - 10, cy - 16, cx - 2, cy - 15, cx - 1, cy - 10);
    cr->curve_to(cx, cy - 5, cx - 6, cy - 4, cx - 5, cy + 1);
    cr->curve_to(cx - 4, cy + 6, cx - 8, cy + 12, cx - 11, cy + 10);
    cr->curve_to(cx - 14, cy + 7, cx - 18, cy - 2, cx - 15, cy - 9);
    cr->close_path();
    cr->move_to(cx + 4, cy - 16);
    cr->curve_to(cx + 10, cy - 18, cx + 17, cy - 10, cx + 15, cy - 4);
    cr->curve_to(cx + 13, cy + 1, cx + 7, cy - 3, cx + 5, cy - 7);
    cr->curve_to(cx + 3, cy - 10, cx + 1, cy - 14, cx + 4, cy - 16);
    cr->close_path();
  };
  land();
  cr->set_source(Vertical(cy - r, cy + r, Hex(0x9ee07a), Hex(0x2f7d22)));
  cr->fill_preserve();
  cr->set_source_rgba(0.08, 0.3, 0.06, 0.7);
  cr->set_line_width(0.8);
  cr->stroke();
  // Meridians and parallels.
  cr->set_source_rgba(1, 1, 1, 0.35);
  cr->set_line_width(0.9);
  for (double k : {0.35, 0.75}) {
    cr->save();
    cr->translate(cx, cy);
    cr->scale(k, 1);
    cr->arc(0, 0, r, 0, 2 * kPi);
    cr->restore();
    cr->stroke();
  }
  cr->move_to(cx, cy - r);
  cr->line_to(cx, cy + r);
  for (double dy : {-10.0, 0.0, 10.0}) {
    cr->move_to(cx - r, cy + dy);
    cr->line_to(cx + r, cy + dy);
  }
  cr->stroke();
  // Light on the upper left.
  auto shine = Cairo::RadialGradient::create(cx - 7, cy - 9, 0, cx - 7, cy - 9, 11);
  shine->add_color_stop_rgba(0, 1, 1, 1, 0.6);
  shine->add_color_stop_rgba(1, 1, 1, 1, 0);
  cr->set_source(shine);
  cr->paint();
  cr->restore();
  cr->arc(cx, cy, r - 0.5, 0, 2 * kPi);
  SetColour(cr, Hex(0x0c3466));
  cr->set_line_width(1);
  cr->stroke();

  // The job sheet: a checklist of steps.
  Paint(cr, [&] { RoundedRect(cr, 24.5, 22.5, 21, 24, 1.5); }, 22, 47,
        {Hex(0xffffff), Hex(0xe1e6ee), Hex(0x4f5966), 0, 0.3, 0});
  for (int i = 0; i < 3; ++i) {
    double y = 28.5 + i * 6;
    bool done = i < 2;
    cr->rectangle(27.5, y - 2, 4, 4);
    SetColour(cr, Hex(0xffffff));
    cr->fill_preserve();
    SetColour(cr, Hex(0x6b7480));
    cr->set_line_width(0.8);
    cr->stroke();
    if (done) {
      cr->move_to(27.8, y - 0.3);
      cr->line_to(29.4, y + 1.6);
      cr->line_to(32.6, y - 3.4);
      SetColour(cr, Hex(0x23901a));
      cr->set_line_width(1.7);
      cr->stroke();
    } else {
      // The step in hand: an arrow pointing at it.
      cr->move_to(25.6, y - 1.6);
      cr->line_to(27.0, y);
      cr->line_to(25.6, y + 1.6);
      SetColour(cr, Hex(0xd2401e));
      cr->set_line_width(1.2);
      cr->stroke();
    }
    cr->rectangle(34, y - 0.8, i == 1 ? 8 : 9.5, 1.6);
    SetColour(cr, done ? Hex(0x9aa4b2) : Hex(0x2f6fc4));
    cr->fill();
  }
}

// ---- job file icon ------------------------------------------------------------------------------

// A sheet with a folded corner holding the job's checklist, and the window icon's globe in its
// lower left corner; drawn on a 48-unit grid like the window icon.
void PaintJobFileIcon(const Cr& cr, double size) {
  cr->scale(size / 48.0, size / 48.0);
  const double left = 8.5, top = 2.5, right = 40.5, bottom = 45.5, fold = 10;
  auto sheet = [&] {
    cr->move_to(left, top);
    cr->line_to(right - fold, top);
    cr->line_to(right, top + fold);
    cr->line_to(right, bottom);
    cr->line_to(left, bottom);
    cr->close_path();
  };
  Paint(cr, sheet, top, bottom, {Hex(0xffffff), Hex(0xdde3ec), Hex(0x4f5966), 0.2, 0.3, 0});
  // The folded corner.
  Polygon(cr, {{right - fold, top}, {right - fold, top + fold}, {right, top + fold}});
  cr->set_source(Vertical(top, top + fold, Hex(0xf4f6fa), Hex(0xb9c2cf)));
  cr->fill_preserve();
  SetColour(cr, Hex(0x4f5966));
  cr->set_line_width(1);
  cr->stroke();
  // The checklist: two steps done, the step in hand marked with an arrow.
  for (int i = 0; i < 4; ++i) {
    const double y = 17.5 + i * 6.5;
    const bool done = i < 2;
    cr->rectangle(13, y - 2.2, 4.4, 4.4);
    SetColour(cr, Hex(0xffffff));
    cr->fill_preserve();
    SetColour(cr, Hex(0x6b7480));
    cr->set_line_width(0.8);
    cr->stroke();
    if (done) {
      cr->move_to(13.3, y - 0.3);
      cr->line_to(15.0, y + 1.7);
      cr->line_to(18.4, y - 3.6);
      SetColour(cr, Hex(0x23901a));
      cr->set_line_width(1.8);
      cr->stroke();
    } else if (i == 2) {
      cr->move_to(10.6, y - 1.8);
      cr->line_to(12.2, y);
      cr->line_to(10.6, y + 1.8);
      SetColour(cr, Hex(0xd2401e));
      cr->set_line_width(1.3);
      cr->stroke();
    }
    cr->rectangle(20, y - 0.9, i % 2 ? 13 : 16, 1.8);
    SetColour(cr, done ? Hex(0x9aa4b2) : Hex(0x2f6fc4));
    cr->fill();
  }
  // Tarvik's globe, small, in the lower right corner of the sheet.
  const double gx = 33, gy = 38, gr = 7.5;
  auto sea = Cairo::RadialGradient::create(gx - 2.5, gy - 3, 0.5, gx, gy, gr);
  sea->add_color_stop_rgb(0, 0.78, 0.91, 1.0);
  sea->add_color_stop_rgb(0.55, 0.22, 0.55, 0.88);
  sea->add_color_stop_rgb(1, 0.07, 0.28, 0.58);
  cr->arc(gx, gy, gr, 0, 2 * kPi);
  cr->set_source(sea);
  cr->fill_preserve();
  SetColour(cr, Hex(0x0c3466));
  cr->set_line_width(0.9);
  cr->stroke();
  cr->save();
  cr->arc(gx, gy, gr, 0, 2 * kPi);
  cr->clip();
  cr->move_to(gx - 6, gy - 3.5);
  cr->curve_to(gx - 3, gy - 7, gx, gy - 5, gx - 1, gy - 1);
  cr->curve_to(gx - 2, gy + 3, gx - 5, gy + 4, gx - 6.5, gy + 1);
  cr->close_path();
  cr->move_to(gx + 2, gy - 6.5);
  cr->curve_to(gx + 6, gy - 6, gx + 7, gy - 1, gx + 5, gy + 1);
  cr->curve_to(gx + 3, gy + 2, gx + 1.5, gy - 3, gx + 2, gy - 6.5);
  cr->close_path();
  cr->set_source(Vertical(gy - gr, gy + gr, Hex(0x9ee07a), Hex(0x2f7d22)));
  cr->fill();
  cr->restore();
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

PictureSize SizeOf(Picture picture) {
  switch (picture) {
    case Picture::kStop: case Picture::kRefresh: case Picture::kHome: case Picture::kBack:
    case Picture::kForward:
      return {kToolbarImageSize, kToolbarImageSize};
    case Picture::kPocketEmpty: case Picture::kPocketFull:
      return {kPocketImageSize, kPocketImageSize};
    case Picture::kModeJob: case Picture::kModeDirect:
      return {kModeImageWidth, kModeImageHeight};
    case Picture::kNavFirst: case Picture::kNavPrevious: case Picture::kNavNext:
    case Picture::kNavLast: case Picture::kNavList:
      return {kNavButtonImageSize, kNavButtonImageSize};
    case Picture::kGo: return {kGoImageWidth, kGoImageHeight};
    case Picture::kOpenFavorite: case Picture::kAddFavorite:
      return {kFavoriteImageSize, kFavoriteImageSize};
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
      case Picture::kNavFirst: case Picture::kNavPrevious: case Picture::kNavNext:
      case Picture::kNavLast: case Picture::kNavList:
        DrawNav(cr, static_cast<int>(picture) - static_cast<int>(Picture::kNavFirst));
        break;
      case Picture::kGo: DrawGo(cr); break;
      case Picture::kOpenFavorite: DrawOpenFavorite(cr); break;
      case Picture::kAddFavorite: DrawAddFavorite(cr); break;
      case Picture::kIcon16: case Picture::kIcon24: case Picture::kIcon32: case Picture::kIcon48:
        DrawWindowIcon(cr, SizeOf(picture).width);
        break;
      case Picture::kPocketCursor: DrawPocketCursor(cr); break;
      case Picture::kCoolBarTile: case Picture::kCount: break;
    }
  });
}

Glib::RefPtr<Gdk::Pixbuf> DrawApplicationIcon(int size) {
  if (size < 1) return {};
  return Draw(size, size, [size](const Cr& cr) { DrawWindowIcon(cr, size); });
}

Glib::RefPtr<Gdk::Pixbuf> DrawJobFileIcon(int size) {
  if (size < 1) return {};
  return Draw(size, size, [size](const Cr& cr) { PaintJobFileIcon(cr, size); });
}

}  // namespace tarvik::builtin
