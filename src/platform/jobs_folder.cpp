#include "platform/jobs_folder.h"

#include <giomm/file.h>

#include "platform/app_folder.h"
#include "platform/path_util.h"
#include "platform/settings_keys.h"

namespace tarvik {

namespace {

std::string Resolved(const std::string& choice) {
  const std::string trimmed = WithoutTrailingSlash(choice);
  return trimmed.empty() ? ApplicationFolder() : trimmed;
}

}  // namespace

std::string StoredJobsFolder() { return Resolved(GetSetting(setting::kJobsFolder)); }

std::optional<std::string> ReadStoredJobsFolder() {
  SettingsStore& store = UserSettings();
  if (!store.ReadProblem().empty()) return std::nullopt;
  const std::optional<std::string> stored =
      store.Find(setting::kJobsFolder.section, setting::kJobsFolder.key);
  if (!stored) return std::nullopt;  // gone, or never chosen
  return Resolved(*stored);
}

void StoreJobsFolder(const std::string& folder) { SaveSetting(setting::kJobsFolder, folder); }

SettingsFileWatch::SettingsFileWatch(std::function<void()> changed) {
  try {
    monitor_ = Gio::File::create_for_path(UserSettings().path())
                   ->monitor_file(Gio::FILE_MONITOR_WATCH_MOVES);
    monitor_->signal_changed().connect(
        [changed = std::move(changed)](const Glib::RefPtr<Gio::File>&,
                                       const Glib::RefPtr<Gio::File>&,
                                       Gio::FileMonitorEvent event) {
          if (event != Gio::FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED &&
              event != Gio::FILE_MONITOR_EVENT_DELETED)
            changed();
        });
  } catch (const Glib::Error&) {
    monitor_.reset();
  }
}

SettingsFileWatch::~SettingsFileWatch() {
  if (monitor_) monitor_->cancel();
}

}  // namespace tarvik
