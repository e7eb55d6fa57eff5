#include "system/desktop_mirror.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "support/gui_test.h"
#include "system/mod_relation.h"

namespace tarvik {
namespace {

constexpr char kExe[] = "/opt/tarvik/bin/tarvik";

// One value of a desktop entry or of mimeapps.list, or "(none)".
std::string KeyValue(const std::string& path, const char* group, const char* key) {
  GKeyFile* kf = g_key_file_new();
  std::string out = "(none)";
  if (g_key_file_load_from_file(kf, path.c_str(), G_KEY_FILE_NONE, nullptr)) {
    if (gchar* v = g_key_file_get_string(kf, group, key, nullptr)) {
      out = v;
      g_free(v);
    }
  }
  g_key_file_free(kf);
  return out;
}

class DesktopMirrorTest : public ::testing::Test {
 protected:
  DesktopMirrorTest() {
    store.set_on_change([this](const ClassRegistry& root) { mirror.Sync(root); });
  }

  std::string App(const char* id) { return JoinPath(folders.applications(), id); }
  std::string Entry(const char* id, const char* key) {
    return KeyValue(App(id), "Desktop Entry", key);
  }
  std::string Default(const char* mime) {
    return KeyValue(folders.mimeapps_list(), "Default Applications", mime);
  }
  void Register() { RegisterAssociations(store, settings, kExe); }
  void DefaultBrowser(MsgResult answer) {
    MakeDefaultBrowser(store, [answer](auto&&...) { return answer; });
  }
  static std::string JoinPath(const std::string& a, const std::string& b) { return a + "/" + b; }

  test::TempDir dir;
  DesktopFolders folders{dir.file("data"), dir.file("config")};
  std::vector<std::vector<std::string>> tools;
  DesktopMirror mirror{folders, kExe,
                       [this](const std::vector<std::string>& argv) { tools.push_back(argv); }};
  KeyFileClassRegistry store{folders.classes_file()};
  SettingsStore settings{dir.file("config/tarvik/settings.ini")};
};

TEST_F(DesktopMirrorTest, RegistrationDescribesEachAssociationToTheDesktop) {
  Register();
  struct Row {
    const char* id;
    const char* exec;
    const char* mime;
  };
  const Row rows[] = {
      {"tarvik-tvj.desktop", "/opt/tarvik/bin/tarvik /j %f", "application/x-tarvik-job;"},
      // Not yet the default: no MIME type claimed, or the desktop would pick Tarvik anyway.
      {"tarvik-url.desktop", "/opt/tarvik/bin/tarvik /u %f", "(none)"},
      {"tarvik-htm.desktop", "/opt/tarvik/bin/tarvik /h %f", "(none)"},
      {"tarvik-http.desktop", "/opt/tarvik/bin/tarvik /h %u", "(none)"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Entry(r.id, "Exec"), r.exec) << r.id;
    EXPECT_EQ(Entry(r.id, "MimeType"), r.mime) << r.id;
    EXPECT_EQ(Entry(r.id, "Name"), "Tarvik") << r.id;
    EXPECT_EQ(Entry(r.id, "NoDisplay"), "true") << r.id;
    EXPECT_EQ(Entry(r.id, "Type"), "Application") << r.id;
  }
  EXPECT_EQ(Entry("tarvik-htm.desktop", "Comment"), "Tarvikで開く");
  EXPECT_EQ(Entry("tarvik.desktop", "Exec"), std::string(kExe) + " %u");
  EXPECT_EQ(Entry("tarvik.desktop", "Categories"), "Network;WebBrowser;");
  EXPECT_EQ(Entry("tarvik.desktop", "NoDisplay"), "(none)") << "the menu entry is shown";

  auto package = ReadFileBytes(folders.mime_package());
  ASSERT_TRUE(package);
  EXPECT_NE(package->find("<mime-type type=\"application/x-tarvik-job\">"), std::string::npos);
  EXPECT_NE(package->find("<glob pattern=\"*.tvj\"/>"), std::string::npos);
  EXPECT_NE(package->find("<comment>Tarvikｼﾞｮﾌﾞﾌｧｲﾙ</comment>"), std::string::npos);
  EXPECT_NE(package->find("<sub-class-of type=\"text/plain\"/>"), std::string::npos);

  // Job files open with Tarvik: "open" is the job type's verb. Browsing stays with the user's
  // browser until the default-browser command.
  EXPECT_EQ(Default("application/x-tarvik-job"), "tarvik-tvj.desktop;");
  for (const char* mime :
       {"text/html", "application/x-mswinurl", "x-scheme-handler/http", "x-scheme-handler/https"})
    EXPECT_EQ(Default(mime), "(none)") << mime;

  // One registration is one change: each cache is rebuilt once.
  const std::vector<std::vector<std::string>> expected_tools = {
      {"update-mime-database", folders.data_home + "/mime"},
      {"update-desktop-database", "-q", folders.applications()},
  };
  EXPECT_EQ(tools, expected_tools);
}

TEST_F(DesktopMirrorTest, DefaultBrowserYesSetsTheHandlersAndKeepsTheUsersOtherEntries) {
  const std::string user_list =
      "# my associations\n"
      "[Default Applications]\n"
      "text/html=firefox.desktop;\n"
      "image/png=eog.desktop;\n"
      "x-scheme-handler/https=tarvik-http.desktop;firefox.desktop;\n"
      "\n"
      "[Added Associations]\n"
      "text/plain=gedit.desktop;\n";
  ASSERT_TRUE(WriteFileAtomically(folders.mimeapps_list(), user_list));
  Register();
  tools.clear();

  DefaultBrowser(MsgResult::Yes);
  EXPECT_EQ(Default("text/html"), "tarvik-htm.desktop;firefox.desktop;");
  EXPECT_EQ(Default("application/x-mswinurl"), "tarvik-url.desktop;");
  EXPECT_EQ(Default("x-scheme-handler/http"), "tarvik-http.desktop;");
  EXPECT_EQ(Default("x-scheme-handler/https"), "tarvik-http.desktop;firefox.desktop;");
  EXPECT_EQ(Entry("tarvik-htm.desktop", "MimeType"), "text/html;");
  EXPECT_EQ(Entry("tarvik-url.desktop", "MimeType"), "application/x-mswinurl;");
  EXPECT_EQ(Entry("tarvik-http.desktop", "MimeType"),
            "x-scheme-handler/http;x-scheme-handler/https;");
  EXPECT_EQ(Default("image/png"), "eog.desktop;");
  EXPECT_EQ(KeyValue(folders.mimeapps_list(), "Added Associations", "text/plain"),
            "gedit.desktop;");
  auto text = ReadFileBytes(folders.mimeapps_list());
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("# my associations"), std::string::npos);
  const std::vector<std::vector<std::string>> entries_rebuilt = {
      {"update-desktop-database", "-q", folders.applications()}};
  EXPECT_EQ(tools, entries_rebuilt) << "the entries now claim their types; job files unchanged";

  auto before = ReadFileBytes(folders.mimeapps_list());
  tools.clear();
  DefaultBrowser(MsgResult::Yes);
  EXPECT_EQ(ReadFileBytes(folders.mimeapps_list()), before) << "a repeat changes nothing";
  EXPECT_TRUE(tools.empty());
}

// mimeapps.list is the desktop's: a file Tarvik cannot read completely is not rewritten.
TEST_F(DesktopMirrorTest, AMimeappsListThatDoesNotReadIsLeftAlone) {
  const std::string damaged =
      "[Default Applications]\ntext/plain=editor.desktop;\nbroken line\n"
      "[Added Associations]\nimage/png=viewer.desktop;\n";
  ASSERT_TRUE(WriteFileAtomically(folders.mimeapps_list(), damaged));
  Register();
  DefaultBrowser(MsgResult::Yes);
  EXPECT_EQ(ReadFileBytes(folders.mimeapps_list()), damaged);
}

TEST_F(DesktopMirrorTest, DefaultBrowserNoLeavesMimeappsAlone) {
  Register();
  auto before = ReadFileBytes(folders.mimeapps_list());
  ASSERT_TRUE(before);
  auto entry_before = ReadFileBytes(App("tarvik-htm.desktop"));
  DefaultBrowser(MsgResult::No);
  EXPECT_EQ(ReadFileBytes(folders.mimeapps_list()), before);
  EXPECT_EQ(ReadFileBytes(App("tarvik-htm.desktop")), entry_before);
  EXPECT_EQ(Default("text/html"), "(none)");
}

TEST_F(DesktopMirrorTest, SecondStartTouchesNoFile) {
  Register();
  tools.clear();
  settings.Save("Setting", "RelationDone", "False");  // registers the same values again
  Register();
  EXPECT_TRUE(tools.empty());
}

TEST_F(DesktopMirrorTest, EntriesFollowVerbsThatGoAway) {
  Register();
  tools.clear();
  RemoveVerb(store, ".url", "OpenWithTarvik");
  EXPECT_FALSE(FileExists(App("tarvik-url.desktop")));
  EXPECT_TRUE(FileExists(App("tarvik-htm.desktop")));
  EXPECT_EQ(tools.size(), 1u);
  EXPECT_EQ(tools[0][0], "update-desktop-database");
}

TEST_F(DesktopMirrorTest, OtherProgramsVerbsAreNotMirrored) {
  ASSERT_TRUE(store.Write(".htm", "", "htmlfile"));
  ASSERT_TRUE(store.Write("htmlfile\\shell", "", "open"));
  ASSERT_TRUE(store.Write("htmlfile\\shell\\open\\command", "", "\"/usr/bin/firefox\" %1"));
  EXPECT_FALSE(FileExists(App("tarvik-htm.desktop")));
  Register();
  EXPECT_EQ(Entry("tarvik-htm.desktop", "Exec"), "/opt/tarvik/bin/tarvik /h %f");
  EXPECT_EQ(Default("text/html"), "(none)") << "the type's default verb is someone else's";
  DefaultBrowser(MsgResult::Yes);
  EXPECT_EQ(Default("text/html"), "tarvik-htm.desktop;");
}

// The desktop's cache tools do not run while start-up and the first page have the machine; a
// process that ends before they ran runs them as it ends, so no change is left out of the caches.
TEST(DesktopCacheToolsTest, WaitPastStartUpAndRunByTheEndOfTheProcess) {
  test::TempDir dir;
  const std::string bin = dir.file("bin");
  const std::string ran = dir.file("ran");
  ASSERT_EQ(g_mkdir(bin.c_str(), 0755), 0);
  // Stand-ins for the desktop's tools, found first on PATH: each notes that it ran.
  for (const char* tool : {"update-desktop-database", "update-mime-database"}) {
    const std::string path = bin + "/" + tool;
    const std::string script = "#!/bin/sh\necho " + std::string(tool) + " >> '" + ran + "'\n";
    ASSERT_TRUE(g_file_set_contents(path.c_str(), script.c_str(), -1, nullptr));
    ASSERT_EQ(g_chmod(path.c_str(), 0755), 0);
  }

  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    g_setenv("PATH", (bin + ":" + g_getenv("PATH")).c_str(), TRUE);
    DesktopFolders folders{dir.file("data"), dir.file("config")};
    DesktopMirror mirror{folders, kExe};  // the real runner
    KeyFileClassRegistry store{folders.classes_file()};
    store.set_on_change([&mirror](const ClassRegistry& root) { mirror.Sync(root); });
    SettingsStore settings{dir.file("config/settings.ini")};
    RegisterAssociations(store, settings, kExe);
    g_usleep(300 * 1000);
    std::exit(g_file_test(ran.c_str(), G_FILE_TEST_EXISTS) ? 3 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a tool ran during start-up";
  // The tools were started as the process ended; they run at the lowest priority.
  EXPECT_TRUE(test::RunUntil(
      [&] {
        auto text = ReadFileBytes(ran);
        return text && text->find("update-desktop-database") != std::string::npos &&
               text->find("update-mime-database") != std::string::npos;
      },
      10000));
}

TEST(DesktopExecLineTest, TranslatesRegisteredCommandLines) {
  struct Row {
    const char* label;
    const char* command;
    bool protocol;
    const char* exec;
  };
  const Row rows[] = {
      {"file", "\"/usr/bin/tarvik\" /j %1", false, "/usr/bin/tarvik /j %f"},
      {"url", "\"/usr/bin/tarvik\" /h %1", true, "/usr/bin/tarvik /h %u"},
      {"space in path", "\"/opt/My Apps/tarvik\" /u %1", false, "\"/opt/My Apps/tarvik\" /u %f"},
      {"quoted placeholder", "\"/usr/bin/tarvik\" /h \"%1\"", false, "/usr/bin/tarvik /h %f"},
      {"percent in path", "\"/opt/100%/tarvik\" /h %1", false, "/opt/100%%/tarvik /h %f"},
      {"reserved characters", "\"/opt/a$b\\c\"\"d`\" /h %1", false,
       "\"/opt/a\\$b\\\\cd\\`\" /h %f"},
      {"unquoted program", "/usr/bin/tarvik /j %1", false, "/usr/bin/tarvik /j %f"},
      {"extra blanks", "  \"/usr/bin/tarvik\"   /j   %1  ", false, "/usr/bin/tarvik /j %f"},
      {"empty", "", false, ""},
  };
  for (const Row& r : rows) EXPECT_EQ(DesktopExecLine(r.command, r.protocol), r.exec) << r.label;
}

TEST(DesktopExecLineTest, CommandProgramUnquotes) {
  EXPECT_EQ(CommandProgram("\"/opt/My Apps/tarvik\" /h %1"), "/opt/My Apps/tarvik");
  EXPECT_EQ(CommandProgram("/usr/bin/tarvik /h %1"), "/usr/bin/tarvik");
  EXPECT_EQ(CommandProgram("   "), "");
}

}  // namespace
}  // namespace tarvik
