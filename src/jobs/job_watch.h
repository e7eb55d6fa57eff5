// Watches the job list and one job file for changes made from outside the window: another
// Tarvik process, another window, a file manager. Changes that come in a burst (a replace is a
// write of a temporary file and a rename) are reported once, shortly after the last of them.
#pragma once

#include <giomm/filemonitor.h>
#include <sigc++/sigc++.h>

#include <string>

namespace tarvik {

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
