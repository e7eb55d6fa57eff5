#include "platform/jobs_folder.h"

#include "platform/app_folder.h"
#include "platform/settings_keys.h"

namespace tarvik {

namespace {

// The chosen folder as read from the settings file at `path`. A process reads the choice once
// per settings file, so that every read of the jobs within it agrees on their folder.
struct Chosen {
  std::string settings_path;
  std::string folder;
  bool read = false;
};

Chosen& Current() {
  static Chosen chosen;
  return chosen;
}

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string JobsFolder() {
  Chosen& c = Current();
  if (!c.read || c.settings_path != UserSettings().path()) {
    c.settings_path = UserSettings().path();
    c.folder = WithoutTrailingSlash(GetSetting(setting::kJobsFolder));
    c.read = true;
  }
  return c.folder.empty() ? ApplicationFolder() : c.folder;
}

void SetJobsFolder(const std::string& folder) {
  Chosen& c = Current();
  SaveSetting(setting::kJobsFolder, folder);
  c.settings_path = UserSettings().path();
  c.folder = WithoutTrailingSlash(folder);
  c.read = true;
  JobsFolderChanged().emit();
}

sigc::signal<void()>& JobsFolderChanged() {
  static sigc::signal<void()> changed;
  return changed;
}

}  // namespace tarvik
