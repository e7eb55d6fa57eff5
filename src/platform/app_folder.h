// The application folder: $TARVIK_HOME when set, else $XDG_DATA_HOME/tarvik. It holds the job
// list "TVJob.lst", the job files in "JobFiles/", the skins in "Skins/" and the help.
#pragma once

#include <string>

namespace tarvik {

// The folder, without a trailing "/".
std::string ApplicationFolder();

// Makes sure the folder is usable: a missing or incomplete folder gets an empty job list and
// "JobFiles/". Nothing that is there is replaced.
void EnsureApplicationFolder();

}  // namespace tarvik
