#include "platform/desktop_icons.h"

namespace tarvik {

std::string DesktopIconPath(int size, const std::string& context, const std::string& name) {
  const std::string folder =
      size > 0 ? std::to_string(size) + "x" + std::to_string(size) : "scalable";
  return "icons/hicolor/" + folder + "/" + context + "/" + name + (size > 0 ? ".png" : ".svg");
}

}  // namespace tarvik
