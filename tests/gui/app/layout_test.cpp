#include <gdk/gdkkeysyms.h>
#include <gtkmm/settings.h>

#include "jobs/frm_edit_job.h"
#include "jobs/job_files.h"
#include "main_window_fixture.h"
#include "support/gui_input.h"
#include "support/when_shown.h"

namespace tarvik::test {
namespace {

// Where a widget really is, relative to the window, in pixels.
Gdk::Rectangle Where(Gtk::Widget& w, Gtk::Window& window) {
  int x = 0, y = 0;
  w.translate_coordinates(window, 0, 0, x, y);
  Gtk::Allocation a = w.get_allocation();
  return Gdk::Rectangle(x, y, a.get_width(), a.get_height());
}

// The real mouse through the display: xdotool's events reach the window as a user's do, and the
// window manager sees what the window asks of it.
void Mouse(const std::string& args) {
  const std::string command = "xdotool " + args;
  ASSERT_TRUE(g_spawn_command_line_sync(command.c_str(), nullptr, nullptr, nullptr, nullptr));
  Pump(150);
}

// Presses the left button at (x, y) of the bar and lets it go at (to_x, to_y), moving in steps.
void DragInBar(CoolBar& bar, int x, int y, int to_x, int to_y) {
  int ox = 0, oy = 0;
  bar.get_window()->get_origin(ox, oy);
  auto at = [&](int px, int py) {
    return " " + std::to_string(ox + px) + " " + std::to_string(oy + py);
  };
  Mouse("mousemove" + at(x, y) + " mousedown 1");
  for (int step = 1; step <= 4; ++step)
    Mouse("mousemove" + at(x + (to_x - x) * step / 4, y + (to_y - y) * step / 4));
  Mouse("mouseup 1");
}

std::pair<int, int> RootOrigin(Gtk::Window& w) {
  int x = 0, y = 0;
  w.get_window()->get_root_origin(x, y);
  return {x, y};
}

// A user drags the pockets band by its caption onto the toolbar's gripper, and the mode band by
// its gripper into the second row: the bands move and the window stays where it is (the toolbar
// once lay over the pockets band's caption and took the press as a drag of the whole window).
TEST_F(MainWindowTest, DraggingABandByItsCaptionOrGripperMovesTheBandNotTheWindow) {
  frmMain& w = Start("");
  w.move(40, 40);
  Pump(300);
  CoolBar& bar = w.clbComm();
  const auto window_at = RootOrigin(w);

  Gdk::Rectangle pockets = bar.band_child_rect(1);
  const int header = bar.band_frame_width(1) - 2;
  DragInBar(bar, pockets.get_x() - header / 2, pockets.get_y() + pockets.get_height() / 2, 3,
            pockets.get_y() + pockets.get_height() / 2);
  EXPECT_EQ(bar.band_position_in_row(1), 0) << "the pockets band leads the first row";
  EXPECT_EQ(bar.band_position_in_row(0), 1);

  Gdk::Rectangle mode = bar.band_child_rect(2);
  const int gripper_x = mode.get_x() - (bar.band_frame_width(2) - 2) + 3;
  const Gdk::Rectangle address = bar.band_child_rect(3);
  DragInBar(bar, gripper_x, mode.get_y() + mode.get_height() / 2, 60,
            address.get_y() + address.get_height() / 2);
  EXPECT_EQ(bar.band_row(2), 1) << "the mode band went into the second row";

  EXPECT_EQ(RootOrigin(w), window_at) << "the window stays";
}

// Every band's gripper lies in the bar, where the user can reach it.
void ExpectEveryBandInTheBar(CoolBar& bar) {
  for (int b = 0; b < bar.band_count(); ++b)
    EXPECT_LT(bar.band_child_rect(b).get_x(), bar.get_allocated_width()) << "band " << b;
}

// A band dragged into a row too full for it, or left in a row that the window made too narrow,
// ran past the window's edge and could never be dragged back. The bands of such a row give up
// width down to their grippers instead.
TEST_F(MainWindowTest, ABandNeverLeavesTheWindowAndCanBeDraggedBack) {
  frmMain& w = Start("");
  w.move(40, 40);
  Pump(300);
  CoolBar& bar = w.clbComm();
  auto gripper = [&](int band) {
    const Gdk::Rectangle child = bar.band_child_rect(band);
    return std::pair<int, int>(child.get_x() - (bar.band_frame_width(band) - 2) + 3,
                               child.get_y() + child.get_height() / 2);
  };

  // Band 4 (the address bar, as wide as the window) to the front of the first row.
  auto [x4, y4] = gripper(3);
  DragInBar(bar, x4, y4, 1, gripper(0).second);
  ASSERT_EQ(bar.band_row(3), 0);
  ASSERT_EQ(bar.band_position_in_row(3), 0);
  Pump(200);
  ExpectEveryBandInTheBar(bar);
  // And back below the first row.
  std::tie(x4, y4) = gripper(3);
  DragInBar(bar, x4, y4, x4, bar.get_allocated_height() + 10);
  EXPECT_EQ(bar.band_row(3), 1);
  EXPECT_EQ(bar.band_position_in_row(0), 0);

  // A narrower window: the first row as designed no longer fits.
  int width = 0, height = 0;
  w.get_size(width, height);
  w.resize(480, height);
  ASSERT_TRUE(RunUntil([&] { return bar.get_allocated_width() < 500; }));
  Pump(200);
  ExpectEveryBandInTheBar(bar);
  // The mode band, the first row's last, is dragged down into the second row.
  auto [xm, ym] = gripper(2);
  DragInBar(bar, xm, ym, 60, bar.band_child_rect(3).get_y() + 5);
  EXPECT_EQ(bar.band_row(2), 1);
  ExpectEveryBandInTheBar(bar);
}

// The font resolution sizes the text and nothing else: from half to twice the usual resolution,
// the toolbar's buttons stay in the toolbar's band, every band lies in the bar at the designed
// window width (at twice, the toolbar's labels are drawn a little smaller so that the first row
// fits), and the job bar's controls lie whole above the browser.
class FontResolutionTest : public MainWindowTest, public ::testing::WithParamInterface<double> {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    auto gtk = Gtk::Settings::get_default();
    saved_dpi_ = gtk->property_gtk_xft_dpi();
    gtk->property_gtk_xft_dpi() = static_cast<int>(96 * GetParam() * 1024);
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    Gtk::Settings::get_default()->property_gtk_xft_dpi() = saved_dpi_;
  }
  int saved_dpi_ = -1;
};

TEST_P(FontResolutionTest, TheDesignedLayoutHolds) {
  frmMain& w = Start("");
  Pump(300);
  CoolBar& bar = w.clbComm();
  auto in_bar = [&](Gtk::Widget& widget) {
    int x = 0, y = 0;
    widget.translate_coordinates(bar, 0, 0, x, y);
    return Gdk::Rectangle(x, y, widget.get_allocated_width(), widget.get_allocated_height());
  };
  auto right = [](const Gdk::Rectangle& r) { return r.get_x() + r.get_width(); };
  auto bottom = [](const Gdk::Rectangle& r) { return r.get_y() + r.get_height(); };

  for (int i : {1, 2, 3, 5, 6}) {
    EXPECT_TRUE(w.clbComm().tool_button(i).get_child_visible()) << "button " << i;
    EXPECT_LE(right(in_bar(w.clbComm().tool_button(i))), right(bar.band_child_rect(0))) << i;
  }
  for (int b = 0; b < 4; ++b)
    EXPECT_LE(right(bar.band_child_rect(b)), bar.get_allocated_width()) << "band " << b;

  const int browser_top = Where(w.wbwMain(), w).get_y() - Where(bar, w).get_y();
  std::vector<Gtk::Widget*> controls = {&w.cboJob(), &w.txtJob()};
  for (int i = 0; i < 5; ++i) controls.push_back(&w.cmdNav(i));
  for (Gtk::Widget* c : controls) {
    EXPECT_LE(bottom(in_bar(*c)), bottom(bar.band_child_rect(3))) << c->get_tooltip_text();
    EXPECT_LE(bottom(in_bar(*c)), browser_top) << c->get_tooltip_text();
  }

  // The job editor's selector has room for a job's name beside the job buttons.
  const std::string name = "ニュースと天気の記録";
  ASSERT_TRUE(RewriteJobList(home.path(), {name}) &&
              WriteJobFile(home.path(), name, {{"A", "http://a/"}}));
  w.LoadJobList(0);
  WhenShown<frmEditJob> editor([&](frmEditJob& e) {
    ASSERT_TRUE(RunUntil([&] { return e.cboJob().get_active_text() == name; }));
    Pump(100);
    EXPECT_TRUE(e.cboJob().shows_text_whole());
    e.cmdCancel().clicked();
  });
  w.menu_item(ActionId::EditJob)->activate();
  EXPECT_TRUE(RunUntil([&] { return editor.opened == 1; }));
}

INSTANTIATE_TEST_SUITE_P(HalfToTwice, FontResolutionTest, ::testing::Values(0.5, 1.0, 1.5, 2.0));

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
  Gdk::Rectangle go = Where(w.clbComm().cmdMove(), w), open = Where(w.clbComm().cmdOpFav(), w),
                 save = Where(w.clbComm().cmdSvFav(), w), url = Where(w.txtURL(), w),
                 browser = Where(w.wbwMain(), w);
  int width = 0, height = 0;
  w.get_size(width, height);
  w.resize(width + 100, height);
  ASSERT_TRUE(WaitForSize(w, width + 100, height));
  Pump(200);
  EXPECT_EQ(Where(w.clbComm().cmdMove(), w).get_x(), go.get_x() + 100);
  EXPECT_EQ(Where(w.clbComm().cmdOpFav(), w).get_x(), open.get_x() + 100);
  EXPECT_EQ(Where(w.clbComm().cmdSvFav(), w).get_x(), save.get_x() + 100);
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
  ASSERT_EQ(w.mode(), Mode::Job);
  EXPECT_TRUE(w.clbComm().picBack(3).get_visible());
  EXPECT_EQ(w.clbComm().picModeImage().get_pixbuf(), w.clbComm().imlMethod().get(1));

  // A click on the picture, as the mouse delivers it.
  GdkEventButton release{};
  release.type = GDK_BUTTON_RELEASE;
  release.button = 1;
  release.window = w.clbComm().picMode().get_window()->gobj();
  w.clbComm().picMode().event(reinterpret_cast<GdkEvent*>(&release));
  EXPECT_EQ(w.mode(), Mode::Direct);
  EXPECT_TRUE(w.clbComm().picBack(4).get_visible());
  EXPECT_FALSE(w.clbComm().picBack(3).get_visible());
  EXPECT_EQ(w.clbComm().picModeImage().get_pixbuf(), w.clbComm().imlMethod().get(2));
  EXPECT_FALSE(settings().Find("Setting", "Mode")) << "the mode is saved on closing only";

  // From the keyboard: Tab reaches the picture, and Enter or Space work it as a click does.
  w.clbComm().picMode().grab_focus();
  ASSERT_TRUE(w.clbComm().picMode().is_focus());
  PressKey(w, GDK_KEY_Return);
  EXPECT_EQ(w.mode(), Mode::Job);
  EXPECT_EQ(w.clbComm().picModeImage().get_pixbuf(), w.clbComm().imlMethod().get(1));
  PressKey(w, GDK_KEY_space);
  EXPECT_EQ(w.mode(), Mode::Direct);
  w.Run(ActionId::Quit);
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
  EXPECT_EQ(w.menu_item(ActionId::FileMenu)->get_label(), "ﾌｧｲﾙ(_F)");
  EXPECT_EQ(w.menu_item(ActionId::Quit)->get_label(), "閉じる(_Q)");
  EXPECT_EQ(w.menu_item(ActionId::ImportFavoritesFolder)->get_label(),
            "お気に入りﾌｫﾙﾀﾞのｲﾝﾎﾟｰﾄ(_M)...");
  EXPECT_EQ(w.menu_item(ActionId::ClearPocket, 2)->get_label(), "ﾎﾟｹｯﾄ_3");
  EXPECT_TRUE(w.menu_item(ActionId::Recent, 0)->get_visible());
  EXPECT_FALSE(w.action(ActionId::Recent, 0).enabled());
  for (int i = 1; i < 20; ++i) {
    Gtk::MenuItem* item = w.menu_item(ActionId::Recent, i);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->get_visible());
    EXPECT_EQ(item->get_label(), "（空）");
  }
  // Top-level menus in their order.
  std::vector<std::string> tops;
  for (Gtk::Widget* child : w.menu_bar().get_children()) tops.push_back(child->get_name());
  EXPECT_EQ(tops, (std::vector<std::string>{"mhFile", "mhEdit", "mhView", "mhJob", "mhPocket",
                                            "mhConfig", "mhHelp"}));
  EXPECT_FALSE(w.cboJob().is_sensitive());
  EXPECT_EQ(w.cmdNav(4).get_tooltip_text(), "一覧から選択");
}

}  // namespace
}  // namespace tarvik::test
