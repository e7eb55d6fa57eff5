// main() of the window tests: a private home for the desktop's files, then GTK, then the tests.
#include <glib.h>
#include <gtest/gtest.h>
#include <gtkmm/main.h>

#include <atomic>
#include <string>

namespace {

std::atomic<int> g_criticals{0};

// Every GTK or GLib critical (and anything worse that returns) fails the test that raised it; one
// raised outside a test fails the run.
GLogWriterOutput FailOnCritical(GLogLevelFlags level, const GLogField* fields, gsize n_fields,
                                gpointer) {
  if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR)) {
    ++g_criticals;
    std::string domain, message;
    for (gsize i = 0; i < n_fields; ++i) {
      const std::string key = fields[i].key;
      const char* value = static_cast<const char*>(fields[i].value);
      if (!value || fields[i].length > 0) continue;  // only text fields are read
      if (key == "GLIB_DOMAIN") domain = value;
      if (key == "MESSAGE") message = value;
    }
    ADD_FAILURE() << "critical from " << (domain.empty() ? "the program" : domain) << ": "
                  << message;
  }
  return g_log_writer_default(level, fields, n_fields, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  g_log_set_writer_func(FailOnCritical, nullptr, nullptr);
  // The Tarvik processes that tests start stop at their first critical, so that it shows.
  g_setenv("G_DEBUG", "fatal-criticals", TRUE);
  // Window tests start main windows, which register Tarvik with the desktop; that must land in a
  // folder of the test's own, never in the user's. GLib reads these once, so set them first.
  gchar* home = g_dir_make_tmp("tarvik-gui-XXXXXX", nullptr);
  std::string base = home ? home : "/tmp";
  g_free(home);
  g_setenv("XDG_DATA_HOME", (base + "/data").c_str(), TRUE);
  g_setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), TRUE);
  g_setenv("XDG_CACHE_HOME", (base + "/cache").c_str(), TRUE);
  g_setenv("TARVIK_HOME", (base + "/app").c_str(), TRUE);
  // Favorites default to ~/Favorites.
  g_setenv("HOME", base.c_str(), TRUE);

  testing::InitGoogleTest(&argc, argv);
  Gtk::Main kit(argc, argv);
  int result = RUN_ALL_TESTS();
  if (g_criticals > 0) result = 1;
  gchar* argv_rm[] = {const_cast<gchar*>("rm"), const_cast<gchar*>("-rf"),
                      const_cast<gchar*>(base.c_str()), nullptr};
  g_spawn_sync(nullptr, argv_rm, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, nullptr,
               nullptr, nullptr);
  return result;
}
