#include "jobs/job_trash.h"

#include <giomm/file.h>
#include <giomm/init.h>

#include "jobs/job_files.h"

namespace tarvik {

bool TrashJobFile(const std::string& jobs_folder, const std::string& name, std::string* error) {
  if (!JobFileExists(jobs_folder, name)) return DeleteJobFile(jobs_folder, name, error);
  Gio::init();
  try {
    if (Gio::File::create_for_path(JobFilePath(jobs_folder, name))->trash()) return true;
  } catch (const Gio::Error& e) {
    // Only a file system without a trash falls back to deleting; any other failure (no
    // permission, the file in use) leaves the file where it is.
    if (e.code() != Gio::Error::NOT_SUPPORTED) {
      if (error) *error = e.what();
      return false;
    }
  } catch (const Glib::Error& e) {
    if (error) *error = e.what();
    return false;
  }
  return DeleteJobFile(jobs_folder, name, error);
}

}  // namespace tarvik
