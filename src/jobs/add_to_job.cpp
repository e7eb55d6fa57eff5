#include "jobs/add_to_job.h"

#include <algorithm>

#include "favorites/favorites_commands.h"
#include "jobs/job_commands.h"
#include "jobs/job_host.h"
#include "jobs/job_plan.h"
#include "jobs/jobs_service.h"
#include "platform/browser_control.h"
#include "platform/dialogs.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

std::optional<JobEntry> PageShown(JobHost& host, BrowserControl& browser) {
  const std::string url = browser.LocationURL();
  if (!IsPageToAdd(url)) {
    ShowError(&host.job_window(), kNoPageToAddMessage);
    return std::nullopt;
  }
  return JobEntry{browser.LocationName(), url};
}

bool MakeJobOf(JobHost& host, const std::string& name, const JobEntry& entry,
               std::string* created_name);

}  // namespace

std::string AddedToJobNotice(const std::string& name) { return "「" + name + "」に追加しました"; }

std::vector<int> AddToJobMenuJobs(const std::vector<std::string>& names, bool* more) {
  std::vector<int> listed;
  *more = false;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty()) continue;
    if (listed.size() == static_cast<size_t>(kAddToJobMenuJobs)) {
      *more = true;
      break;
    }
    listed.push_back(static_cast<int>(i));
  }
  return listed;
}

bool IsPageToAdd(const std::string& url) { return !url.empty() && url != "about:blank"; }

bool AddPageToJob(JobHost& host, BrowserControl& browser, const std::string& name) {
  std::optional<JobEntry> page = PageShown(host, browser);
  return page && AddEntryToJob(host, *page, name);
}

bool AddEntryToJob(JobHost& host, const JobEntry& entry, const std::string& name) {
  std::string error;
  if (!AppendEntryToJob(host.jobs_service().folder(), name, entry, &error)) {
    ShowError(&host.job_window(), "ジョブ「" + name + "」に追加できませんでした。\r\n" + error);
    return false;
  }
  return true;
}

bool AddPageToNewJob(JobHost& host, BrowserControl& browser, std::string* created_name) {
  if (!PageShown(host, browser)) return false;
  const std::string name = AskNewJobName(host);
  if (name.empty()) return false;
  // The page is read again: it may have moved on while the name was asked for.
  std::optional<JobEntry> page = PageShown(host, browser);
  return page && MakeJobOf(host, name, *page, created_name);
}

bool AddEntryToNewJob(JobHost& host, const JobEntry& entry, std::string* created_name) {
  const std::string name = AskNewJobName(host);
  return !name.empty() && MakeJobOf(host, name, entry, created_name);
}

namespace {

bool MakeJobOf(JobHost& host, const std::string& name, const JobEntry& entry,
               std::string* created_name) {
  const std::string jobs_folder = host.jobs_service().folder();
  // The file and its line are made together: a job is never left without its line.
  const PlanOutcome made = CarryOutJobPlan(jobs_folder, JobPlan{{PlannedJob{name, {entry}, true}}});
  if (!made.done()) {
    ShowError(&host.job_window(), JobNotCreatedMessage(name, made.error));
    return false;
  }
  if (created_name) *created_name = name;
  return true;
}

}  // namespace

}  // namespace tarvik
