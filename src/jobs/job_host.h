// What the job editor and the job commands need of the main window that runs them.
#pragma once

namespace Gtk {
class Window;
}

namespace tarvik {

class BrowserControl;
class JobsService;

class JobHost {
 public:
  virtual ~JobHost() = default;

  // The main window, owner of the modal dialogs.
  virtual Gtk::Window& job_window() = 0;
  // The job selector: its list index (-1 for none) and its item count.
  virtual int JobSelectorIndex() = 0;
  virtual int JobSelectorCount() = 0;
  // A job is selected: the selector has a selection and its text is not empty.
  virtual bool JobSelected() = 0;
  // Refills the selector from the job list file and selects `select_index` (the job is not
  // loaded; the selection's click does nothing).
  virtual void LoadJobList(int select_index) = 0;
  // Loads the selected job; with `keep_position` it does not navigate. False when it failed (its
  // message has been shown).
  virtual bool LoadSelectedJob(bool keep_position) = 0;
  // Set by New Job, read and cleared when the editor opens.
  virtual bool NewJobFlag() const = 0;
  virtual void SetNewJobFlag(bool on) = 0;
  // The browser of the process's first main window (the editor takes the page shown there).
  virtual BrowserControl* FirstWindowBrowser() = 0;
  // The process's jobs: the jobs folder, and the changes made to it from outside.
  virtual JobsService& jobs_service() = 0;
};

}  // namespace tarvik
