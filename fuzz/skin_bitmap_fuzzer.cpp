// Feeds arbitrary bytes to the skin bitmap reader, as a skin folder's files reach it: whatever
// it gives is a whole picture within the budget of pixels, and a bitmap that ends early gives
// nothing.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "skins/skin_bitmap.h"

namespace {

using tarvik::fuzz::Check;

// Small, so that the fuzzer also meets pictures over the budget.
constexpr std::int64_t kBudget = 64 * 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const bool ends_early = tarvik::BitmapEndsEarly(bytes);
  GdkPixbuf* picture = tarvik::DecodeSkinBitmap(bytes, kBudget);
  if (!picture) return 0;
  Check(!ends_early, "a bitmap that ends early gives no picture");
  const int width = gdk_pixbuf_get_width(picture), height = gdk_pixbuf_get_height(picture);
  Check(width > 0 && height > 0, "a picture has pixels");
  Check(std::int64_t{width} * height <= kBudget, "a picture keeps within the budget");
  // Every row is there to be read, as the mask and the band painting read them.
  const int stride = gdk_pixbuf_get_rowstride(picture);
  const int channels = gdk_pixbuf_get_n_channels(picture);
  const guint8* pixels = gdk_pixbuf_read_pixels(picture);
  unsigned sum = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width * channels; ++x) sum += pixels[std::size_t(y) * stride + x];
  Check(gdk_pixbuf_get_byte_length(picture) >=
            std::size_t(height - 1) * stride + std::size_t(width) * channels,
        "the rows fit the picture's bytes");
  g_object_unref(picture);
  return static_cast<int>(sum & 0);
}
