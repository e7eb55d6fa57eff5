// The jobs folder: where "TVJob.lst" and "JobFiles/" live. The user may put them in a folder of
// their own (one a sync tool keeps in step between machines); while none is chosen they live in
// the application folder. The choice is kept in the settings file, which every Tarvik process of
// the user reads: the process that changes it tells its own windows at once through
// JobsFolderChanged(), and the others hear of it through a JobsFolderWatch.
#pragma once

#include <giomm/filemonitor.h>
#include <sigc++/signal.h>

#include <string>

namespace tarvik {

// The folder, without a trailing "/": the chosen one, else ApplicationFolder().
std::string JobsFolder();
// Stores `folder` ("" for the application folder) and tells this process's windows.
void SetJobsFolder(const std::string& folder);
// Raised after SetJobsFolder has stored a new folder.
sigc::signal<void()>& JobsFolderChanged();

// Follows a folder chosen in another Tarvik process: while a watch lives, a change of the
// settings file that names another folder makes JobsFolder() return it and raises
// JobsFolderChanged(), once, however many watches saw the change. A settings file that is gone
// or cannot be read changes nothing.
class JobsFolderWatch {
 public:
  JobsFolderWatch();
  ~JobsFolderWatch();
  JobsFolderWatch(const JobsFolderWatch&) = delete;
  JobsFolderWatch& operator=(const JobsFolderWatch&) = delete;

 private:
  Glib::RefPtr<Gio::FileMonitor> monitor_;
};

}  // namespace tarvik
