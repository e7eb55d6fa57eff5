// What assistive technologies (screen readers, through AT-SPI) read for a widget. GTK gives a
// widget with a text its name from that text, and a widget's tooltip is its description; a
// control that shows only a picture has neither name nor text, and needs one given here.
#pragma once

#include <string>

namespace Gtk {
class Widget;
}

namespace tarvik {

// Sets the widget's accessible name, and its description when `description` is not empty.
void SetAccessibleName(Gtk::Widget& widget, const std::string& name,
                       const std::string& description = {});
std::string AccessibleName(Gtk::Widget& widget);
std::string AccessibleDescription(Gtk::Widget& widget);

}  // namespace tarvik
