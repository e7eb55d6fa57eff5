// The small pieces every built-in drawing is made of: colours, the common lit look, a few shapes
// and the off-screen surface a picture is drawn on. Only the drawing files include this.
#pragma once

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdkmm/pixbuf.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>

namespace tarvik::builtin::kit {

using Cr = Cairo::RefPtr<Cairo::Context>;
using Path = std::function<void()>;

inline constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  double r, g, b;
};

constexpr Rgb Hex(std::uint32_t v) {
  return {((v >> 16) & 0xff) / 255.0, ((v >> 8) & 0xff) / 255.0, (v & 0xff) / 255.0};
}

inline void SetColour(const Cr& cr, Rgb c, double alpha = 1.0) {
  cr->set_source_rgba(c.r, c.g, c.b, alpha);
}

inline Cairo::RefPtr<Cairo::LinearGradient> Vertical(double y0, double y1, Rgb top, Rgb bottom) {
  auto g = Cairo::LinearGradient::create(0, y0, 0, y1);
  g->add_color_stop_rgb(0, top.r, top.g, top.b);
  g->add_color_stop_rgb(1, bottom.r, bottom.g, bottom.b);
  return g;
}

// A skin bitmap marks its background with RGB(192, 192, 192), and the image lists cut that colour
// out. Anti-aliasing can land on it by chance, so such pixels are moved one step lighter.
inline void AvoidMaskColour(const Glib::RefPtr<Gdk::Pixbuf>& pixbuf) {
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

inline Glib::RefPtr<Gdk::Pixbuf> ToPixbuf(const Cairo::RefPtr<Cairo::ImageSurface>& surface) {
  surface->flush();
  auto pixbuf = Gdk::Pixbuf::create(surface, 0, 0, surface->get_width(), surface->get_height());
  AvoidMaskColour(pixbuf);
  return pixbuf;
}

inline Glib::RefPtr<Gdk::Pixbuf> Draw(int width, int height,
                                      const std::function<void(const Cr&)>& paint) {
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

inline void RoundedRect(const Cr& cr, double x, double y, double w, double h, double r) {
  cr->begin_new_sub_path();
  cr->arc(x + w - r, y + r, r, -kPi / 2, 0);
  cr->arc(x + w - r, y + h - r, r, 0, kPi / 2);
  cr->arc(x + r, y + h - r, r, kPi / 2, kPi);
  cr->arc(x + r, y + r, r, kPi, 3 * kPi / 2);
  cr->close_path();
}

inline void Polygon(const Cr& cr, std::initializer_list<std::pair<double, double>> points) {
  bool first = true;
  for (auto [x, y] : points) {
    if (first)
      cr->move_to(x, y);
    else
      cr->line_to(x, y);
    first = false;
  }
  cr->close_path();
}

struct Look {
  Rgb top;               // fill at the upper edge
  Rgb bottom;            // fill at the lower edge
  Rgb outline;           // the 1-px rim
  double gloss = 0.45;   // strength of the light on the upper half
  double shadow = 0.22;  // opacity of the drop shadow, 0 for none
  double rim_light = 0.5;
};

// Fills the shape that `path` traces the way every Tarvik picture is lit: a soft shadow down and to
// the right, a vertical gradient, a light inner rim, a gloss on the upper half and a darker
// outline.
inline void Paint(const Cr& cr, const Path& path, double y0, double y1, const Look& look) {
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

// The window icon, also drawn for the desktop (builtin_icons_drawing.cpp).
void DrawWindowIcon(const Cr& cr, double size);

}  // namespace tarvik::builtin::kit
