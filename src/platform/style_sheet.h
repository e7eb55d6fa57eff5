// Style sheets of Tarvik's windows, added to the screen once per process.
#pragma once

#include <gtkmm/cssprovider.h>
#include <gtkmm/stylecontext.h>

#include <set>
#include <string>

namespace tarvik {

// Adds `css` for every widget of the screen the first time it is asked for. A sheet at the
// fallback priority gives way to the theme.
inline void InstallStyleSheet(const char* css,
                              guint priority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION) {
  static std::set<std::string> installed;
  if (!installed.insert(css).second) return;
  auto provider = Gtk::CssProvider::create();
  provider->load_from_data(css);
  Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), provider, priority);
}

}  // namespace tarvik
