// What choosing another jobs folder (jobs_service.h) decides: whether the folder already
// holds jobs, may receive them, or cannot be used; and the copy of the current jobs into it,
// whole or not at all.
#pragma once

#include <string>

#include "jobs/job_plan.h"

namespace tarvik {

enum class JobsFolderState {
  HoldsJobs,  // it has a job list: it is used as it is
  NoJobs,     // no job list yet: the current jobs may be copied there, or it starts empty
  Unusable,   // not a folder Tarvik can read and write: nothing changes
};

struct JobsFolderCheck {
  JobsFolderState state = JobsFolderState::Unusable;
  std::string reason;  // why it is unusable
};

// Looks at `folder`, writing and removing a small file there (and in its "JobFiles/") to be sure
// it takes files. A usable folder loses what a killed writer left there (SweepJobLeftovers), so
// that a copy killed earlier leaves nothing in the way of the next.
JobsFolderCheck CheckJobsFolder(const std::string& folder);

// Copies every listed job of `from` that has a file into `to` (a folder with no job list), in
// list order, as one job plan (job_plan.h), every entry of each (a job may hold more than
// kMaxJobEntries): the job list and "JobFiles/" of `to` hold all of them at the end, or, on
// failure, no job at all. Returns false with the reason in `error`. `progress` is told of the
// jobs read (the first half) and the entries written (the second); when it returns false the
// copy stops, leaving no job, and returns false with `error` empty.
bool CopyJobsInto(const std::string& from, const std::string& to, std::string* error,
                  const PlanProgress& progress = {});

// Gives `folder`, which has no job list, an empty one and "JobFiles/".
bool StartEmptyJobsFolder(const std::string& folder, std::string* error);

// The messages of the choice.
std::string JobsFolderUnusableMessage(const std::string& folder, const std::string& reason);
std::string CopyJobsQuestion(const std::string& folder);
std::string JobsNotCopiedMessage(const std::string& reason);

}  // namespace tarvik
