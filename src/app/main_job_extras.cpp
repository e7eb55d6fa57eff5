#include "app/main_job_extras.h"

#include <glibmm/main.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>

#include <algorithm>

#include "jobs/add_to_job.h"
#include "jobs/job_commands.h"
#include "jobs/job_cursor.h"
#include "jobs/job_host.h"
#include "jobs/job_trade.h"
#include "jobs/link_jobs.h"
#include "jobs/link_list.h"
#include "platform/app_folder.h"
#include "platform/browser_control.h"
#include "platform/display_text.h"

namespace tarvik {

MainJobExtras::MainJobExtras(JobExtrasHost& window, JobHost& jobs)
    : w_(window), jobs_(jobs), watch_(ApplicationFolder()) {
  watch_.signal_changed().connect(sigc::mem_fun(*this, &MainJobExtras::RefreshFromFiles));
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
  for (const char* name : kItemsNeedingAJob)
    if (Gtk::MenuItem* item = w_.menu_item(name)) item->set_sensitive(loaded);
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
  Gtk::MenuItem* head = w_.menu_item("mhAddToJob");
  Gtk::Menu* menu = head ? head->get_submenu() : nullptr;
  if (!menu) return;
  add_items_.clear();  // each item leaves the menu as it goes
  const std::vector<std::string> names =
      ReadJobList(ApplicationFolder()).value_or(std::vector<std::string>{});
  int i = 0;
  for (const std::string& name : names) {
    ++i;
    if (name.empty()) continue;  // an empty line names no job file
    auto item = std::make_unique<Gtk::MenuItem>(ShortenForDisplay(name), false);
    item->set_name("mnuAddToJob(" + std::to_string(i - 1) + ")");
    item->signal_activate().connect([this, name] { AddPageTo(name); });
    add_items_.push_back(std::move(item));
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
  auto targets = Gtk::TargetList::create(std::vector<Gtk::TargetEntry>{});
  targets->add_uri_targets(0);
  targets->add_text_targets(1);
  selector.drag_dest_set_target_list(targets);
  selector.signal_drag_data_received().connect([this](const Glib::RefPtr<Gdk::DragContext>&, int,
                                                      int, const Gtk::SelectionData& data, guint,
                                                      guint) {
    std::vector<JobEntry> links = data.get_target() == "text/uri-list"
                                      ? LinksFromUriList(data.get_data_as_string())
                                      : LinksFromText(data.get_text().raw());
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
      ReadJobList(ApplicationFolder()).value_or(std::vector<std::string>{});
  const auto it = std::find(names.begin(), names.end(), name);
  if (it == names.end()) return;
  // The job bar shows the new job, ready to be stepped through.
  if (w_.mode() != 1) w_.ToggleMode();
  jobs_.LoadJobList(static_cast<int>(it - names.begin()));
  if (jobs_.LoadSelectedJob(false)) w_.UpdateNavTips();
  FollowLoadedJob();
}

// ---- Changes from outside ----------------------------------------------------------------------

void MainJobExtras::RefreshLoadedJob(const std::string& name) {
  JobCursor& job = w_.job_cursor();
  if (!job.loaded() || (!name.empty() && job.name() != name)) return;
  // A job whose file has gone, or holds nothing now, stays as it was until another is chosen.
  std::optional<Job> read = ReadJobFile(ApplicationFolder(), job.name());
  if (!read || read->entries.empty() || read->entries == job.entries()) return;
  job.Refresh(std::move(read->entries));
  w_.UpdateNavTips();
}

void MainJobExtras::RefreshFromFiles() {
  if (EditorOpenFor(jobs_)) return;
  const std::string folder = ApplicationFolder();
  std::optional<std::vector<std::string>> names =
      JobListExists(folder) ? ReadJobList(folder) : std::nullopt;
  if (names) {
    std::vector<std::string> shown;
    for (const auto& row : w_.cboJob().get_model()->children()) {
      Glib::ustring text;
      row.get_value(0, text);
      shown.push_back(text);
    }
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
        std::optional<std::string> now =
            FollowedJobName(folder, job.name(), job.entries(), shown, *names);
        if (now) {
          if (seen_job_ == job.name()) seen_job_ = *now;
          job.Rename(*now);
          keep = ListedIndex(*names, *now);
        } else {
          job.Clear();
        }
      }
      jobs_.LoadJobList(keep);
    }
  }
  RefreshLoadedJob();
  FollowLoadedJob();
}

}  // namespace tarvik
