// The main window's menu tree, built from the menu table (app/main_menu.h).
#include <gtkmm/checkmenuitem.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>

#include "app/frm_main.h"
#include "app/key_chords.h"
#include "app/main_menu.h"
#include "platform/accessible.h"
#include "platform/display_text.h"

namespace tarvik {

void frmMain::BuildMenus() {
  accel_ = Gtk::AccelGroup::create();
  add_accel_group(accel_);
  std::map<std::string, Gtk::Menu*> submenus;

  for (const MenuItemRow& row : MainMenuRows()) {
    std::unique_ptr<Gtk::MenuItem> item;
    if (row.kind == MenuItemRow::Kind::Separator)
      item = std::make_unique<Gtk::SeparatorMenuItem>();
    else if (row.kind == MenuItemRow::Kind::Check)
      item = std::make_unique<Gtk::CheckMenuItem>(MnemonicCaption(row.caption), true);
    else
      item = std::make_unique<Gtk::MenuItem>(MnemonicCaption(row.caption), true);
    Gtk::MenuItem* raw = item.get();
    raw->set_name(row.name);
    raw->set_sensitive(row.enabled);
    raw->set_visible(row.visible);
    raw->set_no_show_all(true);

    if (!row.shortcut.empty()) {
      bool first = true;
      for (const KeyChord& chord : KeyChordsOf(row.shortcut)) {
        raw->add_accelerator("activate", accel_, chord.key, chord.mods,
                             first ? Gtk::ACCEL_VISIBLE : Gtk::AccelFlags(0));
        first = false;
      }
    }

    if (row.kind == MenuItemRow::Kind::Submenu) {
      auto* menu = Gtk::manage(new Gtk::Menu());
      menu->set_accel_group(accel_);
      raw->set_submenu(*menu);
      submenus[row.name] = menu;
      // Opening a menu may bring it up to date (the Edit and recent-pages menus do).
      if (row.handler) menu->signal_show().connect([this, &row] { row.handler(*this); });
    } else if (row.kind == MenuItemRow::Kind::Command) {
      // A command may open a dialog: it runs after the activation (a click, a key, an action
      // of the accessibility bus) has returned.
      raw->signal_activate().connect(AfterAction(*this, [this, &row] { row.handler(*this); }));
    } else if (row.kind == MenuItemRow::Kind::Check) {
      auto* check = static_cast<Gtk::CheckMenuItem*>(raw);
      if (row.checked) check->set_active(row.checked());
      check->signal_toggled().connect([this, &row] { row.handler(*this); });
    }

    if (row.parent.empty())
      menubar_.append(*raw);
    else
      submenus.at(row.parent)->append(*raw);
    menu_items_[row.name] = {raw, &row};
    menu_widgets_.push_back(std::move(item));
  }
}

Gtk::MenuItem* frmMain::menu_item(const std::string& name) {
  auto it = menu_items_.find(name);
  return it == menu_items_.end() ? nullptr : it->second.first;
}

void frmMain::activate_menu(const std::string& name) {
  auto it = menu_items_.find(name);
  if (it == menu_items_.end() || !it->second.first->is_sensitive()) return;
  const MenuItemRow& row = *it->second.second;
  if (row.kind == MenuItemRow::Kind::Command) row.handler(*this);
  if (row.kind == MenuItemRow::Kind::Check) it->second.first->activate();  // as a click: toggles
}

}  // namespace tarvik
