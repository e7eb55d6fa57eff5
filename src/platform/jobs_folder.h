// The jobs folder: where "TVJob.lst" and "JobFiles/" live. The user may put them in a folder of
// their own (one a sync tool keeps in step between machines); while none is chosen they live in
// the application folder. The choice is kept in the settings file, so every Tarvik process of
// the user reads it at its start; the process that changes it tells its own windows at once
// through JobsFolderChanged().
#pragma once

#include <sigc++/signal.h>

#include <string>

namespace tarvik {

// The folder, without a trailing "/": the chosen one, else ApplicationFolder().
std::string JobsFolder();
// Stores `folder` ("" for the application folder) and tells this process's windows.
void SetJobsFolder(const std::string& folder);
// Raised after SetJobsFolder has stored a new folder.
sigc::signal<void()>& JobsFolderChanged();

}  // namespace tarvik
