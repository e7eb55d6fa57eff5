#include "platform/app_folder.h"

#include <glib.h>

#include "platform/file_names.h"
#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

std::string ApplicationFolder() {
  std::string folder;
  if (const char* home = g_getenv("TARVIK_HOME"); home && *home) {
    folder = home;
  } else {
    gchar* p = g_build_filename(g_get_user_data_dir(), "tarvik", nullptr);
    folder = p;
    g_free(p);
  }
  return WithoutTrailingSlash(folder);
}

void EnsureApplicationFolder() {
  const std::string folder = ApplicationFolder();
  g_mkdir_with_parents(folder.c_str(), 0755);
  g_mkdir_with_parents(JobFilesFolder(folder).c_str(), 0755);
  const std::string list = JoinPath(folder, "TVJob.lst");
  if (!g_file_test(list.c_str(), G_FILE_TEST_EXISTS)) WriteFileAtomically(list, "");
}

}  // namespace tarvik
