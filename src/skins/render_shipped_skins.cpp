// Run by the build: draws the shipped skins and writes their bitmap files as a C++ table of bytes
// (shipped_skins_data.h) to the file named by its argument.

#include <iostream>
#include <sstream>

#include "platform/builtin_drawing.h"
#include "platform/generated_source.h"
#include "skins/bmp_file.h"
#include "skins/shipped_skin_drawing.h"
#include "skins/shipped_skins.h"

int main(int argc, char** argv) {
  return tarvik::generated::GenerateSource(
      argc, argv, "render_shipped_skins", "skins/shipped_skins_data.h", "tarvik::shipped",
      [](std::ostream& out) {
        tarvik::builtin::InitDrawing();
        std::ostringstream table;
        int count = 0;
        for (const char* skin : tarvik::kShippedSkinNames) {
          const auto pictures = tarvik::shipped::DrawShippedSkin(skin);
          if (pictures.size() != 18) {
            std::cerr << "render_shipped_skins: skin " << skin << " was not drawn\n";
            return false;
          }
          for (const auto& [file, picture] : pictures) {
            const std::string bytes = tarvik::EncodeBmp24(
                picture->get_width(), picture->get_height(), picture->get_pixels(),
                picture->get_rowstride(), picture->get_n_channels());
            if (bytes.empty()) {
              std::cerr << "render_shipped_skins: " << skin << "/" << file << " was not encoded\n";
              return false;
            }
            tarvik::generated::WriteByteArray(out, "kFile" + std::to_string(count), bytes);
            table << "    {\"" << skin << "\", \"" << file << "\", kFile" << count << ", "
                  << bytes.size() << "},\n";
            ++count;
          }
        }
        out << "\n}  // namespace\n\nconst CompiledSkinFile kCompiledSkinFiles[] = {\n"
            << table.str() << "};\nconst int kCompiledSkinFileCount = " << count << ";\n";
        return true;
      });
}
