#include "app/main_job_extras.h"

#include <glibmm/main.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>

#include "jobs/add_to_job.h"
#include "jobs/frm_pick_job.h"
#include "jobs/job_commands.h"
#include "jobs/job_cursor.h"
#include "jobs/job_host.h"
#include "jobs/job_trade.h"
#include "jobs/jobs_service.h"
#include "jobs/link_jobs.h"
#include "jobs/link_list.h"
#include "platform/browser_control.h"
#include "platform/dialogs.h"
#include "platform/display_text.h"

namespace tarvik {

MainJobExtras::MainJobExtras(JobExtrasHost& window, JobHost& jobs)
    : w_(window), jobs_(jobs), sync_(window, jobs, jobs.jobs_service()) {
  sync_.signal_renamed().connect(
      [this](const std::string& from, const std::string& to) { resume_.Renamed(from, to); });
  w_.browser().signal_navigate_complete2().connect(
      [this](const std::string&) { OnNavigateComplete2(); });
  // The window loads the chosen job after this handler has run.
  w_.cboJob().signal_changed().connect([this] {
    Glib::signal_idle().connect_once(sigc::mem_fun(sync_, &MainJobSync::FollowLoadedJob));
  });
  SetUpSelectorDrop();
}

std::string MainJobExtras::SelectedJobName() {
  return jobs_.JobSelected() ? std::string(w_.cboJob().get_active_text()) : std::string();
}

std::vector<std::string> MainJobExtras::ListedJobs() {
  return ReadJobList(jobs_.jobs_service().folder()).value_or(std::vector<std::string>{});
}

// ---- Where a job was left ----------------------------------------------------------------------

void MainJobExtras::OnNavigateComplete2() {
  sync_.FollowLoadedJob();
  const JobCursor& job = w_.job_cursor();
  if (!job.loaded()) return;
  if (std::optional<ResumePoint> point =
          resume_.Shown(job.name(), ResumePoint{job.current_index(), job.current().URL}))
    RememberResumePoint(job.name(), *point);
}

void MainJobExtras::ResumeSelectedJob() {
  const std::string name = SelectedJobName();
  if (name.empty()) return;
  const bool loaded_here = w_.job_cursor().loaded() && w_.job_cursor().name() == name &&
                           w_.CurJobIdx() == w_.cboJob().get_active_row_number();
  if (!loaded_here && !jobs_.LoadSelectedJob(true)) return;
  JobCursor& job = w_.job_cursor();
  job.MoveTo(ResumeIndex(job.entries(), RecallResumePoint(name)));
  resume_.Resumed(name, ResumePoint{job.current_index(), job.current().URL});
  w_.UpdateNavTips();
  sync_.FollowLoadedJob();
  w_.browser().Navigate(job.current().URL);
}

// ---- Adding the page shown ---------------------------------------------------------------------

void MainJobExtras::RebuildAddToJobMenu() {
  Gtk::MenuItem* head = w_.menu_item(ActionId::AddToJobMenu);
  Gtk::Menu* menu = head ? head->get_submenu() : nullptr;
  if (!menu) return;
  add_items_.clear();  // each item leaves the menu as it goes
  const std::vector<std::string> names = ListedJobs();
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
      const std::string name = PickOtherJob();
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
  sync_.RefreshLoadedJob(job_name);
  w_.ShowStatusNotice(AddedToJobNotice(ShortenForDisplay(job_name)));
}

std::vector<std::string> MainJobExtras::AddToJobMenuNames(bool* more) {
  const std::vector<std::string> names = ListedJobs();
  std::vector<std::string> listed;
  for (const int i : AddToJobMenuJobs(names, more)) listed.push_back(names[i]);
  return listed;
}

std::string MainJobExtras::PickOtherJob() {
  return frmPickJob(jobs_.job_window(), ListedJobs()).Run();
}

void MainJobExtras::AddEntryTo(const std::string& job_name, const JobEntry& entry) {
  if (!tarvik::AddEntryToJob(jobs_, entry, job_name)) return;
  sync_.RefreshLoadedJob(job_name);
  w_.ShowStatusNotice(AddedToJobNotice(ShortenForDisplay(job_name)));
}

void MainJobExtras::AddEntryToNewJob(const JobEntry& entry) {
  std::string name;
  if (!tarvik::AddEntryToNewJob(jobs_, entry, &name)) return;
  sync_.RefreshFromFiles();
  w_.ShowStatusNotice(AddedToJobNotice(ShortenForDisplay(name)));
}

void MainJobExtras::AddPageToNewJob() {
  std::string name;
  if (!tarvik::AddPageToNewJob(jobs_, w_.browser(), &name)) return;
  sync_.RefreshFromFiles();
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
    sync_.LoadListedJob(tarvik::JobFromPageLinks(jobs_, links));
  });
}

void MainJobExtras::JobFromUrlList() { sync_.LoadListedJob(tarvik::JobFromUrlList(jobs_)); }

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
      if (*alive) sync_.LoadListedJob(JobFromLinks(jobs_, links, ""));
    });
  });
}

}  // namespace tarvik
