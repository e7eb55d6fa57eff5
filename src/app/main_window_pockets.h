// The main window's three pockets on the cool bar: the records (browse/pockets.h) shown as the
// pocket pictures, with their tooltips and what a screen reader reads for them.
#pragma once

#include <gtkmm/window.h>

#include "app/main_cool_bar.h"
#include "app/main_status_bar.h"
#include "browse/pockets.h"
#include "platform/browser_control.h"

namespace tarvik {

class MainWindowPockets {
 public:
  // `parent` owns the questions asked before a pocket opens its page; `status` offers to undo
  // the clearing of every pocket.
  MainWindowPockets(MainCoolBar& bar, MainStatusBar& status, Gtk::Window& parent,
                    BrowserControl& browser)
      : bar_(bar), status_(status), parent_(parent), browser_(browser) {}

  // Connects the pocket pictures' button releases and, for a focused pocket, its keys (Enter or
  // Space as a left click, Delete as a right one); once, after the bar is built.
  void Connect();
  // Every pocket picture as its record says: the image "Full" or "Empty" and the tooltip.
  void ShowAll();
  void Clear(int index);
  // Empties every pocket; the status bar offers for a while to bring them back.
  void ClearAll();

  const Pocket& pocket(int index) const { return pockets_.at(static_cast<std::size_t>(index)); }

 private:
  void Show(int index);
  bool OnRelease(int index, GdkEventButton* event);
  // What a release of `button` on pocket `index` does: store, open or empty.
  void Act(int index, MouseButton button);

  MainCoolBar& bar_;
  MainStatusBar& status_;
  Gtk::Window& parent_;
  BrowserControl& browser_;
  Pockets pockets_;
};

}  // namespace tarvik
