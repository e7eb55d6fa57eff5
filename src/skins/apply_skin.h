// Applying a skin to a main window, and painting the cool bar's band backgrounds.
#pragma once

#include <gdkmm/pixbuf.h>

#include <string>

#include "skins/skin_choice.h"
#include "skins/skinned_window.h"

namespace tarvik {

class SettingsStore;

struct ApplySkinResult {
  SkinToApply::Kind kind = SkinToApply::Kind::kNone;
  // A skin file that exists but could not be read as a picture (its data ends early, it is past
  // the skin's pixel budget, or it vanished since the check): nothing on the window changed.
  std::string unreadable_file;

  bool failed() const { return !unreadable_file.empty(); }
  // The message and caption to show for a failure, with the stop icon.
  std::string message() const;
  std::string caption() const;
};

// Applies the skin that the "Skin" setting names to `window`: its toolbar, pocket and mode
// images, the pictures of the job step and address bar buttons, the cool bar's background, and
// the band backgrounds, all of them or none. An empty setting changes nothing; a missing or
// incomplete folder, or a skin with a file that cannot be read, empties the setting and changes
// nothing. Other windows are not touched.
ApplySkinResult ApplySkin(SkinnedWindow& window, SettingsStore& settings,
                          const std::string& app_folder);

// Applies the skin `name` that the user chose in the skin menu (SelectSkin), and only once it
// applied whole makes it current and stores it in the "Skin" setting. A skin that fails leaves
// the window, the setting and CurrentSkinName() as they were.
ApplySkinResult ApplyChosenSkin(SkinnedWindow& window, SettingsStore& settings,
                                const std::string& app_folder, const std::string& name);

// The same for the user's settings store and the application folder: what a main window calls at
// start-up and after a choice in the skin menu.
ApplySkinResult ApplySkin(SkinnedWindow& window);

// Paints all five band pictures of `window` with `tile`, each continuing the cool bar's pattern.
// A null or empty tile leaves the band pictures as they are.
void PaintBandBackgrounds(SkinnedWindow& window, const Glib::RefPtr<Gdk::Pixbuf>& tile);

// The same with the background of the skin CurrentSkinName() names, for the band pictures'
// resize handler. Does nothing when no skin is current, or when its background is missing or
// cannot be read. Returns whether it painted.
bool PaintBandBackgrounds(SkinnedWindow& window, const std::string& app_folder);
// The same in the application folder.
bool PaintBandBackgrounds(SkinnedWindow& window);

}  // namespace tarvik
