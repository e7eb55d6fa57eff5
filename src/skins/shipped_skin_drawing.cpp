#include "skins/shipped_skin_drawing.h"

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gdkmm/general.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/builtin_drawing.h"
#include "skins/skin_files.h"

namespace tarvik::shipped {

namespace {

using builtin::Picture;
using Cr = Cairo::RefPtr<Cairo::Context>;

constexpr double kPi = 3.14159265358979323846;
constexpr std::uint8_t kMask = 192;

struct Rgb {
  double r, g, b;  // 0..255
};

constexpr Rgb Hex(std::uint32_t v) {
  return {double((v >> 16) & 0xff), double((v >> 8) & 0xff), double(v & 0xff)};
}

// The built-in picture behind file `index` of kSkinFiles: the files after the background follow
// the order of the built-in pictures.
Picture BuiltinFor(std::size_t index) {
  return index == 0 ? Picture::kCoolBarTile : static_cast<Picture>(index - 1);
}

// The mean colour of an opaque picture, as 0xRRGGBB: what the edges of the other pictures are
// laid over, since they sit on that background.
unsigned MeanColour(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  double sum[3] = {0, 0, 0};
  const int n = picture->get_n_channels(), stride = picture->get_rowstride();
  const guint8* pixels = picture->get_pixels();
  for (int y = 0; y < picture->get_height(); ++y)
    for (int x = 0; x < picture->get_width(); ++x)
      for (int c = 0; c < 3; ++c) sum[c] += pixels[y * stride + x * n + c];
  const double count = double(picture->get_width()) * picture->get_height();
  unsigned rgb = 0;
  for (double s : sum) rgb = (rgb << 8) | static_cast<unsigned>(std::lround(s / count));
  return rgb;
}

// ---- Sakura: blossom colours and a background of cherry blossoms ----------------------------

// Every colour of a built-in picture becomes a shade between deep plum and pale blush, after its
// lightness, with a little of its own colour left so that the shapes keep their character.
Rgb Blossom(Rgb c) {
  const double lightness = (0.299 * c.r + 0.587 * c.g + 0.114 * c.b) / 255.0;
  const Rgb dark = Hex(0x4a1a33), mid = Hex(0xd2557f), light = Hex(0xfff2f6);
  auto mix = [](Rgb a, Rgb b, double t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
  };
  const Rgb tone = lightness < 0.55 ? mix(dark, mid, lightness / 0.55)
                                    : mix(mid, light, (lightness - 0.55) / 0.45);
  return mix(tone, c, 0.2);
}

Glib::RefPtr<Gdk::Pixbuf> Recolour(const Glib::RefPtr<Gdk::Pixbuf>& source) {
  auto picture = source->copy();
  const int n = picture->get_n_channels(), stride = picture->get_rowstride();
  guint8* pixels = picture->get_pixels();
  for (int y = 0; y < picture->get_height(); ++y)
    for (int x = 0; x < picture->get_width(); ++x) {
      guint8* p = pixels + y * stride + x * n;
      const Rgb c = Blossom({double(p[0]), double(p[1]), double(p[2])});
      p[0] = static_cast<guint8>(std::clamp(std::lround(c.r), 0L, 255L));
      p[1] = static_cast<guint8>(std::clamp(std::lround(c.g), 0L, 255L));
      p[2] = static_cast<guint8>(std::clamp(std::lround(c.b), 0L, 255L));
    }
  return picture;
}

void Flower(const Cr& cr, double cx, double cy, double r, double turn) {
  // Five petals, each notched at its tip as cherry petals are.
  for (int i = 0; i < 5; ++i) {
    cr->save();
    cr->translate(cx, cy);
    cr->rotate(turn + i * 2 * kPi / 5);
    cr->move_to(0, 0);
    cr->curve_to(-r * 0.55, -r * 0.3, -r * 0.6, -r * 0.95, -r * 0.18, -r);
    cr->line_to(0, -r * 0.82);
    cr->line_to(r * 0.18, -r);
    cr->curve_to(r * 0.6, -r * 0.95, r * 0.55, -r * 0.3, 0, 0);
    cr->close_path();
    auto petal = Cairo::RadialGradient::create(0, 0, 0, 0, 0, r);
    petal->add_color_stop_rgb(0, 0xf0 / 255.0, 0x8f / 255.0, 0xb0 / 255.0);
    petal->add_color_stop_rgb(1, 0xfd / 255.0, 0xdd / 255.0, 0xe7 / 255.0);
    cr->set_source(petal);
    cr->fill_preserve();
    cr->set_source_rgba(0xd0 / 255.0, 0x6a / 255.0, 0x8e / 255.0, 0.55);
    cr->set_line_width(0.6);
    cr->stroke();
    cr->restore();
  }
  cr->arc(cx, cy, r * 0.16, 0, 2 * kPi);
  cr->set_source_rgb(0xf6 / 255.0, 0xd8 / 255.0, 0x6b / 255.0);
  cr->fill();
}

void Petal(const Cr& cr, double cx, double cy, double r, double turn) {
  cr->save();
  cr->translate(cx, cy);
  cr->rotate(turn);
  cr->scale(1.0, 0.6);
  cr->arc(0, 0, r, 0, 2 * kPi);
  cr->restore();
  cr->set_source_rgba(0xf2 / 255.0, 0xa7 / 255.0, 0xc0 / 255.0, 0.8);
  cr->fill();
}

Glib::RefPtr<Gdk::Pixbuf> DrawSakuraTile() {
  constexpr int n = 64;
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, n, n);
  {
    auto cr = Cairo::Context::create(surface);
    cr->set_source_rgb(0xfb / 255.0, 0xe9 / 255.0, 0xef / 255.0);
    cr->paint();
    // Faint diagonal bands whose period divides the tile, so the pattern has no seam.
    cr->set_line_width(3);
    cr->set_source_rgba(1, 1, 1, 0.45);
    for (int k = -n; k <= 2 * n; k += 16) {
      cr->move_to(k, 0);
      cr->line_to(k - n, n);
    }
    cr->stroke();
    // Every shape is drawn again one tile over in each direction, so what leaves one edge comes
    // back at the other.
    for (int dx = -n; dx <= n; dx += n)
      for (int dy = -n; dy <= n; dy += n) {
        Flower(cr, 15 + dx, 17 + dy, 9, 0.2);
        Flower(cr, 47 + dx, 45 + dy, 7.5, 0.9);
        Petal(cr, 44 + dx, 12 + dy, 3.2, 0.6);
        Petal(cr, 12 + dx, 50 + dy, 2.8, -0.4);
        Petal(cr, 30 + dx, 33 + dy, 2.4, 1.3);
      }
  }
  surface->flush();
  return Gdk::Pixbuf::create(surface, 0, 0, n, n);
}

}  // namespace

Glib::RefPtr<Gdk::Pixbuf> FlattenForSkin(const Glib::RefPtr<Gdk::Pixbuf>& picture,
                                         unsigned background) {
  const int w = picture->get_width(), h = picture->get_height();
  auto out = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, w, h);
  const int n = picture->get_n_channels(), in_stride = picture->get_rowstride();
  const bool alpha = picture->get_has_alpha();
  const guint8* in = picture->get_pixels();
  guint8* o = out->get_pixels();
  const int out_stride = out->get_rowstride();
  const int bg[3] = {int((background >> 16) & 0xff), int((background >> 8) & 0xff),
                     int(background & 0xff)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const guint8* p = in + y * in_stride + x * n;
      guint8* q = o + y * out_stride + x * 3;
      const int a = alpha ? p[3] : 255;
      if (a < 128) {
        q[0] = q[1] = q[2] = kMask;
        continue;
      }
      for (int c = 0; c < 3; ++c)
        q[c] = static_cast<guint8>((p[c] * a + bg[c] * (255 - a) + 127) / 255);
      if (q[0] == kMask && q[1] == kMask && q[2] == kMask) q[0] = q[1] = q[2] = kMask + 1;
    }
  return out;
}

std::vector<SkinPicture> DrawShippedSkin(const std::string& name) {
  const bool sakura = name == "Sakura";
  if (!sakura && name != kDefaultSkinName) return {};
  std::vector<SkinPicture> skin;
  const auto tile = sakura ? DrawSakuraTile() : builtin::DrawPicture(Picture::kCoolBarTile);
  const auto opaque_tile = FlattenForSkin(tile, 0);
  const unsigned background = MeanColour(opaque_tile);
  skin.push_back({kSkinFiles[0], opaque_tile});
  for (std::size_t i = 1; i < kSkinFiles.size(); ++i) {
    auto picture = builtin::DrawPicture(BuiltinFor(i));
    if (sakura) picture = Recolour(picture);
    skin.push_back({kSkinFiles[i], FlattenForSkin(picture, background)});
  }
  return skin;
}

}  // namespace tarvik::shipped
