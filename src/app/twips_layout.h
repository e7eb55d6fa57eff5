// Controls placed as designed: each control's place in twips, remembered, and applied in pixels
// inside its Gtk::Fixed or Gtk::Layout parent.
#pragma once

#include <gtkmm/widget.h>

#include <map>
#include <optional>
#include <utility>

#include "app/main_window_design.h"

namespace tarvik {

class TwipsLayout {
 public:
  TwipsLayout(int tx, int ty) : tx_(tx), ty_(ty) {}
  // A change of resolution applies to the places set after it.
  void SetTwipsPerPixel(int tx, int ty) {
    tx_ = tx;
    ty_ = ty;
  }

  void Place(Gtk::Widget& w, float left, float top, float width, float height);
  void Place(Gtk::Widget& w, const design::Rect& r) { Place(w, r.left, r.top, r.width, r.height); }
  void SetWidth(Gtk::Widget& w, float width);
  void SetLeft(Gtk::Widget& w, float left);
  // A band `pixels` high over the top of `w`'s place: `w` is shown below it and `band` in it,
  // while `w`'s place in twips stays as set. A band of 0 pixels, or none, takes it away.
  void SetTopBand(Gtk::Widget& w, Gtk::Widget* band, int pixels);
  // `w` fills its parent from its top left corner, `size` pixels large, whatever its place in
  // twips (full screen); nothing puts it back at its place.
  void Fill(Gtk::Widget& w, std::optional<std::pair<int, int>> size);
  // The control's place as last set, or all zero for a control never placed.
  const design::Rect& Geometry(const Gtk::Widget& w) const;
  int tx() const { return tx_; }
  int ty() const { return ty_; }

 private:
  int tx_;
  int ty_;
  void Apply(Gtk::Widget& w);
  std::map<const Gtk::Widget*, design::Rect> geometry_;
  std::map<const Gtk::Widget*, std::pair<Gtk::Widget*, int>> bands_;
  std::map<const Gtk::Widget*, std::pair<int, int>> filled_;
};

}  // namespace tarvik
