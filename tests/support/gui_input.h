// Mouse clicks and key presses sent through GTK's event dispatch, as the window system's events
// go: a window's accelerators see a key before its focused widget does.
#pragma once

namespace Gtk {
class Widget;
class Window;
}  // namespace Gtk

namespace tarvik::test {

// Presses and releases mouse button `button` over the middle of `widget`.
void ClickOn(Gtk::Widget& widget, unsigned button);
// Presses `keyval` with the modifier `state` in `window`.
void PressKey(Gtk::Window& window, unsigned keyval, unsigned state = 0);

}  // namespace tarvik::test
