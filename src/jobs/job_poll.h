// Following the jobs where the system cannot watch them (platform/file_watch.h): a look every
// few seconds at what a watch would have heard of. A look costs a stamp each of the job list, the
// loaded jobs' files and the two folders; a folder is read only when its own stamp changed, which
// a name added, removed or renamed in it does, and never for a change of a file's content.
#pragma once

#include <glibmm/main.h>
#include <sigc++/sigc++.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/file_watch.h"

namespace tarvik {

// How often the jobs are looked at while no watch hears of their changes, in milliseconds.
inline constexpr unsigned kJobPollMs = 3000;

// The status bar's word, once, that changes made elsewhere show with a delay.
inline constexpr char kNoFileWatchNotice[] =
    "この環境ではファイルの変更を監視できないため、ほかで行われた変更は数秒遅れて表示されます";

// What changed between two looks at the jobs of a folder: what a watch of the job list, of a job
// file and of the two folders would have reported.
class JobFilesLook {
 public:
  // Looks at the jobs of `folder` from now on, and at the files of `jobs`. What was not looked at
  // before is stamped now, so the next look sees a change made from here on.
  void Follow(const std::string& folder, const std::vector<std::string>& jobs, std::int64_t now_ns);
  // The same with the file of one job `job` ("" for none).
  void Follow(const std::string& folder, const std::string& job, std::int64_t now_ns) {
    Follow(folder, job.empty() ? std::vector<std::string>{} : std::vector<std::string>{job},
           now_ns);
  }
  // Looks again at `now_ns`: true when, since the last look, the job list or the job's file was
  // created, changed, replaced or removed, or a folder changed and holds a conflict copy, or
  // "JobFiles/" changed and holds the file of one of `awaited`.
  bool Look(const std::vector<std::string>& awaited, std::int64_t now_ns);

 private:
  struct Seen {
    FileStamp stamp;
    bool unsure = false;  // the stamp may hide a change made after it was taken
  };
  // True when `path` differs from its last stamp (or its last stamp was unsure).
  bool Changed(const std::string& path, std::int64_t now_ns);

  std::string folder_;
  std::vector<std::string> job_paths_;
  std::map<std::string, Seen> seen_;
};

// Looks at the jobs of a folder every kJobPollMs and reports what changed, as JobWatch does.
// It owns its timer, so that whatever follows the jobs (the jobs service's watch) can own one.
class JobPoll {
 public:
  explicit JobPoll(std::string folder, unsigned every_ms = kJobPollMs);
  ~JobPoll() { timer_.disconnect(); }
  JobPoll(const JobPoll&) = delete;
  JobPoll& operator=(const JobPoll&) = delete;

  void SetFolder(const std::string& folder);
  void WatchJobs(const std::vector<std::string>& names);
  void AwaitJobs(std::vector<std::string> names) { awaited_ = std::move(names); }

  // Something changed (JobFilesLook::Look), seen at a look.
  sigc::signal<void()>& signal_changed() { return changed_; }
  // The first look has been made: from now on changes made elsewhere show with its delay.
  sigc::signal<void()>& signal_first_look() { return first_look_; }

 private:
  void Follow();
  bool OnTimer();

  std::string folder_;
  std::vector<std::string> jobs_;
  std::vector<std::string> awaited_;
  JobFilesLook look_;
  bool looked_ = false;
  sigc::connection timer_;
  sigc::signal<void()> changed_;
  sigc::signal<void()> first_look_;
};

}  // namespace tarvik
