// An image list: pictures of one size, addressed by a 1-based index or by a key, with the mask
// colour RGB(192, 192, 192) made transparent when a picture is added.
#pragma once

#include <gdkmm/pixbuf.h>

#include <string>
#include <utility>
#include <vector>

namespace tarvik {

class ImageList {
 public:
  ImageList(int width, int height) : width_(width), height_(height) {}

  int width() const { return width_; }
  int height() const { return height_; }
  int count() const { return static_cast<int>(images_.size()); }

  void clear() { images_.clear(); }
  // Adds a picture (scaled to the list's size when it differs) and returns its 1-based index.
  // A null picture, or a key that another image of the list already has, adds nothing and
  // returns 0. An empty key means the image is reached by its index only.
  int add(const Glib::RefPtr<Gdk::Pixbuf>& picture, const std::string& key = "");
  // nullptr when there is no such image.
  Glib::RefPtr<Gdk::Pixbuf> get(int index) const;
  Glib::RefPtr<Gdk::Pixbuf> get(const std::string& key) const;

 private:
  int width_;
  int height_;
  std::vector<std::pair<std::string, Glib::RefPtr<Gdk::Pixbuf>>> images_;
};

// A copy of `picture` with every pixel of RGB(192, 192, 192) made transparent.
Glib::RefPtr<Gdk::Pixbuf> WithMaskTransparent(const Glib::RefPtr<Gdk::Pixbuf>& picture);

}  // namespace tarvik
