#include "app/main_window_pockets.h"

#include <atkmm/object.h>
#include <gdk/gdkkeysyms.h>

#include <optional>

#include "app/main_window_design.h"
#include "browse/script_guard.h"
#include "platform/accessible.h"
#include "platform/dialogs.h"

namespace tarvik {

namespace {

// The keys that work a focused pocket: Enter and Space as a left click, Delete as a right one.
std::optional<MouseButton> PocketKey(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
    case GDK_KEY_space:
    case GDK_KEY_KP_Space: return MouseButton::kLeft;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete: return MouseButton::kRight;
    default: return std::nullopt;
  }
}

}  // namespace

void MainWindowPockets::Connect() {
  for (int i = 0; i < kPocketCount; ++i) {
    Gtk::EventBox& box = bar_.picPocket(i);
    box.signal_button_release_event().connect(
        [this, i](GdkEventButton* e) { return OnRelease(i, e); });
    // Tab reaches the pockets too, so they work without a mouse.
    box.set_can_focus(true);
    box.add_events(Gdk::KEY_PRESS_MASK);
    box.signal_key_press_event().connect([this, i](GdkEventKey* e) {
      if (e->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return false;
      const std::optional<MouseButton> button = PocketKey(e->keyval);
      if (button) Act(i, *button);
      return button.has_value();
    });
    box.signal_draw().connect(
        [&box](const Cairo::RefPtr<Cairo::Context>& cr) {
          if (box.has_visible_focus())
            box.get_style_context()->render_focus(cr, 0, 0, box.get_allocated_width(),
                                                  box.get_allocated_height());
          return false;
        },
        true);
  }
}

bool MainWindowPockets::OnRelease(int index, GdkEventButton* event) {
  // The press grabs the pointer: a release away from the picture is no click on it.
  Gtk::EventBox& box = bar_.picPocket(index);
  if (event->x < 0 || event->y < 0 || event->x >= box.get_allocated_width() ||
      event->y >= box.get_allocated_height())
    return true;
  const std::optional<MouseButton> button = PocketButton(event->button);
  if (!button) return false;
  Act(index, *button);
  return true;
}

void MainWindowPockets::Act(int index, MouseButton button) {
  const PocketCommand c =
      ReleaseOnPocket(pockets_, index, button, {browser_.LocationName(), browser_.LocationURL()});
  if (c.kind == PocketCommand::Kind::kNavigate) {
    OpenStoredAddress(AppDialogs(), browser_, &parent_, c.url);
  } else if (c.kind != PocketCommand::Kind::kNone) {
    Show(index);
  }
}

void MainWindowPockets::Show(int index) {
  const Pocket& p = pocket(index);
  const std::string title = p.full ? p.title : std::string();
  bar_.picPocketImage(index).set(bar_.imlPocket().get(PocketImageKey(p)));
  bar_.picPocket(index).set_tooltip_text(title);
  for (Gtk::Widget* w : {static_cast<Gtk::Widget*>(&bar_.picPocket(index)),
                         static_cast<Gtk::Widget*>(&bar_.picPocketImage(index))}) {
    SetAccessibleName(*w, design::kPocketNames[index]);
    if (auto accessible = w->get_accessible()) accessible->set_description(title);
  }
}

void MainWindowPockets::ShowAll() {
  for (int i = 0; i < kPocketCount; ++i) Show(i);
}

void MainWindowPockets::Clear(int index) {
  if (index < 0 || index >= kPocketCount) return;
  ClearPocket(pockets_, index);
  Show(index);
}

void MainWindowPockets::ClearAll() {
  ClearAllPockets(pockets_);
  ShowAll();
}

}  // namespace tarvik
