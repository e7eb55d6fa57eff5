// What assistive technologies (screen readers, through AT-SPI) read for a widget. GTK gives a
// widget with a text its name from that text, and a widget's tooltip is its description; a
// control that shows only a picture has neither name nor text, and needs one given here.
#pragma once

#include <gtkmm/eventbox.h>
#include <sigc++/trackable.h>

#include <functional>
#include <string>

namespace Gtk {
class Widget;
}  // namespace Gtk

namespace tarvik {

// Sets the widget's accessible name, and its description when `description` is not empty.
void SetAccessibleName(Gtk::Widget& widget, const std::string& name,
                       const std::string& description = {});
std::string AccessibleName(Gtk::Widget& widget);
std::string AccessibleDescription(Gtk::Widget& widget);

// A picture that works as a switch (a pocket that holds a page or not, the mode picture): read as
// a toggle button, pressed while `checked`; its "click" action is a left click.
class PictureSwitch : public Gtk::EventBox {
 public:
  PictureSwitch();
  void set_checked(bool checked);
  bool checked() const { return checked_; }
  // What the "click" action of the accessibility bus does.
  void set_on_click(std::function<void()> on_click) { on_click_ = std::move(on_click); }
  void Click() const;

 private:
  bool checked_ = false;
  std::function<void()> on_click_;
};

// Lets a picture that works by mouse clicks be worked from the keyboard as well: Tab reaches it,
// it shows the focus ring while focused, and a key pressed on it without Ctrl or Alt goes to
// `on_key`, which returns whether it used the key.
void TakeKeyboardFocus(Gtk::EventBox& picture, std::function<bool(unsigned keyval)> on_key);
// A click's handler that may open a dialog, to be run once the click has returned. A click made
// through the accessibility bus (a screen reader's or a test tool's action) waits for its
// handler: a dialog's own loop run inside it would leave that caller, and every request after
// it, unanswered until the dialog closed. The handler returned runs `handler` in the main loop's
// next idle turn instead; nothing runs if `owner` is gone by then.
std::function<void()> AfterAction(sigc::trackable& owner, std::function<void()> handler);

// Enter (any of its keys) or Space: what activates a focused control.
bool IsActivateKey(unsigned keyval);

}  // namespace tarvik
