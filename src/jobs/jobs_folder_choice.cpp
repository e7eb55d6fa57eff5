#include "jobs/jobs_folder_choice.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <cerrno>

#include "jobs/job_files.h"
#include "jobs/job_plan.h"
#include "jobs/seen_state.h"
#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

// A file written and removed again in `folder`: the one sure sign that it takes files.
bool TakesFiles(const std::string& folder, std::string* error) {
  std::optional<std::string> temp = WriteTemporaryFileFor(JoinPath(folder, "TVJob.lst"), "", error);
  if (!temp) return false;
  ::unlink(temp->c_str());
  return true;
}

}  // namespace

JobsFolderCheck CheckJobsFolder(const std::string& folder) {
  JobsFolderCheck check;
  if (!DirectoryExists(folder)) {
    check.reason = "フォルダがありません";
    return check;
  }
  if (g_access(folder.c_str(), R_OK | W_OK | X_OK) != 0 || !TakesFiles(folder, &check.reason)) {
    if (check.reason.empty()) check.reason = g_strerror(errno);
    return check;
  }
  const std::string job_files = JoinPath(folder, "JobFiles");
  if (g_file_test(job_files.c_str(), G_FILE_TEST_EXISTS) && !DirectoryExists(job_files)) {
    // A file where the job files' folder belongs.
    check.reason = job_files + ": " + g_strerror(ENOTDIR);
    return check;
  }
  if (DirectoryExists(job_files) && (g_access(job_files.c_str(), R_OK | W_OK | X_OK) != 0 ||
                                     !TakesFiles(job_files, &check.reason))) {
    if (check.reason.empty()) check.reason = job_files + ": " + g_strerror(errno);
    return check;
  }
  // What a killed copy into this folder left (while it was not the jobs folder, no start swept
  // it): its temporary files, and job files that its job list never came to name, which would
  // otherwise push the next copy's jobs to other names.
  SweepJobLeftovers(folder);
  if (!JobListExists(folder)) {
    if (g_file_test(JobListPath(folder).c_str(), G_FILE_TEST_EXISTS))  // not a file
      check.reason = JobListPath(folder) + ": 通常のファイルではありません";
    else
      check.state = JobsFolderState::NoJobs;
    return check;
  }
  ReadFailure failure = ReadFailure::None;
  if (!ReadJobList(folder, &failure)) {
    check.reason = ReadFailureMessage(JobListPath(folder), failure);
    return check;
  }
  check.state = JobsFolderState::HoldsJobs;
  return check;
}

bool CopyJobsInto(const std::string& from, const std::string& to, std::string* error) {
  ReadFailure failure = ReadFailure::None;
  std::optional<std::vector<std::string>> names = ReadJobList(from, &failure);
  if (!names && failure != ReadFailure::Missing) {
    *error = ReadFailureMessage(JobListPath(from), failure);
    return false;
  }
  JobPlan plan;
  for (const std::string& name : names.value_or(std::vector<std::string>{})) {
    if (name.empty() || !JobFileExists(from, name)) continue;  // a line that names no job
    // Whole, however long: the cap on entries is the display's, not the file's.
    std::optional<Job> job = ReadWholeJobFile(from, name, &failure);
    if (!job) {
      *error = ReadFailureMessage(JobFilePath(from, name), failure);
      return false;
    }
    plan.jobs.push_back({name, std::move(job->entries), false});
  }
  const std::string job_files = JoinPath(to, "JobFiles");
  const bool made_job_files = !DirectoryExists(job_files);
  if (g_mkdir_with_parents(job_files.c_str(), 0755) != 0) {
    *error = job_files + ": " + g_strerror(errno);
    return false;
  }
  const PlanOutcome outcome = CarryOutJobPlan(to, plan);
  if (outcome.done() && (JobListExists(to) || WriteFileAtomically(JobListPath(to), "", error))) {
    // What the user saw of each job comes along; a state file that cannot costs only marks.
    // (A job that had to take another name there starts without them.)
    for (const std::string& name : outcome.names) CopySeenState(from, to, name);
    return true;
  }
  if (!outcome.done()) *error = outcome.error;
  if (made_job_files) g_rmdir(job_files.c_str());
  return false;
}

bool StartEmptyJobsFolder(const std::string& folder, std::string* error) {
  const std::string job_files = JoinPath(folder, "JobFiles");
  if (g_mkdir_with_parents(job_files.c_str(), 0755) != 0) {
    *error = job_files + ": " + g_strerror(errno);
    return false;
  }
  return WriteFileAtomically(JobListPath(folder), "", error);
}

std::string JobsFolderUnusableMessage(const std::string& folder, const std::string& reason) {
  return folder + "\r\nにはジョブを保存できません。保存先は変わりません。\r\n(" + reason + ")";
}

std::string CopyJobsQuestion(const std::string& folder) {
  return folder +
         "\r\nにはジョブリストがありません。今のジョブをこのフォルダにコピーしますか？\r\n"
         "「いいえ」を選ぶと、空のジョブリストで始めます。";
}

std::string JobsNotCopiedMessage(const std::string& reason) {
  return "ジョブをコピーできませんでした。保存先は変わりません。\r\n(" + reason + ")";
}

}  // namespace tarvik
