// The main window's actions as widgets: the menus built from the action table
// (app/main_actions.h) with their accelerators, and the buttons bound to their rows. Every
// action is reached by its id: to run it as a click would, to read or set its state.
#pragma once

#include <gtkmm/accelgroup.h>
#include <gtkmm/button.h>
#include <gtkmm/menubar.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/toolbutton.h>
#include <gtkmm/window.h>

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "app/main_actions.h"

namespace tarvik {

class MainActionSet {
 public:
  // One action of the window: its row and the widget that shows it (a menu item or a button;
  // none for an action reached only by a call).
  class Action {
   public:
    Action(const ActionRow* row, Gtk::Widget* widget) : row_(row), widget_(widget) {}
    bool enabled() const { return !widget_ || widget_->is_sensitive(); }
    void set_enabled(bool on) {
      if (widget_) widget_->set_sensitive(on);
    }
    bool visible() const { return widget_ && widget_->get_visible(); }
    void set_visible(bool on) {
      if (widget_) widget_->set_visible(on);
    }
    const ActionRow* row() const { return row_; }

   private:
    const ActionRow* row_;
    Gtk::Widget* widget_;
  };

  MainActionSet(Gtk::Window& window, MainCommandHost& host) : window_(window), host_(host) {}

  // Builds the menus into `bar`, their accelerators into the window; once.
  void BuildMenus(Gtk::MenuBar& bar);
  // A click on `button` runs `id`'s command; `after_click`: once the click has returned (a
  // command that may open a dialog).
  void Bind(ActionId id, Gtk::Button& button, bool after_click) {
    button.signal_clicked().connect(Bound(id, button, after_click));
  }
  void Bind(ActionId id, Gtk::ToolButton& button, bool after_click) {
    button.signal_clicked().connect(Bound(id, button, after_click));
  }

  Action action(ActionId id, int index = 0);
  Gtk::MenuItem* menu_item(ActionId id, int index = 0);
  // Runs the action as a click would: nothing while it is off; a check item toggles.
  void Run(ActionId id, int index = 0);
  // The items that act on the loaded job (the rows that need one) on while a job is loaded.
  void FollowLoadedJob(bool loaded);

 private:
  // What a click on `widget`, which shows `id`, runs.
  std::function<void()> Bound(ActionId id, Gtk::Widget& widget, bool after_click);

  using Key = std::pair<ActionId, int>;
  Gtk::Window& window_;
  MainCommandHost& host_;
  Glib::RefPtr<Gtk::AccelGroup> accel_;
  std::map<Key, Gtk::MenuItem*> menu_items_;
  std::map<Key, Gtk::Widget*> buttons_;
  std::vector<std::unique_ptr<Gtk::Widget>> menu_widgets_;
};

}  // namespace tarvik
