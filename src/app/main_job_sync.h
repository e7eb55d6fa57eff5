// The main window following the jobs as they change from outside (other windows, other
// processes, a sync tool): the process's jobs service (jobs/jobs_service.h) watches the files and
// tells the window; what the window then does is decided in jobs/job_follow.h. This wires it to
// the job selector and the loaded job.
#pragma once

#include <sigc++/sigc++.h>

#include <string>
#include <vector>

#include "jobs/job_follow.h"

namespace tarvik {

class JobExtrasHost;
class JobHost;
class JobsService;

class MainJobSync : public sigc::trackable {
 public:
  MainJobSync(JobExtrasHost& window, JobHost& jobs, JobsService& service);
  ~MainJobSync();

  // Brings the job selector and the loaded job up to date with the files: the selected job
  // stays selected while the list holds it, the current entry stays current by its address. A
  // loaded job renamed elsewhere is followed to its new name; one deleted is no longer loaded.
  // Nothing is read while this window's job editor is open (it reloads when it closes).
  void RefreshFromFiles();
  // Re-reads the loaded job's file when it is job `name` (any job when empty).
  void RefreshLoadedJob(const std::string& name = "");
  // The selected job `name` has no file yet, but its line came a moment ago: true when the
  // window waits for the file and loads the job when it comes (the missing file is reported
  // only once the grace has run out); false when it counts as missing now.
  bool WaitForJobFile(const std::string& name);
  // Loads the listed job `name` in the job bar, on its first entry.
  void LoadListedJob(const std::string& name);
  // The watch follows the job loaded now; signal_loaded_job() is raised.
  void FollowLoadedJob();

  // The loaded job may have changed.
  sigc::signal<void()>& signal_loaded_job() { return loaded_job_; }
  // The loaded job was renamed elsewhere (old name, new name).
  sigc::signal<void(const std::string&, const std::string&)>& signal_renamed() { return renamed_; }

 private:
  // Another jobs folder was chosen, in this process or another: the selector follows it.
  void FollowJobsFolder();

  JobExtrasHost& w_;
  JobHost& jobs_;
  JobsService& service_;
  JobFollow follow_;
  std::vector<sigc::connection> service_links_;
  sigc::signal<void()> loaded_job_;
  sigc::signal<void(const std::string&, const std::string&)> renamed_;
};

}  // namespace tarvik
