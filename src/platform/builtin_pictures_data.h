// The built-in pictures as the build drew them (see builtin_drawing.h). The table is generated.
#pragma once

#include "platform/builtin_drawing.h"

namespace tarvik::builtin {

struct CompiledPicture {
  int width;
  int height;
  const unsigned char* rgba;  // width * height * 4 bytes, rows without padding
};

extern const CompiledPicture kCompiledPictures[static_cast<int>(Picture::kCount)];

}  // namespace tarvik::builtin
