#include "skins/skin_files.h"

#include <glib.h>

#include <algorithm>
#include <set>
#include <utility>

#include "platform/path_util.h"

namespace tarvik {

namespace {

std::string Folded(const std::string& name) {
  gchar* folded = g_ascii_strdown(name.c_str(), static_cast<gssize>(name.size()));
  std::string result = folded;
  g_free(folded);
  return result;
}

bool IsHidden(const std::string& name) { return !name.empty() && name.front() == '.'; }

bool IsRegularFile(const std::string& path) {
  return g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR);
}

// The names in `folder`, or nothing when it cannot be listed.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (!dir) return names;
  while (const gchar* name = g_dir_read_name(dir)) names.emplace_back(name);
  g_dir_close(dir);
  return names;
}

std::string CollationKey(const std::string& name) {
  gchar* key = g_utf8_collate_key_for_filename(name.c_str(), static_cast<gssize>(name.size()));
  std::string result = key;
  g_free(key);
  return result;
}

// Sorts names by the desktop's file-name collation, ties broken by the bytes so the order is
// always the same.
void SortForDisplay(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (auto& name : names) keyed.emplace_back(CollationKey(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  names.clear();
  for (auto& [key, name] : keyed) names.push_back(std::move(name));
}

}  // namespace

std::string SkinsFolder(const std::string& app_folder) { return JoinPath(app_folder, "Skins"); }

std::string SkinFolder(const std::string& app_folder, const std::string& name) {
  return JoinPath(SkinsFolder(app_folder), name);
}

bool IsSkinFolderComplete(const std::string& folder) {
  // One listing of the folder, rather than one look-up per file and letter case.
  std::set<std::string> present;
  for (const std::string& name : Names(folder)) {
    if (!IsHidden(name) && IsRegularFile(JoinPath(folder, name))) present.insert(Folded(name));
  }
  return std::all_of(kSkinFiles.begin(), kSkinFiles.end(),
                     [&](const char* file) { return present.count(Folded(file)) != 0; });
}

std::optional<std::string> ResolveSkinFile(const std::string& folder, const std::string& name) {
  const std::string exact = JoinPath(folder, name);
  if (IsRegularFile(exact)) return exact;
  std::vector<std::string> names = Names(folder);
  std::sort(names.begin(), names.end());
  const std::string wanted = Folded(name);
  for (const std::string& candidate : names) {
    if (IsHidden(candidate) || Folded(candidate) != wanted) continue;
    const std::string path = JoinPath(folder, candidate);
    if (IsRegularFile(path)) return path;
  }
  return std::nullopt;
}

std::vector<std::string> ListSkinMenuEntries(const std::string& app_folder) {
  const std::string skins = SkinsFolder(app_folder);
  std::vector<std::string> entries;
  for (const std::string& name : Names(skins)) {
    if (IsHidden(name) || g_ascii_strcasecmp(name.c_str(), kDefaultSkinName) == 0) continue;
    const std::string path = JoinPath(skins, name);
    // Sockets, pipes and devices are neither skins nor files a user put there.
    if (!g_file_test(path.c_str(), G_FILE_TEST_IS_DIR) && !IsRegularFile(path)) continue;
    // A caption is text; a name that is not UTF-8 cannot be one, nor be chosen back by it.
    if (!g_utf8_validate(name.c_str(), static_cast<gssize>(name.size()), nullptr)) continue;
    entries.push_back(name);
  }
  SortForDisplay(entries);
  return entries;
}

}  // namespace tarvik
