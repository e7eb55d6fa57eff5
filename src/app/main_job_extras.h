// The job features of the main window beyond its designed job bar: adding the page shown to a
// job, resuming a job where it was left, trading jobs with other browsers, and new jobs made from
// lists of links. The decisions live in jobs/ (job_cursor.h, job_resume.h, add_to_job.h,
// job_trade.h, link_jobs.h); this wires them to the window. Following the changes that other
// windows and processes make to the jobs is main_job_sync.h's.
#pragma once

#include <gtkmm/menuitem.h>
#include <sigc++/trackable.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/job_bar_host.h"
#include "app/main_job_sync.h"
#include "app/window_mode.h"
#include "jobs/job_files.h"
#include "jobs/job_resume.h"
#include "platform/list_selector.h"

namespace tarvik {

class BrowserControl;
class JobCursor;
class JobHost;

class MainJobExtras : public sigc::trackable {
 public:
  // Made with the window's members, before its widgets are put together: only connects.
  MainJobExtras(JobExtrasHost& window, JobHost& jobs);
  ~MainJobExtras() { *alive_ = false; }

  // As the job menu's "表示中のページをジョブに追加" opens: one item per job of the list, in
  // list order, up to kAddToJobMenuJobs (then "ほかのｼﾞｮﾌﾞ..." for the others), then
  // "新規ｼﾞｮﾌﾞ...".
  void RebuildAddToJobMenu();
  void AddPageTo(const std::string& job_name);
  void AddPageToNewJob();
  // The same for a link of the page (the page's menu, main_page_extras.h).
  void AddEntryTo(const std::string& job_name, const JobEntry& entry);
  void AddEntryToNewJob(const JobEntry& entry);
  // The jobs an add-to-job submenu lists by name, in list order; `more` when the list holds
  // others beyond them.
  std::vector<std::string> AddToJobMenuNames(bool* more);
  // "ほかのｼﾞｮﾌﾞ...": a job of the whole list found in its dialog, "" for none.
  std::string PickOtherJob();
  // "続きから開く": the selected job at the entry it was left at.
  void ResumeSelectedJob();
  void ImportBookmarks();
  void ExportBookmarks();
  void ExportShortcuts();
  // New jobs from lists of links: the page's links, a file of addresses, a drop on the job
  // selector. The new job is loaded on its first entry.
  void JobFromPageLinks();
  void JobFromUrlList();

  // Following the jobs as they change from outside.
  MainJobSync& sync() { return sync_; }

 private:
  void OnNavigateComplete2();
  std::string SelectedJobName();
  std::vector<std::string> ListedJobs();
  void SetUpSelectorDrop();

  JobExtrasHost& w_;
  JobHost& jobs_;
  MainJobSync sync_;
  ResumeTracker resume_;
  std::vector<std::unique_ptr<Gtk::MenuItem>> add_items_;
  // Shared with the page's answer to a reading, which may come after the window has gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarvik
