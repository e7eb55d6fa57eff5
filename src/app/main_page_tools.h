// What the main window does with the page shown beyond going places: finding text in it (through
// the find bar), its zoom per site, printing it and saving it. The window wires keys, menu rows
// and the browser's events here; this keeps no reference into the window's state.
#pragma once

#include <string>

namespace Gtk {
class Window;
}

namespace tarvik {

class BrowserControl;
class FindBar;
class MainStatusBar;

class MainPageTools {
 public:
  // Each page's zoom, from the levels of the sites (browse/site_zoom.h).
  static double ZoomOf(const std::string& url);
  // Gives `browser` each page's zoom from the sites' levels.
  MainPageTools(Gtk::Window& window, BrowserControl& browser, MainStatusBar& status,
                FindBar& find_bar);

  // Find: the bar opens with its text selected; F3 and Shift+F3 step through the matches.
  void OpenFind();
  void FindNext();
  void FindPrevious();

  // Zoom of the page shown and of every page of its site: a step larger (+1) or smaller (-1),
  // or back to 100 %.
  void ZoomStep(int direction);
  void ZoomReset();
  // A page has come to be shown: the status bar shows its zoom, the find bar looks in it.
  void PageShown(const std::string& url);

  void Print();
  // Asks where the page goes, and in which form (by the file's extension), and saves it.
  void SavePage();

 private:
  void SetZoom(int percent);

  Gtk::Window& window_;
  BrowserControl& browser_;
  MainStatusBar& status_;
  FindBar& find_bar_;
};

}  // namespace tarvik
