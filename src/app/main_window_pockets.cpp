#include "app/main_window_pockets.h"

#include <atkmm/object.h>
#include <gdk/gdkkeysyms.h>

#include <optional>

#include "app/main_window_design.h"
#include "browse/script_guard.h"
#include "platform/accessible.h"
#include "platform/dialogs.h"
#include "platform/display_text.h"

namespace tarvik {

void MainWindowPockets::Connect() {
  for (int i = 0; i < kPocketCount; ++i) {
    PictureSwitch& box = bar_.picPocket(i);
    box.set_on_click([this, i] { Act(i, MouseButton::kLeft); });
    box.signal_button_release_event().connect(
        [this, i](GdkEventButton* e) { return OnRelease(i, e); });
    // Enter or Space work a focused pocket as a left click does, Delete as a right click.
    TakeKeyboardFocus(box, [this, i](unsigned keyval) {
      std::optional<MouseButton> button;
      if (IsActivateKey(keyval)) button = MouseButton::kLeft;
      if (keyval == GDK_KEY_Delete || keyval == GDK_KEY_KP_Delete) button = MouseButton::kRight;
      if (button) Act(i, *button);
      return button.has_value();
    });
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
  // The record keeps the whole title; the tooltip shows no more than fits on a screen.
  const std::string title = p.full ? ShortenForDisplay(p.title) : std::string();
  bar_.picPocketImage(index).set(bar_.imlPocket().get(PocketImageKey(p)));
  bar_.picPocket(index).set_tooltip_text(title);
  bar_.picPocket(index).set_checked(p.full);  // pressed while it holds a page
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
  const std::optional<Pockets> before = ClearAllPocketsForUndo(pockets_);
  ShowAll();
  if (!before) return;
  status_.ShowUndoNotice(kPocketsClearedNotice, kUndoAction, kPocketUndoSeconds,
                         [this, pockets = *before] {
                           if (RestorePockets(pockets_, pockets)) ShowAll();
                         });
}

}  // namespace tarvik
