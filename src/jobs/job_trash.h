// A deleted job's file goes to the desktop's trash, from where the user can bring it back.
#pragma once

#include <string>

namespace tarvik {

// Moves the job file of `name` to the trash. Where the file system has no trash, the file is
// deleted as DeleteJobFile does. A file that is already missing counts as gone. False, with the
// reason in `error`, when the file stays.
bool TrashJobFile(const std::string& jobs_folder, const std::string& name,
                  std::string* error = nullptr);

}  // namespace tarvik
