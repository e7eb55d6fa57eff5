// A job file opened from the desktop or with "/j" that does not lie in the jobs folder's
// "JobFiles/": the job list knows nothing of it, so the job of its name in the list would be
// another job, or none. Such a file is offered for adding to the jobs, under its own name or,
// when that is taken, under an unused one; once added it opens as any job does.
#pragma once

#include <string>

#include "jobs/job_plan.h"

namespace tarvik {

// Whether the file at `path` (relative to the working folder; links resolved) lies directly in
// the "JobFiles/" folder of `jobs_folder`. The file itself need not exist.
bool IsInJobsFolder(const std::string& path, const std::string& jobs_folder);

struct OutsideJobOffer {
  std::string path;        // the file as given
  std::string wanted;      // the job name the file's name gives, made valid
  PlannedJob job;          // what adding makes: `wanted`, or an unused name when that is taken
  bool truncated = false;  // the file holds more entries than a job; only the first are added
  std::string refusal;     // why it cannot be added; empty when it can
  bool can_add() const { return refusal.empty(); }
  JobPlan plan() const { return JobPlan{{job}}; }
};

// Reads the file at `path` and picks the name for the job `job_name` (the file's name up to its
// first "."), against the names the jobs folder holds now.
OutsideJobOffer OfferOutsideJobFile(const std::string& path, const std::string& job_name,
                                    const std::string& jobs_folder);

// The question that asks whether to add the file (Yes adds and opens it).
std::string AddOutsideJobQuestion(const OutsideJobOffer& offer);
// What is said when adding failed with `error`.
std::string AddOutsideJobFailure(const std::string& error);

}  // namespace tarvik
