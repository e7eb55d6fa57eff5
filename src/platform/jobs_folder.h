// Where the user keeps the jobs folder: where "TVJob.lst" and "JobFiles/" live. The user may put
// them in a folder of their own (one a sync tool keeps in step between machines); while none is
// chosen they live in the application folder. The choice is kept in the settings file, which
// every Tarvik process of the user reads. The process holds the folder it goes by in its jobs
// service (jobs/jobs_service.h); this is what the service reads, writes and watches.
#pragma once

#include <giomm/filemonitor.h>

#include <functional>
#include <optional>
#include <string>

namespace tarvik {

// The folder the settings file names, without a trailing "/": the chosen one, else
// ApplicationFolder().
std::string StoredJobsFolder();
// The folder the settings file names now, as StoredJobsFolder(); nothing when the file is gone,
// cannot be read or names no choice (another process has nothing to say then).
std::optional<std::string> ReadStoredJobsFolder();
// Stores `folder` ("" for the application folder) as the choice.
void StoreJobsFolder(const std::string& folder);

// Runs `changed` after each change of the settings file (writers replace it by a rename, which
// the watch reports too). With no watch to be had, the choice is read at the next start.
class SettingsFileWatch {
 public:
  explicit SettingsFileWatch(std::function<void()> changed);
  ~SettingsFileWatch();
  SettingsFileWatch(const SettingsFileWatch&) = delete;
  SettingsFileWatch& operator=(const SettingsFileWatch&) = delete;

 private:
  Glib::RefPtr<Gio::FileMonitor> monitor_;
};

}  // namespace tarvik
