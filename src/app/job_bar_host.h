// What the window's job features have in common to reach of the window that shows them: its
// browser, its job bar, its menu items and its status bar.
#pragma once

#include <string>

#include "app/main_actions.h"

namespace tarvik {

class JobCursor;
class ListSelector;

class JobBarHost {
 public:
  virtual ~JobBarHost() = default;
  virtual BrowserControl& browser() = 0;
  virtual ListSelector& cboJob() = 0;
  virtual JobCursor& job_cursor() = 0;
  virtual Gtk::MenuItem* menu_item(ActionId id, int index = 0) = 0;
  // The step buttons' tooltips and the place label, from the cursor.
  virtual void UpdateNavTips() = 0;
  // A few seconds of word in the status bar's text panel, after a command that shows no dialog.
  virtual void ShowStatusNotice(const std::string& text) = 0;
};

}  // namespace tarvik
