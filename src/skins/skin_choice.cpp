#include "skins/skin_choice.h"

#include <glib.h>

#include "platform/settings_keys.h"
#include "platform/settings_store.h"
#include "skins/skin_files.h"
#include "skins/skin_state.h"

namespace tarvik {

SkinToApply DecideSkinToApply(SettingsStore& settings, const std::string& app_folder) {
  const std::string name = settings.Get(setting::kSkin.section, setting::kSkin.key, "");
  if (name.empty()) {
    CurrentSkinName().clear();
    return {};
  }
  const std::string folder = SkinFolder(app_folder, name);
  const bool complete = IsSkinFolderComplete(folder);
  if (!complete || !g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) {
    settings.Save(setting::kSkin.section, setting::kSkin.key, "");
    return {SkinToApply::Kind::kSettingCleared, name, folder};
  }
  return {SkinToApply::Kind::kApply, name, folder};
}

SkinSelection SelectSkin(const std::string& app_folder, int index,
                         const std::string& item_caption) {
  const std::string skins = SkinsFolder(app_folder);
  if (!g_file_test(skins.c_str(), G_FILE_TEST_IS_DIR)) g_mkdir_with_parents(skins.c_str(), 0755);

  std::string name;
  if (index == 0) {
    name = kDefaultSkinName;
  } else {
    const std::string folder = SkinFolder(app_folder, item_caption);
    // An empty caption, "." or ".." would name the Skins folder or its parent, and "a/b" a folder
    // further down; none of them is an entry of the menu.
    if (item_caption.empty() || item_caption == "." || item_caption == ".." ||
        item_caption.find('/') != std::string::npos || !IsSkinFolderComplete(folder))
      return {false, "", kInvalidSkinMessage, kInvalidSkinCaption};
    // The folder's own name. Taking the text after a "\" as well, as for Windows paths, would cut
    // a Linux folder name that holds one and store the name of a folder that does not exist.
    name = item_caption;
  }
  return {true, name, "", ""};
}

}  // namespace tarvik
