#include "skins/skin_pictures.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/image_list.h"
#include "platform/path_util.h"
#include "platform/text_file.h"
#include "skins/skin_files.h"

namespace tarvik {

namespace {

// The pixels of `bytes` as a picture, or nullptr when they are not one or it would be larger
// than kMaxSkinBitmapPixels. A compressed bitmap of a few megabytes can unpack to gigabytes; its
// size is known once the header is read, and then nothing more is allocated or decoded.
Glib::RefPtr<Gdk::Pixbuf> DecodeBitmap(const std::string& bytes) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  bool too_large = false;
  g_signal_connect(loader, "size-prepared",
                   G_CALLBACK(+[](GdkPixbufLoader* l, int width, int height, gpointer flag) {
                     if (std::int64_t{width} * height <= kMaxSkinBitmapPixels) return;
                     *static_cast<bool*>(flag) = true;
                     // A size of 0 × 0 stops the loader before it makes room for the pixels.
                     gdk_pixbuf_loader_set_size(l, 0, 0);
                   }),
                   &too_large);
  constexpr std::size_t kChunk = 64 * 1024;
  bool ok = true;
  for (std::size_t at = 0; ok && !too_large && at < bytes.size(); at += kChunk) {
    const std::size_t n = std::min(kChunk, bytes.size() - at);
    ok = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data() + at), n,
                                 nullptr);
  }
  // Closing also finishes a picture whose last bytes the loader still held back.
  ok = gdk_pixbuf_loader_close(loader, nullptr) && ok && !too_large;
  GdkPixbuf* picture = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  Glib::RefPtr<Gdk::Pixbuf> result;
  if (picture) result = Glib::wrap(picture, true);
  g_object_unref(loader);
  return result;
}

}  // namespace

Glib::RefPtr<Gdk::Pixbuf> LoadSkinBitmap(const std::string& path, bool masked) {
  // Read as every other file is: only a regular file, never waiting on a pipe, within a limit.
  const std::optional<std::string> bytes = ReadFileBytes(path, kSkinFileReadLimit);
  if (!bytes) return {};
  const Glib::RefPtr<Gdk::Pixbuf> picture = DecodeBitmap(*bytes);
  if (!picture || picture->get_width() <= 0 || picture->get_height() <= 0) return {};
  return masked ? WithMaskTransparent(picture) : picture;
}

SkinPictures LoadSkinPictures(const std::string& folder) {
  SkinPictures p;
  using Slot = std::pair<const char*, Glib::RefPtr<Gdk::Pixbuf>*>;
  const std::vector<Slot> order = {
      {"TlbIcon1.bmp", &p.toolbar[0]},  {"TlbIcon2.bmp", &p.toolbar[1]},
      {"TlbIcon3.bmp", &p.toolbar[2]},  {"TlbIcon4.bmp", &p.toolbar[3]},
      {"TlbIcon5.bmp", &p.toolbar[4]},  {"PktIcon0.bmp", &p.pocket_empty},
      {"PktIcon1.bmp", &p.pocket_full}, {"OprBtnJ.bmp", &p.mode[0]},
      {"OprBtnD.bmp", &p.mode[1]},      {"NavBtn1.bmp", &p.nav[0]},
      {"NavBtn2.bmp", &p.nav[1]},       {"NavBtn3.bmp", &p.nav[2]},
      {"NavBtn4.bmp", &p.nav[3]},       {"NavBtn5.bmp", &p.nav[4]},
      {"DirBtn1.bmp", &p.dir[0]},       {"DirBtn2.bmp", &p.dir[1]},
      {"DirBtn3.bmp", &p.dir[2]},       {"ClbBack.bmp", &p.background},
  };
  for (const auto& [name, slot] : order) {
    const auto path = ResolveSkinFile(folder, name);
    const bool background = slot == &p.background;
    if (path) *slot = LoadSkinBitmap(*path, !background);
    if (!*slot) {
      p.unreadable_file = path ? *path : JoinPath(folder, name);
      break;
    }
  }
  return p;
}

}  // namespace tarvik
