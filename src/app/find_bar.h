// The find bar: a strip over the top of the page area with the text to find, next and previous,
// the place among the matches ("3 / 17 件") and a close button. The engine finds and highlights
// (BrowserControl::Find); the bar keeps its text while the window lives.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>

#include "browse/find_in_page.h"
#include "platform/browser_control.h"

namespace tarvik {

class FindBar : public Gtk::Box {
 public:
  explicit FindBar(BrowserControl& browser);

  // Shows the bar with the focus in its text, the text selected, and finds it again.
  void Open();
  // Hides the bar, takes the highlights away and gives the focus back to the page.
  void Close();
  // The next (or previous) match; the bar opens first when it is closed or has no text.
  void Step(bool forward);
  // The page shown has changed: an open bar finds its text in it.
  void PageChanged();
  bool is_open() const { return get_visible(); }

  Gtk::Entry& entry() { return entry_; }
  Gtk::Label& place_label() { return place_; }
  // Shown and hidden with the bar: the window makes room for it.
  sigc::signal<void(bool)>& signal_open_changed() { return open_changed_; }

 private:
  void Search();
  void OnCount(unsigned count);
  bool OnKey(GdkEventKey* event);

  BrowserControl& browser_;
  FindPlace place_of_;
  BrowserControl::FindStep asked_ = BrowserControl::FindStep::First;
  Gtk::Label caption_;
  Gtk::Entry entry_;
  Gtk::Button previous_;
  Gtk::Button next_;
  Gtk::Label place_;
  Gtk::Button close_;
  sigc::signal<void(bool)> open_changed_;
};

}  // namespace tarvik
