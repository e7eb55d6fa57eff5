// The favorites commands of the main window: open a favorite, add the page to the favorites,
// choose the favorites folder. Each runs modally over `parent` and reports failures itself.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace Gtk {
class Window;
}

namespace tarvik {

class BrowserControl;

// The favorites dialog (cdlFav); the job editor opens favorites with the same filter.
inline constexpr char kOpenFavoriteTitle[] = "お気に入りを開く";
inline constexpr char kAddFavoriteTitle[] = "お気に入りに追加する";
inline constexpr char kFavoriteFilter[] = "お気に入り(*.url)|*.url";
inline constexpr char kFavoriteExtension[] = "url";
// A window that shows no page has nothing to add (to the favorites, or to a job).
inline constexpr char kNoPageToAddMessage[] = "お気に入りに追加するページがありません。";

// The URL to open for the Internet Shortcut at `path`. When the file cannot be read or holds
// no URL, tells the user so (caption "エラー") and returns nothing; the caller then navigates
// nowhere. Used by OpenFavorite and by the "/u" start.
std::optional<std::string> ShortcutURLToOpen(const std::string& path, Gtk::Window* parent);

// mnuOpFav / cmdOpFav: asks for a ".url" file in the favorites folder and navigates `browser`
// to its URL, when `may_open` (if given) agrees to the URL. Cancelling does nothing. Returns true
// when it navigated.
bool OpenFavorite(Gtk::Window* parent, BrowserControl& browser,
                  const std::function<bool(const std::string&)>& may_open = {});

// mnuAddFav / cmdSvFav: asks where to save the page, proposing its title as the file name in
// the favorites folder, and writes a shortcut to the page's URL there. Cancelling does nothing;
// a window without an address, or a file that cannot be written, is reported and changes
// nothing. Returns true when a file was written.
bool AddFavorite(Gtk::Window* parent, BrowserControl& browser);

// mnuFavPath: lets the user pick the favorites folder and, unless cancelled, makes it the
// process's favorites folder and stores it. Returns true when the folder changed.
bool ChooseFavoritesFolder(Gtk::Window* parent);

}  // namespace tarvik
