#include "support/gui_test.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <algorithm>

namespace tarvik::test {

bool RunUntil(const std::function<bool()>& done, int timeout_ms) {
  gint64 end = g_get_monotonic_time() + static_cast<gint64>(timeout_ms) * 1000;
  while (!done()) {
    if (g_get_monotonic_time() > end) return done();
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
  }
  return true;
}

void Pump(int ms) {
  gint64 end = g_get_monotonic_time() + static_cast<gint64>(ms) * 1000;
  while (g_get_monotonic_time() < end) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    g_usleep(2000);
  }
}

namespace {
void RemoveTree(const std::string& path) {
  if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR) &&
      !g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK)) {
    if (GDir* dir = g_dir_open(path.c_str(), 0, nullptr)) {
      while (const char* name = g_dir_read_name(dir)) RemoveTree(path + "/" + name);
      g_dir_close(dir);
    }
    g_rmdir(path.c_str());
  } else {
    g_unlink(path.c_str());
  }
}
}  // namespace

TempDir::TempDir() {
  gchar* p = g_dir_make_tmp("tarvik-test-XXXXXX", nullptr);
  path_ = p ? p : "/tmp";
  g_free(p);
}

TempDir::~TempDir() { RemoveTree(path_); }

void WriteBytes(const std::string& path, const std::string& bytes) {
  GError* error = nullptr;
  if (!g_file_set_contents(path.c_str(), bytes.data(), static_cast<gssize>(bytes.size()), &error))
    g_error("cannot write the test input %s: %s", path.c_str(), error->message);
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
    while (const char* name = g_dir_read_name(dir)) names.push_back(name);
    g_dir_close(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tarvik::test
