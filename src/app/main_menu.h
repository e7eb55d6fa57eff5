// The main window's menus as one table: every item with its place, its designed state and what
// it does.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tarvik {

class frmMain;

struct MenuItemRow {
  enum class Kind { Command, Submenu, Separator };
  std::string name;      // "mnuOpURL", "mnuRecent(3)", ...
  std::string caption;   // with "&" before the access key; empty for a separator
  std::string parent;    // the submenu it sits in; empty for a menu of the menu bar
  std::string shortcut;  // "Ctrl+U", or empty
  bool enabled = true;
  bool visible = true;
  Kind kind = Kind::Command;
  // A command's action; for a submenu, what brings it up to date as it opens (may be empty).
  std::function<void(frmMain&)> handler;
};

// The menus in their designed order; a parent comes before its items.
const std::vector<MenuItemRow>& MainMenuRows();

// "ﾌｧｲﾙ(&F)" → "ﾌｧｲﾙ(_F)": the designer's access-key marker in GTK's form.
std::string MnemonicCaption(const std::string& caption);

}  // namespace tarvik
