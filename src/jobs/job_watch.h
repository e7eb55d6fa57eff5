// Watches the job list and one job file for changes made from outside the window: another
// Tarvik process, another window, a file manager. Changes that come in a burst (a replace is a
// write of a temporary file and a rename) are reported once, shortly after the last of them.
#pragma once

#include <giomm/filemonitor.h>
#include <sigc++/sigc++.h>

#include <optional>
#include <string>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

// What became of a window's loaded job `name`, holding `entries`, when the job list went from
// `before` to `after`. While `after` lists the name, the job is still `name`. Once the name has
// left the list and its file is gone, the job was renamed when exactly one name new to the list
// has a file holding the same entries (a rename moves the file and changes the list): that name.
// Otherwise the job is gone: nothing.
std::optional<std::string> FollowedJobName(const std::string& app_folder, const std::string& name,
                                           const std::vector<JobEntry>& entries,
                                           const std::vector<std::string>& before,
                                           const std::vector<std::string>& after);

class JobWatch {
 public:
  explicit JobWatch(std::string app_folder);
  ~JobWatch();
  JobWatch(const JobWatch&) = delete;
  JobWatch& operator=(const JobWatch&) = delete;

  // Watches the job file of `name` from now on instead of the one watched so far; "" watches
  // none. Watching the same name again changes nothing.
  void WatchJob(const std::string& name);
  const std::string& watched_job() const { return job_name_; }

  // "TVJob.lst" or the watched job file was created, changed, replaced or removed.
  sigc::signal<void()>& signal_changed() { return changed_; }

 private:
  Glib::RefPtr<Gio::FileMonitor> Monitor(const std::string& path);
  void OnEvent();

  std::string app_folder_;
  std::string job_name_;
  Glib::RefPtr<Gio::FileMonitor> list_monitor_;
  Glib::RefPtr<Gio::FileMonitor> job_monitor_;
  sigc::connection pending_;  // the report waiting for the burst to end
  sigc::signal<void()> changed_;
};

}  // namespace tarvik
