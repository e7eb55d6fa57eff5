// The job menu's commands that create and edit jobs: edit job, new job and the import of a
// favorites folder. Each runs modally over the host's main window and reports its own failures.
#pragma once

#include <string>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

class JobHost;

// mnuEditJob: opens the job editor on the job selected in the main window (on the last job of
// the list right after New Job), then reloads the main window's job list at the index that was
// selected before and re-reads that job without navigating.
void mnuEditJob_Click(JobHost& host);

// mnuNewJob: asks for a name until it gets a usable one or an empty answer, creates the empty
// job file, lists the name and opens the editor on the new job.
void mnuNewJob_Click(JobHost& host);

// New Job's question for a name: asks until it gets a valid name (agreed to be overwritten when
// its job file exists) or an empty answer, which it returns for a cancel.
std::string AskNewJobName(JobHost& host);

// Asks for a name as New Job does and writes a job of that name holding `entries`, listed once
// (a job plan). Returns the name, or "" when the question was cancelled or the job could not
// be written (the message has been shown).
std::string CreateJobWithEntries(JobHost& host, const std::vector<JobEntry>& entries);

// A job file from outside the jobs folder (a double click in the file manager, "/j"): asks
// whether to add it to the jobs, under its name `name` or another when that is taken, and adds
// it. Returns the name it was listed under, or "" when it was not (the reason has been shown).
std::string AddJobFileFromElsewhere(JobHost& host, const std::string& path,
                                    const std::string& name);

// "ジョブ「NAME」を作成できませんでした。" and the reason.
std::string JobNotCreatedMessage(const std::string& name, const std::string& reason);

// True while the job editor opened from `host` is shown: the host's job state is the editor's
// business until it closes, and nothing from outside is read into it meanwhile.
bool EditorOpenFor(const JobHost& host);

// mnuImportFavFolder: asks for a folder (starting at the favorites folder) and, once confirmed,
// imports it as the job named after the folder.
void mnuImportFavFolder_Click(JobHost& host);

// The import itself: every shortcut file directly in `folder` becomes an entry of job `name`.
// Returns true when the job file was written.
bool ImportFavFolder(JobHost& host, const std::string& folder, const std::string& name);

// "ｼﾞｮﾌﾞの保存先": asks for the folder that holds the job list and the job files. A folder with
// a job list is used as it is; one without asks whether the current jobs are copied there (or
// it starts empty); one that cannot be used is refused with its reason. Every open window
// follows the new folder at once, those of other Tarvik processes too (jobs/jobs_service.h).
// The jobs are copied off the main loop behind a progress window whose Cancel leaves the folder
// as it was.
void mnuJobsFolder_Click(JobHost& host);
inline constexpr char kJobsFolderTitle[] = "ジョブの保存先フォルダを選択してください。";
inline constexpr char kCopyJobsTitle[] = "ｼﾞｮﾌﾞのｺﾋﾟｰ";

}  // namespace tarvik
