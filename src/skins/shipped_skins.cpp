#include "skins/shipped_skins.h"

#include <glib.h>

#include "platform/path_util.h"
#include "platform/text_file.h"
#include "skins/shipped_skins_data.h"
#include "skins/skin_files.h"

namespace tarvik {

std::string ShippedSkinFile(const std::string& skin, const std::string& file) {
  for (int i = 0; i < shipped::kCompiledSkinFileCount; ++i) {
    const auto& f = shipped::kCompiledSkinFiles[i];
    if (skin == f.skin && file == f.file)
      return std::string(reinterpret_cast<const char*>(f.bytes), f.size);
  }
  return {};
}

bool InstallShippedSkins(const std::string& app_folder) {
  bool ok = true;
  for (const char* skin : kShippedSkinNames) {
    const std::string folder = SkinFolder(app_folder, skin);
    if (IsSkinFolderComplete(folder)) continue;
    if (g_mkdir_with_parents(folder.c_str(), 0755) != 0) {
      ok = false;
      continue;
    }
    for (const char* file : kSkinFiles) {
      if (ResolveSkinFile(folder, file)) continue;
      const std::string bytes = ShippedSkinFile(skin, file);
      if (bytes.empty() || !WriteFileAtomically(JoinPath(folder, file), bytes)) ok = false;
    }
  }
  return ok;
}

}  // namespace tarvik
