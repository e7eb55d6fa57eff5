// The next entry of a job made ready while the user reads the page shown, so that the step to it
// shows it at once (browse/step_ahead.h decides what; the browser keeps the page out of sight),
// and the setting that turns this on and off for every window.
#pragma once

#include <sigc++/trackable.h>

#include <functional>

namespace tarvik {

class BrowserControl;
class JobCursor;

class MainStepAhead : public sigc::trackable {
 public:
  // `stepping` tells whether the window steps through `job` now: a job is loaded and selected
  // and the job bar is shown.
  MainStepAhead(BrowserControl& browser, const JobCursor& job, std::function<bool()> stepping);
  ~MainStepAhead();
  MainStepAhead(const MainStepAhead&) = delete;
  MainStepAhead& operator=(const MainStepAhead&) = delete;

  // The stored setting, on unless the user turned it off.
  static bool Enabled();
  // Stores the setting; turned off, every window gives up the page it has made ready.
  static void SetEnabled(bool on);

  // Makes the next entry ready when the page shown has finished loading.
  void PrepareNext();
  // Gives up the page made ready: the job changed, or the window was hidden.
  void Drop();

 private:
  BrowserControl& browser_;
  const JobCursor& job_;
  std::function<bool()> stepping_;
};

}  // namespace tarvik
