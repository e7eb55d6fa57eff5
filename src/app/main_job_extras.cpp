#include "app/main_job_extras.h"

#include <glibmm/main.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>

#include <algorithm>
#include <unordered_set>

#include "jobs/add_to_job.h"
#include "jobs/frm_pick_job.h"
#include "jobs/job_commands.h"
#include "jobs/job_conflicts.h"
#include "jobs/job_cursor.h"
#include "jobs/job_host.h"
#include "jobs/job_trade.h"
#include "jobs/link_jobs.h"
#include "jobs/link_list.h"
#include "platform/browser_control.h"
#include "platform/dialogs.h"
#include "platform/display_text.h"
#include "platform/jobs_folder.h"

namespace tarvik {

MainJobExtras::MainJobExtras(JobExtrasHost& window, JobHost& jobs)
    : w_(window), jobs_(jobs), watch_(JobsFolder()) {
  watch_.signal_changed().connect(sigc::mem_fun(*this, &MainJobExtras::RefreshFromFiles));
  watch_.signal_unwatched().connect([this] { w_.ShowStatusNotice(kNoFileWatchNotice); });
  JobsFolderChanged().connect(sigc::mem_fun(*this, &MainJobExtras::FollowJobsFolder));
  w_.browser().signal_navigate_complete2().connect(
      [this](const std::string&) { OnNavigateComplete2(); });
  // The window loads the chosen job after this handler has run.
  w_.cboJob().signal_changed().connect([this] {
    Glib::signal_idle().connect_once(sigc::mem_fun(*this, &MainJobExtras::FollowLoadedJob));
  });
  SetUpSelectorDrop();
}

namespace {

int ListedIndex(const std::vector<std::string>& names, const std::string& name) {
  auto it = std::find(names.begin(), names.end(), name);
  return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

}  // namespace

std::string MainJobExtras::SelectedJobName() {
  return jobs_.JobSelected() ? std::string(w_.cboJob().get_active_text()) : std::string();
}

void MainJobExtras::FollowLoadedJob() {
  watch_.WatchJob(w_.job_cursor().loaded() ? w_.job_cursor().name() : std::string());
  UpdateJobItems();
}

void MainJobExtras::UpdateJobItems() {
  const bool loaded = w_.job_cursor().loaded() && jobs_.JobSelected();
  for (const ActionRow& row : MainActionRows())
    if (row.needs_job)
      if (Gtk::MenuItem* item = w_.menu_item(row.id)) item->set_sensitive(loaded);
}

// ---- Where a job was left ----------------------------------------------------------------------

void MainJobExtras::OnNavigateComplete2() {
  FollowLoadedJob();
  const JobCursor& job = w_.job_cursor();
  if (!job.loaded()) return;
  const ResumePoint point{job.current_index(), job.current().URL};
  if (job.name() != seen_job_) {
    seen_job_ = job.name();
    last_point_ = point;
    // A job just chosen opens at its first page; that is not where the user left it.
    if (point.index == 0) return;
  } else if (last_point_ == point) {
    return;  // a link followed inside the page: the job's place has not moved
  }
  last_point_ = point;
  RememberResumePoint(job.name(), point);
}

void MainJobExtras::ResumeSelectedJob() {
  const std::string name = SelectedJobName();
  if (name.empty()) return;
  const bool loaded_here = w_.job_cursor().loaded() && w_.job_cursor().name() == name &&
                           w_.CurJobIdx() == w_.cboJob().get_active_row_number();
  if (!loaded_here && !jobs_.LoadSelectedJob(true)) return;
  JobCursor& job = w_.job_cursor();
  job.MoveTo(ResumeIndex(job.entries(), RecallResumePoint(name)));
  seen_job_ = name;
  last_point_ = ResumePoint{job.current_index(), job.current().URL};
  w_.UpdateNavTips();
  FollowLoadedJob();
  w_.browser().Navigate(job.current().URL);
}

// ---- Adding the page shown ---------------------------------------------------------------------

void MainJobExtras::RebuildAddToJobMenu() {
  Gtk::MenuItem* head = w_.menu_item(ActionId::AddToJobMenu);
  Gtk::Menu* menu = head ? head->get_submenu() : nullptr;
  if (!menu) return;
  add_items_.clear();  // each item leaves the menu as it goes
  const std::vector<std::string> names =
      ReadJobList(JobsFolder()).value_or(std::vector<std::string>{});
  bool more = false;
  for (const int i : AddToJobMenuJobs(names, &more)) {
    auto item = std::make_unique<Gtk::MenuItem>(ShortenForDisplay(names[i]), false);
    item->set_name("mnuAddToJob(" + std::to_string(i) + ")");
    item->signal_activate().connect([this, name = names[i]] { AddPageTo(name); });
    add_items_.push_back(std::move(item));
  }
  if (more) {
    auto other = std::make_unique<Gtk::MenuItem>(kAddPageToOtherJobCaption, false);
    other->set_name("mnuAddToOtherJob");
    other->signal_activate().connect([this] {
      const std::string name =
          frmPickJob(jobs_.job_window(),
                     ReadJobList(JobsFolder()).value_or(std::vector<std::string>{}))
              .Run();
      if (!name.empty()) AddPageTo(name);
    });
    add_items_.push_back(std::move(other));
  }
  if (!add_items_.empty()) add_items_.push_back(std::make_unique<Gtk::SeparatorMenuItem>());
  auto fresh = std::make_unique<Gtk::MenuItem>(kAddPageToNewJobCaption, false);
  fresh->set_name("mnuAddToNewJob");
  fresh->signal_activate().connect(sigc::mem_fun(*this, &MainJobExtras::AddPageToNewJob));
  add_items_.push_back(std::move(fresh));
  for (auto& item : add_items_) {
    menu->append(*item);
    item->show();
  }
}

void MainJobExtras::AddPageTo(const std::string& job_name) {
  if (!tarvik::AddPageToJob(jobs_, w_.browser(), job_name)) return;
  RefreshLoadedJob(job_name);
  w_.ShowStatusNotice(AddedToJobNotice(ShortenForDisplay(job_name)));
}

void MainJobExtras::AddPageToNewJob() {
  std::string name;
  if (!tarvik::AddPageToNewJob(jobs_, w_.browser(), &name)) return;
  RefreshFromFiles();
  w_.ShowStatusNotice(AddedToJobNotice(ShortenForDisplay(name)));
}

// ---- Trading with other browsers ---------------------------------------------------------------

void MainJobExtras::ImportBookmarks() { tarvik::ImportBookmarks(jobs_); }
void MainJobExtras::ExportBookmarks() {
  if (std::optional<std::string> path = tarvik::ExportBookmarks(jobs_, SelectedJobName()))
    w_.ShowStatusNotice(ExportedBookmarksNotice(*path));
}
void MainJobExtras::ExportShortcuts() { tarvik::ExportShortcuts(jobs_, SelectedJobName()); }

// ---- New jobs from lists of links --------------------------------------------------------------

void MainJobExtras::JobFromPageLinks() {
  w_.browser().CollectLinks([this, alive = alive_](std::vector<PageLink> links) {
    if (!*alive) return;
    LoadCreatedJob(tarvik::JobFromPageLinks(jobs_, links));
  });
}

void MainJobExtras::JobFromUrlList() { LoadCreatedJob(tarvik::JobFromUrlList(jobs_)); }

void MainJobExtras::SetUpSelectorDrop() {
  Gtk::Widget& selector = w_.cboJob();
  selector.drag_dest_set(Gtk::DEST_DEFAULT_ALL, Gdk::ACTION_COPY | Gdk::ACTION_LINK);
  // A link dragged from a web page comes with its text as well, which becomes its title.
  auto targets = Gtk::TargetList::create(
      {Gtk::TargetEntry("text/x-moz-url"), Gtk::TargetEntry("_NETSCAPE_URL")});
  targets->add_uri_targets(0);
  targets->add_text_targets(1);
  selector.drag_dest_set_target_list(targets);
  selector.signal_drag_data_received().connect([this](const Glib::RefPtr<Gdk::DragContext>&, int,
                                                      int, const Gtk::SelectionData& data, guint,
                                                      guint) {
    const std::string target = data.get_target();
    std::vector<JobEntry> links;
    if (target == "text/x-moz-url") {
      links = LinksFromMozUrl(data.get_data_as_string());
    } else if (target == "_NETSCAPE_URL") {
      links = LinksFromUrlLines(data.get_data_as_string());
    } else if (target == "text/uri-list") {
      links = LinksFromUriList(data.get_data_as_string());
    } else {
      links = LinksFromText(data.get_text().raw());
    }
    if (links.empty()) return;
    // The dialog waits until the drag has ended.
    Glib::signal_idle().connect_once([this, links = std::move(links), alive = alive_] {
      if (*alive) LoadCreatedJob(JobFromLinks(jobs_, links, ""));
    });
  });
}

void MainJobExtras::LoadCreatedJob(const std::string& name) {
  if (name.empty()) return;
  const std::vector<std::string> names =
      ReadJobList(JobsFolder()).value_or(std::vector<std::string>{});
  const auto it = std::find(names.begin(), names.end(), name);
  if (it == names.end()) return;
  // The job bar shows the new job, ready to be stepped through.
  if (w_.mode() != Mode::Job) w_.ToggleMode();
  jobs_.LoadJobList(static_cast<int>(it - names.begin()));
  if (jobs_.LoadSelectedJob(false)) w_.UpdateNavTips();
  FollowLoadedJob();
}

// ---- Changes from outside ----------------------------------------------------------------------

void MainJobExtras::RefreshLoadedJob(const std::string& name) {
  JobCursor& job = w_.job_cursor();
  if (!job.loaded() || (!name.empty() && job.name() != name)) return;
  // A job whose file has gone, or holds nothing now, stays as it was until another is chosen.
  std::optional<Job> read = ReadJobFile(JobsFolder(), job.name());
  if (!read || read->entries.empty() || read->entries == job.entries()) return;
  job.Refresh(std::move(read->entries));
  w_.browser().DropPrepared();  // made ready for the job as it was
  w_.UpdateNavTips();
}

void MainJobExtras::RefreshFromFiles() {
  const std::string folder = JobsFolder();
  // Both sides of a conflict the sync tool kept, merged before anything is read.
  if (std::string notice = MergedConflictNotice(MergeConflictCopies(folder)); !notice.empty())
    w_.ShowStatusNotice(notice);
  if (EditorOpenFor(jobs_)) return;
  const auto now = DeliveryWait::Clock::now();
  std::optional<std::vector<std::string>> names =
      JobListExists(folder) ? ReadJobList(folder) : std::nullopt;
  if (names) {
    std::vector<std::string> shown;
    for (const auto& row : w_.cboJob().get_model()->children()) {
      Glib::ustring text;
      row.get_value(0, text);
      shown.push_back(text);
    }
    AwaitMissingFiles(shown, *names, now);
    if (shown != *names) {
      const int index = w_.cboJob().get_active_row_number();
      const std::string selected = index >= 0 ? std::string(w_.cboJob().get_active_text()) : "";
      int keep = -1;
      if (index >= 0 && index < static_cast<int>(names->size()) && (*names)[index] == selected) {
        keep = index;
      } else if (index >= 0) {
        keep = ListedIndex(*names, selected);
      }
      JobCursor& job = w_.job_cursor();
      if (keep < 0 && job.loaded()) {
        // The loaded job's name has left the list: it follows a rename, and after a delete the
        // window is left as after a job that could not be loaded, the page still shown.
        std::optional<std::string> now_named =
            FollowedJobName(folder, job.name(), job.entries(), shown, *names);
        if (!now_named && JobMayStillBeDelivered(folder, job.name(), shown, *names) &&
            HoldForDelivery(job.name(), now))
          return;
        delivery_.Stop(job.name());
        if (now_named) {
          if (seen_job_ == job.name()) seen_job_ = *now_named;
          job.Rename(*now_named);
          keep = ListedIndex(*names, *now_named);
        } else {
          job.Clear();
        }
      }
      jobs_.LoadJobList(keep);
    }
  }
  RefreshLoadedJob();
  FollowLoadedJob();
  LoadArrivedJob();
  w_.UpdateNavTips();
}

// ---- Jobs a sync tool is still delivering ------------------------------------------------------

void MainJobExtras::AwaitMissingFiles(const std::vector<std::string>& shown,
                                      const std::vector<std::string>& names,
                                      DeliveryWait::Clock::time_point now) {
  std::vector<std::string> missing;
  std::optional<std::unordered_set<std::string>> was_shown;  // made once, when a file is missing
  for (const std::string& name : names) {
    if (name.empty() || JobFileExists(watch_.folder(), name)) {
      delivery_.Stop(name);
      continue;
    }
    // Only a line new to the selector is a delivery in progress; one it showed already without
    // a file is as missing as ever.
    if (!was_shown) was_shown.emplace(shown.begin(), shown.end());
    if (!was_shown->count(name)) delivery_.Start(name, now);
    missing.push_back(name);
  }
  watch_.AwaitJobs(std::move(missing));
}

bool MainJobExtras::HoldForDelivery(const std::string& name, DeliveryWait::Clock::time_point now) {
  delivery_.Start(name, now);
  if (!delivery_.Waiting(name, now)) return false;
  // Looked at again at the next change, or when the grace has run out.
  grace_timer_.disconnect();
  grace_timer_ = Glib::signal_timeout().connect(
      [this] {
        RefreshFromFiles();
        return false;
      },
      kDeliveryGraceMs + 100);
  return true;
}

bool MainJobExtras::WaitForJobFile(const std::string& name) {
  if (!delivery_.Waiting(name, DeliveryWait::Clock::now())) return false;
  arriving_ = name;
  grace_timer_.disconnect();
  grace_timer_ = Glib::signal_timeout().connect(
      [this] {
        if (!arriving_.empty()) {
          arriving_.clear();
          ShowError(&jobs_.job_window(), kNoJobFileMessage, MsgIcon::Critical);
        }
        return false;
      },
      kDeliveryGraceMs);
  return true;
}

void MainJobExtras::LoadArrivedJob() {
  if (arriving_.empty() || !JobFileExists(watch_.folder(), arriving_)) return;
  const std::string name = std::move(arriving_);
  arriving_.clear();
  grace_timer_.disconnect();
  LoadCreatedJob(name);
}

void MainJobExtras::FollowJobsFolder() {
  watch_.SetFolder(JobsFolder());
  delivery_.Clear();
  arriving_.clear();
  grace_timer_.disconnect();
  JobCursor& job = w_.job_cursor();
  const std::vector<std::string> names =
      ReadJobList(watch_.folder()).value_or(std::vector<std::string>{});
  // The loaded job stays loaded when the new folder holds it too (a copy of the old one).
  int keep = job.loaded() ? ListedIndex(names, job.name()) : -1;
  if (keep < 0) job.Clear();
  jobs_.LoadJobList(keep);
  RefreshFromFiles();
}

}  // namespace tarvik
