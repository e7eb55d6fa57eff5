#include "platform/accessible.h"

#include <atkmm/object.h>
#include <gdk/gdkkeysyms.h>
#include <gtkmm/eventbox.h>
#include <gtkmm/stylecontext.h>
#include <gtkmm/widget.h>

#include <utility>

namespace tarvik {

void SetAccessibleName(Gtk::Widget& widget, const std::string& name,
                       const std::string& description) {
  auto accessible = widget.get_accessible();
  if (!accessible) return;
  accessible->set_name(name);
  if (!description.empty()) accessible->set_description(description);
}

std::string AccessibleName(Gtk::Widget& widget) {
  auto accessible = widget.get_accessible();
  return accessible ? accessible->get_name().raw() : std::string();
}

std::string AccessibleDescription(Gtk::Widget& widget) {
  auto accessible = widget.get_accessible();
  return accessible ? accessible->get_description().raw() : std::string();
}

void TakeKeyboardFocus(Gtk::EventBox& picture, std::function<bool(unsigned keyval)> on_key) {
  picture.set_can_focus(true);
  picture.add_events(Gdk::KEY_PRESS_MASK);
  picture.signal_key_press_event().connect([on_key = std::move(on_key)](GdkEventKey* e) {
    if (e->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return false;
    return on_key(e->keyval);
  });
  picture.signal_draw().connect(
      [&picture](const Cairo::RefPtr<Cairo::Context>& cr) {
        if (picture.has_visible_focus())
          picture.get_style_context()->render_focus(cr, 0, 0, picture.get_allocated_width(),
                                                    picture.get_allocated_height());
        return false;
      },
      true);
}

bool IsActivateKey(unsigned keyval) {
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
    case GDK_KEY_space:
    case GDK_KEY_KP_Space: return true;
    default: return false;
  }
}

}  // namespace tarvik
