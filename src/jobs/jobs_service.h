// The jobs of the process: one per Tarvik process, made by the application object and handed to
// every window. It holds the jobs folder the process goes by, one watch of it (job_watch.h), and
// merges the conflict copies a sync tool leaves once per change before it tells the windows.
// A window names the job it has loaded and the jobs it waits for, and the watch follows all of
// them; windows never watch the files themselves. Needs the GLib main loop, no display.
#pragma once

#include <sigc++/sigc++.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "jobs/job_conflicts.h"
#include "jobs/job_watch.h"
#include "platform/jobs_folder.h"

namespace tarvik {

// Work on the jobs that goes on in the background (the checks of a job's pages): the service
// stops it when the jobs folder changes and when the process ends.
class JobsBackgroundTask {
 public:
  virtual ~JobsBackgroundTask() = default;
  virtual void Cancel() = 0;
};

// What the user is told of a merge, each thing once per process: the status bar's line (the
// jobs merged, and the copies that could not be put away, by name) and a message for the
// merges that failed ("" for none).
struct ConflictMergeReport {
  std::string notice;
  std::string failure;
};

class JobsService {
 public:
  // Goes by the folder the settings file names; watches nothing until StartWatching().
  JobsService();
  ~JobsService();
  JobsService(const JobsService&) = delete;
  JobsService& operator=(const JobsService&) = delete;

  // The jobs folder, without a trailing "/".
  const std::string& folder() const { return folder_; }
  // The user chose `folder` in this process: it is stored (the application folder as no
  // choice) and followed at once.
  void ChooseFolder(const std::string& folder);
  // Raised after the folder changed, chosen here or in another process.
  sigc::signal<void()>& signal_folder_changed() { return folder_changed_; }

  // Watches the folder's jobs, and the settings file for a folder another process chose.
  void StartWatching();
  // The jobs changed from outside: raised once per change, after the conflict copies were
  // merged, with what the merge did.
  sigc::signal<void(const ConflictMerge&)>& signal_changed() { return changed_; }
  // The merge's word for the user, raised once per change that has any (see ConflictReport).
  sigc::signal<void(const ConflictMergeReport&)>& signal_merge_report() { return report_; }
  // Raised once, when the system gives no watch and the jobs are looked at every few seconds.
  sigc::signal<void()>& signal_unwatched() { return unwatched_; }
  bool looking_for_itself() const { return watch_ && watch_->looking_for_itself(); }

  // What window `who` follows: the job it has loaded ("" for none), and the listed jobs whose
  // files it waits for. The watch follows those of every window; Forget when the window goes.
  void FollowJob(const void* who, const std::string& name);
  void AwaitJobs(const void* who, std::vector<std::string> names);
  void Forget(const void* who);

  // Background work on the jobs: owned here from now on, stopped by a change of folder and at
  // the end.
  void AddBackgroundTask(std::unique_ptr<JobsBackgroundTask> task);

  // What of `merge` the user has not been told yet (the service remembers what it told).
  ConflictMergeReport ConflictReport(const ConflictMerge& merge);

 private:
  void OnWatchChanged();
  void OnSettingsChanged();
  void Follow(const std::string& folder);
  void UpdateWatch();
  void CancelBackgroundTasks();

  struct Followed {
    std::string job;
    std::vector<std::string> awaited;
  };

  std::string folder_;
  std::unique_ptr<JobWatch> watch_;
  std::unique_ptr<SettingsFileWatch> settings_watch_;
  std::map<const void*, Followed> followed_;
  std::vector<std::unique_ptr<JobsBackgroundTask>> tasks_;
  std::set<std::string> told_;  // kept copies and failures the user has heard of
  sigc::signal<void()> folder_changed_;
  sigc::signal<void(const ConflictMerge&)> changed_;
  sigc::signal<void(const ConflictMergeReport&)> report_;
  sigc::signal<void()> unwatched_;
};

}  // namespace tarvik
