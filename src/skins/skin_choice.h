// Which skin a window applies, and what choosing an entry of the skin menu does. Both read and
// write the "Skin" setting and the process-wide CurrentSkinName(); neither touches a window.
#pragma once

#include <string>

namespace tarvik {

class SettingsStore;

inline constexpr const char* kInvalidSkinMessage = "スキンデータが無効です。";
inline constexpr const char* kInvalidSkinCaption = "エラー";

struct SkinToApply {
  enum class Kind {
    kNone,  // the setting is empty: CurrentSkinName() emptied, the window keeps its images
    kSettingCleared,  // the named folder is missing or incomplete: the setting emptied, nothing
                      // shown
    kApply,           // load the skin in `folder`; it becomes current once it applied
  };
  Kind kind = Kind::kNone;
  std::string name;
  std::string folder;
};

// The decision at the start of ApplySkin, with its effects on the setting and CurrentSkinName().
// When the setting is cleared, CurrentSkinName() keeps its value; the band painting then finds no
// background in that folder and leaves the band pictures alone.
SkinToApply DecideSkinToApply(SettingsStore& settings, const std::string& app_folder);

struct SkinSelection {
  bool accepted = false;  // true: apply the skin `name`; it is stored once it applied
  std::string name;
  std::string message;  // when refused: the message to show, with the stop icon
  std::string caption;
};

// The skin menu's item `index` was chosen; `item_caption` is its caption (items 1 and up are the
// entries of ListSkinMenuEntries). Item 0 is the "default" skin and is taken without a check;
// another is taken only when its folder is complete. Makes the Skins folder when it is missing.
// Stores nothing: a skin that cannot be applied must not come back at the next start.
SkinSelection SelectSkin(const std::string& app_folder, int index, const std::string& item_caption);

}  // namespace tarvik
