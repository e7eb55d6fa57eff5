// The real program, started with a home and settings of its own, ended the way the end of a
// desktop session ends it: by a signal to the process instead of a close of its window.
#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <string>

#include "platform/settings_store.h"
#include "support/gui_test.h"

namespace tarvik::test {
namespace {

constexpr int kStart = 30000;  // ms; the first start of the engine under Xvfb is slow

std::string Output(const std::string& command) {
  gchar* out = nullptr;
  if (!g_spawn_command_line_sync(command.c_str(), &out, nullptr, nullptr, nullptr)) return "";
  std::string text = out ? out : "";
  g_free(out);
  return text;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// Waits up to `timeout_ms` for `pid` to end; its wait status, or -1 when it is still running.
int WaitForExit(GPid pid, int timeout_ms) {
  gint64 end = g_get_monotonic_time() + static_cast<gint64>(timeout_ms) * 1000;
  int status = 0;
  while (g_get_monotonic_time() < end) {
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    g_usleep(20000);
  }
  return -1;
}

// `env` with a home and folders of the process's own under `dir`.
gchar** OwnFolders(gchar** env, const TempDir& dir) {
  env = g_environ_setenv(env, "HOME", dir.path().c_str(), TRUE);
  env = g_environ_setenv(env, "TARVIK_HOME", dir.file("app").c_str(), TRUE);
  env = g_environ_setenv(env, "XDG_CONFIG_HOME", dir.file("config").c_str(), TRUE);
  env = g_environ_setenv(env, "XDG_DATA_HOME", dir.file("data").c_str(), TRUE);
  return g_environ_setenv(env, "XDG_CACHE_HOME", dir.file("cache").c_str(), TRUE);
}

class SessionEndTest : public ::testing::TestWithParam<int> {
 protected:
  // Starts `tarvik` with no command line (it opens the blank page) and waits for its window.
  void StartTarvik() {
    gchar** env = OwnFolders(g_get_environ(), dir);
    gchar* argv[] = {const_cast<gchar*>(TARVIK_BINARY), nullptr};
    GError* error = nullptr;
    bool started = g_spawn_async(nullptr, argv, env, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                                 &pid, &error);
    g_strfreev(env);
    ASSERT_TRUE(started) << (error ? error->message : "");
    running = true;
    const std::string search =
        "xdotool search --onlyvisible --pid " + std::to_string(pid) + " --name Tarvik";
    ASSERT_TRUE(RunUntil([&] { return !(window = FirstLine(Output(search))).empty(); }, kStart))
        << "no window";
  }

  void TearDown() override {
    if (running) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }

  std::string settings_path() const { return dir.file("config/tarvik/settings.ini"); }

  TempDir dir;
  GPid pid = 0;
  bool running = false;
  std::string window;  // the X window id of the main window
};

TEST_P(SessionEndTest, LoggingOutLosesTheWindowsPlacementAndMode) {
  StartTarvik();
  ASSERT_FALSE(window.empty());
  // The user sizes and moves the window.
  Output("xdotool windowsize " + window + " 900 700 windowmove " + window + " 60 50");
  ASSERT_TRUE(RunUntil(
      [&] {
        return Output("xdotool getwindowgeometry " + window).find("Geometry: 900x700") !=
               std::string::npos;
      },
      5000))
      << Output("xdotool getwindowgeometry " + window);
  Pump(500);
  EXPECT_FALSE(SettingsStore(settings_path()).Find("Window", "Width"))
      << "the placement is written before the window closes";

  ASSERT_EQ(kill(pid, GetParam()), 0);
  const int status = WaitForExit(pid, 20000);
  ASSERT_NE(status, -1) << "Tarvik did not end";
  running = false;
  EXPECT_TRUE(WIFEXITED(status)) << "ended by signal "
                                 << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  if (WIFEXITED(status)) {
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }

  SettingsStore store(settings_path());
  EXPECT_EQ(store.Get("Window", "Width", ""), std::to_string(900 * 15));
  EXPECT_EQ(store.Get("Window", "Height", ""), std::to_string(700 * 15));
  EXPECT_NE(store.Get("Window", "Left", ""), "");
  EXPECT_NE(store.Get("Window", "Top", ""), "");
  EXPECT_EQ(store.Get("Window", "Maximized", ""), "False");
  EXPECT_EQ(store.Get("Setting", "Mode", ""), "1");
  EXPECT_TRUE(store.Find("History", "URL20"));
}

// Under a Wayland compositor, which keeps a window's place on the screen from the program: the
// stored position outlives the session, and the size is stored as ever.
TEST(WaylandPlacementTest, ClosingKeepsTheStoredPositionAndStoresTheSize) {
  TempDir dir;
  const std::string runtime = dir.file("run");
  g_mkdir(runtime.c_str(), 0700);
  gchar** env = OwnFolders(g_environ_unsetenv(g_get_environ(), "DISPLAY"), dir);
  env = g_environ_setenv(env, "XDG_RUNTIME_DIR", runtime.c_str(), TRUE);
  env = g_environ_setenv(env, "WAYLAND_DISPLAY", "tarvik-test", TRUE);
  env = g_environ_setenv(env, "GDK_BACKEND", "wayland", TRUE);
  // A compositor without a seat makes GTK complain of the missing keyboard and pointer, which no
  // program can avoid: those criticals must not end this one.
  env = g_environ_unsetenv(env, "G_DEBUG");
  const char* weston_argv[] = {"weston", "--backend=headless-backend.so", "--socket=tarvik-test",
                               nullptr};
  const auto quiet = static_cast<GSpawnFlags>(
      G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL);
  GPid weston = 0, pid = 0;
  if (!g_spawn_async(nullptr, const_cast<gchar**>(weston_argv), env,
                     static_cast<GSpawnFlags>(quiet | G_SPAWN_SEARCH_PATH), nullptr, nullptr,
                     &weston, nullptr) ||
      !RunUntil(
          [&] { return g_file_test((runtime + "/tarvik-test").c_str(), G_FILE_TEST_EXISTS); })) {
    if (weston) kill(weston, SIGKILL);
    g_strfreev(env);
    GTEST_SKIP() << "weston does not run here";
  }
  const std::string settings = dir.file("config/tarvik/settings.ini");
  SettingsStore(settings).SaveAll({{"Window", "Left", "1500"}, {"Window", "Top", "750"}});
  const char* argv[] = {TARVIK_BINARY, nullptr};
  const bool started = g_spawn_async(nullptr, const_cast<gchar**>(argv), env, quiet, nullptr,
                                     nullptr, &pid, nullptr);
  g_strfreev(env);
  // Start-up has run once it records the version; the window shows right after.
  EXPECT_TRUE(
      started &&
      RunUntil(
          [&] { return SettingsStore(settings).Find("UpdateInfo", "CurrentVersion").has_value(); },
          kStart));
  Pump(2000);
  if (started) kill(pid, SIGTERM);
  const int status = started ? WaitForExit(pid, 20000) : -1;
  if (started && status == -1) kill(pid, SIGKILL);
  kill(weston, SIGTERM);
  waitpid(weston, nullptr, 0);
  ASSERT_NE(status, -1) << "Tarvik did not end";

  SettingsStore store(settings);
  EXPECT_EQ(store.Get("Window", "Left", ""), "1500");
  EXPECT_EQ(store.Get("Window", "Top", ""), "750");
  EXPECT_EQ(store.Get("Window", "Width", ""), "11415");
  EXPECT_EQ(store.Get("Window", "Maximized", ""), "False");
}

INSTANTIATE_TEST_SUITE_P(Signals, SessionEndTest, ::testing::Values(SIGTERM, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == SIGTERM ? "SIGTERM" : "SIGHUP");
                         });

}  // namespace
}  // namespace tarvik::test
