#include "app/main_action_set.h"

#include <gtkmm/checkmenuitem.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>

#include "app/key_chords.h"
#include "platform/accessible.h"
#include "platform/display_text.h"

namespace tarvik {

void MainActionSet::BuildMenus(Gtk::MenuBar& bar) {
  accel_ = Gtk::AccelGroup::create();
  window_.add_accel_group(accel_);
  std::map<ActionId, Gtk::Menu*> submenus;

  for (const ActionRow& row : MainActionRows()) {
    if (!row.in_menu()) continue;
    std::unique_ptr<Gtk::MenuItem> item;
    if (row.kind == ActionRow::Kind::Separator)
      item = std::make_unique<Gtk::SeparatorMenuItem>();
    else if (row.kind == ActionRow::Kind::Check)
      item = std::make_unique<Gtk::CheckMenuItem>(MnemonicCaption(row.caption), true);
    else
      item = std::make_unique<Gtk::MenuItem>(MnemonicCaption(row.caption), true);
    Gtk::MenuItem* raw = item.get();
    raw->set_name(row.name);
    raw->set_sensitive(row.enabled);
    raw->set_visible(row.visible);
    raw->set_no_show_all(true);

    // The first key is shown in the menu; the others are the same key elsewhere on keyboards.
    bool first = true;
    for (const KeyChord& chord : KeyChordsOf(row.shortcut)) {
      raw->add_accelerator("activate", accel_, chord.key, chord.mods,
                           first ? Gtk::ACCEL_VISIBLE : Gtk::AccelFlags(0));
      first = false;
    }

    if (row.kind == ActionRow::Kind::Submenu) {
      auto* menu = Gtk::manage(new Gtk::Menu());
      menu->set_accel_group(accel_);
      raw->set_submenu(*menu);
      submenus[row.id] = menu;
      // Opening a menu may bring it up to date (the Edit and recent-pages menus do).
      if (row.handler) menu->signal_show().connect([this, &row] { row.handler(host_); });
    } else if (row.kind == ActionRow::Kind::Command) {
      // A command may open a dialog: it runs after the activation (a click, a key, an action
      // of the accessibility bus) has returned.
      raw->signal_activate().connect(AfterAction(window_, [this, &row] { row.handler(host_); }));
    } else if (row.kind == ActionRow::Kind::Check) {
      auto* check = static_cast<Gtk::CheckMenuItem*>(raw);
      if (row.checked) check->set_active(row.checked());
      check->signal_toggled().connect([this, &row] { row.handler(host_); });
    }

    if (row.parent == ActionId::None)
      bar.append(*raw);
    else
      submenus.at(row.parent)->append(*raw);
    if (row.id != ActionId::None) menu_items_[{row.id, row.index}] = raw;
    menu_widgets_.push_back(std::move(item));
  }
}

std::function<void()> MainActionSet::Bound(ActionId id, Gtk::Widget& widget, bool after_click) {
  const ActionRow* row = FindAction(id);
  if (!row) return [] {};
  buttons_[{id, 0}] = &widget;
  std::function<void()> run = [this, row] { row->handler(host_); };
  return after_click ? AfterAction(window_, run) : run;
}

MainActionSet::Action MainActionSet::action(ActionId id, int index) {
  Gtk::Widget* widget = menu_item(id, index);
  if (!widget) {
    auto it = buttons_.find({id, index});
    if (it != buttons_.end()) widget = it->second;
  }
  return Action(FindAction(id, index), widget);
}

Gtk::MenuItem* MainActionSet::menu_item(ActionId id, int index) {
  auto it = menu_items_.find({id, index});
  return it == menu_items_.end() ? nullptr : it->second;
}

void MainActionSet::Run(ActionId id, int index) {
  const ActionRow* row = FindAction(id, index);
  if (!row || !action(id, index).enabled()) return;
  if (row->kind == ActionRow::Kind::Command) row->handler(host_);
  if (row->kind == ActionRow::Kind::Check) menu_item(id, index)->activate();  // toggles
}

void MainActionSet::FollowLoadedJob(bool loaded) {
  for (const ActionRow& row : MainActionRows())
    if (row.needs_job)
      if (Gtk::MenuItem* item = menu_item(row.id)) item->set_sensitive(loaded);
}

}  // namespace tarvik
