// The cool bar in a real window, holding the four bands of the main window at their designed sizes:
// the toolbar band, the pockets, the mode picture, and the job bar in a row of its own.
#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include <cstdint>
#include <vector>

#include "platform/accessible.h"
#include "platform/cool_bar.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::Pump;
using test::RunUntil;

constexpr int kWindowWidth = 760;

// Delivers a synthesized pointer event to the bar's own window, as the X server would.
void SendPointer(Gtk::Widget& target, GdkEventType type, double x, double y) {
  GdkWindow* window = target.get_window()->gobj();
  GdkEvent* event = gdk_event_new(type);
  if (type == GDK_MOTION_NOTIFY) {
    event->motion.window = GDK_WINDOW(g_object_ref(window));
    event->motion.x = x;
    event->motion.y = y;
    event->motion.state = GDK_BUTTON1_MASK;
    event->motion.time = GDK_CURRENT_TIME;
  } else {
    event->button.window = GDK_WINDOW(g_object_ref(window));
    event->button.x = x;
    event->button.y = y;
    event->button.button = 1;
    event->button.time = GDK_CURRENT_TIME;
    if (type == GDK_BUTTON_RELEASE) event->button.state = GDK_BUTTON1_MASK;
  }
  GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window));
  gdk_event_set_device(event, gdk_seat_get_pointer(seat));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

void Drag(Gtk::Widget& target, int from_x, int from_y, int to_x, int to_y) {
  SendPointer(target, GDK_BUTTON_PRESS, from_x, from_y);
  SendPointer(target, GDK_MOTION_NOTIFY, to_x, to_y);
  SendPointer(target, GDK_BUTTON_RELEASE, to_x, to_y);
}

bool SameRect(const Gdk::Rectangle& a, const Gdk::Rectangle& b) {
  return a.get_x() == b.get_x() && a.get_y() == b.get_y() && a.get_width() == b.get_width() &&
         a.get_height() == b.get_height();
}

class CoolBarTest : public testing::Test {
 protected:
  void SetUp() override {
    window_.set_default_size(kWindowWidth, 400);
    box_.pack_start(bar_, Gtk::PACK_SHRINK);
    box_.pack_start(browser_area_, Gtk::PACK_EXPAND_WIDGET);
    window_.add(box_);
    tools_ = bar_.add_band(tools_child_, CoolBand{.caption = "",
                                                  .min_width = 280,
                                                  .min_height = 51,
                                                  .width = 280,
                                                  .use_bar_picture = false});
    pockets_ = bar_.add_band(
        pockets_child_,
        CoolBand{.caption = "ポケット", .min_width = 141, .min_height = 45, .width = 139});
    mode_ = bar_.add_band(
        mode_child_, CoolBand{.caption = "操作", .min_width = 85, .min_height = 33, .width = 81});
    job_ = bar_.add_band(
        job_child_,
        CoolBand{.caption = "", .min_width = 738, .min_height = 38, .width = 738, .new_row = true});
    bar_.signal_height_changed().connect([this](int h) { heights_.push_back(h); });
    bar_.signal_band_change().connect([this] { ++band_changes_; });
    window_.show_all();
    ASSERT_TRUE(RunUntil(
        [this] { return bar_.get_mapped() && bar_.get_allocated_width() == kWindowWidth; }));
    Settle();
    two_rows_ = bar_.bar_height();
  }

  // Waits until the window has given the bar the height it asks for.
  void Settle() {
    Pump(30);
    EXPECT_TRUE(RunUntil([this] { return bar_.get_allocated_height() == bar_.bar_height(); }));
  }

  Gtk::Window window_;
  Gtk::Box box_{Gtk::ORIENTATION_VERTICAL};
  Gtk::DrawingArea browser_area_;
  CoolBar bar_;
  Gtk::Label tools_child_{"中止 更新 Home"};
  Gtk::DrawingArea pockets_child_;
  Gtk::DrawingArea mode_child_;
  Gtk::DrawingArea job_child_;
  int tools_ = -1, pockets_ = -1, mode_ = -1, job_ = -1;
  int two_rows_ = 0;
  std::vector<int> heights_;
  int band_changes_ = 0;
};

TEST_F(CoolBarTest, DesignedBandsMakeTwoRows) {
  EXPECT_EQ(bar_.band_count(), 4);
  EXPECT_EQ(bar_.band_row(tools_), 0);
  EXPECT_EQ(bar_.band_row(pockets_), 0);
  EXPECT_EQ(bar_.band_row(mode_), 0);
  EXPECT_EQ(bar_.band_row(job_), 1);
  EXPECT_EQ(bar_.band_position_in_row(mode_), 2);
  EXPECT_EQ(bar_.band_position_in_row(job_), 0);

  // The tallest child of a row sets its height, and every child of the row fills it.
  Gdk::Rectangle tools = bar_.band_child_rect(tools_);
  Gdk::Rectangle pockets = bar_.band_child_rect(pockets_);
  Gdk::Rectangle job = bar_.band_child_rect(job_);
  EXPECT_EQ(tools.get_height(), 51);
  EXPECT_EQ(pockets.get_height(), 51);
  EXPECT_EQ(job.get_height(), 38);
  EXPECT_EQ(pockets.get_y(), tools.get_y());
  EXPECT_GE(job.get_y(), tools.get_y() + tools.get_height());
  EXPECT_GT(two_rows_, 51 + 38);
  EXPECT_LE(two_rows_, 51 + 38 + 16);
  EXPECT_EQ(bar_.get_allocated_height(), two_rows_);

  // The children are allocated exactly where the bar says they are.
  EXPECT_TRUE(SameRect(tools_child_.get_allocation(), tools));
  EXPECT_TRUE(SameRect(pockets_child_.get_allocation(), pockets));
  EXPECT_TRUE(SameRect(job_child_.get_allocation(), job));
}

TEST_F(CoolBarTest, BandWidthsFollowMinimumsAndTheLastBandTakesTheRest) {
  EXPECT_EQ(bar_.band_width(tools_), 280);
  EXPECT_EQ(bar_.band_width(pockets_), 141);  // its minimum is larger than the width it asks for
  EXPECT_EQ(bar_.band_width(mode_), kWindowWidth - 280 - 141);
  EXPECT_EQ(bar_.band_width(job_), kWindowWidth);

  // A caption sits between the gripper and the child, so it pushes the child to the right.
  int plain_header = bar_.band_child_rect(tools_).get_x();
  int caption_header = bar_.band_child_rect(pockets_).get_x() - 280;
  EXPECT_GT(caption_header, plain_header + 10);

  window_.resize(kWindowWidth + 200, 400);
  ASSERT_TRUE(RunUntil([this] { return bar_.get_allocated_width() == kWindowWidth + 200; }));
  Pump(30);
  EXPECT_EQ(bar_.band_width(tools_), 280);
  EXPECT_EQ(bar_.band_width(pockets_), 141);
  EXPECT_EQ(bar_.band_width(mode_), kWindowWidth + 200 - 280 - 141);
  EXPECT_EQ(bar_.band_width(job_), kWindowWidth + 200);
  EXPECT_TRUE(SameRect(mode_child_.get_allocation(), bar_.band_child_rect(mode_)));
  EXPECT_TRUE(SameRect(job_child_.get_allocation(), bar_.band_child_rect(job_)));
  EXPECT_TRUE(heights_.empty());  // a wider bar is no taller
}

TEST_F(CoolBarTest, SetBandWidthRelaysTheRow) {
  bar_.set_band_width(tools_, 320);
  EXPECT_EQ(bar_.band_width(tools_), 320);
  EXPECT_EQ(bar_.band_width(mode_), kWindowWidth - 320 - 141);
  bar_.set_band_width(tools_, 100);
  EXPECT_EQ(bar_.band_width(tools_), 280);  // never below the minimum

  // The job bar alone in its row follows a minimum that grows past the bar, as the main window
  // sets it when the window is resized.
  bar_.set_band_min_width(job_, 900);
  EXPECT_EQ(bar_.band_width(job_), 900);
  bar_.set_band_min_width(job_, 600);
  bar_.set_band_width(job_, 600);
  EXPECT_EQ(bar_.band_width(job_), kWindowWidth);

  bar_.set_band_width(tools_, 300);
  Settle();
  EXPECT_TRUE(SameRect(tools_child_.get_allocation(), bar_.band_child_rect(tools_)));
  // The child ends inside its band, just short of the divider.
  const int child_right = bar_.band_child_rect(tools_).get_x() + tools_child_.get_allocated_width();
  EXPECT_LE(child_right, 300);
  EXPECT_GT(child_right, 300 - 6);
  EXPECT_TRUE(heights_.empty());
}

TEST_F(CoolBarTest, MovingTheJobBarIntoTheFirstRowMakesOneRow) {
  bar_.move_band(job_, 0, -1);
  EXPECT_EQ(bar_.band_row(job_), 0);
  EXPECT_EQ(bar_.band_position_in_row(job_), 3);
  EXPECT_EQ(band_changes_, 1);
  ASSERT_EQ(heights_.size(), 1u);
  EXPECT_LT(heights_[0], two_rows_);
  EXPECT_EQ(heights_[0], bar_.bar_height());
  EXPECT_EQ(bar_.band_child_rect(job_).get_y(), bar_.band_child_rect(tools_).get_y());
  Settle();
  EXPECT_EQ(bar_.get_allocated_height(), heights_[0]);

  // One past the last row makes a new row again, and the bar is as tall as before.
  bar_.move_band(job_, 1, 0);
  EXPECT_EQ(bar_.band_row(job_), 1);
  ASSERT_EQ(heights_.size(), 2u);
  EXPECT_EQ(heights_[1], two_rows_);
  EXPECT_EQ(band_changes_, 2);
}

TEST_F(CoolBarTest, MovesThatChangeNothingStayQuiet) {
  bar_.move_band(pockets_, 0, 1);  // before itself
  bar_.move_band(pockets_, 0, 2);  // before the band that already follows it
  bar_.move_band(job_, 1, 0);
  bar_.move_band(job_, 2, 0);  // a new row below, where it already is alone
  bar_.set_band_visible(tools_, true);
  EXPECT_EQ(band_changes_, 0);
  EXPECT_TRUE(heights_.empty());
  EXPECT_EQ(bar_.band_row(job_), 1);
  EXPECT_EQ(bar_.band_position_in_row(pockets_), 1);
}

TEST_F(CoolBarTest, ReorderingInsideARowKeepsTheHeight) {
  bar_.move_band(tools_, 0, -1);
  EXPECT_EQ(bar_.band_position_in_row(pockets_), 0);
  EXPECT_EQ(bar_.band_position_in_row(mode_), 1);
  EXPECT_EQ(bar_.band_position_in_row(tools_), 2);
  EXPECT_EQ(band_changes_, 1);
  EXPECT_TRUE(heights_.empty());
  // Now the toolbar band is last in its row and takes the rest of the bar.
  EXPECT_EQ(bar_.band_width(tools_), kWindowWidth - 141 - 85);
  EXPECT_GT(bar_.band_child_rect(pockets_).get_x(), 0);
  EXPECT_LT(bar_.band_child_rect(pockets_).get_x(), 141);
}

TEST_F(CoolBarTest, AChildGrowingPastItsBandMinimumRaisesTheRow) {
  // The row follows the child's own minimum height too; the owner hears of it after the
  // allocation, not from inside it.
  tools_child_.set_size_request(-1, 60);
  ASSERT_TRUE(RunUntil([this] { return !heights_.empty(); }));
  EXPECT_EQ(heights_[0], two_rows_ + 60 - 51);
  EXPECT_EQ(bar_.band_child_rect(pockets_).get_height(), 60);
  Settle();
  EXPECT_EQ(heights_.size(), 1u);
  EXPECT_EQ(band_changes_, 0);
}

TEST_F(CoolBarTest, HidingTheFirstRowBandsShrinksTheBar) {
  bar_.set_band_visible(tools_, false);
  bar_.set_band_visible(pockets_, false);
  bar_.set_band_visible(mode_, false);
  EXPECT_EQ(band_changes_, 3);
  // Each band hidden lowers the first row until the row itself goes.
  ASSERT_EQ(heights_.size(), 3u);
  EXPECT_LT(heights_[0], two_rows_);
  EXPECT_LT(heights_[1], heights_[0]);
  EXPECT_LT(heights_[2], heights_[1]);
  EXPECT_EQ(heights_[2], bar_.bar_height());
  EXPECT_EQ(bar_.band_row(job_), 0);
  EXPECT_EQ(bar_.band_child_rect(job_).get_height(), 38);
  EXPECT_LT(bar_.band_child_rect(job_).get_y(), 10);
  EXPECT_EQ(bar_.band_width(tools_), 0);
  EXPECT_FALSE(bar_.band_visible(tools_));

  Settle();
  EXPECT_EQ(bar_.get_allocated_height(), heights_[2]);
  EXPECT_FALSE(tools_child_.get_mapped());
  EXPECT_FALSE(pockets_child_.get_mapped());
  EXPECT_TRUE(job_child_.get_mapped());
  EXPECT_TRUE(SameRect(job_child_.get_allocation(), bar_.band_child_rect(job_)));

  // Showing the whole window again must not bring back the children of hidden bands.
  window_.show_all();
  Pump(30);
  EXPECT_FALSE(tools_child_.get_mapped());

  bar_.set_band_visible(tools_, true);
  bar_.set_band_visible(pockets_, true);
  bar_.set_band_visible(mode_, true);
  EXPECT_EQ(heights_.back(), two_rows_);
  EXPECT_EQ(bar_.band_row(job_), 1);
  EXPECT_EQ(bar_.band_position_in_row(mode_), 2);  // hidden bands kept their places
  Settle();
  EXPECT_TRUE(tools_child_.get_mapped());
  EXPECT_TRUE(SameRect(tools_child_.get_allocation(), bar_.band_child_rect(tools_)));
}

TEST_F(CoolBarTest, DraggingAGripperMovesABandIntoAnotherRowOrANewOne) {
  Gdk::Rectangle job = bar_.band_child_rect(job_);
  Drag(bar_, 3, job.get_y() + job.get_height() / 2, kWindowWidth - 40, 10);
  EXPECT_EQ(bar_.band_row(job_), 0);
  EXPECT_EQ(bar_.band_position_in_row(job_), 3);
  ASSERT_EQ(heights_.size(), 1u);
  EXPECT_LT(heights_[0], two_rows_);
  EXPECT_GE(band_changes_, 1);
  Settle();

  // Dropping the toolbar band below the last row opens a new row for it.
  Drag(bar_, 3, 10, 100, bar_.bar_height() + 5);
  EXPECT_EQ(bar_.band_row(tools_), 1);
  EXPECT_EQ(bar_.band_position_in_row(pockets_), 0);
  ASSERT_EQ(heights_.size(), 2u);
  EXPECT_GT(heights_[1], heights_[0]);
}

TEST_F(CoolBarTest, DraggingAlongARowResizesOrSwapsBands) {
  const int mode_left = 280 + 141;
  const int y = bar_.band_child_rect(tools_).get_y() + 10;
  SendPointer(bar_, GDK_BUTTON_PRESS, mode_left + 3, y);
  SendPointer(bar_, GDK_MOTION_NOTIFY, mode_left + 33, y);
  EXPECT_EQ(bar_.band_width(pockets_), 171);
  EXPECT_EQ(bar_.band_width(mode_), kWindowWidth - 280 - 171);
  EXPECT_EQ(band_changes_, 1);

  // The pockets band cannot be pressed below its minimum by dragging its neighbour left.
  SendPointer(bar_, GDK_MOTION_NOTIFY, mode_left - 60, y);
  EXPECT_EQ(bar_.band_width(pockets_), 141);

  // Over the gripper of the band before, the two change places.
  SendPointer(bar_, GDK_MOTION_NOTIFY, 283, y);
  SendPointer(bar_, GDK_BUTTON_RELEASE, 283, y);
  EXPECT_EQ(bar_.band_position_in_row(mode_), 1);
  EXPECT_EQ(bar_.band_position_in_row(pockets_), 2);
  EXPECT_TRUE(heights_.empty());

  // A press away from any gripper starts no drag.
  const int changes = band_changes_;
  SendPointer(bar_, GDK_BUTTON_PRESS, kWindowWidth - 1, 1);
  SendPointer(bar_, GDK_MOTION_NOTIFY, 5, bar_.bar_height() + 20);
  SendPointer(bar_, GDK_BUTTON_RELEASE, 5, bar_.bar_height() + 20);
  EXPECT_EQ(band_changes_, changes);
  EXPECT_EQ(bar_.band_row(job_), 1);
}

// Reads one pixel of the bar as 0xRRGGBB from a rendering of the bar and its children.
class Snapshot {
 public:
  explicit Snapshot(Gtk::Widget& widget)
      : surface_(Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, widget.get_allocated_width(),
                                             widget.get_allocated_height())) {
    auto cr = Cairo::Context::create(surface_);
    gtk_widget_draw(widget.gobj(), cr->cobj());
    surface_->flush();
  }
  std::uint32_t at(int x, int y) const {
    const unsigned char* row = surface_->get_data() + y * surface_->get_stride();
    return *reinterpret_cast<const std::uint32_t*>(row + 4 * x) & 0xFFFFFF;
  }

 private:
  Cairo::RefPtr<Cairo::ImageSurface> surface_;
};

TEST_F(CoolBarTest, PictureIsTiledFromTheBarOriginExceptOverPlainBands) {
  // A two-pixel picture, red then blue, shows the tiling phase at every column.
  auto picture = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, 2, 1);
  guint8* p = picture->get_pixels();
  const guint8 pixels[6] = {255, 0, 0, 0, 0, 255};
  std::copy(pixels, pixels + 6, p);
  bar_.set_picture(picture);
  constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

  // The padding above the children shows the picture in bands that use it, in phase with x.
  Gdk::Rectangle pockets = bar_.band_child_rect(pockets_);
  Gdk::Rectangle job = bar_.band_child_rect(job_);
  Snapshot tiled(bar_);
  for (int x : {pockets.get_x() + 4, pockets.get_x() + 5, 451, 612}) {
    EXPECT_EQ(tiled.at(x, pockets.get_y() - 1), x % 2 == 0 ? kRed : kBlue) << "x " << x;
  }
  for (int x : {100, 101, 503}) {
    EXPECT_EQ(tiled.at(x, job.get_y() - 1), x % 2 == 0 ? kRed : kBlue) << "x " << x;
  }
  // The toolbar band refuses the picture and keeps the plain background.
  for (int x : {100, 101}) {
    EXPECT_NE(tiled.at(x, pockets.get_y() - 1), kRed);
    EXPECT_NE(tiled.at(x, pockets.get_y() - 1), kBlue);
  }

  bar_.set_picture({});
  Snapshot plain(bar_);
  EXPECT_NE(plain.at(pockets.get_x() + 4, pockets.get_y() - 1), kRed);
  EXPECT_NE(plain.at(pockets.get_x() + 5, pockets.get_y() - 1), kBlue);
  EXPECT_EQ(plain.at(pockets.get_x() + 4, pockets.get_y() - 1), plain.at(100, pockets.get_y() - 1));
}

// The captions are only drawn: a screen reader had no way to tell the pockets' band from the
// mode band.
TEST_F(CoolBarTest, EachBandsCaptionIsItsChildsAccessibleName) {
  EXPECT_EQ(AccessibleName(pockets_child_), "ポケット");
  EXPECT_EQ(AccessibleName(mode_child_), "操作");
  EXPECT_EQ(AccessibleName(job_child_), "");
  EXPECT_EQ(AccessibleName(tools_child_), "中止 更新 Home") << "a child's own text stays its name";
  Gtk::DrawingArea named;
  SetAccessibleName(named, "ジョブバー", "ジョブを選んでたどる");
  CoolBar other;
  other.add_band(named,
                 CoolBand{.caption = "操作", .min_width = 85, .min_height = 33, .width = 81});
  EXPECT_EQ(AccessibleName(named), "ジョブバー");
  EXPECT_EQ(AccessibleDescription(named), "ジョブを選んでたどる");
}

TEST_F(CoolBarTest, RemovingAChildKeepsTheBandsInPlace) {
  bar_.remove(pockets_child_);
  EXPECT_EQ(pockets_child_.get_parent(), nullptr);
  EXPECT_EQ(bar_.band_count(), 4);
  EXPECT_EQ(bar_.band_row(job_), 1);
  EXPECT_EQ(bar_.band_width(pockets_), 141);
  Settle();
  EXPECT_TRUE(SameRect(mode_child_.get_allocation(), bar_.band_child_rect(mode_)));
}

}  // namespace
}  // namespace tarvik
