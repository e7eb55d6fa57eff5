#include <gdk/gdkkeysyms.h>

#include "main_window_fixture.h"
#include "support/gui_input.h"

namespace tarvik::test {
namespace {

// Where a widget really is, relative to the window, in pixels.
Gdk::Rectangle Where(Gtk::Widget& w, Gtk::Window& window) {
  int x = 0, y = 0;
  w.translate_coordinates(window, 0, 0, x, y);
  Gtk::Allocation a = w.get_allocation();
  return Gdk::Rectangle(x, y, a.get_width(), a.get_height());
}

TEST_F(MainWindowTest, AFirstStartShowsTheDesignedSizeNotMaximized) {
  frmMain& w = Start("");
  int width = 0, height = 0;
  w.get_size(width, height);
  EXPECT_EQ(width, 761);  // 11415 twips
  EXPECT_FALSE(w.is_maximized());
  EXPECT_FLOAT_EQ(w.snapshot().W, 11415);
  EXPECT_FLOAT_EQ(w.snapshot().BW, 11370);
  EXPECT_GE(w.snapshot().BT, 1470);
  // The browser starts below the cool bar.
  Gdk::Rectangle bar = Where(w.clbComm(), w);
  Gdk::Rectangle browser = Where(w.wbwMain(), w);
  EXPECT_GE(browser.get_y(), bar.get_y() + bar.get_height());
}

TEST_F(MainWindowTest, WideningByOneHundredPixelsMovesAndWidensTheDesignedControls) {
  settings().Save("Setting", "Mode", "2");
  frmMain& w = Start("");
  Pump(200);
  Gdk::Rectangle go = Where(w.cmdMove(), w), open = Where(w.cmdOpFav(), w),
                 save = Where(w.cmdSvFav(), w), url = Where(w.txtURL(), w),
                 browser = Where(w.wbwMain(), w);
  int width = 0, height = 0;
  w.get_size(width, height);
  w.resize(width + 100, height);
  ASSERT_TRUE(WaitForSize(w, width + 100, height));
  Pump(200);
  EXPECT_EQ(Where(w.cmdMove(), w).get_x(), go.get_x() + 100);
  EXPECT_EQ(Where(w.cmdOpFav(), w).get_x(), open.get_x() + 100);
  EXPECT_EQ(Where(w.cmdSvFav(), w).get_x(), save.get_x() + 100);
  EXPECT_EQ(Where(w.txtURL(), w).get_width(), url.get_width() + 100);
  EXPECT_EQ(Where(w.wbwMain(), w).get_width(), browser.get_width() + 100);
  // The job bar's title line follows too, while it is hidden.
  EXPECT_FLOAT_EQ(w.control_width(w.txtJob()), 6120 + 1500);
  // Nothing in the first row moves.
  EXPECT_FLOAT_EQ(w.control_left(w.cmdNav(0)), 3015);
}

TEST_F(MainWindowTest, TooSmallAWindowLeavesTheLayoutAlone) {
  frmMain& w = Start("");
  float url_before = w.control_width(w.txtURL());
  w.resize(399, 400);
  ASSERT_TRUE(WaitForSize(w, 399, 400));
  EXPECT_FLOAT_EQ(w.control_width(w.txtURL()), url_before);
  w.resize(900, 600);
  ASSERT_TRUE(WaitForSize(w, 900, 600));
  EXPECT_FLOAT_EQ(w.control_width(w.txtURL()), url_before + (900 - 761) * 15);
}

TEST_F(MainWindowTest, TheModePictureSwapsTheBarsAndTheModeIsStoredOnClosing) {
  frmMain& w = Start("");
  ASSERT_EQ(w.mode(), 1);
  EXPECT_TRUE(w.picBack(3).get_visible());
  EXPECT_EQ(w.clbComm().picModeImage().get_pixbuf(), w.clbComm().imlMethod().get(1));

  // A click on the picture, as the mouse delivers it.
  GdkEventButton release{};
  release.type = GDK_BUTTON_RELEASE;
  release.button = 1;
  release.window = w.picMode().get_window()->gobj();
  w.picMode().event(reinterpret_cast<GdkEvent*>(&release));
  EXPECT_EQ(w.mode(), 2);
  EXPECT_TRUE(w.picBack(4).get_visible());
  EXPECT_FALSE(w.picBack(3).get_visible());
  EXPECT_EQ(w.clbComm().picModeImage().get_pixbuf(), w.clbComm().imlMethod().get(2));
  EXPECT_FALSE(settings().Find("Setting", "Mode")) << "the mode is saved on closing only";

  // From the keyboard: Tab reaches the picture, and Enter or Space work it as a click does.
  w.picMode().grab_focus();
  ASSERT_TRUE(w.picMode().is_focus());
  PressKey(w, GDK_KEY_Return);
  EXPECT_EQ(w.mode(), 1);
  EXPECT_EQ(w.clbComm().picModeImage().get_pixbuf(), w.clbComm().imlMethod().get(1));
  PressKey(w, GDK_KEY_space);
  EXPECT_EQ(w.mode(), 2);
  w.activate_menu("mnuQuit");
  EXPECT_TRUE(RunUntil([&] { return last_window_closed; }));
  EXPECT_EQ(settings().Get("Setting", "Mode", ""), "2");
}

TEST_F(MainWindowTest, TheStoredPlacementIsRestored) {
  settings().SaveAll({{"Window", "Width", "13500"},
                      {"Window", "Height", "9750"},
                      {"Window", "Left", "1500"},
                      {"Window", "Top", "750"}});
  frmMain& w = Start("");
  EXPECT_TRUE(WaitForSize(w, 900, 650));
  EXPECT_FLOAT_EQ(w.control_width(w.txtURL()), 8535 + (13500 - 11415));
}

TEST_F(MainWindowTest, AMaximizedPlacementIsRestoredMaximized) {
  settings().SaveAll({{"Window", "Width", "12000"}, {"Window", "Maximized", "True"}});
  frmMain& w = Start("");
  EXPECT_TRUE(RunUntil([&] { return w.is_maximized(); })) << "needs a window manager";
}

TEST_F(MainWindowTest, BandFourMovedIntoTheFirstRowGivesTheBrowserItsRoom) {
  frmMain& w = Start("");
  Pump(200);
  int width = 0, height = 0;
  w.get_size(width, height);
  Gdk::Rectangle before = Where(w.wbwMain(), w);
  int bar_before = w.clbComm().bar_height();
  w.clbComm().move_band(3, 0, 3);
  ASSERT_TRUE(RunUntil([&] { return w.clbComm().bar_height() < bar_before; }));
  Pump(200);
  int d = bar_before - w.clbComm().bar_height();
  Gdk::Rectangle after = Where(w.wbwMain(), w);
  EXPECT_EQ(after.get_y(), before.get_y() - d);
  EXPECT_EQ(after.get_height(), before.get_height() + d);
  int width2 = 0, height2 = 0;
  w.get_size(width2, height2);
  EXPECT_EQ(width2, width);
  EXPECT_EQ(height2, height);
}

TEST_F(MainWindowTest, TheMenusCarryTheirCaptionsShortcutsAndStates) {
  frmMain& w = Start("");
  EXPECT_EQ(w.menu_item("mhFile")->get_label(), "ﾌｧｲﾙ(_F)");
  EXPECT_EQ(w.menu_item("mnuQuit")->get_label(), "閉じる(_Q)");
  EXPECT_EQ(w.menu_item("mnuImportFavFolder")->get_label(), "お気に入りﾌｫﾙﾀﾞのｲﾝﾎﾟｰﾄ(_M)...");
  EXPECT_EQ(w.menu_item("mnuCPckt(2)")->get_label(), "ﾎﾟｹｯﾄ_3");
  EXPECT_TRUE(w.menu_item("mnuRecent(0)")->get_visible());
  EXPECT_FALSE(w.menu_item("mnuRecent(0)")->is_sensitive());
  for (int i = 1; i < 20; ++i) {
    Gtk::MenuItem* item = w.menu_item("mnuRecent(" + std::to_string(i) + ")");
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->get_visible());
    EXPECT_EQ(item->get_label(), "（空）");
  }
  // Top-level menus in their order.
  std::vector<std::string> tops;
  for (Gtk::Widget* child : w.menu_bar().get_children()) tops.push_back(child->get_name());
  EXPECT_EQ(tops, (std::vector<std::string>{"mhFile", "mhEdit", "mhJob", "mhPocket", "mhConfig",
                                            "mhHelp"}));
  EXPECT_FALSE(w.cboJob().is_sensitive());
  EXPECT_EQ(w.cmdNav(4).get_tooltip_text(), "一覧から選択");
}

}  // namespace
}  // namespace tarvik::test
