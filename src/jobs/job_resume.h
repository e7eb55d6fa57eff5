// Where each job was left: the entry of a job last shown in a main window, kept in the settings
// store (section "Resume", one key per job), so that "続きから開く" opens it again after a
// restart. Renaming a job carries its key along; deleting a job removes it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

// The entry a job was left at: its index then and its address, so that an entry that moved
// since is still found.
struct ResumePoint {
  int index = 0;
  std::string url;
  bool operator==(const ResumePoint&) const = default;
};

// The settings key of job `name`. The store compares key names without regard to case and a
// key file cannot hold every character, so every byte other than a lower-case ASCII letter, a
// digit, "-", "_" or "." is written as "%XX" (upper-case hex): two names never share a key.
std::string ResumeKey(const std::string& name);

// The stored value: "index,URL"; back again, nothing for a value that is not one.
std::string FormatResumePoint(const ResumePoint& point);
std::optional<ResumePoint> ParseResumePoint(const std::string& value);

// Reads and writes the user's settings store.
void RememberResumePoint(const std::string& name, const ResumePoint& point);
std::optional<ResumePoint> RecallResumePoint(const std::string& name);
// Moves the key of `old_name` to `new_name` in one replace of the store; nothing when the old
// name has none.
void RenameResumePoint(const std::string& old_name, const std::string& new_name);
void ForgetResumePoint(const std::string& name);

// The entry of `entries` to open for `point`: the entry it named when it is still there (by its
// address, else its index cut to the job's length); 0 without a point.
int ResumeIndex(const std::vector<JobEntry>& entries, const std::optional<ResumePoint>& point);

// Which places a window's pages are worth remembering for "続きから開く": a page of the loaded
// job completed at its entry. A job just chosen opens at its first page, which is not where the
// user left it; a link followed inside the page does not move the job's place.
class ResumeTracker {
 public:
  // A page of job `name` completed at `point`: the point to remember, or nothing.
  std::optional<ResumePoint> Shown(const std::string& name, const ResumePoint& point);
  // Job `name` was opened at `point` where it was left: nothing new to remember there.
  void Resumed(const std::string& name, const ResumePoint& point);
  // The job of the pages shown was renamed elsewhere.
  void Renamed(const std::string& from, const std::string& to);

 private:
  std::string job_;                        // the job of the last page completed
  std::optional<ResumePoint> last_point_;  // what was last remembered for it
};

}  // namespace tarvik
