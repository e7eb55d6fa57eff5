// Tarvik's version numbers and the two texts made of them.
#pragma once

#include <string>

#include "tarvik_version.h"

namespace tarvik {

class SettingsStore;

// "ver.1.22": the version dialog's text. Revisions from 1000 add a letter for the thousands
// (a for 1000-1999, b for 2000-2999, ...) and, when the rest is 100 or more, its hundreds digit:
// 1234 gives "a2", 1050 gives "a".
std::string DialogVersionText(int major, int minor, int revision);
std::string DialogVersionText();

// "1.22.0000": the version recorded for outside use.
std::string UpdateVersionText(int major, int minor, int revision);
std::string UpdateVersionText();

// Start-up step of every main window: writes "ApplicationPath" and "CurrentVersion" in section
// "UpdateInfo", so they always describe the copy that ran last.
void RecordUpdateInfo(SettingsStore& settings, const std::string& application_folder);
void RecordUpdateInfo();  // the user's store and ApplicationFolder()

}  // namespace tarvik
