// Watches the job list and the job files the windows have loaded for changes made from outside
// (the process's jobs service, jobs_service.h, owns the one watch): another Tarvik process, a
// window's own command, a file manager, a sync tool. Changes that come in a burst (a
// replace is a write of a temporary file and a rename) are reported once, shortly after the last
// of them. Conflict copies a sync tool leaves beside the list or in "JobFiles/" are reported too
// (job_conflicts.h), as are the files of jobs the windows wait for. Where the system cannot
// watch them, or only by looking now and then without naming the file, the watch looks for
// itself every few seconds (job_poll.h).
#pragma once

#include <giomm/filemonitor.h>
#include <sigc++/sigc++.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jobs/job_files.h"
#include "jobs/job_poll.h"

namespace tarvik {

// What became of a window's loaded job `name`, holding `entries`, when the job list went from
// `before` to `after`. While `after` lists the name, the job is still `name`. Once the name has
// left the list and its file is gone, the job was renamed when exactly one name new to the list
// has a file holding the same entries (a rename moves the file and changes the list): that name.
// Otherwise the job is gone: nothing.
std::optional<std::string> FollowedJobName(const std::string& jobs_folder, const std::string& name,
                                           const std::vector<JobEntry>& entries,
                                           const std::vector<std::string>& before,
                                           const std::vector<std::string>& after);

// Whether the loaded job `name`, whose line has left the list between `before` and `after` with
// no file telling where it went (FollowedJobName gave nothing), may still be on its way: its own
// file is still there (the list came before the file's removal or rename), or a line new to the
// list has no file yet (a rename whose new file has not come).
bool JobMayStillBeDelivered(const std::string& jobs_folder, const std::string& name,
                            const std::vector<std::string>& before,
                            const std::vector<std::string>& after);

// How long a job whose list line and file disagree may wait for the other half before it counts
// as missing: a sync tool delivers the list and the job files one after the other, in any order.
inline constexpr unsigned kDeliveryGraceMs = 15000;

// When each job's two halves were last seen to disagree: a line in the list whose file has not
// come, or a loaded job whose line has left the list while no file tells where it went. While
// the grace lasts the job counts as still being delivered, not as missing.
class DeliveryWait {
 public:
  using Clock = std::chrono::steady_clock;
  // Marks `name` as waiting from `now` on, unless it already waits.
  void Start(const std::string& name, Clock::time_point now);
  // True while `name` waits and its grace has not run out at `now`.
  bool Waiting(const std::string& name, Clock::time_point now) const;
  void Stop(const std::string& name);
  void Clear() { since_.clear(); }

 private:
  std::map<std::string, Clock::time_point> since_;
};

class JobWatch {
 public:
  // Watches the jobs of `folder`. When conflict copies lie there already, a change is reported
  // a second later, so that they are merged.
  explicit JobWatch(std::string folder);
  ~JobWatch();
  JobWatch(const JobWatch&) = delete;
  JobWatch& operator=(const JobWatch&) = delete;

  // Watches the job files of `names` from now on instead of those watched so far (the jobs the
  // windows have loaded). Watching the same names again changes nothing.
  void WatchJobs(std::vector<std::string> names);
  // Watches the job file of `name` alone; "" watches none.
  void WatchJob(const std::string& name) {
    WatchJobs(name.empty() ? std::vector<std::string>{} : std::vector<std::string>{name});
  }
  // Watches the jobs of another folder from now on, the same jobs' files there included.
  void SetFolder(const std::string& folder);
  const std::string& folder() const { return jobs_folder_; }
  // Reports the arrival, change or removal of these jobs' files too (the listed jobs whose files
  // have not come yet).
  void AwaitJobs(std::vector<std::string> names);

  // "TVJob.lst" or a watched job file was created, changed, replaced or removed.
  sigc::signal<void()>& signal_changed() { return changed_; }
  // Raised once, at the first look, when a watch could not be made and the watch looks for
  // itself every kJobPollMs instead: changes made elsewhere show that much later.
  sigc::signal<void()>& signal_unwatched() { return unwatched_; }
  bool looking_for_itself() const { return poll_ != nullptr; }

 private:
  Glib::RefPtr<Gio::FileMonitor> Monitor(const std::string& path);
  Glib::RefPtr<Gio::FileMonitor> MonitorFolder(const std::string& path);
  void StartMonitors();
  // Looks for itself from now on, unless `monitor` hears of each change in `folder`.
  void PollUnlessHeard(const Glib::RefPtr<Gio::FileMonitor>& monitor, const std::string& folder);
  void OnEvent();

  std::string jobs_folder_;
  std::vector<std::string> jobs_;
  Glib::RefPtr<Gio::FileMonitor> list_monitor_;
  std::map<std::string, Glib::RefPtr<Gio::FileMonitor>> job_monitors_;
  Glib::RefPtr<Gio::FileMonitor> folder_monitor_;     // conflict copies of the list
  Glib::RefPtr<Gio::FileMonitor> job_files_monitor_;  // conflict copies, awaited job files
  std::vector<std::string> awaited_;
  std::unique_ptr<JobPoll> poll_;  // while a watch is missing or only looks now and then
  sigc::connection pending_;       // the report waiting for the burst to end
  sigc::signal<void()> changed_;
  sigc::signal<void()> unwatched_;
};

}  // namespace tarvik
