// The main window's menus as one table: every item with its place, its designed state and what
// it does. It is the window's one table of commands: an item's accelerator runs the item, and
// the cool bar's buttons that repeat an item run its row's command (MainMenuCommand).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace Gtk {
class MenuItem;
class Window;
}  // namespace Gtk

namespace tarvik {

class BrowserControl;
class JobHost;
class MainJobExtras;
class MainPageTools;
class MainWindowPockets;
class MainWindowSkin;

// What the menu's commands reach of the main window that runs them: its helpers, and the
// commands it carries out itself.
class MainCommandHost {
 public:
  virtual ~MainCommandHost() = default;
  virtual Gtk::Window& command_window() = 0;  // owner of the dialogs
  virtual BrowserControl& browser() = 0;
  virtual JobHost& job_host() = 0;
  virtual MainJobExtras& job_extras() = 0;
  virtual MainWindowPockets& pockets() = 0;
  virtual MainWindowSkin& skin() = 0;
  virtual Gtk::MenuItem* menu_item(const std::string& name) = 0;

  virtual void OpenUrlPrompt() = 0;
  virtual void ShowHistoryMenu() = 0;
  virtual void DeleteHistory() = 0;
  virtual void RecentClick(int index) = 0;
  virtual void CloseWindow() = 0;
  virtual void RefreshEditMenu() = 0;
  virtual void CopyUrl() = 0;
  virtual void PasteUrl() = 0;
  virtual void HomeUrlPrompt() = 0;
  virtual MainPageTools& page_tools() = 0;
  virtual void ToggleFullScreen() = 0;
  virtual void ToolbarClick(int index) = 0;
  virtual void cmdNav_Click(int index) = 0;
};

struct MenuItemRow {
  enum class Kind { Command, Submenu, Separator, Check };
  std::string name;      // "mnuOpURL", "mnuRecent(3)", ...
  std::string caption;   // with "&" before the access key; empty for a separator
  std::string parent;    // the submenu it sits in; empty for a menu of the menu bar
  std::string shortcut;  // "Ctrl+U", or empty
  bool enabled = true;
  bool visible = true;
  Kind kind = Kind::Command;
  // A command's action; for a submenu, what brings it up to date as it opens (may be empty); for
  // a check item, what follows its new state (read from the item).
  std::function<void(MainCommandHost&)> handler;
  // A check item's state as the window is built.
  std::function<bool()> checked;
};

// The menus in their designed order; a parent comes before its items.
const std::vector<MenuItemRow>& MainMenuRows();

// The command of the menu table's row `name`. A control that does what a menu item does (the cool
// bar's favorites buttons) runs this, so each command is written once, wherever it is reached
// from: a menu item, its accelerator or a button. Empty for a name that is no command's.
const std::function<void(MainCommandHost&)>& MainMenuCommand(const std::string& name);

}  // namespace tarvik
