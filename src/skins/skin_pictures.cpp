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
#include "skins/skin_bitmap.h"
#include "skins/skin_files.h"

namespace tarvik {

Glib::RefPtr<Gdk::Pixbuf> LoadSkinBitmap(const std::string& path, bool masked,
                                         std::int64_t max_pixels) {
  // Read as every other file is: only a regular file, never waiting on a pipe, within a limit.
  const std::optional<std::string> bytes = ReadFileBytes(path, kSkinFileReadLimit);
  if (!bytes) return {};
  Glib::RefPtr<Gdk::Pixbuf> picture;
  if (GdkPixbuf* decoded = DecodeSkinBitmap(*bytes, max_pixels))
    picture = Glib::wrap(decoded, false);
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
