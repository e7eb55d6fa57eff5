// The shipped skins' bitmap files as the build drew them (see shipped_skin_drawing.h). The table
// is generated.
#pragma once

namespace tarvik::shipped {

struct CompiledSkinFile {
  const char* skin;
  const char* file;
  const unsigned char* bytes;
  unsigned size;
};

extern const CompiledSkinFile kCompiledSkinFiles[];
extern const int kCompiledSkinFileCount;

}  // namespace tarvik::shipped
