#include "skins/skin_pictures.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "platform/image_list.h"
#include "platform/path_util.h"
#include "platform/text_file.h"
#include "skins/skin_files.h"

namespace tarvik {

namespace {

std::uint32_t Little(const std::string& b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

// Whether `bytes` are an uncompressed Windows bitmap whose pixel rows end before the last one.
// The loader fills the missing rows with black and reports success.
bool BitmapEndsEarly(const std::string& bytes) {
  if (bytes.size() < 26 || bytes.compare(0, 2, "BM") != 0) return false;
  const std::uint32_t offset = Little(bytes, 10, 4), header = Little(bytes, 14, 4);
  std::int64_t width = 0, height = 0;
  std::uint32_t bits = 0, compression = 0;
  if (header == 12) {  // the OS/2 header
    width = Little(bytes, 18, 2);
    height = Little(bytes, 20, 2);
    bits = Little(bytes, 24, 2);
  } else {
    if (bytes.size() < 34) return true;
    width = static_cast<std::int32_t>(Little(bytes, 18, 4));
    height = static_cast<std::int32_t>(Little(bytes, 22, 4));
    bits = Little(bytes, 28, 2);
    compression = Little(bytes, 30, 4);
  }
  // Run-length data has no length to check against; its reader refuses a picture that ends early.
  constexpr std::uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
  if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields)
    return false;
  const std::int64_t row = (std::llabs(width) * bits + 31) / 32 * 4;
  return static_cast<std::int64_t>(bytes.size()) < offset + row * std::llabs(height);
}

// The pixels of `bytes` as a picture, or nullptr when they are not one or it would be larger
// than `max_pixels`. A compressed bitmap of a few megabytes can unpack to gigabytes; its size is
// known once the header is read, and then nothing more is allocated or decoded.
Glib::RefPtr<Gdk::Pixbuf> DecodeBitmap(const std::string& bytes, std::int64_t max_pixels) {
  if (BitmapEndsEarly(bytes)) return {};
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  struct Limit {
    std::int64_t max_pixels;
    bool too_large = false;
  } limit{max_pixels};
  g_signal_connect(loader, "size-prepared",
                   G_CALLBACK(+[](GdkPixbufLoader* l, int width, int height, gpointer data) {
                     auto* limit = static_cast<Limit*>(data);
                     if (std::int64_t{width} * height <= limit->max_pixels) return;
                     limit->too_large = true;
                     // A size of 0 × 0 stops the loader before it makes room for the pixels.
                     gdk_pixbuf_loader_set_size(l, 0, 0);
                   }),
                   &limit);
  constexpr std::size_t kChunk = 64 * 1024;
  bool ok = true;
  for (std::size_t at = 0; ok && !limit.too_large && at < bytes.size(); at += kChunk) {
    const std::size_t n = std::min(kChunk, bytes.size() - at);
    ok = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data() + at), n,
                                 nullptr);
  }
  // Closing also finishes a picture whose last bytes the loader still held back.
  ok = gdk_pixbuf_loader_close(loader, nullptr) && ok && !limit.too_large;
  GdkPixbuf* picture = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  Glib::RefPtr<Gdk::Pixbuf> result;
  if (picture) result = Glib::wrap(picture, true);
  g_object_unref(loader);
  return result;
}

}  // namespace

Glib::RefPtr<Gdk::Pixbuf> LoadSkinBitmap(const std::string& path, bool masked,
                                         std::int64_t max_pixels) {
  // Read as every other file is: only a regular file, never waiting on a pipe, within a limit.
  const std::optional<std::string> bytes = ReadFileBytes(path, kSkinFileReadLimit);
  if (!bytes) return {};
  const Glib::RefPtr<Gdk::Pixbuf> picture = DecodeBitmap(*bytes, max_pixels);
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
  std::int64_t budget = kSkinPixelBudget;
  for (const auto& [name, slot] : order) {
    const auto path = ResolveSkinFile(folder, name);
    const bool background = slot == &p.background;
    if (path) *slot = LoadSkinBitmap(*path, !background, budget);
    if (!*slot) {
      p.unreadable_file = path ? *path : JoinPath(folder, name);
      break;
    }
    budget -= std::int64_t{(*slot)->get_width()} * (*slot)->get_height();
  }
  return p;
}

}  // namespace tarvik
