#include "support/gui_input.h"

#include <gdk/gdk.h>
#include <gtk/gtk.h>
#include <gtkmm/widget.h>
#include <gtkmm/window.h>

#include <gtest/gtest.h>

#include "support/gui_test.h"

namespace tarvik::test {

void ClickOn(Gtk::Widget& widget, unsigned button) {
  GdkWindow* window = widget.get_window()->gobj();
  GdkDevice* pointer =
      gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window)));
  for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
    GdkEvent* e = gdk_event_new(type);
    e->button.window = GDK_WINDOW(g_object_ref(window));
    e->button.send_event = FALSE;
    e->button.time = GDK_CURRENT_TIME;
    e->button.x = widget.get_allocated_width() / 2.0;
    e->button.y = widget.get_allocated_height() / 2.0;
    e->button.button = button;
    gdk_event_set_device(e, pointer);
    gtk_main_do_event(e);
    gdk_event_free(e);
  }
  Pump(20);
}

void PressKey(Gtk::Window& window, unsigned keyval, unsigned state) {
  GdkEvent* key = gdk_event_new(GDK_KEY_PRESS);
  key->key.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
  key->key.keyval = keyval;
  key->key.state = state;
  key->key.time = GDK_CURRENT_TIME;
  gdk_event_set_device(
      key, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
  GdkKeymapKey* keys = nullptr;
  gint n = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                        keyval, &keys, &n) &&
      n > 0)
    key->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
  g_free(keys);
  gtk_main_do_event(key);
  gdk_event_free(key);
  Pump(20);
}

void DropOnto(Gtk::Widget& target, const std::string& mime, const std::string& payload) {
  static std::string data;
  data = payload;
  GtkClipboard* clipboard = gtk_clipboard_get(gdk_atom_intern_static_string("TARVIK_TEST_DROP"));
  GtkTargetEntry entry = {const_cast<gchar*>(mime.c_str()), 0, 0};
  gtk_clipboard_set_with_data(
      clipboard, &entry, 1,
      [](GtkClipboard*, GtkSelectionData* selection, guint, gpointer text) {
        auto* s = static_cast<std::string*>(text);
        gtk_selection_data_set(selection, gtk_selection_data_get_target(selection), 8,
                               reinterpret_cast<const guchar*>(s->data()),
                               static_cast<gint>(s->size()));
      },
      nullptr, &data);
  GtkSelectionData* selection =
      gtk_clipboard_wait_for_contents(clipboard, gdk_atom_intern(mime.c_str(), FALSE));
  if (!selection) {
    ADD_FAILURE() << "no drop data for " << mime;
    return;
  }
  g_signal_emit_by_name(target.gobj(), "drag-data-received", nullptr, 0, 0, selection, 0u, 0u);
  gtk_selection_data_free(selection);
}

}  // namespace tarvik::test
