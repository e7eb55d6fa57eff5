// What a main window offers to have a skin applied to it. frmMain implements this; ApplySkin and
// PaintBandBackgrounds work against it and never see the window's widgets.
#pragma once

#include <gdkmm/pixbuf.h>

#include "platform/image_list.h"
#include "skins/band_painting.h"

namespace tarvik {

class SkinnedWindow {
 public:
  // The image lists: toolbar 32 x 32, pockets 32 x 32 ("Empty", "Full"), mode pictures 75 x 25.
  virtual ImageList& imlToolbar() = 0;
  virtual ImageList& imlPocket() = 0;
  virtual ImageList& imlMethod() = 0;

  // imlToolbar was refilled: show its images 1, 2, 3, 4 and 5 on the toolbar buttons 1, 2, 3, 5
  // and 6 (button 4 is the spacer).
  virtual void ShowToolbarImages() = 0;

  // Pockets 0 to 2: whether one is full, and the picture to show on picPocket(index).
  virtual bool PocketFull(int index) const = 0;
  virtual void SetPocketPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) = 0;

  // The operating mode (1 job mode, 2 direct mode) and the picture of picMode; nullptr clears it.
  virtual int OperatingMode() const = 0;
  virtual void SetModePicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) = 0;

  // The picture of cmdNav(index), index 0 to 4.
  virtual void SetNavButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) = 0;
  // The picture of the address bar button `index`: 1 cmdMove, 2 cmdOpFav, 3 cmdSvFav.
  virtual void SetDirButtonPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) = 0;

  // The background picture of the cool bar clbComm, tiled from the bar's origin.
  virtual void SetCoolBarPicture(const Glib::RefPtr<Gdk::Pixbuf>& picture) = 0;

  // The window's twips per pixel, horizontal and vertical.
  virtual int TwipsPerPixelX() const = 0;
  virtual int TwipsPerPixelY() const = 0;
  // Band picture picBack(index), index 0 to 4: its Left and Top in its container (twips) and its
  // size (pixels). For 3 and 4 only the size is used; they take picBack(2)'s position.
  virtual BandPlacement BandPicturePlacement(int index) const = 0;
  // The picture that band picture picBack(index) shows behind its children, kept until the next
  // call; nullptr shows none.
  virtual void SetBandPicture(int index, const Glib::RefPtr<Gdk::Pixbuf>& picture) = 0;

  virtual ~SkinnedWindow() = default;
};

}  // namespace tarvik
