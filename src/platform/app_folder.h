// The application folder: $TARVIK_HOME when set, else $XDG_DATA_HOME/tarvik. It holds the job
// list "TVJob.lst", the job files in "JobFiles/", the skins in "Skins/" and the help.
#pragma once

#include <functional>
#include <string>

namespace tarvik {

// The folder, without a trailing "/".
std::string ApplicationFolder();

// Files installed into the application folder when they are missing (the help, the default
// skin). Other parts add theirs before the first window starts.
void AddInstalledFile(const std::string& relative_path, std::function<std::string()> contents);

// Makes sure the folder is usable: a missing or incomplete folder gets an empty job list,
// "JobFiles/" and the installed files it lacks. Nothing that is there is replaced.
void EnsureApplicationFolder();

}  // namespace tarvik
