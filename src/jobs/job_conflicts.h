// Conflict copies that sync tools leave when two machines changed the same file before they
// heard from each other. The tool keeps one side under the file's own name and the other beside
// it under a name of its own:
//   Syncthing  "News.sync-conflict-20261207-101010-ABCDEFG.tvj"
//   Nextcloud  "News (conflicted copy 2026-12-07 101010).tvj"
//   Dropbox    "News (host's conflicted copy 2026-12-07).tvj"
// Tarvik merges such a copy of the job list or of a job file into the original, so that no name
// and no entry of either side is lost, and puts the copy in the trash. A conflict copy is never
// a job of its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

// The file name that `file_name` is a conflict copy of ("News.tvj" for any of the names above),
// or nothing when it is no conflict copy.
std::optional<std::string> ConflictCopyOriginal(const std::string& file_name);

// The merge rule, the same for names and entries: every item of `original`, in its order, each
// once; then every item of `copy` that the original lacks, each once, placed after the item it
// follows in the copy (and after the original's own items of that gap), or before the item it
// precedes when it is the copy's first. An item that moved in the copy stays where the original
// has it.
std::vector<std::string> MergeJobNames(const std::vector<std::string>& original,
                                       const std::vector<std::string>& copy);
std::vector<JobEntry> MergeJobEntries(const std::vector<JobEntry>& original,
                                      const std::vector<JobEntry>& copy);

// What merging the copies of a jobs folder did.
struct ConflictMerge {
  bool list = false;                // a copy of the job list was merged into it
  std::vector<std::string> jobs;    // the jobs whose copies were merged into their files
  std::vector<std::string> kept;    // copies that could not be put away (see MergeConflictCopies)
  std::vector<std::string> errors;  // merges that failed: the copy stays where it is
};

// Merges every conflict copy of "TVJob.lst" in `jobs_folder` and of a job file in its
// "JobFiles/" into its original, under the job list's lock; each merged file is replaced
// atomically, and written only when the merge changed it. A job's remembered place follows its
// entry. The copy then goes to the trash; where the file system has none, it is moved to
// "Conflicts/" in the application folder, and where that fails too it stays where it is (no
// job of its own all the same) and `kept` names it. A copy that cannot be read, or whose
// merge cannot be written, is left alone.
ConflictMerge MergeConflictCopies(const std::string& jobs_folder);

// True when `jobs_folder` or its "JobFiles/" holds a conflict copy.
bool HasConflictCopies(const std::string& jobs_folder);

// The status bar's word after a merge, naming the jobs merged ("「News」の競合コピーを統合しま
// した"), or the job list; "" when nothing was merged.
std::string MergedConflictNotice(const ConflictMerge& merge);
// The status bar's word for copies that stay where the tool left them (`copies`: their paths,
// each in 「」).
std::string ConflictCopiesKeptNotice(const std::string& copies);
// The message for merges that failed; the reasons follow it, one a line.
inline constexpr char kConflictMergeFailedMessage[] =
    "同期ツールが残した競合コピーを統合できませんでした。コピーはそのまま残っています。";

}  // namespace tarvik
