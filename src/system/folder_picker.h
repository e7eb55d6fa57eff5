// The folder picker that the favorites-folder command and the favorites-folder import open.
#pragma once

#include <string>

namespace Gtk {
class Window;
}

namespace tarvik {

inline constexpr char kBrowseForFolderTitle[] = "「お気に入り」フォルダを選択してください。";

// Shows the modal folder picker over `parent`, opened on `initial_folder` (callers pass the
// favorites folder, FavoritesFolderForUse() of favorites/favorites_folder.h). Only existing
// folders can be confirmed. Returns the chosen folder's full path, or "" when the user cancels;
// a missing or empty initial folder leaves the picker at its default place.
std::string BrowseForFolder(Gtk::Window* parent, const std::string& initial_folder);

}  // namespace tarvik
