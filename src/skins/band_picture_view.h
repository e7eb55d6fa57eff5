// Shows a band picture's painted background behind its children: the window keeps one of these
// for picBack(0) to picBack(4) and hands the pictures that PaintBandBackgrounds makes to it.
#pragma once

#include <gdkmm/pixbuf.h>
#include <gtkmm/widget.h>
#include <sigc++/connection.h>

namespace tarvik {

class BandPictureView {
 public:
  BandPictureView() = default;
  ~BandPictureView() { detach(); }
  BandPictureView(const BandPictureView&) = delete;
  BandPictureView& operator=(const BandPictureView&) = delete;

  // Draws the picture at the widget's top left before the widget draws its children. Draw
  // handlers connected before this one run first, so a designed look painted by one of them lies
  // under the picture.
  void attach(Gtk::Widget& band);
  void detach();

  // The picture shown until the next call; nullptr shows none (the designed look).
  void set_picture(const Glib::RefPtr<Gdk::Pixbuf>& picture);
  const Glib::RefPtr<Gdk::Pixbuf>& picture() const { return picture_; }

 private:
  Gtk::Widget* band_ = nullptr;
  sigc::connection draw_;
  Glib::RefPtr<Gdk::Pixbuf> picture_;
};

}  // namespace tarvik
