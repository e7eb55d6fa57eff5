#include "app/window_system.h"

#include <gdk/gdk.h>
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif

namespace tarvik {

bool ReportsWindowPosition(const Glib::RefPtr<Gdk::Display>& display) {
#ifdef GDK_WINDOWING_WAYLAND
  if (display && GDK_IS_WAYLAND_DISPLAY(display->gobj())) return false;
#endif
  return static_cast<bool>(display);
}

namespace {

bool IsEditingKey(const GdkEventKey* event) {
  const guint mods = event->state & gtk_accelerator_get_default_mod_mask();
  if (mods != GDK_CONTROL_MASK) return false;
  switch (gdk_keyval_to_lower(event->keyval)) {
    case GDK_KEY_c:
    case GDK_KEY_x:
    case GDK_KEY_v:
    case GDK_KEY_a:
    case GDK_KEY_z: return true;
    default: return false;
  }
}

}  // namespace

bool GiveEditingKeyToField(Gtk::Window& window, GdkEventKey* event, bool page_field_focused) {
  if (!IsEditingKey(event)) return false;
  Gtk::Widget* focus = window.get_focus();
  const bool typing = (focus && (GTK_IS_EDITABLE(focus->gobj()) ||
                                 (GTK_IS_TEXT_VIEW(focus->gobj()) &&
                                  gtk_text_view_get_editable(GTK_TEXT_VIEW(focus->gobj()))))) ||
                      page_field_focused;
  return typing && gtk_window_propagate_key_event(window.gobj(), event);
}

}  // namespace tarvik
