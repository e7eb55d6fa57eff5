#include "skins/shipped_skins.h"

#include <glib.h>

#include <optional>

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

bool InstallShippedSkins(const std::string& app_folder) {
  bool ok = true;
  const std::string offered_path = JoinPath(SkinsFolder(app_folder), kOfferedListName);
  // Read only when a skin is missing: a start that finds every skin whole reads nothing more.
  std::optional<std::string> offered;
  bool offered_changed = false;
  for (const char* skin : kShippedSkinNames) {
    const std::string folder = SkinFolder(app_folder, skin);
    if (IsSkinFolderComplete(folder)) continue;
    // "default" stands behind its menu entry and is always made whole. Another shipped skin is
    // completed while its folder is there, and written anew only where it never was.
    if (std::string(skin) == kDefaultSkinName) {
      if (!WriteMissingFiles(skin, folder)) ok = false;
      continue;
    }
    if (!offered) offered = ReadFileBytes(offered_path).value_or("");
    const bool listed = Listed(*offered, skin);
    if (listed && !g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) continue;
    if (!WriteMissingFiles(skin, folder)) ok = false;
    if (!listed) {
      *offered += std::string(skin) + "\n";
      offered_changed = true;
    }
  }
  if (offered_changed && !WriteFileAtomically(offered_path, *offered)) ok = false;
  return ok;
}

}  // namespace tarvik
