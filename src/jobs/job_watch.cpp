#include "jobs/job_watch.h"

#include <giomm/file.h>
#include <giomm/init.h>
#include <glibmm/main.h>

#include <algorithm>
#include <unordered_set>

#include "jobs/job_conflicts.h"
#include "jobs/job_files.h"
#include "platform/file_names.h"
#include "platform/file_watch.h"
#include "platform/path_util.h"

namespace tarvik {

namespace {

// How long a burst of events may last before it is reported, in milliseconds.
constexpr unsigned kSettleMs = 60;
// How long after the watch starts it looks for conflict copies that were there before it.
constexpr unsigned kFirstLookMs = 1000;

bool Lists(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The names of `after` that `before` lacks, each once, in the order of `after`; blank lines are
// no names. Lists of 40,000 jobs are compared in one pass each.
std::vector<std::string> NewNames(const std::vector<std::string>& before,
                                  const std::vector<std::string>& after) {
  std::unordered_set<std::string> seen(before.begin(), before.end());
  std::vector<std::string> added;
  for (const std::string& name : after)
    if (!name.empty() && seen.insert(name).second) added.push_back(name);
  return added;
}

}  // namespace

std::optional<std::string> FollowedJobName(const std::string& jobs_folder, const std::string& name,
                                           const std::vector<JobEntry>& entries,
                                           const std::vector<std::string>& before,
                                           const std::vector<std::string>& after) {
  if (Lists(after, name)) return name;
  if (JobFileExists(jobs_folder, name)) return std::nullopt;
  std::optional<std::string> found;
  for (const std::string& candidate : NewNames(before, after)) {
    std::optional<Job> job = ReadJobFile(jobs_folder, candidate);
    if (!job || job->entries != entries) continue;
    if (found) return std::nullopt;  // two copies of the job: no telling which one it became
    found = candidate;
  }
  return found;
}

bool JobMayStillBeDelivered(const std::string& jobs_folder, const std::string& name,
                            const std::vector<std::string>& before,
                            const std::vector<std::string>& after) {
  if (JobFileExists(jobs_folder, name)) return true;
  for (const std::string& line : NewNames(before, after))
    if (!JobFileExists(jobs_folder, line)) return true;
  return false;
}

void DeliveryWait::Start(const std::string& name, Clock::time_point now) {
  since_.emplace(name, now);
}

bool DeliveryWait::Waiting(const std::string& name, Clock::time_point now) const {
  auto it = since_.find(name);
  return it != since_.end() && now - it->second < std::chrono::milliseconds(kDeliveryGraceMs);
}

void DeliveryWait::Stop(const std::string& name) { since_.erase(name); }

JobWatch::JobWatch(std::string jobs_folder) : jobs_folder_(std::move(jobs_folder)) {
  Gio::init();
  StartMonitors();
}

JobWatch::~JobWatch() {
  pending_.disconnect();
  poll_.reset();
  for (auto* monitor : {&list_monitor_, &folder_monitor_, &job_files_monitor_})
    if (*monitor) (*monitor)->cancel();
  for (auto& [name, monitor] : job_monitors_)
    if (monitor) monitor->cancel();
}

void JobWatch::StartMonitors() {
  list_monitor_ = Monitor(JobListPath(jobs_folder_));
  folder_monitor_ = MonitorFolder(jobs_folder_);
  job_files_monitor_ = MonitorFolder(JobFilesFolder(jobs_folder_));
  // Copies that lie there already are reported too, once the window is up: reading a folder of
  // 40,000 job files is no work for before the first page.
  pending_.disconnect();
  pending_ = Glib::signal_timeout().connect(
      [this] {
        if (HasConflictCopies(jobs_folder_)) changed_.emit();
        return false;
      },
      kFirstLookMs, Glib::PRIORITY_LOW);
}

void JobWatch::SetFolder(const std::string& folder) {
  if (folder == jobs_folder_) return;
  for (auto* monitor : {&list_monitor_, &folder_monitor_, &job_files_monitor_}) {
    if (*monitor) (*monitor)->cancel();
    monitor->reset();
  }
  for (auto& [name, monitor] : job_monitors_)
    if (monitor) monitor->cancel();
  job_monitors_.clear();
  jobs_folder_ = folder;
  awaited_.clear();
  if (poll_) poll_->SetFolder(folder);
  StartMonitors();
  std::vector<std::string> names = std::move(jobs_);
  jobs_.clear();
  WatchJobs(std::move(names));
}

Glib::RefPtr<Gio::FileMonitor> JobWatch::MonitorFolder(const std::string& path) {
  Glib::RefPtr<Gio::FileMonitor> monitor = WatchFolder(path);
  PollUnlessHeard(monitor, path);
  if (!monitor) return {};
  monitor->signal_changed().connect([this](const Glib::RefPtr<Gio::File>& file,
                                           const Glib::RefPtr<Gio::File>& other,
                                           Gio::FileMonitorEvent event) {
    if (event == Gio::FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED) return;
    for (const auto& f : {file, other}) {
      if (!f) continue;
      const std::string base = f->get_basename();
      const std::string job = JobNameOfFile(base);
      const bool awaited = !job.empty() && Lists(awaited_, job);
      if (awaited || ConflictCopyOriginal(base)) {
        OnEvent();
        return;
      }
    }
  });
  return monitor;
}

Glib::RefPtr<Gio::FileMonitor> JobWatch::Monitor(const std::string& path) {
  // A monitor of a file that does not exist yet reports its creation.
  Glib::RefPtr<Gio::FileMonitor> monitor = WatchFile(path);
  PollUnlessHeard(monitor, path.substr(0, path.rfind('/')));  // GLib watches the file's folder
  if (!monitor) return {};
  monitor->signal_changed().connect([this](const Glib::RefPtr<Gio::File>&,
                                           const Glib::RefPtr<Gio::File>&,
                                           Gio::FileMonitorEvent event) {
    if (event != Gio::FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED) OnEvent();
  });
  return monitor;
}

void JobWatch::PollUnlessHeard(const Glib::RefPtr<Gio::FileMonitor>& monitor,
                               const std::string& folder) {
  if (poll_ || (WatchHearsChanges(monitor) && WatchesLeft(folder))) return;
  // Once begun, the looks go on for the life of the watch: they cost little, and a watch that
  // failed once fails again while whatever used up the user's watches runs.
  poll_ = std::make_unique<JobPoll>(jobs_folder_);
  poll_->WatchJobs(jobs_);
  poll_->AwaitJobs(awaited_);
  poll_->signal_changed().connect(sigc::mem_fun(*this, &JobWatch::OnEvent));
  poll_->signal_first_look().connect([this] { unwatched_.emit(); });
}

void JobWatch::AwaitJobs(std::vector<std::string> names) {
  if (poll_) poll_->AwaitJobs(names);
  awaited_ = std::move(names);
}

void JobWatch::WatchJobs(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  std::erase_if(names, [](const std::string& n) { return n.empty() || n.find('/') != n.npos; });
  if (names == jobs_) return;
  // A job still watched keeps its monitor; the others' go, and the new ones' come.
  std::map<std::string, Glib::RefPtr<Gio::FileMonitor>> kept;
  for (const std::string& name : names) {
    auto it = job_monitors_.find(name);
    if (it != job_monitors_.end()) {
      kept.insert(*it);
      job_monitors_.erase(it);
    }
  }
  for (auto& [name, monitor] : job_monitors_)
    if (monitor) monitor->cancel();
  job_monitors_ = std::move(kept);
  jobs_ = std::move(names);
  if (poll_) poll_->WatchJobs(jobs_);
  for (const std::string& name : jobs_)
    if (!job_monitors_.count(name)) job_monitors_[name] = Monitor(JobFilePath(jobs_folder_, name));
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
