// The end of a desktop session inside one Tarvik process: every window closes through its own
// closing path, also while a question is open.
#include <glibmm/main.h>
#include <gtkmm/messagedialog.h>
#include <signal.h>

#include "gui/app/main_window_fixture.h"

namespace tarvik::test {
namespace {

TEST_F(MainWindowTest, LoggingOutClosesEveryWindowThroughItsClosingPath) {
  frmMain& first = Start("");
  first.resize(800, 600);
  ASSERT_TRUE(WaitForSize(first, 800, 600));
  ASSERT_NE(browser(0).host()->NewWindow2(), nullptr);  // a page opened a second window
  frmMain* second = app->new_window(1);
  ASSERT_NE(second, nullptr);
  second->show();
  WaitUntilManaged(*second);
  second->resize(640, 480);
  ASSERT_TRUE(WaitForSize(*second, 640, 480));
  // The second window closes after the first: its placement is the one stored.
  app->CloseAllWindowsOnSessionEnd();

  ASSERT_EQ(raise(SIGTERM), 0);
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }));
  EXPECT_EQ(app->open_window_count(), 0);
  EXPECT_EQ(settings().Get("Window", "Width", ""), std::to_string(640 * 15));
  EXPECT_EQ(settings().Get("Window", "Height", ""), std::to_string(480 * 15));
  EXPECT_EQ(settings().Get("Window", "Maximized", ""), "False");
  EXPECT_TRUE(settings().Find("History", "URL20"));
}

TEST_F(MainWindowTest, LoggingOutWhileAQuestionIsOpenAnswersItAsCancelledFirst) {
  frmMain& w = Start("");
  app->CloseAllWindowsOnSessionEnd();
  int answer = 0;
  bool window_open_after_answer = false;
  // A handler of the window asks a question, and the session ends while it waits.
  Glib::signal_idle().connect_once([&] {
    Gtk::MessageDialog ask(w, "question", false, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_YES_NO, true);
    Glib::signal_timeout().connect_once([] { raise(SIGHUP); }, 200);
    answer = ask.run();
    window_open_after_answer =
        !last_window_closed && app->open_window_count() == 1 && w.get_visible();
  });
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }));
  EXPECT_EQ(answer, Gtk::RESPONSE_DELETE_EVENT);
  EXPECT_TRUE(window_open_after_answer) << "the window closed under its own handler";
  EXPECT_NE(settings().Get("Window", "Width", ""), "");
}

// With no window open, nothing would be left to end the process.
TEST_F(MainWindowTest, LoggingOutWithNoWindowLeftEndsAtOnce) {
  frmMain& w = Start("");
  w.CloseWindow();
  ASSERT_TRUE(RunUntil([&] { return last_window_closed; }));
  last_window_closed = false;
  app->CloseAllWindows();
  EXPECT_TRUE(last_window_closed);
}

}  // namespace
}  // namespace tarvik::test
