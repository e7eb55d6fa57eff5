#include "skins/skin_bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace tarvik {

namespace {

std::uint32_t Little(const std::string& b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace

bool BitmapEndsEarly(const std::string& bytes) {
  if (bytes.size() < 26 || bytes.compare(0, 2, "BM") != 0) return false;
  const std::uint32_t offset = Little(bytes, 10, 4), header = Little(bytes, 14, 4);
  // The loader makes room for the header and the colour table before it decodes a pixel: when
  // they claim more than the file holds, that is gigabytes for a file of a few bytes.
  if (header > bytes.size() - 14) return true;
  if (header >= 40 && bytes.size() >= 50) {
    const std::uint64_t colours = Little(bytes, 46, 4);
    if (14 + header + colours * 4 > bytes.size()) return true;
  }
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
  const std::int64_t rows = std::llabs(height);
  // Rows that no file could hold (and whose size would not fit in a number) end early too.
  if (row > 0 && rows > (std::numeric_limits<std::int64_t>::max() - offset) / row) return true;
  return static_cast<std::int64_t>(bytes.size()) < offset + row * rows;
}

GdkPixbuf* DecodeSkinBitmap(const std::string& bytes, std::int64_t max_pixels) {
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
  if (picture) g_object_ref(picture);
  g_object_unref(loader);
  return picture;
}

}  // namespace tarvik
