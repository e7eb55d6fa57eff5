#include "jobs/job_poll.h"

#include <glib.h>

#include <unordered_set>

#include "jobs/job_conflicts.h"
#include "jobs/job_files.h"
#include "platform/file_names.h"
#include "platform/path_util.h"

namespace tarvik {

namespace {

std::int64_t NowNs() { return g_get_real_time() * 1000; }

// True when `folder` holds a conflict copy, or (with `awaited`) the file of an awaited job: one
// reading of the folder, each name matched once.
bool FolderHasNews(const std::string& folder, const std::unordered_set<std::string>* awaited) {
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (!dir) return false;
  bool found = false;
  while (const char* name = g_dir_read_name(dir)) {
    const std::string base = name;
    if (ConflictCopyOriginal(base) || (awaited && awaited->count(JobNameOfFile(base)))) {
      found = true;
      break;
    }
  }
  g_dir_close(dir);
  return found;
}

}  // namespace

void JobFilesLook::Follow(const std::string& folder, const std::vector<std::string>& jobs,
                          std::int64_t now_ns) {
  folder_ = folder;
  job_paths_.clear();
  for (const std::string& job : jobs)
    if (!job.empty() && job.find('/') == std::string::npos)
      job_paths_.push_back(JobFilePath(folder, job));
  std::vector<std::string> paths = {JobListPath(folder), folder, JobFilesFolder(folder)};
  paths.insert(paths.end(), job_paths_.begin(), job_paths_.end());
  std::map<std::string, Seen> kept;
  for (const std::string& path : paths) {
    auto it = seen_.find(path);
    if (it != seen_.end()) {
      kept.insert(*it);
    } else {
      const FileStamp stamp = StampOf(path);
      kept.emplace(path, Seen{stamp, StampMayHideAChange(stamp, now_ns)});
    }
  }
  seen_ = std::move(kept);
}

bool JobFilesLook::Changed(const std::string& path, std::int64_t now_ns) {
  Seen& seen = seen_[path];
  const FileStamp stamp = StampOf(path);
  const bool changed = stamp != seen.stamp || seen.unsure;
  seen = Seen{stamp, StampMayHideAChange(stamp, now_ns)};
  return changed;
}

bool JobFilesLook::Look(const std::vector<std::string>& awaited, std::int64_t now_ns) {
  if (folder_.empty()) return false;
  bool changed = Changed(JobListPath(folder_), now_ns);
  for (const std::string& job_path : job_paths_) changed = Changed(job_path, now_ns) || changed;
  // Every stamp is taken at each look, so that a change is reported at the first look after it.
  if (Changed(folder_, now_ns)) changed = FolderHasNews(folder_, nullptr) || changed;
  const std::string job_files = JobFilesFolder(folder_);
  if (Changed(job_files, now_ns)) {
    const std::unordered_set<std::string> waiting(awaited.begin(), awaited.end());
    changed = FolderHasNews(job_files, &waiting) || changed;
  }
  return changed;
}

JobPoll::JobPoll(std::string folder, unsigned every_ms) : folder_(std::move(folder)) {
  Follow();
  timer_ = Glib::signal_timeout().connect(sigc::mem_fun(*this, &JobPoll::OnTimer), every_ms,
                                          Glib::PRIORITY_LOW);
}

void JobPoll::Follow() { look_.Follow(folder_, jobs_, NowNs()); }

void JobPoll::SetFolder(const std::string& folder) {
  if (folder == folder_) return;
  folder_ = folder;
  awaited_.clear();
  Follow();
}

void JobPoll::WatchJobs(const std::vector<std::string>& names) {
  if (names == jobs_) return;
  jobs_ = names;
  Follow();
}

bool JobPoll::OnTimer() {
  const bool changed = look_.Look(awaited_, NowNs());
  if (!looked_) {
    looked_ = true;
    first_look_.emit();
  }
  if (changed) changed_.emit();
  return true;
}

}  // namespace tarvik
