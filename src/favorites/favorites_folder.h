// The favorites folder: one folder for the whole process, shared by all main windows. It is the
// initial folder of the favorites file dialogs (here and in the job editor) and of the folder
// picker.
#pragma once

#include <string>

namespace tarvik {

// The "FavoritesPath" value while no folder was chosen (setting::kFavoritesPath).
inline constexpr char kFavoritesPathNotDefined[] = "NOT DEFINED";

// The desktop's own favorites folder: ~/Favorites.
std::string SystemFavoritesFolder();
// Points SystemFavoritesFolder() elsewhere (tests); "" restores ~/Favorites.
void OverrideSystemFavoritesFolder(const std::string& path);

// The folder a stored "FavoritesPath" value stands for: the value itself, or `system_folder`
// when it is exactly "NOT DEFINED" (case matters).
std::string FavoritesFolderFromSetting(const std::string& setting,
                                       const std::string& system_folder);

// Start-up: reads "FavoritesPath" (absent counts as "NOT DEFINED"), makes the result the
// process's favorites folder and returns it. The system folder is not written to the settings,
// so it is looked up again at every start until the user chooses a folder.
std::string ResolveFavoritesFolder();

// The process's favorites folder ("" before ResolveFavoritesFolder).
const std::string& FavoritesFolder();
// Makes `path` the favorites folder and stores it as "FavoritesPath".
void SetFavoritesFolder(const std::string& path);

// The favorites folder for a dialog that is about to open on it. When it is the system folder
// and does not exist yet, it is created first; a folder the user chose is never created.
std::string FavoritesFolderForUse();

}  // namespace tarvik
