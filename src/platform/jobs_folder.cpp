#include "platform/jobs_folder.h"

#include <giomm/file.h>

#include <optional>

#include "platform/app_folder.h"
#include "platform/path_util.h"
#include "platform/settings_keys.h"

namespace tarvik {

namespace {

// The chosen folder as read from the settings file at `settings_path`. A process reads the choice
// once per settings file, so that every read of the jobs within it agrees on their folder, and
// again only when the file names another (JobsFolderWatch).
struct Chosen {
  std::string settings_path;
  std::string folder;
  bool read = false;
};

Chosen& Current() {
  static Chosen chosen;
  return chosen;
}

// Goes by `folder` from now on; false when it already did.
bool Remember(const std::string& folder) {
  Chosen& c = Current();
  const std::string path = UserSettings().path();
  const std::string trimmed = WithoutTrailingSlash(folder);
  if (c.read && c.settings_path == path && c.folder == trimmed) return false;
  c = Chosen{path, trimmed, true};
  return true;
}

}  // namespace

std::string JobsFolder() {
  const Chosen& c = Current();
  if (!c.read || c.settings_path != UserSettings().path())
    Remember(GetSetting(setting::kJobsFolder));
  return c.folder.empty() ? ApplicationFolder() : c.folder;
}

void SetJobsFolder(const std::string& folder) {
  SaveSetting(setting::kJobsFolder, folder);
  Remember(folder);
  JobsFolderChanged().emit();
}

namespace {

// The choice as the settings file holds it now; raises JobsFolderChanged() when it differs from
// the one this process goes by.
void RereadJobsFolder() {
  SettingsStore& store = UserSettings();
  if (!store.ReadProblem().empty()) return;
  const std::optional<std::string> stored =
      store.Find(setting::kJobsFolder.section, setting::kJobsFolder.key);
  if (!stored) return;  // gone, or never chosen: nothing to follow
  JobsFolder();         // what this process goes by, read first if it had not been
  if (Remember(*stored)) JobsFolderChanged().emit();
}

}  // namespace

sigc::signal<void()>& JobsFolderChanged() {
  static sigc::signal<void()> changed;
  return changed;
}

JobsFolderWatch::JobsFolderWatch() {
  try {
    // Writers replace the settings file by a rename, which a monitor of its path reports.
    monitor_ = Gio::File::create_for_path(UserSettings().path())
                   ->monitor_file(Gio::FILE_MONITOR_WATCH_MOVES);
    monitor_->signal_changed().connect([](const Glib::RefPtr<Gio::File>&,
                                          const Glib::RefPtr<Gio::File>&,
                                          Gio::FileMonitorEvent event) {
      if (event != Gio::FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED &&
          event != Gio::FILE_MONITOR_EVENT_DELETED)
        RereadJobsFolder();
    });
  } catch (const Glib::Error&) {
    monitor_.reset();  // no watch: the choice is read at the next start
  }
}

JobsFolderWatch::~JobsFolderWatch() {
  if (monitor_) monitor_->cancel();
}

}  // namespace tarvik
