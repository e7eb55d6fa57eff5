// Run by the build: draws every built-in picture and writes their pixels as C++ source (the
// tables that builtin_pictures_data.h declares) to the file named by its argument.

#include <iostream>
#include <sstream>

#include "platform/builtin_drawing.h"
#include "platform/generated_source.h"

using tarvik::builtin::DrawPicture;
using tarvik::builtin::Picture;

int main(int argc, char** argv) {
  return tarvik::generated::GenerateSource(
      argc, argv, "render_builtin_pictures", "platform/builtin_pictures_data.h", "tarvik::builtin",
      [](std::ostream& out) {
        tarvik::builtin::InitDrawing();
        const int count = static_cast<int>(Picture::kCount);
        std::ostringstream table;
        for (int i = 0; i < count; ++i) {
          auto pixbuf = DrawPicture(static_cast<Picture>(i));
          if (!pixbuf) {
            std::cerr << "render_builtin_pictures: picture " << i << " was not drawn\n";
            return false;
          }
          if (!pixbuf->get_has_alpha()) pixbuf = pixbuf->add_alpha(false, 0, 0, 0);
          const int w = pixbuf->get_width(), h = pixbuf->get_height();
          const int stride = pixbuf->get_rowstride();
          const guint8* pixels = pixbuf->get_pixels();
          std::string rgba;  // the rows without their padding
          for (int y = 0; y < h; ++y)
            rgba.append(
                reinterpret_cast<const char*>(pixels) + static_cast<std::ptrdiff_t>(y) * stride,
                static_cast<std::size_t>(w) * 4);
          tarvik::generated::WriteByteArray(out, "kPixels" + std::to_string(i), rgba,
                                            static_cast<std::size_t>(w) * 4);
          table << "    {" << w << ", " << h << ", kPixels" << i << "},\n";
        }
        out << "\n}  // namespace\n\nconst CompiledPicture kCompiledPictures[" << count << "] = {\n"
            << table.str() << "};\n";
        return true;
      });
}
