// Every key Tarvik keeps in the settings store, with its section and the value it reads as
// while it is absent. Code reads and writes settings only through these.
#pragma once

#include <array>
#include <string>

#include "platform/settings_store.h"

namespace tarvik {

struct SettingKey {
  const char* section;
  const char* key;
  const char* fallback;  // "" where the caller computes the default (the window placement)
};

namespace setting {

// A key whose value is "True" or "False".
constexpr SettingKey Switch(const char* section, const char* key, bool on) {
  return SettingKey{section, key, on ? "True" : "False"};
}

// The main window's placement, in twips, and its state at the last close.
inline constexpr SettingKey kWindowWidth{"Window", "Width", ""};
inline constexpr SettingKey kWindowHeight{"Window", "Height", ""};
inline constexpr SettingKey kWindowLeft{"Window", "Left", ""};
inline constexpr SettingKey kWindowTop{"Window", "Top", ""};
inline constexpr SettingKey kMaximized = Switch("Window", "Maximized", false);
// The operating mode (1 job mode, 2 direct mode), the home page and the skin.
inline constexpr SettingKey kMode{"Setting", "Mode", "1"};
inline constexpr SettingKey kHomeURL{"Setting", "HomeURL", "about:blank"};
inline constexpr SettingKey kSkin{"Setting", "Skin", ""};
// The favorites folder the user chose; "NOT DEFINED" while none was chosen.
inline constexpr SettingKey kFavoritesPath{"Setting", "FavoritesPath", "NOT DEFINED"};
// The folder holding the job list and the job files; "" while they live in the application
// folder (platform/jobs_folder.h).
inline constexpr SettingKey kJobsFolder{"Setting", "JobsFolder", ""};
// Whether the next entry of a job is made ready while the user reads the page shown.
inline constexpr SettingKey kPrepareNext = Switch("Setting", "PrepareNext", true);
// Whether a page shown in a round has the places new since the last visit highlighted.
inline constexpr SettingKey kHighlightChanges = Switch("Setting", "HighlightChanges", true);
// Every how many hours the jobs marked for it (one key per job in kAutoCheckSection, ResumeKey
// of jobs/job_resume.h, "True") are checked while Tarvik runs; "0": never.
inline constexpr SettingKey kAutoCheckHours{"Setting", "AutoCheckHours", "0"};
inline constexpr char kAutoCheckSection[] = "AutoCheck";
// Whether the engine checks the spelling in the fields of pages.
inline constexpr SettingKey kSpellCheck = Switch("Setting", "SpellCheck", true);
// Whether the file associations were registered for this user.
inline constexpr SettingKey kRelationDone = Switch("Setting", "RelationDone", false);
// The copy of Tarvik that ran last.
inline constexpr SettingKey kApplicationPath{"UpdateInfo", "ApplicationPath", ""};
inline constexpr SettingKey kCurrentVersion{"UpdateInfo", "CurrentVersion", ""};
// The recent pages: "Title01".."Title20" and "URL01".."URL20" (RecentHistory names them).
inline constexpr char kHistorySection[] = "History";
// Where each job was left: one key per job (ResumeKey of jobs/job_resume.h), the entry last shown.
inline constexpr char kResumeSection[] = "Resume";

inline constexpr std::array<SettingKey, 17> kAll = {
    kWindowWidth,     kWindowHeight,   kWindowLeft,       kWindowTop,
    kMaximized,       kMode,           kHomeURL,          kSkin,
    kFavoritesPath,   kJobsFolder,     kPrepareNext,      kRelationDone,
    kApplicationPath, kCurrentVersion, kHighlightChanges, kAutoCheckHours,
    kSpellCheck};

}  // namespace setting

// The stored value of `k` in the user's store, or its fallback.
inline std::string GetSetting(const SettingKey& k) {
  return GetSetting(k.section, k.key, k.fallback);
}
inline void SaveSetting(const SettingKey& k, const std::string& value) {
  SaveSetting(k.section, k.key, value);
}
// A write of `value` to `k`, for SettingsStore::SaveAll.
inline SettingWrite WriteOf(const SettingKey& k, const std::string& value) {
  return {k.section, k.key, value};
}

}  // namespace tarvik
