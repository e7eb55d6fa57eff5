// The main window's one table of actions: every command, wherever it is reached from (a menu
// item, its accelerator, a toolbar button, a step button, a cool bar button), is one row with its
// id, its menu place and key, its designed state and its handler. The window builds its menus
// from the table and binds its buttons to rows (app/main_action_set.h); a command with a key is
// one row here and one handler.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/action_id.h"

namespace Gtk {
class MenuItem;
class Window;
}  // namespace Gtk

namespace tarvik {

class BrowserControl;
class JobHost;
class MainJobExtras;
class MainRounds;
class MainPageTools;
class MainWindowPockets;
class MainWindowSkin;

// What the commands reach of the main window that runs them: its helpers, and the commands it
// carries out itself.
class MainCommandHost {
 public:
  virtual ~MainCommandHost() = default;
  virtual Gtk::Window& command_window() = 0;  // owner of the dialogs
  virtual BrowserControl& browser() = 0;
  virtual JobHost& job_host() = 0;
  virtual MainJobExtras& job_extras() = 0;
  virtual MainRounds& rounds() = 0;
  virtual MainWindowPockets& pockets() = 0;
  virtual MainWindowSkin& skin() = 0;
  virtual Gtk::MenuItem* menu_item(ActionId id, int index = 0) = 0;

  virtual void ShowHistoryMenu() = 0;
  virtual void DeleteHistory() = 0;
  virtual void RecentClick(int index) = 0;
  virtual void CloseWindow() = 0;
  virtual void RefreshEditMenu() = 0;
  virtual void HomeUrlPrompt() = 0;
  virtual void GoHome() = 0;
  virtual void Go() = 0;
  virtual void StepJob(int step) = 0;  // a JobStep
  virtual void ToggleMode() = 0;
  virtual void ShowDownloads() = 0;         // the process's downloads window
  virtual MainPageTools& page_tools() = 0;  // find, zoom, print and save
  virtual void ToggleFullScreen() = 0;
};

struct ActionRow {
  // Command: a menu item when it has a name, else only reached by a button or a call.
  enum class Kind { Command, Submenu, Separator, Check };
  ActionId id = ActionId::None;
  int index = 0;        // of a row repeated by index
  std::string name;     // the menu item's "mnuOpURL", "mnuRecent(3)", ...; empty for no item
  std::string caption;  // with "&" before the access key; empty for a separator
  ActionId parent = ActionId::None;  // the submenu it sits in; None for the menu bar
  std::string shortcut;  // "Ctrl+U", "Alt+N", "Ctrl+Shift+P", "F11", or empty (key_chords.h)
  bool enabled = true;
  bool visible = true;
  Kind kind = Kind::Command;
  // A command's action; for a submenu, what brings it up to date as it opens (may be empty); for
  // a check item, what follows its new state (read from the item).
  std::function<void(MainCommandHost&)> handler;
  // A check item's state as the window is built.
  std::function<bool()> checked;
  // Acts on the loaded job: off while none is loaded (MainJobExtras::UpdateJobItems).
  bool needs_job = false;

  bool in_menu() const { return !name.empty(); }
};

// The actions: the menus in their designed order (a parent comes before its items), then the
// commands that have no menu item.
const std::vector<ActionRow>& MainActionRows();

// The row of `id` (and `index`), or nullptr for a separator's or an unknown one.
const ActionRow* FindAction(ActionId id, int index = 0);

}  // namespace tarvik
