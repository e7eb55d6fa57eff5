#include "skins/bmp_file.h"
#include "skins/skin_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {
namespace {

std::uint32_t U32(const std::string& b, std::size_t at) {
  return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
         std::uint32_t(std::uint8_t(b[at + 2])) << 16 |
         std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}
std::uint16_t U16(const std::string& b, std::size_t at) {
  return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

// A w x h picture whose pixel (x, y) has R = x, G = y, B = 200, with `channels` bytes a pixel and
// rows `extra` bytes longer than needed.
std::vector<std::uint8_t> Pattern(int w, int h, int channels, int extra) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>((w * channels + extra) * h), 0xee);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* q = &p[static_cast<std::size_t>(y * (w * channels + extra) + x * channels)];
      q[0] = std::uint8_t(x);
      q[1] = std::uint8_t(y);
      q[2] = 200;
    }
  return p;
}

TEST(EncodeBmp24, HeadersDescribeAnUncompressedBottomUpPicture) {
  auto pixels = Pattern(5, 3, 3, 0);
  const std::string b = EncodeBmp24(5, 3, pixels.data(), 15, 3);
  const std::uint32_t row = 16;  // 15 bytes of pixels padded to 16
  ASSERT_EQ(b.size(), 14u + 40u + row * 3);
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(U32(b, 2), b.size());
  EXPECT_EQ(U32(b, 10), 54u);  // pixel data offset
  EXPECT_EQ(U32(b, 14), 40u);  // BITMAPINFOHEADER
  EXPECT_EQ(U32(b, 18), 5u);
  EXPECT_EQ(U32(b, 22), 3u);  // positive: bottom-up
  EXPECT_EQ(U16(b, 26), 1u);
  EXPECT_EQ(U16(b, 28), 24u);
  EXPECT_EQ(U32(b, 30), 0u);  // BI_RGB
  EXPECT_EQ(U32(b, 34), row * 3);
}

TEST(EncodeBmp24, RowsRunBottomUpInBlueGreenRedWithPadding) {
  for (int w : {1, 2, 3, 4, 5, 7}) {
    for (int channels : {3, 4}) {
      const int h = 3, extra = 2, stride = w * channels + extra;
      auto pixels = Pattern(w, h, channels, extra);
      const std::string b = EncodeBmp24(w, h, pixels.data(), stride, channels);
      const std::size_t row = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
      ASSERT_EQ(b.size(), 54 + row * h) << w;
      for (int file_row = 0; file_row < h; ++file_row) {
        const int y = h - 1 - file_row;
        for (int x = 0; x < w; ++x) {
          const std::size_t at = 54 + file_row * row + static_cast<std::size_t>(x) * 3;
          EXPECT_EQ(std::uint8_t(b[at]), 200) << w << " " << x << "," << y;
          EXPECT_EQ(std::uint8_t(b[at + 1]), y);
          EXPECT_EQ(std::uint8_t(b[at + 2]), x);
        }
        for (std::size_t pad = static_cast<std::size_t>(w) * 3; pad < row; ++pad)
          EXPECT_EQ(b[54 + file_row * row + pad], '\0') << "padding, width " << w;
      }
    }
  }
}

TEST(EncodeBmp24, NothingForAnEmptyPictureOrTooFewChannels) {
  auto pixels = Pattern(2, 2, 3, 0);
  EXPECT_TRUE(EncodeBmp24(0, 2, pixels.data(), 6, 3).empty());
  EXPECT_TRUE(EncodeBmp24(2, 0, pixels.data(), 6, 3).empty());
  EXPECT_TRUE(EncodeBmp24(2, 2, pixels.data(), 6, 2).empty());
  EXPECT_TRUE(EncodeBmp24(2, 2, nullptr, 6, 3).empty());
}

// The skin reader reads what the writer writes, and refuses, before the loader sees them, the
// bitmaps that would make it allocate more than the file could fill.
TEST(SkinBitmap, ReadsAWrittenBitmapAndRefusesImpossibleHeaders) {
  const std::vector<std::uint8_t> pixels = {192, 192, 192, 0, 0, 255, 0, 255, 0, 1, 2, 3};
  const std::string bmp = EncodeBmp24(2, 2, pixels.data(), 6, 3);
  GdkPixbuf* picture = DecodeSkinBitmap(bmp, 4);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(picture), 2);
  g_object_unref(picture);
  EXPECT_EQ(DecodeSkinBitmap(bmp, 3), nullptr) << "over the budget of pixels";
  EXPECT_FALSE(BitmapEndsEarly(bmp));

  std::string long_header = bmp;  // a header of 2,275,475,496 bytes in a 70-byte file
  long_header[16] = '\xA1';
  long_header[17] = '\x87';
  EXPECT_TRUE(BitmapEndsEarly(long_header));
  EXPECT_EQ(DecodeSkinBitmap(long_header, 4), nullptr);
  std::string many_colours = bmp;  // a colour table of 4,294,905,602 colours
  many_colours.replace(46, 4, std::string("\x02\x0F\xFF\xFF", 4));
  EXPECT_TRUE(BitmapEndsEarly(many_colours));
  std::string huge = bmp;  // 2^31 x 2^31 pixels of 32 bits: no number holds their size
  for (int at : {18, 22}) huge.replace(at, 4, std::string("\x00\x00\x00\x80", 4));
  huge[28] = 32;
  EXPECT_TRUE(BitmapEndsEarly(huge));
}

}  // namespace
}  // namespace tarvik
