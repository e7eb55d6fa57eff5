#include "platform/accessible.h"

#include <atkmm/object.h>
#include <gtkmm/widget.h>

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

}  // namespace tarvik
