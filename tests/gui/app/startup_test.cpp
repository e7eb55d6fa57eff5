#include <sys/stat.h>
#include <unistd.h>

#include "main_window_fixture.h"
#include "platform/app_folder.h"
#include "platform/text_file.h"

namespace tarvik::test {
namespace {

TEST_F(MainWindowTest, AnEmptyCommandLineOpensTheHomeUrl) {
  Start("");
  EXPECT_EQ(browser().last_navigation(), "Navigate:about:blank");
}

TEST_F(MainWindowTest, TheStoredHomeUrlIsOpened) {
  settings().Save("Setting", "HomeURL", "http://127.0.0.1:9/home.html");
  frmMain& w = Start("");
  EXPECT_EQ(w.home_url(), "http://127.0.0.1:9/home.html");
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://127.0.0.1:9/home.html");
}

TEST_F(MainWindowTest, ABareUrlIsOpenedAndKeepsTheStoredMode) {
  settings().Save("Setting", "Mode", "2");
  frmMain& w = Start("http://example.com/page");
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://example.com/page");
  EXPECT_EQ(browser().navigation_count(), 1);
  EXPECT_EQ(w.mode(), Mode::Direct);
  EXPECT_TRUE(w.clbComm().picBack(4).get_visible());
  EXPECT_FALSE(w.clbComm().picBack(3).get_visible());
}

TEST_F(MainWindowTest, PageFileSwitchOpensThePathInDirectMode) {
  WriteBytes(home.file("page.htm"), "<p>page</p>");
  frmMain& w = Start("/h " + home.file("page.htm"));
  EXPECT_EQ(w.mode(), Mode::Direct);
  EXPECT_EQ(browser().last_navigation(), "Navigate:" + home.file("page.htm"));
  EXPECT_TRUE(w.clbComm().picBack(4).get_visible());
  EXPECT_TRUE(dialogs.shown.empty());
}

// "/h /dev/zero" was handed to the engine, which offered to save it and then wrote without end.
// Only a regular file is opened; anything else is reported and nothing is opened.
TEST_F(MainWindowTest, APageFileThatIsNoRegularFileIsReportedAndNotOpened) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/dev/zero", "通常のファイルではありません。\r\n/dev/zero"},
      {home.path(), "通常のファイルではありません。\r\n" + home.path()},
      {home.file("gone.htm"), "ファイルが見つかりません。\r\n" + home.file("gone.htm")},
  };
  for (const auto& [path, message] : cases) {
    SCOPED_TRACE(path);
    dialogs.shown.clear();
    frmMain& w = Start("/h " + path);
    EXPECT_EQ(w.mode(), Mode::Direct);
    EXPECT_EQ(browser(static_cast<int>(browsers.size()) - 1).navigation_count(), 0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, message);
    EXPECT_EQ(dialogs.shown[0].caption, "エラー");
    app.reset();
    Pump(20);
  }
}

// The engine is asked for the start page before the window builds itself, so its page process
// starts meanwhile; acting on the command line must not ask a second time. A job waits for its job
// list.
TEST_F(MainWindowTest, TheStartPageIsAskedForOnceBeforeTheWindowIsBuilt) {
  struct Probe : FakeBrowser {
    void Navigate(const std::string& url) override {
      in_built_window.push_back(widget().get_parent() != nullptr);
      FakeBrowser::Navigate(url);
    }
    std::vector<bool> in_built_window;
  };
  struct Case {
    std::string command_line, navigation;
    bool early;
  };
  WriteBytes(home.file("page.htm"), "<p>page</p>");
  const std::vector<Case> cases = {
      {"", "Navigate:about:blank", true},
      {"http://example.com/page", "Navigate:http://example.com/page", true},
      {"/h " + home.file("page.htm"), "Navigate:" + home.file("page.htm"), true},
      {"/j /elsewhere/Weather.tvj", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command_line);
    Probe* probe = nullptr;
    StartWith(c.command_line, [&probe](BrowserControl*) {
      auto b = std::make_unique<Probe>();
      probe = b.get();
      return b;
    });
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->last_navigation(), c.navigation);
    EXPECT_EQ(probe->navigation_count(), c.navigation.empty() ? 0 : 1);
    if (c.early) {
      EXPECT_EQ(probe->in_built_window, std::vector<bool>{false});
    }
    app.reset();
    Pump(20);
  }
}

// One line that could not be read dropped every key after it at the next save, and the copy
// of the damaged file was made without a word. Every key that can be read is used and kept; the
// start says once where the copy is.
TEST_F(MainWindowTest, ADamagedSettingsFileKeepsEveryReadableKeyAndSaysWhereItsCopyIs) {
  const std::string damaged =
      "[Setting]\nHomeURL=http://before/\nthis line is damaged\nMode=2\n"
      "[Window]\nWidth=9000\n[Broken\nLost=1\n[History]\nTitle01=After\nURL01=http://after/\n";
  WriteBytes(config.file("settings.ini"), damaged);
  frmMain& w = Start("");
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://before/");
  EXPECT_EQ(w.mode(), Mode::Direct);
  EXPECT_TRUE(WaitForSize(w, 600, w.get_height()));
  EXPECT_EQ(w.menu_item(ActionId::Recent, 0)->get_label(), "After");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "設定ファイルが壊れていました。元のファイルは次の場所にあります。\r\n" +
                config.file("settings.ini.damaged"));
  gchar* copy = nullptr;
  gsize length = 0;
  ASSERT_TRUE(
      g_file_get_contents(config.file("settings.ini.damaged").c_str(), &copy, &length, nullptr));
  EXPECT_EQ(std::string(copy, length), damaged);
  g_free(copy);

  w.Run(ActionId::Quit);
  ASSERT_TRUE(RunUntil([&] { return last_window_closed; }));
  app.reset();
  EXPECT_EQ(settings().Get("Setting", "HomeURL", ""), "http://before/");
  EXPECT_EQ(settings().Get("History", "URL01", ""), "http://after/");
  EXPECT_EQ(settings().Get("History", "Title01", ""), "After");
  EXPECT_FALSE(settings().Find("Window", "Lost"));

  // The file is whole again: the next start says nothing.
  dialogs.shown.clear();
  Start("");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowTest, ABareSwitchOpensNothing) {
  frmMain& w = Start("/u");
  EXPECT_EQ(browser().navigation_count(), 0);
  EXPECT_EQ(w.mode(), Mode::Direct);
  EXPECT_TRUE(w.get_visible());
}

TEST_F(MainWindowTest, ANewWindowNavigatesNowhere) {
  frmMain& first = Start("");
  frmMain* child = nullptr;
  BrowserControl* b = first.NewWindow2();
  child = app->new_window(1);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(&child->browser(), b);
  EXPECT_TRUE(child->NewWdwFlag());
  EXPECT_EQ(browser(1).navigation_count(), 0);
  // The page's own content arrives, then the window is shown.
  browser(1).RaiseReadyToShow();
  EXPECT_TRUE(RunUntil([&] { return child->get_mapped(); }));
}

TEST_F(MainWindowTest, UnconvertibleStoredValuesReadAsTheirDefaults) {
  settings().SaveAll({{"Setting", "Mode", "direct"},
                      {"Window", "Width", "wide"},
                      {"Window", "Height", "-5"},
                      {"Window", "Maximized", "perhaps"}});
  frmMain& w = Start("");
  EXPECT_EQ(w.mode(), Mode::Job);
  EXPECT_FALSE(w.is_maximized());
  EXPECT_FLOAT_EQ(w.window_width(), w.snapshot().W);
  EXPECT_FLOAT_EQ(w.window_height(), w.snapshot().H);
}

TEST_F(MainWindowTest, AStartCreatesAMissingApplicationFolder) {
  TempDir fresh;
  std::string folder = fresh.file("new-home");
  g_setenv("TARVIK_HOME", folder.c_str(), TRUE);
  EnsureApplicationFolder();
  EXPECT_TRUE(FileExists(folder + "/TVJob.lst"));
  EXPECT_EQ(*ReadFileBytes(folder + "/TVJob.lst"), "");
  EXPECT_TRUE(DirectoryExists(folder + "/JobFiles"));
}

TEST_F(MainWindowTest, ASettingsFileTooLargeToReadIsNamedAndKept) {
  const std::string path = settings().path();
  g_file_set_contents(path.c_str(), "", 0, nullptr);
  ASSERT_EQ(truncate(path.c_str(), off_t{40} << 30), 0);
  Start("");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "ファイルが大きすぎます。\r\n" + path);
  app.reset();  // closing stores the window's settings, or would
  Pump(50);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, off_t{40} << 30);
}

}  // namespace
}  // namespace tarvik::test
