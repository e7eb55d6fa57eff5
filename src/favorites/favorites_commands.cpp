#include "favorites/favorites_commands.h"

#include "favorites/favorites_folder.h"
#include "favorites/shortcut_file.h"
#include "platform/browser_control.h"
#include "platform/dialogs.h"

namespace tarvik {

namespace {

constexpr char kShortcutHasNoUrlMessage[] = "このショートカットにはURLがありません。";
constexpr char kShortcutUnreadableMessage[] = "ショートカットを読み込めませんでした。";
constexpr char kFavoriteNotSavedMessage[] = "お気に入りを保存できませんでした。";

FileDialogOptions FavoriteDialog(const char* title) {
  FileDialogOptions opts;
  opts.title = title;
  opts.filters = ParseFilter(kFavoriteFilter);
  opts.default_extension = kFavoriteExtension;
  opts.initial_folder = FavoritesFolderForUse();
  return opts;
}

}  // namespace

std::optional<std::string> ShortcutURLToOpen(const std::string& path, Gtk::Window* parent) {
  ReadFailure failure = ReadFailure::None;
  auto url = TryReadShortcutURL(path, &failure);
  if (!url) {
    ShowError(parent, failure == ReadFailure::TooLarge
                          ? FileTooLargeMessage(path)
                          : std::string(kShortcutUnreadableMessage) + "\n" + path);
    return std::nullopt;
  }
  if (url->empty()) {
    ShowError(parent, kShortcutHasNoUrlMessage);
    return std::nullopt;
  }
  return url;
}

bool OpenFavorite(Gtk::Window* parent, BrowserControl& browser,
                  const std::function<bool(const std::string&)>& may_open) {
  FileDialogOptions opts = FavoriteDialog(kOpenFavoriteTitle);
  auto path = AppDialogs().OpenFile(parent, opts);
  if (!path) return false;
  auto url = ShortcutURLToOpen(*path, parent);
  if (!url || (may_open && !may_open(*url))) return false;
  browser.Navigate(*url);
  return true;
}

bool AddFavorite(Gtk::Window* parent, BrowserControl& browser) {
  // A shortcut without a URL could never be opened again, so a window showing nothing has
  // nothing to add.
  if (browser.LocationURL().empty()) {
    ShowError(parent, kNoPageToAddMessage);
    return false;
  }
  FileDialogOptions opts = FavoriteDialog(kAddFavoriteTitle);
  opts.file_name = ProposedFavoriteFileName(browser.LocationName()).value_or(std::string());
  opts.confirm_overwrite = true;
  auto path = AppDialogs().SaveFile(parent, opts);
  if (!path) return false;
  // The address is read now: the page may have moved on while the dialog was open.
  std::string url = browser.LocationURL();
  if (url.empty()) {
    ShowError(parent, kNoPageToAddMessage);
    return false;
  }
  if (!WriteShortcut(*path, url)) {
    ShowError(parent, std::string(kFavoriteNotSavedMessage) + "\n" + *path);
    return false;
  }
  return true;
}

bool ChooseFavoritesFolder(Gtk::Window* parent) {
  std::string path = BrowseForFolder(parent, FavoritesFolderForUse());
  if (path.empty()) return false;
  SetFavoritesFolder(path);
  return true;
}

}  // namespace tarvik
