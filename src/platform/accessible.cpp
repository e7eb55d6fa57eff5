#include "platform/accessible.h"

#include <atkmm/object.h>
#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>
#include <gtk/gtk-a11y.h>
#include <gtkmm/eventbox.h>
#include <gtkmm/stylecontext.h>
#include <gtkmm/widget.h>

#include <utility>

namespace tarvik {

namespace {

// The accessible object of a PictureSwitch: a container's, with the role of a toggle button,
// its checked state and a "click" action.
struct SwitchAccessible {
  GtkContainerAccessible parent;
};
struct SwitchAccessibleClass {
  GtkContainerAccessibleClass parent_class;
};

GType SwitchAccessibleType();

PictureSwitch* SwitchOf(gpointer accessible) {
  GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
  if (!widget) return nullptr;
  return dynamic_cast<PictureSwitch*>(Glib::wrap(widget, false));
}

void SwitchInitialize(AtkObject* object, gpointer data) {
  ATK_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->initialize(object, data);
  object->role = ATK_ROLE_TOGGLE_BUTTON;
}

AtkStateSet* SwitchStates(AtkObject* object) {
  AtkStateSet* states =
      ATK_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->ref_state_set(object);
  if (PictureSwitch* widget = SwitchOf(object)) {
    atk_state_set_add_state(states, ATK_STATE_CHECKABLE);
    if (widget->checked()) atk_state_set_add_state(states, ATK_STATE_CHECKED);
  }
  return states;
}

gboolean SwitchDoAction(AtkAction* action, gint i) {
  PictureSwitch* widget = SwitchOf(action);
  if (i != 0 || !widget || !widget->is_sensitive()) return false;
  // The click's handler may open a dialog: it runs after the action has returned.
  AfterAction(*widget, [widget] { widget->Click(); })();
  return true;
}
gint SwitchActionCount(AtkAction*) { return 1; }
const gchar* SwitchActionName(AtkAction*, gint i) { return i == 0 ? "click" : nullptr; }

void SwitchActionInit(AtkActionIface* iface) {
  iface->do_action = SwitchDoAction;
  iface->get_n_actions = SwitchActionCount;
  iface->get_name = SwitchActionName;
}

void SwitchClassInit(gpointer klass, gpointer) {
  AtkObjectClass* object_class = ATK_OBJECT_CLASS(klass);
  object_class->initialize = SwitchInitialize;
  object_class->ref_state_set = SwitchStates;
}

GType SwitchAccessibleType() {
  static GType type = [] {
    GType t = g_type_register_static_simple(GTK_TYPE_CONTAINER_ACCESSIBLE, "TarvikSwitchAccessible",
                                            sizeof(SwitchAccessibleClass), SwitchClassInit,
                                            sizeof(SwitchAccessible), nullptr, GTypeFlags(0));
    const GInterfaceInfo action = {reinterpret_cast<GInterfaceInitFunc>(SwitchActionInit), nullptr,
                                   nullptr};
    g_type_add_interface_static(t, ATK_TYPE_ACTION, &action);
    return t;
  }();
  return type;
}

}  // namespace

// A type of its own, so that its class alone gets the accessible type above.
PictureSwitch::PictureSwitch() : Glib::ObjectBase("TarvikPictureSwitch") {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_GET_CLASS(gobj()), SwitchAccessibleType());
}

void PictureSwitch::set_checked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (auto accessible = get_accessible())
    atk_object_notify_state_change(accessible->gobj(), ATK_STATE_CHECKED, checked);
}

void PictureSwitch::Click() const {
  if (on_click_) on_click_();
}

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

std::function<void()> AfterAction(sigc::trackable& owner, std::function<void()> handler) {
  return [&owner, handler = std::move(handler)] {
    Glib::signal_idle().connect_once(sigc::track_obj([handler] { handler(); }, owner));
  };
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
