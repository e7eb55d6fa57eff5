// Writing Windows bitmap files, the format skins are made of: 24 bits a pixel, uncompressed
// (BI_RGB), rows bottom-up, each row padded to a multiple of 4 bytes.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// The file's bytes for a `width` x `height` picture whose pixel (x, y) is the R, G, B bytes at
// `pixels` + y * `stride` + x * `channels` (a fourth channel, if any, is ignored). Empty when a
// size is not positive or `channels` is less than 3.
std::string EncodeBmp24(int width, int height, const std::uint8_t* pixels, int stride,
                        int channels);

}  // namespace tarvik
