#include "skins/skin_pictures.h"

#include <glibmm/error.h>

#include <functional>
#include <utility>
#include <vector>

#include "platform/image_list.h"
#include "platform/path_util.h"
#include "skins/skin_files.h"

namespace tarvik {

Glib::RefPtr<Gdk::Pixbuf> LoadSkinBitmap(const std::string& path, bool masked) {
  Glib::RefPtr<Gdk::Pixbuf> picture;
  try {
    picture = Gdk::Pixbuf::create_from_file(path);
  } catch (const Glib::Error&) {
    return {};
  }
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
  for (const auto& [name, slot] : order) {
    const auto path = ResolveSkinFile(folder, name);
    const bool background = slot == &p.background;
    if (path) *slot = LoadSkinBitmap(*path, !background);
    if (!*slot) {
      p.unreadable_file = path ? *path : JoinPath(folder, name);
      break;
    }
  }
  return p;
}

}  // namespace tarvik
