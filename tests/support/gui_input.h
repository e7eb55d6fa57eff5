// Mouse clicks and key presses sent through GTK's event dispatch, as the window system's events
// go: a window's accelerators see a key before its focused widget does.
#pragma once

#include <string>

namespace Gtk {
class Widget;
class Window;
}  // namespace Gtk

namespace tarvik::test {

// Presses and releases mouse button `button` over the middle of `widget`.
void ClickOn(Gtk::Widget& widget, unsigned button);
// Presses `keyval` with the modifier `state` in `window`.
void PressKey(Gtk::Window& window, unsigned keyval, unsigned state = 0);
// Hands `payload` to `target` as a drop of type `mime`, through the widget's own
// "drag-data-received" handler. The selection data comes from a private selection owned by this
// process, so it is the same kind of object a real drop delivers.
void DropOnto(Gtk::Widget& target, const std::string& mime, const std::string& payload);

}  // namespace tarvik::test
