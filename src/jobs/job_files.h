// Job files and the job list, "TVJob.lst" and "JobFiles/*.tvj": their reads, writes, renames and
// deletes are this file's functions. Others use them: the first start creates the empty list and
// folder (platform/app_folder.h), and a folder chosen as the jobs folder is given them
// (jobs_folder_choice.h); job_plan.h makes new jobs, putting their files in place and listing them
// at once under the list's lock; job_editing.h's writers (the editor's save, an added page) and
// job_conflicts.h's merge hold that lock around each read and write of a job file; job_watch.h
// watches the files, and job_poll.h looks at them where the system gives no watch.
//
// The job list, jobs folder + "/TVJob.lst", holds one job name per line; its line order is
// the job index order. A job file, jobs folder + "/JobFiles/" + name + ".tvj"
// (platform/file_names.h names the folder and the ending), holds one
// entry per line: the title with its commas removed, ",", the URL. Both are read with the text
// rule of text_file.h (code page 932 or UTF-8, any line end) and written in code page 932 with
// CR LF, or in UTF-8 with a byte-order mark when a character does not fit.
//
// Every write replaces its file atomically, so a crash or a full disk leaves the old file whole.
// Writers return false and put a short reason into `error` when they fail; readers of a missing
// or unreadable file return std::nullopt, so "missing" and "empty" stay distinguishable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_names.h"  // the job-name rule, IsValidJobName
#include "platform/text_file.h"

namespace tarvik {

struct JobEntry {
  std::string Title;
  std::string URL;
  bool operator==(const JobEntry&) const = default;
};

// The most entries a job shows (indices 0 to 32,766). A file may hold more (another program, a
// sync tool's merge wrote them): what only passes a job's file on (a conflict merge, a copy to
// another jobs folder) reads it whole, and keeps every entry.
inline constexpr int kMaxJobEntries = 32767;

// What the windows say when the job list or a job's file is missing.
inline constexpr char kNoJobListMessage[] =
    "ジョブリストファイル TVJob.lst が見つかりません。\r\nジョブを読み込まずに起動します。";
inline constexpr char kNoJobFileMessage[] = "該当するジョブファイルがありません";
// A job file that holds no entry.
inline constexpr char kEmptyJobFileMessage[] = "このジョブファイルには\r\nURLが登録されていません";

// A job as read from its file.
struct Job {
  std::vector<JobEntry> entries;
  int last_index = -1;     // entries.size() - 1; -1 for an empty job
  bool truncated = false;  // the file held more than kMaxJobEntries; only the first were read
};

// ---- Paths -------------------------------------------------------------------------------------

std::string JobListPath(const std::string& jobs_folder);
std::string JobFilePath(const std::string& jobs_folder, const std::string& name);

// ---- The job list ------------------------------------------------------------------------------

bool JobListExists(const std::string& jobs_folder);
// Every line, empty lines included, in file order; nothing when the file is missing or unreadable
// (`failure` says why; a list past kJobListReadLimit is not read).
std::optional<std::vector<std::string>> ReadJobList(const std::string& jobs_folder,
                                                    ReadFailure* failure = nullptr);
//
// Each writer below reads, changes and replaces the list under FileLock(JobListPath(...)), so
// several Tarvik processes changing the list at once never drop each other's lines. A list that
// exists but cannot be read is left as it is.
// Adds `name` as the last line, creating the list when it is missing. The existing lines are
// kept byte for byte unless the name needs UTF-8 and the list is in code page 932, in which case
// the whole list is rewritten in UTF-8. A list whose last line has no terminator gets one first,
// so the name never joins that line.
bool AppendJobName(const std::string& jobs_folder, const std::string& name,
                   std::string* error = nullptr);

// The job list's lock, held for a change that spans the list and other files (new jobs with
// their lines, see job_plan.h). Functions that take it expect the caller to hold it.
class JobListLock {
 public:
  explicit JobListLock(const std::string& jobs_folder);

 private:
  FileLock lock_;
};
// AppendJobName for several names, in one write of the list, under a lock the caller holds.
bool AppendJobNames(const JobListLock& held, const std::string& jobs_folder,
                    const std::vector<std::string>& names, std::string* error = nullptr);
// Replaces the list with `names`, one per line, in order.
bool RewriteJobList(const std::string& jobs_folder, const std::vector<std::string>& names,
                    std::string* error = nullptr);
// Drops every line equal to `name` (so a name duplicated by hand goes completely) and rewrites
// the list with the rest. A missing list is a failure.
bool RemoveJobFromList(const std::string& jobs_folder, const std::string& name,
                       std::string* error = nullptr);

// Renames every line equal to `old_name` to `new_name` in the list as it is on disk now, keeping
// every other line, those other processes added included, in place. Fails, changing nothing,
// when the list does not hold `old_name` or already holds `new_name`.
bool RenameJobInList(const std::string& jobs_folder, const std::string& old_name,
                     const std::string& new_name, std::string* error = nullptr);

// A name holding a line break would become two lines of the list, so the list writers refuse
// it (and leave the file as it was).

// ---- Job files ---------------------------------------------------------------------------------
//
// A name that cannot be a file name here (one holding "/" or a NUL character) has no job file:
// JobFileExists and ReadJobFile report it missing and the writers refuse it, so a hand-edited job
// list can never point outside "JobFiles/".

bool JobFileExists(const std::string& jobs_folder, const std::string& name);
// The job's entries; nothing when the file is missing or unreadable. An empty file gives no
// entries and last index -1. A file that ends in the middle of an entry (an odd number of
// fields) keeps that last entry with an empty URL. Blank lines at the end are no entries. A file
// past kJobFileReadLimit is not read; `failure` says why nothing came.
std::optional<Job> ReadJobFile(const std::string& jobs_folder, const std::string& name,
                               ReadFailure* failure = nullptr);
// ReadJobFile without the kMaxJobEntries cap: every entry of the file, `truncated` never set.
std::optional<Job> ReadWholeJobFile(const std::string& jobs_folder, const std::string& name,
                                    ReadFailure* failure = nullptr);
// Replaces the job file with `entries`, one line each. Creates "JobFiles/" when it is missing.
bool WriteJobFile(const std::string& jobs_folder, const std::string& name,
                  const std::vector<JobEntry>& entries, std::string* error = nullptr);
// Creates the job file, or empties an existing one.
bool CreateEmptyJobFile(const std::string& jobs_folder, const std::string& name,
                        std::string* error = nullptr);
// Renames the job file of `old_name` to that of `new_name`. Refuses when the new name's file
// already exists, so renaming never destroys another job; renaming to the same name succeeds.
bool RenameJobFile(const std::string& jobs_folder, const std::string& old_name,
                   const std::string& new_name, std::string* error = nullptr);
// The names of the jobs that have a file in "JobFiles/", listed or not, in no particular order.
std::vector<std::string> JobFileNames(const std::string& jobs_folder);
// Deletes the job file. A file that is already missing counts as deleted.
bool DeleteJobFile(const std::string& jobs_folder, const std::string& name,
                   std::string* error = nullptr);

// ---- The formats, on text and bytes (for callers that already hold the file) -------------------

// Job file bytes → entries, by the field rule: fields end at a comma or a line end; spaces in
// front of a field are skipped; a field that begins with a double quote runs to the next double
// quote, and what follows the closing quote up to the next separator is dropped.
Job ParseJobFile(std::string_view bytes);
// ParseJobFile without the kMaxJobEntries cap.
Job ParseWholeJobFile(std::string_view bytes);
// Entries → job file bytes. The title loses its commas. A field that the reader would not give
// back whole (one holding a comma, CR or LF, or beginning with a space or a double quote) is
// written in double quotes. The format has no way to put a double quote inside a quoted field,
// so in a field that must be quoted each double quote is written as "＂" (U+FF02) in a title and
// as "%22", the same address, in a URL. StoredForm gives what an entry reads back as.
std::string FormatJobFile(const std::vector<JobEntry>& entries);
JobEntry StoredForm(const JobEntry& entry);

// Job list bytes → names; names → bytes (CR LF after every name).
std::vector<std::string> ParseJobList(std::string_view bytes);
std::string FormatJobList(const std::vector<std::string>& names);

}  // namespace tarvik
