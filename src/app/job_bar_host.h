// What the window's job features have in common to reach of the window that shows them: its
// browser, its job bar, its menu items and its status bar.
#pragma once

#include <string>

#include "app/action_id.h"
#include "app/window_mode.h"

namespace Gtk {
class MenuItem;
}  // namespace Gtk

namespace tarvik {

class BrowserControl;
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

// What the job features reach of the window that shows them: its browser, its job bar and its
// menus. The job commands reach the rest through JobHost.
class JobExtrasHost : public JobBarHost {
 public:
  virtual int CurJobIdx() const = 0;  // the selector's index of the loaded job
  virtual Mode mode() const = 0;
  virtual void ToggleMode() = 0;
};

}  // namespace tarvik
