#include "favorites/favorites_folder.h"

#include <glib.h>

#include "platform/settings_keys.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

std::string g_favorites_folder;        // the process's favorites folder
std::string g_system_folder_override;  // set by tests

}  // namespace

std::string SystemFavoritesFolder() {
  if (!g_system_folder_override.empty()) return g_system_folder_override;
  gchar* p = g_build_filename(g_get_home_dir(), "Favorites", nullptr);
  std::string path(p);
  g_free(p);
  return path;
}

void OverrideSystemFavoritesFolder(const std::string& path) { g_system_folder_override = path; }

std::string FavoritesFolderFromSetting(const std::string& setting,
                                       const std::string& system_folder) {
  return setting == kFavoritesPathNotDefined ? system_folder : setting;
}

std::string ResolveFavoritesFolder() {
  std::string setting = GetSetting(setting::kFavoritesPath);
  g_favorites_folder = FavoritesFolderFromSetting(setting, SystemFavoritesFolder());
  return g_favorites_folder;
}

const std::string& FavoritesFolder() { return g_favorites_folder; }

void SetFavoritesFolder(const std::string& path) {
  g_favorites_folder = path;
  SaveSetting(setting::kFavoritesPath, path);
}

std::string FavoritesFolderForUse() {
  if (!g_favorites_folder.empty() && g_favorites_folder == SystemFavoritesFolder() &&
      !DirectoryExists(g_favorites_folder))
    g_mkdir_with_parents(g_favorites_folder.c_str(), 0700);
  return g_favorites_folder;
}

}  // namespace tarvik
