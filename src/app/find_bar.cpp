#include "app/find_bar.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

namespace tarvik {

FindBar::FindBar(BrowserControl& browser)
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 4),
      browser_(browser),
      caption_("検索(_F):", true),
      previous_("前へ(_B)", true),
      next_("次へ(_N)", true),
      close_("×") {
  set_name("FindBar");
  set_border_width(2);
  caption_.set_mnemonic_widget(entry_);
  entry_.set_width_chars(24);
  place_.set_width_chars(14);
  place_.set_xalign(0);
  close_.set_relief(Gtk::RELIEF_NONE);
  close_.set_tooltip_text("閉じる (Esc)");
  previous_.set_tooltip_text("前を検索 (Shift+F3)");
  next_.set_tooltip_text("次を検索 (F3)");
  for (Gtk::Button* b : {&previous_, &next_, &close_}) b->set_can_focus(false);
  pack_start(caption_, Gtk::PACK_SHRINK);
  pack_start(entry_, Gtk::PACK_SHRINK);
  pack_start(previous_, Gtk::PACK_SHRINK);
  pack_start(next_, Gtk::PACK_SHRINK);
  pack_start(place_, Gtk::PACK_SHRINK);
  pack_end(close_, Gtk::PACK_SHRINK);
  show_all_children();
  set_no_show_all(true);
  hide();

  entry_.signal_changed().connect([this] { Search(); });
  // Enter steps once an input method has had the key; Shift+Enter steps back.
  entry_.signal_activate().connect([this] {
    GdkModifierType state{};
    Step(!(gtk_get_current_event_state(&state) && (state & GDK_SHIFT_MASK)));
  });
  // After the entry: an input method uses Escape to drop what is being composed.
  entry_.signal_key_press_event().connect(sigc::mem_fun(*this, &FindBar::OnKey), true);
  previous_.signal_clicked().connect([this] { Step(false); });
  next_.signal_clicked().connect([this] { Step(true); });
  close_.signal_clicked().connect([this] { Close(); });
  browser_.signal_find_count().connect(sigc::mem_fun(*this, &FindBar::OnCount));
}

void FindBar::Open() {
  if (!is_open()) {
    show();
    open_changed_.emit(true);
    if (!entry_.get_text().empty()) Search();
  }
  entry_.grab_focus();
  entry_.select_region(0, -1);
}

void FindBar::Close() {
  if (!is_open()) return;
  browser_.EndFind();
  place_of_.Clear();
  place_.set_text("");
  hide();
  open_changed_.emit(false);
  browser_.FocusPage();
}

void FindBar::Step(bool forward) {
  if (!is_open() || entry_.get_text().empty()) return Open();
  asked_ = forward ? BrowserControl::FindStep::Next : BrowserControl::FindStep::Previous;
  if (!place_of_.searched()) asked_ = BrowserControl::FindStep::First;
  browser_.Find(entry_.get_text(), asked_);
}

void FindBar::PageChanged() {
  place_of_.Clear();
  place_.set_text("");
  if (is_open() && !entry_.get_text().empty()) Search();
}

void FindBar::Search() {
  if (entry_.get_text().empty()) {
    browser_.EndFind();
    place_of_.Clear();
    place_.set_text("");
    return;
  }
  asked_ = BrowserControl::FindStep::First;
  browser_.Find(entry_.get_text(), asked_);
}

void FindBar::OnCount(unsigned count) {
  if (asked_ == BrowserControl::FindStep::First || count == 0)
    place_of_.Found(count);
  else
    place_of_.Stepped(asked_ == BrowserControl::FindStep::Next);
  place_.set_text(place_of_.Text());
}

bool FindBar::OnKey(GdkEventKey* event) {
  if (event->keyval != GDK_KEY_Escape) return false;
  Close();
  return true;
}

}  // namespace tarvik
