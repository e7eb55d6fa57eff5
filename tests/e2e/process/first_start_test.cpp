// The first start of the real program, in empty folders: the page it opens is asked for before
// anything the page does not need is written, and every file a first start leaves follows once
// that page has loaded (or a few seconds later when it does not finish).
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "platform/desktop_icons.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "skins/shipped_skins.h"
#include "skins/skin_files.h"
#include "support/gui_test.h"
#include "support/loopback_server.h"
#include "system/desktop_mirror.h"
#include "system/mod_relation.h"

namespace tarvik::test {
namespace {

constexpr int kStart = 30000;  // ms; the first start of the engine under Xvfb is slow

bool Exists(const std::string& path) { return g_file_test(path.c_str(), G_FILE_TEST_EXISTS); }

class FirstStartTest : public ::testing::Test {
 protected:
  // Starts `tarvik` on `url` in empty folders, with only the settings text `settings`.
  void StartTarvik(const std::string& url, const std::string& settings) {
    g_mkdir_with_parents(dir.file("config/tarvik").c_str(), 0755);
    ASSERT_TRUE(WriteFileAtomically(settings_path(), settings));
    gchar** env = g_get_environ();
    env = g_environ_setenv(env, "HOME", dir.path().c_str(), TRUE);
    env = g_environ_setenv(env, "TARVIK_HOME", app().c_str(), TRUE);
    env = g_environ_setenv(env, "XDG_CONFIG_HOME", dir.file("config").c_str(), TRUE);
    env = g_environ_setenv(env, "XDG_DATA_HOME", data().c_str(), TRUE);
    env = g_environ_setenv(env, "XDG_CACHE_HOME", dir.file("cache").c_str(), TRUE);
    // No installed copy of Tarvik among the system's folders: the user gets every file.
    env = g_environ_setenv(env, "XDG_DATA_DIRS", "/usr/share", TRUE);
    gchar* argv[] = {const_cast<gchar*>(TARVIK_BINARY), const_cast<gchar*>(url.c_str()), nullptr};
    GError* error = nullptr;
    bool started = g_spawn_async(nullptr, argv, env, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                                 &pid, &error);
    g_strfreev(env);
    ASSERT_TRUE(started) << (error ? error->message : "");
    running = true;
  }

  void TearDown() override {
    if (running) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }

  std::string app() const { return dir.file("app"); }
  std::string data() const { return dir.file("data"); }
  std::string settings_path() const { return dir.file("config/tarvik/settings.ini"); }
  std::string Setting(const SettingKey& k) const {
    return SettingsStore(settings_path()).Get(k.section, k.key, "(absent)");
  }

  // The files of the desktop registration: the menu entry, the association entries, the job
  // file type and the icons.
  std::vector<std::string> DesktopFiles() const {
    std::vector<std::string> files = {data() + "/applications/" + kMenuEntryId,
                                      data() + "/mime/packages/" + kMimePackageName};
    for (const DesktopAssociation& a : DesktopAssociations())
      files.push_back(data() + "/applications/" + a.desktop_id);
    for (std::size_t i = 0; i < kDesktopIconFileCount; ++i)
      files.push_back(data() + "/" + kDesktopIconFiles[i].path);
    return files;
  }

  // Whether every file of a first start is there: each shipped skin whole and as shipped, the
  // desktop files, and the settings that record the registration and this copy.
  std::string Missing() const {
    for (const char* skin : kShippedSkinNames)
      for (const char* file : kSkinFiles) {
        const std::string path = SkinFolder(app(), skin) + "/" + file;
        if (ReadFileBytes(path).value_or("") != ShippedSkinFile(skin, file)) return path;
      }
    for (const std::string& path : DesktopFiles())
      if (!Exists(path)) return path;
    if (Setting(setting::kRelationDone) != kRelationDoneMarker) return "RelationDone";
    if (Setting(setting::kApplicationPath) != app()) return "ApplicationPath";
    return "";
  }

  TempDir dir;
  GPid pid = 0;
  bool running = false;
};

TEST_F(FirstStartTest, TheFirstPageComesBeforeTheRestAndEveryFileFollowsIt) {
  LoopbackServer server;
  // The page stays loading for a while, so the test can look at what is written meanwhile.
  server.ServeSlowly("/first.html", "<html><head><title>first</title></head><body><p>first",
                     " page</p></body></html>", 2500);
  StartTarvik(server.url("/first.html"), "[Setting]\nSkin=Sakura\n");
  ASSERT_TRUE(RunUntil([&] { return server.count("/first.html") > 0; }, kStart)) << "no request";

  // While the page loads: the chosen skin is there, as the window needs it, and nothing else.
  for (const char* file : kSkinFiles)
    EXPECT_TRUE(Exists(SkinFolder(app(), "Sakura") + "/" + file)) << file;
  EXPECT_FALSE(Exists(SkinFolder(app(), kDefaultSkinName)));
  for (const std::string& path : DesktopFiles()) EXPECT_FALSE(Exists(path)) << path;
  EXPECT_EQ(Setting(setting::kRelationDone), "(absent)");
  EXPECT_EQ(Setting(setting::kApplicationPath), "(absent)");
  EXPECT_EQ(server.served("/first.html"), 0) << "the page came too soon to look in between";

  // Once it has loaded, everything a first start writes, and then the desktop's caches.
  ASSERT_TRUE(RunUntil([&] { return Missing().empty(); }, 20000)) << "missing: " << Missing();
  EXPECT_EQ(Setting(setting::kSkin), "Sakura");
  if (gchar* tool = g_find_program_in_path("update-mime-database")) {
    g_free(tool);
    EXPECT_TRUE(RunUntil([&] { return Exists(data() + "/mime/mime.cache"); }, 20000));
  }
  if (gchar* tool = g_find_program_in_path("update-desktop-database")) {
    g_free(tool);
    EXPECT_TRUE(RunUntil([&] { return Exists(data() + "/applications/mimeinfo.cache"); }, 20000));
  }
}

TEST_F(FirstStartTest, APageThatDoesNotFinishDelaysTheRestOnlyAFewSeconds) {
  LoopbackServer server;
  server.ServeSlowly("/slow.html", "<html><body><p>slow", " page</p></body></html>", 14000);
  StartTarvik(server.url("/slow.html"), "");
  ASSERT_TRUE(RunUntil([&] { return server.count("/slow.html") > 0; }, kStart)) << "no request";
  EXPECT_FALSE(Exists(SkinFolder(app(), kDefaultSkinName)));
  ASSERT_TRUE(RunUntil([&] { return Missing().empty(); }, 12000)) << "missing: " << Missing();
  EXPECT_EQ(server.served("/slow.html"), 0);
}

}  // namespace
}  // namespace tarvik::test
