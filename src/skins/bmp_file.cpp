#include "skins/bmp_file.h"

namespace tarvik {

namespace {

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xff));
  out.push_back(static_cast<char>((v >> 8) & 0xff));
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

}  // namespace

std::string EncodeBmp24(int width, int height, const std::uint8_t* pixels, int stride,
                        int channels) {
  if (width <= 0 || height <= 0 || channels < 3 || !pixels) return {};
  constexpr std::uint32_t kFileHeader = 14, kInfoHeader = 40;
  const std::uint32_t row = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t image = row * static_cast<std::uint32_t>(height);
  std::string out;
  out.reserve(kFileHeader + kInfoHeader + image);
  // BITMAPFILEHEADER
  out += "BM";
  Put32(out, kFileHeader + kInfoHeader + image);
  Put32(out, 0);
  Put32(out, kFileHeader + kInfoHeader);
  // BITMAPINFOHEADER: a positive height means the rows run bottom-up.
  Put32(out, kInfoHeader);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);   // planes
  Put16(out, 24);  // bits a pixel
  Put32(out, 0);   // BI_RGB
  Put32(out, image);
  Put32(out, 3780);  // 96 dpi as pixels a metre
  Put32(out, 3780);
  Put32(out, 0);  // colours used
  Put32(out, 0);  // colours important
  for (int y = height - 1; y >= 0; --y) {
    const std::uint8_t* p = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x, p += channels) {
      out.push_back(static_cast<char>(p[2]));  // stored as B, G, R
      out.push_back(static_cast<char>(p[1]));
      out.push_back(static_cast<char>(p[0]));
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < row; ++pad)
      out.push_back('\0');
  }
  return out;
}

}  // namespace tarvik
