// The job features of the main window beyond its designed job bar: adding the page shown to a
// job, resuming a job where it was left, trading jobs with other browsers, and following changes
// that other windows and processes make to the job list and the loaded job. The decisions live
// in jobs/ (job_cursor.h, job_resume.h, add_to_job.h, job_trade.h, job_watch.h); this wires
// them to the window, as it does the new jobs made from lists of links (link_jobs.h).
#pragma once

#include <gtkmm/menuitem.h>
#include <sigc++/trackable.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_actions.h"
#include "app/window_mode.h"
#include "jobs/job_resume.h"
#include "jobs/job_watch.h"
#include "platform/jobs_folder.h"
#include "platform/list_selector.h"

namespace tarvik {

class BrowserControl;
class JobCursor;
class JobHost;

// What the job features reach of the window that shows them: its browser, its job bar and its
// menus. The job commands reach the rest through JobHost.
class JobExtrasHost {
 public:
  virtual ~JobExtrasHost() = default;
  virtual BrowserControl& browser() = 0;
  virtual ListSelector& cboJob() = 0;
  virtual JobCursor& job_cursor() = 0;
  virtual int CurJobIdx() const = 0;  // the selector's index of the loaded job
  virtual void UpdateNavTips() = 0;
  virtual Gtk::MenuItem* menu_item(ActionId id, int index = 0) = 0;
  virtual Mode mode() const = 0;
  virtual void ToggleMode() = 0;
  // A few seconds of word in the status bar's text panel, after a command that shows no dialog.
  virtual void ShowStatusNotice(const std::string& text) = 0;
};

class MainJobExtras : public sigc::trackable {
 public:
  // Made with the window's members, before its widgets are put together: only connects.
  MainJobExtras(JobExtrasHost& window, JobHost& jobs);
  ~MainJobExtras() {
    *alive_ = false;
    grace_timer_.disconnect();
  }

  // As the job menu's "表示中のページをジョブに追加" opens: one item per job of the list, in
  // list order, up to kAddToJobMenuJobs (then "ほかのｼﾞｮﾌﾞ..." for the others), then
  // "新規ｼﾞｮﾌﾞ...".
  void RebuildAddToJobMenu();
  void AddPageTo(const std::string& job_name);
  void AddPageToNewJob();
  // "続きから開く": the selected job at the entry it was left at.
  void ResumeSelectedJob();
  void ImportBookmarks();
  void ExportBookmarks();
  void ExportShortcuts();
  // New jobs from lists of links: the page's links, a file of addresses, a drop on the job
  // selector. The new job is loaded on its first entry.
  void JobFromPageLinks();
  void JobFromUrlList();

  // Brings the job selector and the loaded job up to date with the files: the selected job
  // stays selected while the list holds it, the current entry stays current by its address. A
  // loaded job renamed elsewhere is followed to its new name; one deleted is no longer loaded.
  // Nothing is read while this window's job editor is open (it reloads when it closes).
  void RefreshFromFiles();
  JobWatch& watch() { return watch_; }
  // The selected job `name` has no file yet, but its line came a moment ago: true when the
  // window waits for the file and loads the job when it comes (the missing file is reported
  // only once the grace has run out); false when it counts as missing now.
  bool WaitForJobFile(const std::string& name);
  // Turns the items that act on the loaded job (the action table's needs_job rows) on while
  // a job is loaded, off while none is.
  void UpdateJobItems();

 private:
  void OnNavigateComplete2();
  void FollowLoadedJob();  // also brings the items needing a job up to date
  // Re-reads the loaded job's file when it is job `name` (any job when empty).
  void RefreshLoadedJob(const std::string& name = "");
  std::string SelectedJobName();
  void SetUpSelectorDrop();
  void LoadCreatedJob(const std::string& name);
  // Lines whose files have not come: waited for, and watched.
  void AwaitMissingFiles(const std::vector<std::string>& shown,
                         const std::vector<std::string>& names,
                         DeliveryWait::Clock::time_point now);
  // The loaded job `name` has left the list with no word of where it went: true while that may
  // still be a delivery in progress (nothing changes until the next look).
  bool HoldForDelivery(const std::string& name, DeliveryWait::Clock::time_point now);
  void LoadArrivedJob();
  // Another jobs folder was chosen, in this process or another: the selector and the watch
  // follow it.
  void FollowJobsFolder();

  JobExtrasHost& w_;
  JobHost& jobs_;
  JobWatch watch_;
  JobsFolderWatch folder_watch_;           // a folder chosen in another process
  std::string seen_job_;                   // the job of the last completed navigation
  std::optional<ResumePoint> last_point_;  // what was last remembered for it
  std::vector<std::unique_ptr<Gtk::MenuItem>> add_items_;
  DeliveryWait delivery_;
  std::string arriving_;  // the job chosen before its file came
  sigc::connection grace_timer_;
  // Shared with the page's answer to a reading, which may come after the window has gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarvik
