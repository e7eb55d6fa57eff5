#include "platform/app_folder.h"

#include <glib.h>

#include <utility>
#include <vector>

#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

std::vector<std::pair<std::string, std::function<std::string()>>>& InstalledFiles() {
  static std::vector<std::pair<std::string, std::function<std::string()>>> files;
  return files;
}

}  // namespace

std::string ApplicationFolder() {
  std::string folder;
  if (const char* home = g_getenv("TARVIK_HOME"); home && *home) {
    folder = home;
  } else {
    gchar* p = g_build_filename(g_get_user_data_dir(), "tarvik", nullptr);
    folder = p;
    g_free(p);
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

void AddInstalledFile(const std::string& relative_path, std::function<std::string()> contents) {
  InstalledFiles().emplace_back(relative_path, std::move(contents));
}

void EnsureApplicationFolder() {
  const std::string folder = ApplicationFolder();
  g_mkdir_with_parents(folder.c_str(), 0755);
  g_mkdir_with_parents(JoinPath(folder, "JobFiles").c_str(), 0755);
  const std::string list = JoinPath(folder, "TVJob.lst");
  if (!g_file_test(list.c_str(), G_FILE_TEST_EXISTS)) WriteFileAtomically(list, "");
  for (const auto& [relative, contents] : InstalledFiles()) {
    std::string path = JoinPath(folder, relative);
    if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) WriteFileAtomically(path, contents());
  }
}

}  // namespace tarvik
