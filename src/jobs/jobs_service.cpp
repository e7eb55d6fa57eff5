#include "jobs/jobs_service.h"

#include <giomm/init.h>

#include <algorithm>

#include "platform/app_folder.h"
#include "platform/path_util.h"

namespace tarvik {

JobsService::JobsService() : folder_(StoredJobsFolder()) {}

JobsService::~JobsService() { CancelBackgroundTasks(); }

void JobsService::ChooseFolder(const std::string& folder) {
  const std::string trimmed = WithoutTrailingSlash(folder);
  StoreJobsFolder(trimmed == ApplicationFolder() ? std::string() : trimmed);
  Follow(trimmed.empty() ? ApplicationFolder() : trimmed);
}

void JobsService::Follow(const std::string& folder) {
  if (folder == folder_) return;
  folder_ = folder;
  CancelBackgroundTasks();
  if (watch_) watch_->SetFolder(folder_);
  folder_changed_.emit();
}

void JobsService::StartWatching() {
  if (watch_) return;
  Gio::init();
  watch_ = std::make_unique<JobWatch>(folder_);
  watch_->signal_changed().connect(sigc::mem_fun(*this, &JobsService::OnWatchChanged));
  watch_->signal_unwatched().connect([this] { unwatched_.emit(); });
  UpdateWatch();
  settings_watch_ =
      std::make_unique<SettingsFileWatch>(sigc::mem_fun(*this, &JobsService::OnSettingsChanged));
}

void JobsService::OnSettingsChanged() {
  // A settings file that is gone or cannot be read changes nothing.
  if (std::optional<std::string> stored = ReadStoredJobsFolder()) Follow(*stored);
}

void JobsService::OnWatchChanged() {
  // Both sides of a conflict the sync tool kept, merged before any window reads anything.
  const ConflictMerge merge = MergeConflictCopies(folder_);
  const ConflictMergeReport report = ConflictReport(merge);
  if (!report.notice.empty() || !report.failure.empty()) report_.emit(report);
  changed_.emit(merge);
}

ConflictMergeReport JobsService::ConflictReport(const ConflictMerge& merge) {
  ConflictMergeReport report;
  report.notice = MergedConflictNotice(merge);
  // A copy left in place, or one that could not be merged, stays there and is found again at
  // each change: the user hears of it once.
  std::string kept;
  for (const std::string& path : merge.kept)
    if (told_.insert("kept:" + path).second) kept += "「" + path + "」";
  if (!kept.empty())
    report.notice += (report.notice.empty() ? "" : "。") + ConflictCopiesKeptNotice(kept);
  std::string failed;
  for (const std::string& error : merge.errors)
    if (told_.insert("error:" + error).second) failed += "\r\n" + error;
  if (!failed.empty()) report.failure = kConflictMergeFailedMessage + failed;
  return report;
}

void JobsService::FollowJob(const void* who, const std::string& name) {
  followed_[who].job = name;
  UpdateWatch();
}

void JobsService::AwaitJobs(const void* who, std::vector<std::string> names) {
  followed_[who].awaited = std::move(names);
  UpdateWatch();
}

void JobsService::Forget(const void* who) {
  followed_.erase(who);
  UpdateWatch();
}

void JobsService::UpdateWatch() {
  if (!watch_) return;
  std::vector<std::string> jobs;
  std::vector<std::string> awaited;
  for (const auto& [who, followed] : followed_) {
    if (!followed.job.empty()) jobs.push_back(followed.job);
    awaited.insert(awaited.end(), followed.awaited.begin(), followed.awaited.end());
  }
  if (followed_.size() > 1) {
    std::sort(awaited.begin(), awaited.end());
    awaited.erase(std::unique(awaited.begin(), awaited.end()), awaited.end());
  }
  watch_->WatchJobs(std::move(jobs));
  watch_->AwaitJobs(std::move(awaited));
}

void JobsService::AddBackgroundTask(std::unique_ptr<JobsBackgroundTask> task) {
  tasks_.push_back(std::move(task));
}

void JobsService::CancelBackgroundTasks() {
  for (auto& task : tasks_) task->Cancel();
  tasks_.clear();
}

}  // namespace tarvik
