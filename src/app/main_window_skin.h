// The main window as a skin sees it (skins/skinned_window.h): its image lists, pictures and band
// pictures, the band backgrounds kept in step with the bands' sizes, and the skin menu.
#pragma once

#include <gtkmm/menu.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <array>
#include <memory>
#include <string>

#include "app/main_cool_bar.h"
#include "app/main_window_pockets.h"
#include "app/twips_layout.h"
#include "skins/band_picture_view.h"
#include "skins/skin_menu.h"
#include "skins/skinned_window.h"

namespace tarvik {

class MainWindowSkin : public SkinnedWindow {
 public:
  // The mode is the one the bar's mode picture shows; the twips per pixel are the layout's.
  MainWindowSkin(Gtk::Window& window, MainCoolBar& bar, const MainWindowPockets& pockets,
                 const TwipsLayout& layout)
      : window_(window), bar_(bar), pockets_(pockets), layout_(layout) {}
  ~MainWindowSkin() override { repaint_.disconnect(); }

  // Attaches the band pictures' views and their resize handling; once, after the bar is built.
  void Connect();
  // Applies the skin the settings name; a skin file that cannot be read is reported.
  void Apply();
  // The Settings menu opens: the skin items after "ﾃﾞﾌｫﾙﾄ(&D)" as the Skins folder holds them now.
  void RebuildMenu(Gtk::Menu& skin_menu);
  // Skin menu item `index` (0 the default skin) with its caption was chosen.
  void Select(int index, const std::string& caption);
  SkinMenuItems* menu_items() { return menu_items_.get(); }
  // What band picture picBack(index) shows; nullptr for the designed look.
  const Glib::RefPtr<Gdk::Pixbuf>& band_picture(int index) const { return views_[index].picture(); }

  // SkinnedWindow.
  ImageList& imlToolbar() override { return bar_.imlToolbar(); }
  ImageList& imlPocket() override { return bar_.imlPocket(); }
  ImageList& imlMethod() override { return bar_.imlMethod(); }
  void ShowToolbarImages() override { bar_.ShowToolbarImages(); }
  bool PocketFull(int index) const override { return pockets_.pocket(index).full; }
  void SetPocketPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  int OperatingMode() const override { return ModeNumber(bar_.shown_mode()); }
  void SetModePicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  void SetNavButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  void SetDirButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  void SetCoolBarPicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  int TwipsPerPixelX() const override { return layout_.tx(); }
  int TwipsPerPixelY() const override { return layout_.ty(); }
  BandPlacement BandPicturePlacement(int index) const override;
  void SetBandPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) override;

 private:
  void OnBandAllocated(int index, const Gtk::Allocation& allocation);

  Gtk::Window& window_;
  MainCoolBar& bar_;
  const MainWindowPockets& pockets_;
  const TwipsLayout& layout_;
  std::array<BandPictureView, 5> views_;
  std::array<Gdk::Rectangle, 5> allocations_;
  sigc::connection repaint_;
  std::unique_ptr<SkinMenuItems> menu_items_;
};

}  // namespace tarvik
