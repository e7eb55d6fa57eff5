// A small real window that takes skins the way the main window does: image lists, pockets, mode
// picture, buttons, a bar with a background picture, and band pictures placed on the bar.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/fixed.h>
#include <gtkmm/image.h>
#include <gtkmm/window.h>

#include <array>

#include "skins/band_picture_view.h"
#include "skins/skinned_window.h"

namespace tarvik::test {

// The bar: its picture tiled from its origin behind its children, and a plain designed colour
// without one.
class BarBox : public Gtk::Fixed {
 public:
  Glib::RefPtr<Gdk::Pixbuf> picture;

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
};

// A band picture as the main window has one: a box painted in its designed colour, with the
// band's picture shown over that by a BandPictureView.
struct Band {
  Gtk::Fixed box;
  BandPictureView view;
  int pictures_set = 0;  // how often a picture (or none) was given
};

class SkinsTestWindow : public Gtk::Window, public SkinnedWindow {
 public:
  static constexpr int kTwips = 15;
  // The bar's size and the band pictures' places in it, in pixels.
  static constexpr int kBarWidth = 420, kBarHeight = 130;
  struct Place {
    int left, top, width, height;
  };
  static constexpr std::array<Place, 5> kBands = {{
      {37, 5, 70, 40},    // picBack(0), the pockets
      {130, 11, 50, 45},  // picBack(1), the mode picture
      {5, 70, 400, 50},   // picBack(2), band 4
      {0, 0, 260, 40},    // picBack(3), the job bar, at picBack(2)'s origin
      {0, 0, 400, 50},    // picBack(4), the address bar, hidden
  }};

  SkinsTestWindow();

  // SkinnedWindow.
  ImageList& imlToolbar() override { return toolbar_list; }
  ImageList& imlPocket() override { return pocket_list; }
  ImageList& imlMethod() override { return mode_list; }
  void ShowToolbarImages() override;
  bool PocketFull(int index) const override {
    return pockets_full[static_cast<std::size_t>(index)];
  }
  void SetPocketPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  int OperatingMode() const override { return mode; }
  void SetModePicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  void SetNavButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  void SetDirButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  void SetCoolBarPicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) override;
  int TwipsPerPixelX() const override { return kTwips; }
  int TwipsPerPixelY() const override { return kTwips; }
  BandPlacement BandPicturePlacement(int index) const override;
  void SetBandPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) override;

  ImageList toolbar_list{32, 32};
  ImageList pocket_list{32, 32};
  ImageList mode_list{75, 25};
  std::array<Gtk::Image, 5> toolbar_images;  // toolbar buttons 1, 2, 3, 5, 6
  std::array<Gtk::Image, 3> pocket_images;
  std::array<bool, 3> pockets_full{false, false, false};
  Gtk::Image mode_image;
  int mode = 1;
  std::array<Gtk::Image, 5> nav_images;
  std::array<Gtk::Image, 3> dir_images;
  BarBox bar;
  std::array<Band, 5> bands;
  int mode_pictures_set = 0;
};

}  // namespace tarvik::test
