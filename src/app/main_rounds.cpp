#include "app/main_rounds.h"

#include <glibmm/main.h>
#include <gtkmm/checkmenuitem.h>
#include <sigc++/adaptors/bind_return.h>

#include <algorithm>
#include <ctime>
#include <utility>

#include "jobs/job_cursor.h"
#include "jobs/jobs_service.h"
#include "jobs/round_check.h"
#include "jobs/visible_text.h"
#include "platform/browser_control.h"
#include "platform/dialogs.h"
#include "platform/jobs_folder.h"
#include "platform/list_selector.h"
#include "platform/settings_keys.h"
#include "platform/webkit_page_fetcher.h"

namespace tarvik {

namespace {

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

// Every window's round, to tell them all of a check made on its own.
std::vector<MainRounds*>& Everyone() {
  static std::vector<MainRounds*> all;
  return all;
}

}  // namespace

MainRounds::MainRounds(RoundsHost& window)
    : w_(window),
      auto_check_(window.browser(), window.jobs_service(), [](const std::string& name, int marked) {
        for (MainRounds* r : Everyone()) r->OnJobCheckedOnItsOwn(name, marked);
      }) {
  Everyone().push_back(this);
  w_.browser().signal_document_complete().connect(
      sigc::mem_fun(*this, &MainRounds::OnDocumentComplete));
  // Another page coming ends the wait for the one before.
  w_.browser().signal_navigate_complete2().connect(
      [this](const std::string&) { settle_.disconnect(); });
}

MainRounds::~MainRounds() {
  auto& all = Everyone();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  *alive_ = false;
  settle_.disconnect();
  checker_.reset();  // before its fetcher
}

bool MainRounds::HighlightEnabled() { return GetSetting(setting::kHighlightChanges) != "False"; }

void MainRounds::SetHighlightEnabled(bool on) {
  SaveSetting(setting::kHighlightChanges, on ? "True" : "False");
}

void MainRounds::FollowLoadedJob() {
  // A check belongs to the job it was started for.
  if (checking()) {
    checker_->Cancel();
    w_.ShowStatusNotice(kCheckCancelledNotice);
  }
  const JobCursor& job = w_.job_cursor();
  state_ = {};
  state_job_ = job.loaded() ? job.name() : "";
  state_folder_ = w_.jobs_service().folder();
  if (auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w_.menu_item(ActionId::AutoCheckJob))) {
    syncing_item_ = true;
    item->set_active(!state_job_.empty() && MainAutoCheck::JobMarked(state_job_));
    syncing_item_ = false;
  }
  if (state_job_.empty()) return;
  SeenStateRead read = ReadSeenState(state_folder_, state_job_);
  state_ = std::move(read.state);
  if (!read.message.empty()) ShowError(&w_.command_window(), read.message);
}

void MainRounds::EnsureState() {
  const JobCursor& job = w_.job_cursor();
  if (job.loaded() && (job.name() != state_job_ || w_.jobs_service().folder() != state_folder_))
    FollowLoadedJob();
}

std::vector<RoundMark> MainRounds::Marks() {
  EnsureState();
  const JobCursor& job = w_.job_cursor();
  std::vector<RoundMark> marks;
  if (!job.loaded()) return marks;
  marks.reserve(job.entries().size());
  for (const JobEntry& e : job.entries()) {
    const SeenEntry* seen = state_.Find(e.URL);
    RoundMark mark = RoundMark::None;
    if (seen && IsMarked(*seen))
      mark = seen->result == CheckResult::New ? RoundMark::New : RoundMark::Changed;
    marks.push_back(mark);
  }
  return marks;
}

std::string MainRounds::PlaceText(const std::string& place) {
  const int marked = MarkedCount(Marks());
  // A note a check on its own left beside the loaded job follows what the user has seen since.
  if (!state_job_.empty() && !w_.cboJob().note(state_job_).empty())
    w_.cboJob().set_note(state_job_, JobNoteText(marked));
  return RoundPlaceText(place, marked);
}

void MainRounds::OnJobCheckedOnItsOwn(const std::string& name, int marked) {
  w_.cboJob().set_note(name, JobNoteText(marked));
  // The loaded job takes in what was found, unless the user's own check of it is running: that
  // one ends with the same file.
  if (!checking() && w_.job_cursor().loaded() && w_.job_cursor().name() == name) {
    FollowLoadedJob();
    w_.UpdateNavTips();
  }
}

void MainRounds::SetLoadedJobAutoChecked(bool on) {
  if (syncing_item_) return;
  const JobCursor& job = w_.job_cursor();
  if (job.loaded()) MainAutoCheck::MarkJob(job.name(), on);
}

void MainRounds::AskAutoCheckHours() {
  const std::string answer =
      AppDialogs().InputBox(&w_.command_window(), kAutoCheckHoursPrompt, kCheckUpdatesCaption,
                            std::to_string(AutoCheckHours(GetSetting(setting::kAutoCheckHours))));
  if (answer.empty()) return;  // cancelled
  SaveSetting(setting::kAutoCheckHours, std::to_string(AutoCheckHours(answer)));
}

std::vector<std::string> MainRounds::JobURLs() const {
  std::vector<std::string> urls;
  for (const JobEntry& e : w_.job_cursor().entries()) urls.push_back(e.URL);
  return urls;
}

void MainRounds::Save() {
  if (state_job_.empty()) return;
  SeenStateSave saved = SaveSeenState(state_folder_, state_job_, state_, JobURLs());
  if (saved.ok) state_ = std::move(saved.state);
  // What the round kept stays held in this window when the file cannot take it.
  if (!saved.message.empty())
    w_.ShowStatusNotice(saved.message);
  else if (!saved.ok && !saved.error.empty())
    w_.ShowStatusNotice(saved.error);
}

void MainRounds::OnDocumentComplete() {
  settle_.disconnect();
  if (!w_.JobShown()) return;
  settle_ = Glib::signal_timeout().connect(
      sigc::bind_return(sigc::mem_fun(*this, &MainRounds::Capture), false), kSettleMs);
}

void MainRounds::Capture() {
  const JobCursor& job = w_.job_cursor();
  if (!w_.JobShown() || !job.loaded() || job.PlaceText(w_.ShownURL()).empty()) return;
  EnsureState();
  const std::string entry_url = job.current().URL;
  const std::shared_ptr<bool> alive = alive_;
  auto still_shown = [this, alive, entry_url] {
    return *alive && w_.JobShown() && w_.job_cursor().loaded() &&
           w_.job_cursor().current().URL == entry_url &&
           !w_.job_cursor().PlaceText(w_.ShownURL()).empty();
  };
  auto from_rendered = [this, still_shown, entry_url](std::optional<ShownResource> resource) {
    w_.browser().RunReadingScript(
        kVisibleTextScript,
        [this, still_shown, entry_url, resource = std::move(resource)](std::string joined) {
          if (!still_shown()) return;
          VisibleText text = VisibleTextFromScriptResult(joined);
          CaptureText(entry_url, std::move(text.blocks), std::move(text.fingerprint), true,
                      resource ? &*resource : nullptr);
        });
  };
  w_.browser().ReadShownResource([this, still_shown, from_rendered,
                                  entry_url](std::optional<ShownResource> resource) {
    if (!still_shown()) return;
    if (!resource || resource->status < 200 || resource->status >= 300 ||
        !IsHtmlContentType(resource->content_type)) {
      // A page that came from no server the round can ask (a file, an error page): its
      // rendered text is what the user saw.
      if (!resource || resource->status == 0) from_rendered(std::nullopt);
      return;
    }
    VisibleText text = ExtractVisibleText(resource->body, CharsetOf(resource->content_type));
    if (text.needs_scripts) {
      from_rendered(std::move(resource));
      return;
    }
    CaptureText(entry_url, std::move(text.blocks), std::move(text.fingerprint), false, &*resource);
  });
}

void MainRounds::CaptureText(const std::string& entry_url, std::vector<std::string> blocks,
                             std::string fingerprint, bool scripted,
                             const ShownResource* resource) {
  SeenEntry& entry = state_.At(entry_url);
  // What is new since the user's last visit: only against a look taken the same way.
  if (entry.seen_at > 0 && !entry.seen.fingerprint.empty() &&
      entry.seen.fingerprint != fingerprint && entry.seen.scripted == scripted) {
    // A kept text cut at its cap says nothing of the blocks past its end.
    std::vector<std::string> now = blocks;
    if (entry.seen.cut && now.size() > entry.seen.blocks.size())
      now.resize(entry.seen.blocks.size());
    const std::vector<std::string> fresh = NewBlocks(entry.seen.blocks, now);
    if (!fresh.empty()) {
      w_.ShowStatusNotice(ChangedPlacesText(static_cast<int>(fresh.size())));
      if (HighlightEnabled()) w_.browser().HighlightBlocks(fresh, {});
    }
  }
  // A look ends the mark of a check made in the same second as well.
  entry.seen_at = std::max(Now(), entry.checked_at + 1);
  entry.seen = MakeLook(std::move(blocks), std::move(fingerprint), scripted,
                        resource ? resource->etag : "", resource ? resource->last_modified : "");
  Save();
  w_.UpdateNavTips();
}

void MainRounds::NextUpdate() {
  const JobCursor& job = w_.job_cursor();
  if (!w_.JobShown() || !job.loaded()) return;
  EnsureState();
  const std::optional<int> next = NextMarkedEntry(Marks(), job.current_index());
  if (!next) {
    w_.ShowStatusNotice(kNoUpdatesNotice);
    return;
  }
  w_.GoToEntry(*next);
}

void MainRounds::MarkAllSeen() {
  const JobCursor& job = w_.job_cursor();
  if (!job.loaded()) return;
  EnsureState();
  const int64_t now = Now();
  for (const JobEntry& e : job.entries()) {
    const SeenEntry* seen = state_.Find(e.URL);
    if (seen && IsMarked(*seen)) AdoptCheckAsSeen(state_.At(e.URL), now);
  }
  Save();
  w_.UpdateNavTips();
  w_.ShowStatusNotice(kAllSeenNotice);
}

bool MainRounds::checking() const { return checker_ && checker_->running(); }

void MainRounds::CheckUpdates() {
  if (checking()) {
    checker_->Cancel();
    Save();
    w_.UpdateNavTips();
    w_.ShowStatusNotice(kCheckCancelledNotice);
    return;
  }
  const JobCursor& job = w_.job_cursor();
  if (!w_.JobShown() || !job.loaded()) return;
  EnsureState();
  std::vector<std::string> urls;
  for (const std::string& url : JobURLs())
    if (!CheckedHost(url).empty()) urls.push_back(url);
  if (urls.empty()) {
    w_.ShowStatusNotice(kNoCheckNotice);
    return;
  }
  if (!checker_) {
    fetcher_ = MakeEnginePageFetcher(w_.browser());
    if (!fetcher_) return;
    checker_ = std::make_unique<RoundChecker>(*fetcher_);
    checker_->signal_entry().connect(sigc::mem_fun(*this, &MainRounds::OnChecked));
    checker_->signal_progress().connect(sigc::mem_fun(*this, &MainRounds::OnCheckProgress));
    checker_->signal_finished().connect(sigc::mem_fun(*this, &MainRounds::OnCheckFinished));
  }
  unsaved_ = 0;
  checker_->Start(urls, state_);
  w_.ShowStatusNotice(RoundProgressText(checker_->counts()));
}

void MainRounds::OnChecked(const RoundOutcome& outcome) {
  ApplyOutcome(state_.At(outcome.url), outcome, Now());
  // A long check is written now and then, so that a window closed midway keeps what it found.
  if (++unsaved_ >= 20) {
    unsaved_ = 0;
    Save();
    w_.UpdateNavTips();
  }
}

void MainRounds::OnCheckProgress(const RoundCounts& counts) {
  w_.ShowStatusNotice(RoundProgressText(counts));
}

void MainRounds::OnCheckFinished() {
  unsaved_ = 0;
  Save();
  w_.UpdateNavTips();
  const RoundCounts& c = checker_->counts();
  w_.ShowStatusNotice(CheckDoneText(c.changed, c.added, c.unreachable));
}

}  // namespace tarvik
