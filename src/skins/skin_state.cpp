#include "skins/skin_state.h"

namespace tarvik {

std::string& CurrentSkinName() {
  static std::string name;
  return name;
}

}  // namespace tarvik
