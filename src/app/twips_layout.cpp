#include "app/twips_layout.h"

#include <gtkmm/fixed.h>
#include <gtkmm/layout.h>

#include "app/layout_rules.h"

namespace tarvik {

void TwipsLayout::Place(Gtk::Widget& w, float left, float top, float width, float height) {
  geometry_[&w] = {left, top, width, height};
  w.set_size_request(ToPixels(width, tx_), ToPixels(height, ty_));
  if (auto* fixed = dynamic_cast<Gtk::Fixed*>(w.get_parent()))
    fixed->move(w, ToPixels(left, tx_), ToPixels(top, ty_));
  else if (auto* layout = dynamic_cast<Gtk::Layout*>(w.get_parent()))
    layout->move(w, ToPixels(left, tx_), ToPixels(top, ty_));
}

const design::Rect& TwipsLayout::Geometry(const Gtk::Widget& w) const {
  static const design::Rect kNone{0, 0, 0, 0};
  auto it = geometry_.find(&w);
  return it == geometry_.end() ? kNone : it->second;
}

void TwipsLayout::SetWidth(Gtk::Widget& w, float width) {
  const design::Rect r = Geometry(w);
  Place(w, r.left, r.top, width, r.height);
}

void TwipsLayout::SetLeft(Gtk::Widget& w, float left) {
  const design::Rect r = Geometry(w);
  Place(w, left, r.top, r.width, r.height);
}

}  // namespace tarvik
