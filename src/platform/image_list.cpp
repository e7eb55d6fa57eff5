#include "platform/image_list.h"

namespace tarvik {

namespace {

constexpr guint8 kMask = 192;

}  // namespace

Glib::RefPtr<Gdk::Pixbuf> WithMaskTransparent(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  if (!picture) return {};
  // A copy with an alpha channel (the picture's own, where it has one) in which the mask
  // colour has none.
  return picture->add_alpha(true, kMask, kMask, kMask);
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
