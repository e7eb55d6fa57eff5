// What the main window asks of the window system: whether it reports a window's position, and
// whether an editing key belongs to the text field that has the focus rather than to the menus.
#pragma once

#include <gdkmm/display.h>
#include <gtkmm/window.h>

#include "app/layout_rules.h"

namespace tarvik {

// False on Wayland, which keeps a window's place on the screen from the program: GTK reports a
// made-up position there, which must not replace the stored one.
bool ReportsWindowPosition(const Glib::RefPtr<Gdk::Display>& display);

// The menu shortcuts belong to the whole window, and GTK gives a window's shortcuts the key before
// the focused control. Where the user types (a text field of `window`, or a field of the page when
// `page_field_focused`), Ctrl+C, X, V, A and Z go to the field first; returns true when it used the
// key. A key the field leaves unused still reaches the menu.
bool GiveEditingKeyToField(Gtk::Window& window, GdkEventKey* event, bool page_field_focused);

// `window` (pixels) moved where needed to show on the display's monitors, within the primary
// monitor's work area (KeepOnScreen).
ScreenRect KeepOnDisplay(const Glib::RefPtr<Gdk::Display>& display, const ScreenRect& window);

}  // namespace tarvik
