#include "main_window_fixture.h"

namespace tarvik::test {
namespace {

TEST_F(MainWindowTest, ClosingANormalWindowStoresItsPlacementModeAndHistory) {
  frmMain& w = Start("");
  w.move(40, 30);
  w.resize(900, 700);
  ASSERT_TRUE(WaitForSize(w, 900, 700));
  w.Run(ActionId::ToggleMode);
  w.Run(ActionId::Quit);
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }));

  EXPECT_EQ(settings().Get("Window", "Width", ""), std::to_string(900 * 15));
  EXPECT_EQ(settings().Get("Window", "Height", ""), std::to_string(700 * 15));
  EXPECT_NE(settings().Get("Window", "Left", ""), "");
  EXPECT_NE(settings().Get("Window", "Top", ""), "");
  EXPECT_EQ(settings().Get("Window", "Maximized", ""), "False");
  EXPECT_EQ(settings().Get("Setting", "Mode", ""), "2");
  for (int n = 1; n <= 20; ++n) {
    char title[16], url[16];
    snprintf(title, sizeof title, "Title%02d", n);
    snprintf(url, sizeof url, "URL%02d", n);
    EXPECT_TRUE(settings().Find("History", title)) << title;
    EXPECT_TRUE(settings().Find("History", url)) << url;
  }
}

// Another Tarvik wrote newer pages while this window was open: closing does not put this
// process's older list back over them.
TEST_F(MainWindowTest, ClosingKeepsHistoryAnotherProcessWrote) {
  frmMain& w = Start("");
  browser().Complete("http://mine/", "Mine");
  SettingsStore other(settings().path());
  other.SaveAll({{"History", "Title01", "Theirs"}, {"History", "URL01", "http://theirs/"}});
  w.Run(ActionId::Quit);
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }));
  EXPECT_EQ(settings().Get("History", "URL01", ""), "http://theirs/");
  EXPECT_EQ(settings().Get("History", "Title01", ""), "Theirs");
}

TEST_F(MainWindowTest, ClosingAMaximizedWindowKeepsTheLastNormalGeometry) {
  settings().SaveAll({{"Window", "Width", "12000"},
                      {"Window", "Height", "9000"},
                      {"Window", "Left", "300"},
                      {"Window", "Top", "450"}});
  frmMain& w = Start("");
  w.maximize();
  ASSERT_TRUE(RunUntil([&] { return w.is_maximized(); })) << "needs a window manager";
  w.close();  // the close box
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }));
  EXPECT_EQ(settings().Get("Window", "Maximized", ""), "True");
  EXPECT_EQ(settings().Get("Window", "Width", ""), "12000");
  EXPECT_EQ(settings().Get("Window", "Height", ""), "9000");
  EXPECT_EQ(settings().Get("Window", "Left", ""), "300");
  EXPECT_EQ(settings().Get("Window", "Top", ""), "450");
}

TEST_F(MainWindowTest, ClosingAMinimizedWindowStoresNotMaximizedAndKeepsTheGeometry) {
  settings().SaveAll({{"Window", "Width", "12000"},
                      {"Window", "Height", "9000"},
                      {"Window", "Left", "300"},
                      {"Window", "Top", "450"},
                      {"Window", "Maximized", "True"}});
  frmMain& w = Start("");
  ASSERT_TRUE(RunUntil([&] { return w.is_maximized(); })) << "needs a window manager";
  w.unmaximize();
  ASSERT_TRUE(RunUntil([&] { return !w.is_maximized(); }));
  w.iconify();
  ASSERT_TRUE(RunUntil([&] { return w.is_minimized(); }));
  w.Run(ActionId::Quit);
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }));
  EXPECT_EQ(settings().Get("Window", "Maximized", ""), "False");
  EXPECT_EQ(settings().Get("Window", "Width", ""), "12000");
  EXPECT_EQ(settings().Get("Window", "Left", ""), "300");
}

TEST_F(MainWindowTest, QuitClosesOnlyItsOwnWindowAndTheLastCloseEndsTheProcess) {
  frmMain& first = Start("");
  first.NewWindow2();
  frmMain* child = app->new_window(1);
  browser(1).RaiseReadyToShow();
  ASSERT_TRUE(RunUntil([&] { return child->get_mapped(); }));
  child->Run(ActionId::ToggleMode);  // direct mode in the child only
  child->Run(ActionId::Quit);
  EXPECT_TRUE(RunUntil([&] { return app->new_window(1) == nullptr; }));
  EXPECT_FALSE(last_window_closed);
  EXPECT_EQ(app->open_window_count(), 1);
  EXPECT_EQ(settings().Get("Setting", "Mode", ""), "2");
  // The position of the closed window is not reused.
  first.NewWindow2();
  EXPECT_EQ(app->new_window_count(), 2);
  EXPECT_NE(app->new_window(2), nullptr);
  app->new_window(2)->Run(ActionId::Quit);
  first.Run(ActionId::Quit);
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }));
  // The window closed last decides the stored mode.
  EXPECT_EQ(settings().Get("Setting", "Mode", ""), "1");
}

TEST_F(MainWindowTest, APlacementOffEveryMonitorIsBroughtBack) {
  settings().SaveAll({{"Window", "Left", "-30000"}, {"Window", "Top", "-30000"}});
  frmMain& w = Start("");
  int x = 0, y = 0;
  RunUntil([&] {
    w.get_position(x, y);
    return x >= 0 && y >= 0;
  });
  w.get_position(x, y);
  EXPECT_GE(x, 0);
  EXPECT_GE(y, 0);
}

}  // namespace
}  // namespace tarvik::test
