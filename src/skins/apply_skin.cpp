#include "skins/apply_skin.h"

#include <glib.h>

#include "platform/app_folder.h"
#include "platform/dialogs.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"
#include "skins/band_tiling.h"
#include "skins/skin_files.h"
#include "skins/skin_pictures.h"
#include "skins/skin_state.h"

namespace tarvik {

namespace {

void ApplyToolbarImages(SkinnedWindow& window, const SkinPictures& p) {
  window.imlToolbar().clear();
  for (const auto& image : p.toolbar) window.imlToolbar().add(image);
  window.ShowToolbarImages();
}

void ApplyPocketImages(SkinnedWindow& window, const SkinPictures& p) {
  ImageList& list = window.imlPocket();
  list.clear();
  list.add(p.pocket_empty, "Empty");
  list.add(p.pocket_full, "Full");
  for (int i = 0; i < 3; ++i)
    window.SetPocketPicture(i, list.get(window.PocketFull(i) ? "Full" : "Empty"));
}

void ApplyModeImages(SkinnedWindow& window, const SkinPictures& p) {
  window.SetModePicture({});
  ImageList& list = window.imlMethod();
  list.clear();
  list.add(p.mode[0]);
  list.add(p.mode[1]);
  window.SetModePicture(list.get(window.OperatingMode()));
}

// Reads every picture of the skin first and changes the window only when all of them were read:
// a skin is applied whole or not at all.
bool ApplyWhole(SkinnedWindow& window, const std::string& folder, ApplySkinResult& result) {
  const SkinPictures p = LoadSkinPictures(folder);
  result.unreadable_file = p.unreadable_file;
  if (!p.complete()) return false;
  ApplyToolbarImages(window, p);
  ApplyPocketImages(window, p);
  ApplyModeImages(window, p);
  for (int i = 0; i < 5; ++i) window.SetNavButtonPicture(i, p.nav[static_cast<std::size_t>(i)]);
  for (int i = 1; i <= 3; ++i)
    window.SetDirButtonPicture(i, p.dir[static_cast<std::size_t>(i - 1)]);
  window.SetCoolBarPicture(p.background);
  PaintBandBackgrounds(window, p.background);
  return true;
}

}  // namespace

std::string ApplySkinResult::message() const {
  return "スキンのファイルを読み込めませんでした。\n" + unreadable_file;
}

std::string ApplySkinResult::caption() const { return kErrorCaption; }

ApplySkinResult ApplySkin(SkinnedWindow& window, SettingsStore& settings,
                          const std::string& app_folder) {
  const SkinToApply decision = DecideSkinToApply(settings, app_folder);
  ApplySkinResult result;
  result.kind = decision.kind;
  if (decision.kind != SkinToApply::Kind::kApply) return result;

  if (ApplyWhole(window, decision.folder, result)) {
    CurrentSkinName() = decision.name;
  } else {
    // Told once: a stored skin that is refused is dropped, as a missing one is.
    settings.Save(setting::kSkin.section, setting::kSkin.key, "");
  }
  return result;
}

ApplySkinResult ApplyChosenSkin(SkinnedWindow& window, SettingsStore& settings,
                                const std::string& app_folder, const std::string& name) {
  ApplySkinResult result;
  const std::string folder = SkinFolder(app_folder, name);
  if (!IsSkinFolderComplete(folder) || !g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) {
    // Only the "default" entry is taken unchecked; without its folder it leaves no skin set.
    settings.Save(setting::kSkin.section, setting::kSkin.key, "");
    result.kind = SkinToApply::Kind::kSettingCleared;
    return result;
  }
  result.kind = SkinToApply::Kind::kApply;
  if (!ApplyWhole(window, folder, result)) return result;
  CurrentSkinName() = name;
  settings.Save(setting::kSkin.section, setting::kSkin.key, name);
  return result;
}

ApplySkinResult ApplySkin(SkinnedWindow& window) {
  return ApplySkin(window, UserSettings(), ApplicationFolder());
}

void PaintBandBackgrounds(SkinnedWindow& window, const Glib::RefPtr<Gdk::Pixbuf>& tile) {
  if (!tile || tile->get_width() <= 0 || tile->get_height() <= 0) return;
  const int tx = window.TwipsPerPixelX(), ty = window.TwipsPerPixelY();
  if (tx <= 0 || ty <= 0) return;
  for (int i = 0; i < 5; ++i) {
    BandPlacement band = window.BandPicturePlacement(i);
    const BandPlacement reference = window.BandPicturePlacement(BandPatternReference(i));
    band.left_twips = reference.left_twips;
    band.top_twips = reference.top_twips;
    window.SetBandPicture(i, PaintBandBackground(tile, band, tx, ty));
  }
}

bool PaintBandBackgrounds(SkinnedWindow& window, const std::string& app_folder) {
  const std::string name = CurrentSkinName();
  if (name.empty()) return false;
  const auto path = ResolveSkinFile(SkinFolder(app_folder, name), "ClbBack.bmp");
  if (!path) return false;
  const auto tile = LoadSkinBitmap(*path, false);
  if (!tile) return false;
  PaintBandBackgrounds(window, tile);
  return true;
}

bool PaintBandBackgrounds(SkinnedWindow& window) {
  return PaintBandBackgrounds(window, ApplicationFolder());
}

}  // namespace tarvik
