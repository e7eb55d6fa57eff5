// A second Tarvik, the real program on the same application folder, renames and then deletes the
// job a window of this process has loaded, through its own job editor driven by the keyboard.
#include <glib.h>
#include <signal.h>
#include <sys/wait.h>

#include "gui/app/main_window_fixture.h"
#include "jobs/job_files.h"

namespace tarvik::test {
namespace {

constexpr int kStart = 30000;  // ms; the first start of the engine under Xvfb is slow

std::string Output(const std::string& command) {
  gchar* out = nullptr;
  if (!g_spawn_command_line_sync(command.c_str(), &out, nullptr, nullptr, nullptr)) return "";
  std::string text = out ? out : "";
  g_free(out);
  return text.substr(0, text.find('\n'));
}

class SecondTarvikTest : public MainWindowTest {
 protected:
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    MainWindowTest::TearDown();
  }

  // The real program with no command line, on this test's application folder, and its window.
  void StartOther() {
    gchar** env = g_get_environ();
    env = g_environ_setenv(env, "HOME", other_.path().c_str(), TRUE);
    env = g_environ_setenv(env, "TARVIK_HOME", home.path().c_str(), TRUE);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
      env = g_environ_setenv(env, name, other_.file(name).c_str(), TRUE);
    gchar* argv[] = {const_cast<gchar*>(TARVIK_BINARY), nullptr};
    GError* error = nullptr;
    const bool started = g_spawn_async(nullptr, argv, env, G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
                                       nullptr, &pid_, &error);
    g_strfreev(env);
    ASSERT_TRUE(started) << (error ? error->message : "");
    std::string window;
    ASSERT_TRUE(RunUntil([&] { return !(window = Find("Tarvik")).empty(); }, kStart));
    RunUntil(
        [&] {
          Output("xdotool windowactivate " + window);
          return Output("xdotool getactivewindow getwindowpid") == std::to_string(pid_);
        },
        5000);
  }
  std::string Find(const std::string& name) {
    return Output("xdotool search --all --onlyvisible --pid " + std::to_string(pid_) + " --name '" +
                  name + "'");
  }
  // Waits until a window of the other Tarvik captioned `caption` has the focus, then types.
  void KeysTo(const std::string& caption, const std::string& keys) {
    const std::string active = "xdotool getactivewindow getwindow";
    ASSERT_TRUE(RunUntil(
        [&] {
          return Output(active + "pid") == std::to_string(pid_) &&
                 Output(active + "name").find(caption) != std::string::npos;
        },
        5000))
        << "no window " << caption << "; active: " << Output(active + "name");
    Output("xdotool getactivewindow windowfocus --sync " + keys);
  }

  TempDir other_;
  GPid pid_ = 0;
};

TEST_F(SecondTarvikTest, TheLoadedJobFollowsARenameAndIsLetGoAfterADelete) {
  ASSERT_TRUE(RewriteJobList(home.path(), {"News", "Sport"}));
  ASSERT_TRUE(WriteJobFile(home.path(), "News",
                           {{"A", "http://127.0.0.1:9/a"}, {"B", "http://127.0.0.1:9/b"}}));
  ASSERT_TRUE(WriteJobFile(home.path(), "Sport", {{"S", "http://127.0.0.1:9/s"}}));
  frmMain& w = Start("");
  w.cboJob().set_active(0);
  w.cmdNav(kStepNext).clicked();
  Pump();
  browser().Complete("http://127.0.0.1:9/b", "B");
  // The keyboard is the other Tarvik's: keys that reached this window would open its editor.
  w.set_accept_focus(false);
  StartOther();

  // The other Tarvik opens its editor, picks News and renames it.
  KeysTo("Tarvik", "key --clearmodifiers ctrl+e");
  KeysTo("ジョブの編集", "key Down sleep 0.3 key alt+n");
  KeysTo("ジョブ名の変更", "key ctrl+a type World");
  KeysTo("ジョブ名の変更", "key Return");
  KeysTo("確認", "key Return");
  ASSERT_TRUE(RunUntil([&] { return w.cboJob().get_active_text() == "World"; }, 5000));
  EXPECT_EQ(w.CurJobIdx(), 0);
  EXPECT_EQ(w.job_cursor().name(), "World");
  EXPECT_EQ(w.job_cursor().current_index(), 1);
  w.cmdNav(kStepPrevious).clicked();
  Pump();
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://127.0.0.1:9/a");
  browser().Complete("http://127.0.0.1:9/a", "A");

  // And deletes it.
  KeysTo("ジョブの編集", "key alt+k");
  KeysTo("確認", "key Return");
  ASSERT_TRUE(RunUntil(
      [&] { return *ReadJobList(home.path()) == std::vector<std::string>{"Sport"}; }, 5000));
  ASSERT_TRUE(RunUntil([&] { return !w.job_cursor().loaded(); }, 5000));
  EXPECT_EQ(w.cboJob().get_active_row_number(), -1);
  EXPECT_EQ(w.CurJobIdx(), -1);
  for (int i = 0; i < 4; ++i) w.cmdNav(i).clicked();
  Pump();
  EXPECT_EQ(browser().last_navigation(), "Navigate:http://127.0.0.1:9/a");  // the page stays
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace tarvik::test
