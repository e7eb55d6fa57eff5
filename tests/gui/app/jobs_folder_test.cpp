// The jobs folder chosen in the settings menu, and a sync tool delivering into it: real main
// windows with the fake browser, real files replaced underneath them as the tool replaces them.
// (Two machines kept in step by Syncthing: tests/e2e/process/two_machines_sync.py.)
#include <glib/gstdio.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "jobs/job_files.h"
#include "jobs/job_poll.h"
#include "jobs/job_watch.h"
#include "main_window_fixture.h"
#include "platform/jobs_folder.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"

namespace tarvik::test {
namespace {

using Names = std::vector<std::string>;

// What a sync tool does: the new content in a temporary file of its own, renamed over the file.
void Deliver(const std::string& path, const std::string& bytes) {
  const std::string temp = path.substr(0, path.rfind('/') + 1) + ".syncthing.tmp";
  ASSERT_TRUE(g_file_set_contents(temp.c_str(), bytes.c_str(), bytes.size(), nullptr));
  ASSERT_EQ(g_rename(temp.c_str(), path.c_str()), 0);
}

class JobsFolderTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(RewriteJobList(home.path(), {"News", "Sport"}));
    ASSERT_TRUE(WriteJobFile(home.path(), "News", News()));
    ASSERT_TRUE(WriteJobFile(home.path(), "Sport", {{"S", "http://s/"}}));
  }
  static std::vector<JobEntry> News() {
    return {{"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}};
  }
  // News chosen and stepped to B, shown.
  void AtB(frmMain& w) {
    w.cboJob().set_active(0);
    w.cmdNav(kStepNext).clicked();
    Pump();
    browser().Complete("http://b/", "B");
  }
  Names SelectorItems(frmMain& w) {
    Names out;
    for (const auto& row : w.cboJob().get_model()->children()) {
      Glib::ustring text;
      row.get_value(0, text);
      out.push_back(text);
    }
    return out;
  }
  TempDir synced;
};

TEST_F(JobsFolderTest, AFolderChosenTakesTheJobsWholeAndEveryWindowFollowsIt) {
  frmMain& w = Start("");
  AtB(w);
  w.NewWindow2();
  frmMain& second = *app->new_window(1);

  // A folder that cannot hold the jobs is refused, and nothing changes.
  TempDir bad;
  ASSERT_TRUE(g_file_set_contents(bad.file("JobFiles").c_str(), "", 0, nullptr));
  dialogs.AnswerFolder(bad.path());
  w.menu_item(ActionId::JobsFolder)->activate();
  Pump();
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].caption, "ジョブの保存先フォルダを選択してください。");
  EXPECT_NE(dialogs.shown[1].text.find("にはジョブを保存できません"), std::string::npos);
  EXPECT_EQ(JobsFolder(), home.path());

  // An empty folder: the jobs are copied there, and both windows follow.
  dialogs.AnswerFolder(synced.path());
  dialogs.AnswerMessage(MsgResult::Yes);
  w.menu_item(ActionId::JobsFolder)->activate();
  Pump();
  EXPECT_TRUE(dialogs.all_used());
  EXPECT_EQ(GetSetting(setting::kJobsFolder), synced.path());
  EXPECT_EQ(ReadJobList(synced.path()), (Names{"News", "Sport"}));
  EXPECT_EQ(ReadJobFile(synced.path(), "News")->entries, News());
  EXPECT_EQ(w.job_cursor().name(), "News");
  EXPECT_EQ(w.job_cursor().current_index(), 1);

  // The sync tool brings a line before its file: the window chosen it waits, and says nothing.
  Deliver(JobListPath(synced.path()), "News\r\nSport\r\nWork\r\n");
  ASSERT_TRUE(RunUntil([&] { return SelectorItems(second) == Names{"News", "Sport", "Work"}; }));
  ASSERT_TRUE(RunUntil([&] { return SelectorItems(w) == Names{"News", "Sport", "Work"}; }));
  second.cboJob().set_active(2);
  Pump(100);
  EXPECT_FALSE(second.job_cursor().loaded());
  ASSERT_EQ(dialogs.shown.size(), 4u);
  Deliver(JobFilePath(synced.path(), "Work"), "W,http://w/\r\n");
  ASSERT_TRUE(RunUntil([&] { return second.job_cursor().loaded(); }));
  EXPECT_EQ(second.job_cursor().name(), "Work");
  EXPECT_EQ(dialogs.shown.size(), 4u);

  // The loaded job's file replaced with an entry added in front: it keeps its place.
  Deliver(JobFilePath(synced.path(), "News"), "N,http://n/\r\nA,http://a/\r\nB,http://b/\r\n");
  ASSERT_TRUE(RunUntil([&] { return w.job_cursor().entries().front().Title == "N"; }));
  EXPECT_EQ(w.job_cursor().current_index(), 2);
  EXPECT_EQ(w.job_cursor().current().URL, "http://b/");

  // Another Tarvik process of the user chooses a folder of its own: both windows follow it.
  TempDir office;
  ASSERT_TRUE(RewriteJobList(office.path(), {"Office"}));
  ASSERT_TRUE(WriteJobFile(office.path(), "Office", {{"O", "http://o/"}}));
  SettingsStore other_process(UserSettings().path());
  ASSERT_TRUE(other_process.Save("Setting", "JobsFolder", office.path() + "/"));
  ASSERT_TRUE(RunUntil([&] {
    return SelectorItems(w) == Names{"Office"} && SelectorItems(second) == Names{"Office"};
  }));
  EXPECT_EQ(JobsFolder(), office.path());
  EXPECT_FALSE(w.job_cursor().loaded());
}

TEST_F(JobsFolderTest, AConflictCopyIsMergedWithOneLineInTheStatusBar) {
  SaveSetting(setting::kJobsFolder, home.path());  // chosen, and kept in step by a tool
  // The tool left the copy while Tarvik was not running: it is merged once the window is up.
  const std::string copy = home.file("JobFiles/News.sync-conflict-20261207-101010-ABCDEFG.tvj");
  Deliver(copy, "A,http://a/\r\nX,http://x/\r\nB,http://b/\r\nC,http://c/\r\n");
  frmMain& w = Start("");
  AtB(w);
  EXPECT_TRUE(g_file_test(copy.c_str(), G_FILE_TEST_EXISTS));  // not before the first page
  Gtk::Label& status = w.stbStat().panel(0);
  ASSERT_TRUE(RunUntil([&] { return status.get_text() == "「News」の競合コピーを統合しました"; }));
  EXPECT_EQ(ReadJobFile(home.path(), "News")->entries,
            (std::vector<JobEntry>{
                {"A", "http://a/"}, {"X", "http://x/"}, {"B", "http://b/"}, {"C", "http://c/"}}));
  EXPECT_FALSE(g_file_test(copy.c_str(), G_FILE_TEST_EXISTS));
  ASSERT_TRUE(RunUntil([&] { return w.job_cursor().entries().size() == 4; }));
  EXPECT_EQ(w.job_cursor().current().URL, "http://b/");
  EXPECT_EQ(SelectorItems(w), (Names{"News", "Sport"}));  // the copy is no job
  EXPECT_TRUE(dialogs.shown.empty());
}

// Where the user's inotify instances or watches are used up (the test run in a user namespace
// that allows none: tests/gui/app/without_inotify.sh), the system refuses the watches; elsewhere
// the watch layer's switch for tests does.
TEST_F(JobsFolderTest, WithoutFileWatchesTheWindowLooksForItselfAndSaysSoOnce) {
  const int fd = inotify_init1(IN_CLOEXEC);
  if (fd >= 0 && inotify_add_watch(fd, home.path().c_str(), IN_CREATE) >= 0)
    g_setenv("TARVIK_TEST_NO_FILE_WATCH", "1", TRUE);
  if (fd >= 0) close(fd);
  struct Unset {
    ~Unset() { g_unsetenv("TARVIK_TEST_NO_FILE_WATCH"); }
  } unset;
  SaveSetting(setting::kJobsFolder, home.path());
  frmMain& w = Start("");
  AtB(w);
  Gtk::Label& status = w.stbStat().panel(0);
  int said = 0;
  status.property_label().signal_changed().connect([&] {
    if (status.get_text() == kNoFileWatchNotice) ++said;
  });
  EXPECT_TRUE(w.job_extras().watch().looking_for_itself());
  const int kLooks = 5 * kJobPollMs;  // a few looks, for a busy machine
  ASSERT_TRUE(RunUntil([&] { return said == 1; }, kLooks));

  // Both windows of two machines added an entry: the copy of the other side comes while the
  // window runs, and is merged.
  const std::string copy = home.file("JobFiles/News.sync-conflict-20261208-101010-ABCDEFG.tvj");
  Deliver(copy, "A,http://a/\r\nB,http://b/\r\nC,http://c/\r\nD,http://d/\r\n");
  ASSERT_TRUE(
      RunUntil([&] { return status.get_text() == "「News」の競合コピーを統合しました"; }, kLooks));
  EXPECT_FALSE(g_file_test(copy.c_str(), G_FILE_TEST_EXISTS));
  ASSERT_TRUE(RunUntil([&] { return w.job_cursor().entries().size() == 4; }, kLooks));
  EXPECT_EQ(w.job_cursor().entries().back().URL, "http://d/");
  EXPECT_EQ(w.job_cursor().current().URL, "http://b/");

  // The list changed elsewhere shows in the selector.
  Deliver(JobFilePath(home.path(), "Work"), "W,http://w/\r\n");
  Deliver(JobListPath(home.path()), "News\r\nSport\r\nWork\r\n");
  ASSERT_TRUE(RunUntil([&] { return SelectorItems(w) == Names{"News", "Sport", "Work"}; }, kLooks));
  EXPECT_EQ(said, 1);
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace tarvik::test
