#include "jobs/job_watch.h"

#include <giomm/file.h>
#include <giomm/init.h>
#include <glibmm/main.h>

#include <algorithm>

#include "jobs/job_files.h"

namespace tarvik {

namespace {

// How long a burst of events may last before it is reported, in milliseconds.
constexpr unsigned kSettleMs = 60;

bool Lists(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::optional<std::string> FollowedJobName(const std::string& app_folder, const std::string& name,
                                           const std::vector<JobEntry>& entries,
                                           const std::vector<std::string>& before,
                                           const std::vector<std::string>& after) {
  if (Lists(after, name)) return name;
  if (JobFileExists(app_folder, name)) return std::nullopt;
  std::optional<std::string> found;
  for (const std::string& candidate : after) {
    if (candidate.empty() || Lists(before, candidate) || candidate == found) continue;
    std::optional<Job> job = ReadJobFile(app_folder, candidate);
    if (!job || job->entries != entries) continue;
    if (found) return std::nullopt;  // two copies of the job: no telling which one it became
    found = candidate;
  }
  return found;
}

JobWatch::JobWatch(std::string app_folder) : app_folder_(std::move(app_folder)) {
  Gio::init();
  list_monitor_ = Monitor(JobListPath(app_folder_));
}

JobWatch::~JobWatch() {
  pending_.disconnect();
  if (list_monitor_) list_monitor_->cancel();
  if (job_monitor_) job_monitor_->cancel();
}

Glib::RefPtr<Gio::FileMonitor> JobWatch::Monitor(const std::string& path) {
  try {
    // A monitor of a file that does not exist yet reports its creation.
    auto monitor = Gio::File::create_for_path(path)->monitor_file(Gio::FILE_MONITOR_WATCH_MOVES);
    monitor->signal_changed().connect([this](const Glib::RefPtr<Gio::File>&,
                                             const Glib::RefPtr<Gio::File>&,
                                             Gio::FileMonitorEvent event) {
      if (event != Gio::FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED) OnEvent();
    });
    return monitor;
  } catch (const Glib::Error&) {
    return {};  // a file system that cannot be watched: changes show at the next reload
  }
}

void JobWatch::WatchJob(const std::string& name) {
  if (name == job_name_) return;
  if (job_monitor_) job_monitor_->cancel();
  job_monitor_.reset();
  job_name_ = name;
  if (!name.empty() && name.find('/') == std::string::npos)
    job_monitor_ = Monitor(JobFilePath(app_folder_, name));
}

void JobWatch::OnEvent() {
  pending_.disconnect();
  pending_ = Glib::signal_timeout().connect(
      [this] {
        changed_.emit();
        return false;
      },
      kSettleMs);
}

}  // namespace tarvik
