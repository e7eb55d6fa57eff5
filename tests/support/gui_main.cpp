// main() of the window tests: a private home for the desktop's files, then GTK, then the tests.
#include <glib.h>
#include <gtest/gtest.h>
#include <gtkmm/main.h>

#include <string>

int main(int argc, char** argv) {
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
  gchar* argv_rm[] = {const_cast<gchar*>("rm"), const_cast<gchar*>("-rf"),
                      const_cast<gchar*>(base.c_str()), nullptr};
  g_spawn_sync(nullptr, argv_rm, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, nullptr,
               nullptr, nullptr);
  return result;
}
