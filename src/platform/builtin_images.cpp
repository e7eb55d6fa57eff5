#include "platform/builtin_images.h"

#include <gdkmm/cursor.h>

#include <array>

#include "platform/builtin_pictures_data.h"

namespace tarvik::builtin {

namespace {

Picture Nth(Picture first, int offset) {
  return static_cast<Picture>(static_cast<int>(first) + offset);
}

// The compiled picture, wrapped once and shared: the pixbuf refers to the compiled pixels
// without copying them.
Glib::RefPtr<Gdk::Pixbuf> Get(Picture picture) {
  static std::array<Glib::RefPtr<Gdk::Pixbuf>, static_cast<std::size_t>(Picture::kCount)> cache;
  auto& entry = cache[static_cast<std::size_t>(picture)];
  if (!entry) {
    const CompiledPicture& p = kCompiledPictures[static_cast<int>(picture)];
    entry = Gdk::Pixbuf::create_from_data(p.rgba, Gdk::COLORSPACE_RGB, true, 8, p.width, p.height,
                                          p.width * 4);
  }
  return entry;
}

// A picture of a numbered set, or nullptr when `index` lies outside [low, low + count).
Glib::RefPtr<Gdk::Pixbuf> FromSet(Picture first, int count, int low, int index) {
  if (index < low || index >= low + count) return {};
  return Get(Nth(first, index - low));
}

}  // namespace

Glib::RefPtr<Gdk::Pixbuf> ToolbarImage(int index) { return FromSet(Picture::kStop, 5, 1, index); }

Glib::RefPtr<Gdk::Pixbuf> PocketImage(bool full) {
  return Get(full ? Picture::kPocketFull : Picture::kPocketEmpty);
}

Glib::RefPtr<Gdk::Pixbuf> ModeImage(int mode) { return FromSet(Picture::kModeJob, 2, 1, mode); }

Glib::RefPtr<Gdk::Pixbuf> NavButtonImage(int index) {
  return FromSet(Picture::kNavFirst, 5, 0, index);
}

Glib::RefPtr<Gdk::Pixbuf> DirButtonImage(int index) { return FromSet(Picture::kGo, 3, 1, index); }

Glib::RefPtr<Gdk::Pixbuf> CoolBarBackground() { return Get(Picture::kCoolBarTile); }

Glib::RefPtr<Gdk::Pixbuf> WindowIcon() { return Get(Picture::kIcon48); }

std::vector<Glib::RefPtr<Gdk::Pixbuf>> WindowIconList() {
  return {Get(Picture::kIcon16), Get(Picture::kIcon24), Get(Picture::kIcon32),
          Get(Picture::kIcon48)};
}

Glib::RefPtr<Gdk::Pixbuf> PocketCursorImage() { return Get(Picture::kPocketCursor); }

Glib::RefPtr<Gdk::Cursor> PocketCursor(const Glib::RefPtr<Gdk::Display>& display) {
  if (!display) return {};
  return Gdk::Cursor::create(display, PocketCursorImage(), kPocketCursorHotX, kPocketCursorHotY);
}

}  // namespace tarvik::builtin
