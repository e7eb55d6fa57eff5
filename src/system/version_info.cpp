#include "system/version_info.h"

#include <cstdio>

#include "platform/app_folder.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"

namespace tarvik {

namespace {

std::string Padded(int value, int digits) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*d", digits, value);
  return buf;
}

}  // namespace

std::string DialogVersionText(int major, int minor, int revision) {
  std::string text = "ver." + std::to_string(major) + "." + Padded(minor, 2);
  if (revision > 999) {
    // Letters run out at "z" (26,000); a higher revision keeps showing "z" rather than
    // punctuation or control characters.
    int thousands = revision / 1000;
    text += static_cast<char>('a' - 1 + (thousands > 26 ? 26 : thousands));
    if (revision % 1000 > 99) text += static_cast<char>('0' + (revision % 1000) / 100);
  }
  return text;
}

std::string DialogVersionText() {
  return DialogVersionText(kVersionMajor, kVersionMinor, kVersionRevision);
}

std::string UpdateVersionText(int major, int minor, int revision) {
  return std::to_string(major) + "." + Padded(minor, 2) + "." + Padded(revision, 4);
}

std::string UpdateVersionText() {
  return UpdateVersionText(kVersionMajor, kVersionMinor, kVersionRevision);
}

void RecordUpdateInfo(SettingsStore& settings, const std::string& application_folder) {
  const std::string version = UpdateVersionText();
  // Every start records itself, but a start of the same copy finds the values in place and
  // leaves the file alone.
  using setting::kApplicationPath, setting::kCurrentVersion;
  if (settings.Find(kApplicationPath.section, kApplicationPath.key) == application_folder &&
      settings.Find(kCurrentVersion.section, kCurrentVersion.key) == version)
    return;
  settings.SaveAll(
      {WriteOf(kApplicationPath, application_folder), WriteOf(kCurrentVersion, version)});
}

void RecordUpdateInfo() { RecordUpdateInfo(UserSettings(), ApplicationFolder()); }

}  // namespace tarvik
