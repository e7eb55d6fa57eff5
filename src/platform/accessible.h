// What assistive technologies (screen readers, through AT-SPI) read for a widget. GTK gives a
// widget with a text its name from that text, and a widget's tooltip is its description; a
// control that shows only a picture has neither name nor text, and needs one given here.
#pragma once

#include <functional>
#include <string>

namespace Gtk {
class EventBox;
class Widget;
}  // namespace Gtk

namespace tarvik {

// Sets the widget's accessible name, and its description when `description` is not empty.
void SetAccessibleName(Gtk::Widget& widget, const std::string& name,
                       const std::string& description = {});
std::string AccessibleName(Gtk::Widget& widget);
std::string AccessibleDescription(Gtk::Widget& widget);

// Lets a picture that works by mouse clicks be worked from the keyboard as well: Tab reaches it,
// it shows the focus ring while focused, and a key pressed on it without Ctrl or Alt goes to
// `on_key`, which returns whether it used the key.
void TakeKeyboardFocus(Gtk::EventBox& picture, std::function<bool(unsigned keyval)> on_key);
// Enter (any of its keys) or Space: what activates a focused control.
bool IsActivateKey(unsigned keyval);

}  // namespace tarvik
