#include "skins/shipped_skins.h"

#include <glib.h>

#include <algorithm>

#include "platform/path_util.h"
#include "platform/text_file.h"
#include "skins/shipped_skins_data.h"
#include "skins/skin_files.h"

namespace tarvik {

std::string ShippedSkinFile(const std::string& skin, const std::string& file) {
  for (int i = 0; i < shipped::kCompiledSkinFileCount; ++i) {
    const auto& f = shipped::kCompiledSkinFiles[i];
    if (skin == f.skin && file == f.file)
      return std::string(reinterpret_cast<const char*>(f.bytes), f.size);
  }
  return {};
}

namespace {

// Lists the shipped skins other than "default" that were ever written into a Skins folder, one
// name a line: a user who deletes one of them has it gone for good.
constexpr char kOfferedListName[] = ".shipped";

bool Listed(const std::string& list, const std::string& name) {
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find('\n', start);
    if (end == std::string::npos) end = list.size();
    if (list.compare(start, end - start, name) == 0) return true;
    start = end + 1;
  }
  return false;
}

bool WriteMissingFiles(const std::string& skin, const std::string& folder) {
  if (g_mkdir_with_parents(folder.c_str(), 0755) != 0) return false;
  bool ok = true;
  for (const char* file : kSkinFiles) {
    if (ResolveSkinFile(folder, file)) continue;
    const std::string bytes = ShippedSkinFile(skin, file);
    if (bytes.empty() || !WriteFileAtomically(JoinPath(folder, file), bytes)) ok = false;
  }
  return ok;
}

}  // namespace

bool InstallShippedSkin(const std::string& app_folder, const std::string& skin) {
  if (std::find(kShippedSkinNames.begin(), kShippedSkinNames.end(), skin) ==
      kShippedSkinNames.end())
    return true;
  const std::string folder = SkinFolder(app_folder, skin);
  if (IsSkinFolderComplete(folder)) return true;
  // "default" stands behind its menu entry and is always made whole. Another shipped skin is
  // completed while its folder is there, and written anew only where it never was.
  if (skin == kDefaultSkinName) return WriteMissingFiles(skin, folder);
  // Read only when a skin is missing: a start that finds every skin whole reads nothing more.
  const std::string offered_path = JoinPath(SkinsFolder(app_folder), kOfferedListName);
  std::string offered = ReadFileBytes(offered_path).value_or("");
  const bool listed = Listed(offered, skin);
  if (listed && !g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) return true;
  bool ok = WriteMissingFiles(skin, folder);
  if (!listed && !WriteFileAtomically(offered_path, offered + skin + "\n")) ok = false;
  return ok;
}

bool InstallShippedSkins(const std::string& app_folder) {
  bool ok = true;
  for (const char* skin : kShippedSkinNames)
    if (!InstallShippedSkin(app_folder, skin)) ok = false;
  return ok;
}

}  // namespace tarvik
