// New jobs as a value. A command that makes jobs (New Job, a bookmarks import, a favorites-folder
// import, the page shown added to a new job, a job from a list of links, a job file added from
// outside the jobs folder, the jobs copied into a new jobs folder) first decides what it will
// write: the names, the entries of each job file, the lines to add to the job list. Carrying the
// plan out then writes the job files beside their places, and puts them in place and lists them
// together, under one lock of the job list, in one write of the list, whatever the number of jobs.
//
// What a stop leaves: a plan stopped (Cancel) or failing before the list is written leaves no
// job at all; after that point every job of the plan is whole and listed. A process killed in the
// middle leaves temporary files and, for a moment, files the list does not name yet; the next
// start, or the next check of that folder as the jobs folder (SweepJobLeftovers), removes both.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

// A job to make: its name and its entries. `replace` says that a job of that name may exist and
// is to be replaced (the user agreed to overwrite it); otherwise the name is one the job list and
// the job files did not hold when the plan was made.
struct PlannedJob {
  std::string name;
  std::vector<JobEntry> entries;
  bool replace = false;
  bool operator==(const PlannedJob&) const = default;
};

struct JobPlan {
  std::vector<PlannedJob> jobs;  // in the order their lines go to the end of the list
};

// The names a new job must not take: the job list's lines and the job files' names.
std::vector<std::string> TakenJobNames(const std::string& jobs_folder);

// How carrying out a plan went.
struct PlanOutcome {
  std::vector<std::string> names;  // the jobs made, whole and listed, with their final names
  size_t entries = 0;              // their entries in all
  bool cancelled = false;          // stopped by the progress callback; nothing was made
  std::string error;               // why it failed: nothing was made unless `names` says so
  bool done() const { return !cancelled && error.empty(); }
};

// Told (entries written, entries in all) while the job files are written; returns false to stop.
using PlanProgress = std::function<bool(size_t done, size_t total)>;

// Carries out `plan` in the jobs folder `jobs_folder`. A planned name that another process took
// after the plan was made gets the next unused one (PlanOutcome::names says which). A job already
// listed keeps its one line; a new one gets its line at the end of the list.
PlanOutcome CarryOutJobPlan(const std::string& jobs_folder, const JobPlan& plan,
                            const PlanProgress& progress = {});

// What a writer that was killed left in the jobs folder and its "JobFiles/": temporary
// files whose process no longer runs, and job files a plan of this host put in place but never
// listed. Run at start-up, and on a folder checked as the jobs folder (jobs_folder_choice.h).
void SweepJobLeftovers(const std::string& jobs_folder);

}  // namespace tarvik
