#include "app/main_job_sync.h"

#include <algorithm>

#include "app/job_bar_host.h"
#include "jobs/job_commands.h"
#include "jobs/job_cursor.h"
#include "jobs/job_host.h"
#include "jobs/job_poll.h"
#include "jobs/jobs_service.h"
#include "platform/browser_control.h"
#include "platform/dialogs.h"
#include "platform/list_selector.h"

namespace tarvik {

MainJobSync::MainJobSync(JobExtrasHost& window, JobHost& jobs, JobsService& service)
    : w_(window), jobs_(jobs), service_(service) {
  // The service outlives the window: what it calls is let go with the window.
  service_links_ = {
      service_.signal_changed().connect([this](const ConflictMerge&) { RefreshFromFiles(); }),
      service_.signal_merge_report().connect([this](const ConflictMergeReport& report) {
        if (!report.notice.empty()) w_.ShowStatusNotice(report.notice);
      }),
      service_.signal_unwatched().connect([this] { w_.ShowStatusNotice(kNoFileWatchNotice); }),
      service_.signal_folder_changed().connect([this] { FollowJobsFolder(); })};
  follow_.signal_look_again().connect(sigc::mem_fun(*this, &MainJobSync::RefreshFromFiles));
  follow_.signal_never_came().connect([this](const std::string&) {
    ShowError(&jobs_.job_window(), kNoJobFileMessage, MsgIcon::Critical);
  });
}

MainJobSync::~MainJobSync() {
  for (sigc::connection& link : service_links_) link.disconnect();
  service_.Forget(this);
}

void MainJobSync::FollowLoadedJob() {
  service_.FollowJob(this, w_.job_cursor().loaded() ? w_.job_cursor().name() : std::string());
  loaded_job_.emit();
}

void MainJobSync::RefreshLoadedJob(const std::string& name) {
  JobCursor& job = w_.job_cursor();
  if (!job.loaded() || (!name.empty() && job.name() != name)) return;
  // A job whose file has gone, or holds nothing now, stays as it was until another is chosen.
  std::optional<Job> read = ReadJobFile(service_.folder(), job.name());
  if (!read || read->entries.empty() || read->entries == job.entries()) return;
  job.Refresh(std::move(read->entries));
  w_.browser().DropPrepared();  // made ready for the job as it was
  w_.UpdateNavTips();
}

void MainJobSync::RefreshFromFiles() {
  if (EditorOpenFor(jobs_)) return;
  const std::string& folder = service_.folder();
  const auto now = DeliveryWait::Clock::now();
  std::optional<std::vector<std::string>> names =
      JobListExists(folder) ? ReadJobList(folder) : std::nullopt;
  if (names) {
    ShownJobList shown;
    for (const auto& row : w_.cboJob().get_model()->children()) {
      Glib::ustring text;
      row.get_value(0, text);
      shown.items.push_back(text);
    }
    shown.selected = w_.cboJob().get_active_row_number();
    if (shown.selected >= 0) shown.selected_name = w_.cboJob().get_active_text();
    JobCursor& job = w_.job_cursor();
    if (job.loaded()) {
      shown.loaded = job.name();
      shown.loaded_entries = &job.entries();
    }
    service_.AwaitJobs(this, follow_.MissingFiles(folder, shown.items, *names, now));
    const FollowedJobList followed = follow_.Follow(folder, shown, *names, now);
    switch (followed.loaded) {
      case FollowedJobList::Loaded::Held: return;
      case FollowedJobList::Loaded::Renamed: {
        const std::string old_name = job.name();
        job.Rename(followed.renamed_to);
        renamed_.emit(old_name, followed.renamed_to);
        break;
      }
      case FollowedJobList::Loaded::LetGo: job.Clear(); break;
      case FollowedJobList::Loaded::Stays: break;
    }
    if (followed.refill) jobs_.LoadJobList(followed.select);
  }
  RefreshLoadedJob();
  FollowLoadedJob();
  if (std::string arrived = follow_.ArrivedJob(folder); !arrived.empty()) LoadListedJob(arrived);
  w_.UpdateNavTips();
}

bool MainJobSync::WaitForJobFile(const std::string& name) { return follow_.AwaitChosenJob(name); }

void MainJobSync::LoadListedJob(const std::string& name) {
  if (name.empty()) return;
  const std::vector<std::string> names =
      ReadJobList(service_.folder()).value_or(std::vector<std::string>{});
  const auto it = std::find(names.begin(), names.end(), name);
  if (it == names.end()) return;
  // The job bar shows the new job, ready to be stepped through.
  if (w_.mode() != Mode::Job) w_.ToggleMode();
  jobs_.LoadJobList(static_cast<int>(it - names.begin()));
  if (jobs_.LoadSelectedJob(false)) w_.UpdateNavTips();
  FollowLoadedJob();
}

void MainJobSync::FollowJobsFolder() {
  follow_.Reset();
  JobCursor& job = w_.job_cursor();
  const std::vector<std::string> names =
      ReadJobList(service_.folder()).value_or(std::vector<std::string>{});
  // The loaded job stays loaded when the new folder holds it too (a copy of the old one).
  const auto it = job.loaded() ? std::find(names.begin(), names.end(), job.name()) : names.end();
  if (it == names.end()) job.Clear();
  jobs_.LoadJobList(it == names.end() ? -1 : static_cast<int>(it - names.begin()));
  RefreshFromFiles();
}

}  // namespace tarvik
