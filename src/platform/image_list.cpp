#include "platform/image_list.h"

namespace tarvik {

namespace {

constexpr guint8 kMask = 192;

}  // namespace

Glib::RefPtr<Gdk::Pixbuf> WithMaskTransparent(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  if (!picture) return {};
  // The loader hands us 8-bit RGB or RGBA; anything else is converted through RGBA first.
  Glib::RefPtr<Gdk::Pixbuf> result = picture->get_has_alpha()
                                         ? picture->copy()
                                         : picture->add_alpha(false, 0, 0, 0);
  if (result->get_bits_per_sample() != 8 || result->get_n_channels() != 4) return result;

  const int width = result->get_width();
  const int height = result->get_height();
  const int stride = result->get_rowstride();
  guint8* pixels = result->get_pixels();
  for (int y = 0; y < height; ++y) {
    guint8* p = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x, p += 4) {
      if (p[0] == kMask && p[1] == kMask && p[2] == kMask) p[3] = 0;
    }
  }
  return result;
}

int ImageList::add(const Glib::RefPtr<Gdk::Pixbuf>& picture, const std::string& key) {
  if (!picture) return 0;
  if (!key.empty() && get(key)) return 0;

  // The mask goes first: scaling an already transparent background blends its edge pixels with
  // nothing, whereas scaling first would leave a grey fringe of near-mask colours that no longer
  // match exactly.
  Glib::RefPtr<Gdk::Pixbuf> image = WithMaskTransparent(picture);
  if (image->get_width() != width_ || image->get_height() != height_)
    image = image->scale_simple(width_, height_, Gdk::INTERP_BILINEAR);
  images_.emplace_back(key, image);
  return count();
}

Glib::RefPtr<Gdk::Pixbuf> ImageList::get(int index) const {
  if (index < 1 || index > count()) return {};
  return images_[static_cast<std::size_t>(index - 1)].second;
}

Glib::RefPtr<Gdk::Pixbuf> ImageList::get(const std::string& key) const {
  if (key.empty()) return {};
  for (const auto& [k, image] : images_)
    if (k == key) return image;
  return {};
}

}  // namespace tarvik
