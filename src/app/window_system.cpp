#include "app/window_system.h"

#include <gdk/gdk.h>
#include <gdkmm/monitor.h>
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

ScreenRect KeepOnDisplay(const Glib::RefPtr<Gdk::Display>& display, const ScreenRect& window) {
  std::vector<ScreenRect> monitors;
  ScreenRect work_area;
  for (int m = 0; display && m < display->get_n_monitors(); ++m) {
    Gdk::Rectangle area;
    display->get_monitor(m)->get_geometry(area);
    monitors.push_back({area.get_x(), area.get_y(), area.get_width(), area.get_height()});
  }
  if (!monitors.empty()) {
    auto primary = display->get_primary_monitor();
    Gdk::Rectangle area;
    (primary ? primary : display->get_monitor(0))->get_workarea(area);
    work_area = {area.get_x(), area.get_y(), area.get_width(), area.get_height()};
  }
  return KeepOnScreen(window, monitors, work_area);
}

}  // namespace tarvik
