#include "app/main_auto_check.h"

#include <glibmm/main.h>

#include <ctime>
#include <utility>

#include "jobs/job_files.h"
#include "jobs/job_resume.h"
#include "jobs/jobs_service.h"
#include "jobs/round_check.h"
#include "jobs/round_view.h"
#include "platform/browser_control.h"
#include "platform/settings_keys.h"
#include "platform/webkit_page_fetcher.h"

namespace tarvik {

namespace {

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

// The window's helper that runs the checks of the process, or nullptr while none does.
MainAutoCheck*& Runner() {
  static MainAutoCheck* runner = nullptr;
  return runner;
}

}  // namespace

MainAutoCheck::MainAutoCheck(BrowserControl& browser, JobsService& jobs,
                             std::function<void(const std::string&, int)> checked)
    : browser_(browser), jobs_(jobs), checked_(std::move(checked)) {
  browser_.signal_document_complete().connect(sigc::mem_fun(*this, &MainAutoCheck::OnPageShown));
}

MainAutoCheck::~MainAutoCheck() {
  tick_.disconnect();
  checker_.reset();  // before its fetcher
  if (Runner() == this) Runner() = nullptr;
}

bool MainAutoCheck::JobMarked(const std::string& name) {
  return GetSetting(setting::kAutoCheckSection, ResumeKey(name), "False") == "True";
}

void MainAutoCheck::MarkJob(const std::string& name, bool on) {
  SaveSetting(setting::kAutoCheckSection, ResumeKey(name), on ? "True" : "False");
}

bool MainAutoCheck::running() const { return checker_ && checker_->running(); }

void MainAutoCheck::OnPageShown() {
  if (Runner() && Runner() != this) return;
  if (!Runner()) {
    Runner() = this;
    started_ = Now();
    // A minute's look at the clock costs nothing and follows a change of the setting.
    tick_ = Glib::signal_timeout().connect_seconds(
        [this] {
          Tick();
          return true;
        },
        60);
  }
}

void MainAutoCheck::Tick() {
  if (running() || !queue_.empty()) return;
  if (AutoCheckDue(Now(), started_, last_, AutoCheckHours(GetSetting(setting::kAutoCheckHours))))
    RunNow();
}

void MainAutoCheck::RunNow() {
  if (running()) return;
  last_ = Now();
  folder_ = jobs_.folder();
  queue_.clear();
  if (auto names = ReadJobList(folder_))
    for (const std::string& name : *names)
      if (JobMarked(name)) queue_.push_back(name);
  NextJob();
}

void MainAutoCheck::NextJob() {
  while (!queue_.empty()) {
    job_ = queue_.front();
    queue_.pop_front();
    std::optional<Job> job = ReadJobFile(folder_, job_);
    if (!job) continue;
    urls_.clear();
    for (const JobEntry& e : job->entries)
      if (!CheckedHost(e.URL).empty()) urls_.push_back(e.URL);
    if (urls_.empty()) continue;
    // A damaged state file is said when the job is loaded; here it costs only its marks.
    state_ = ReadSeenState(folder_, job_).state;
    if (!checker_) {
      fetcher_ = MakeEnginePageFetcher(browser_);
      if (!fetcher_) return;
      checker_ = std::make_unique<RoundChecker>(*fetcher_);
      checker_->signal_entry().connect([this](const RoundOutcome& outcome) {
        ApplyOutcome(state_.At(outcome.url), outcome, Now());
      });
      checker_->signal_finished().connect(sigc::mem_fun(*this, &MainAutoCheck::OnFinished));
    }
    checker_->Start(urls_, state_);
    return;
  }
}

void MainAutoCheck::OnFinished() {
  std::vector<std::string> all;
  if (auto job = ReadJobFile(folder_, job_))
    for (const JobEntry& e : job->entries) all.push_back(e.URL);
  SeenStateSave saved = SaveSeenState(folder_, job_, state_, all);
  int marked = 0;
  for (const auto& [url, entry] : (saved.ok ? saved.state : state_).entries)
    marked += IsMarked(entry);
  if (checked_) checked_(job_, marked);
  // The next job after the main loop has breathed.
  Glib::signal_idle().connect_once(sigc::mem_fun(*this, &MainAutoCheck::NextJob));
}

}  // namespace tarvik
