#include "app/twips_layout.h"

#include <gtkmm/fixed.h>
#include <gtkmm/layout.h>

#include "app/layout_rules.h"

#include <algorithm>

namespace tarvik {

namespace {

void Put(Gtk::Widget& w, int left, int top, int width, int height) {
  w.set_size_request(width, height);
  if (auto* fixed = dynamic_cast<Gtk::Fixed*>(w.get_parent()))
    fixed->move(w, left, top);
  else if (auto* layout = dynamic_cast<Gtk::Layout*>(w.get_parent()))
    layout->move(w, left, top);
}

}  // namespace

void TwipsLayout::Place(Gtk::Widget& w, float left, float top, float width, float height) {
  geometry_[&w] = {left, top, width, height};
  Apply(w);
}

void TwipsLayout::Apply(Gtk::Widget& w) {
  const design::Rect r = Geometry(w);
  if (auto fill = filled_.find(&w); fill != filled_.end())
    return Put(w, 0, 0, fill->second.first, fill->second.second);
  int left = ToPixels(r.left, tx_), top = ToPixels(r.top, ty_);
  int width = ToPixels(r.width, tx_), height = ToPixels(r.height, ty_);
  if (auto band = bands_.find(&w); band != bands_.end()) {
    const int pixels = std::min(band->second.second, std::max(0, height - 1));
    Put(*band->second.first, left, top, width, pixels);
    top += pixels;
    height -= pixels;
  }
  Put(w, left, top, width, height);
}

void TwipsLayout::SetTopBand(Gtk::Widget& w, Gtk::Widget* band, int pixels) {
  if (band && pixels > 0)
    bands_[&w] = {band, pixels};
  else
    bands_.erase(&w);
  Apply(w);
}

void TwipsLayout::Fill(Gtk::Widget& w, std::optional<std::pair<int, int>> size) {
  if (size)
    filled_[&w] = *size;
  else
    filled_.erase(&w);
  Apply(w);
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
