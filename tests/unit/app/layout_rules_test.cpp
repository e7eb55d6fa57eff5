#include <gtest/gtest.h>

#include "app/layout_rules.h"

namespace tarvik {
namespace {

// The designed window at 15 twips per pixel.
LayoutSnapshot Designed() {
  LayoutSnapshot s;
  s.W = 11415;
  s.H = 8700;
  s.BW = 11370;
  s.BH = 6465;
  s.BT = 1470;
  s.CW = 11370;
  s.CH = 1425;
  s.B4 = 11070;
  s.JW = 6120;
  s.UW = 8535;
  s.GL = 8775;
  s.OL = 9690;
  s.SL = 10395;
  return s;
}

TEST(ResizeRule, WideningBy1500TwipsMovesTheButtonsAndWidensTheBars) {
  const LayoutSnapshot s = Designed();
  auto l = ResizeRule(s, {s.W + 1500, s.H, false, false}, 15, 15);
  ASSERT_TRUE(l);
  EXPECT_FLOAT_EQ(l->move_left, s.GL + 1500);
  EXPECT_FLOAT_EQ(l->open_fav_left, s.OL + 1500);
  EXPECT_FLOAT_EQ(l->save_fav_left, s.SL + 1500);
  EXPECT_FLOAT_EQ(l->url_width, s.UW + 1500);
  EXPECT_FLOAT_EQ(l->job_width, s.JW + 1500);
  EXPECT_FLOAT_EQ(l->band4_width, s.B4 + 1500);
  EXPECT_FLOAT_EQ(l->coolbar_width, s.CW + 1500);
  EXPECT_FLOAT_EQ(l->browser_width, s.BW + 1500);
  EXPECT_FLOAT_EQ(l->browser_height, s.BH);
}

TEST(ResizeRule, TallerWindowMakesOnlyTheBrowserTaller) {
  const LayoutSnapshot s = Designed();
  auto l = ResizeRule(s, {s.W, s.H + 900, false, false}, 15, 15);
  ASSERT_TRUE(l);
  EXPECT_FLOAT_EQ(l->browser_height, s.BH + 900);
  EXPECT_FLOAT_EQ(l->browser_width, s.BW);
  EXPECT_FLOAT_EQ(l->move_left, s.GL);
}

TEST(ResizeRule, BelowFourHundredByThreeHundredPixelsTheLayoutStays) {
  const LayoutSnapshot s = Designed();
  EXPECT_FALSE(ResizeRule(s, {399 * 15, s.H, false, false}, 15, 15));
  EXPECT_FALSE(ResizeRule(s, {s.W, 299 * 15, false, false}, 15, 15));
  auto back = ResizeRule(s, {400 * 15, 300 * 15, false, false}, 15, 15);
  ASSERT_TRUE(back);
  // Growing back lays everything out again from the snapshot.
  EXPECT_FLOAT_EQ(back->move_left, 400 * 15 - s.W + s.GL);
  EXPECT_FLOAT_EQ(back->browser_height, 300 * 15 - s.H + s.BH);
}

TEST(ResizeRule, MinimizedOrInCodeResizeChangesNothing) {
  const LayoutSnapshot s = Designed();
  EXPECT_FALSE(ResizeRule(s, {s.W + 1500, s.H, true, false}, 15, 15));
  EXPECT_FALSE(ResizeRule(s, {s.W + 1500, s.H, false, true}, 15, 15));
  // Restoring gives the same layout as before minimizing.
  auto before = ResizeRule(s, {s.W + 300, s.H, false, false}, 15, 15);
  auto after = ResizeRule(s, {s.W + 300, s.H, false, false}, 15, 15);
  ASSERT_TRUE(before && after);
  EXPECT_FLOAT_EQ(before->url_width, after->url_width);
}

TEST(CoolBarHeightRule, BandFourMovedIntoTheFirstRowGivesTheBrowserTheRoom) {
  const LayoutSnapshot s = Designed();
  const float one_row = 840;  // the bar after band 4 joined the first row
  CoolBarHeightChange c = CoolBarHeightRule(s, one_row, /*toolbar=*/true, s.H);
  const float d = one_row - s.CH;
  EXPECT_FLOAT_EQ(c.browser_top, s.BT + d);
  ASSERT_TRUE(c.browser_height);
  EXPECT_FLOAT_EQ(*c.browser_height, s.BH - d);
  EXPECT_FALSE(c.window_height);
  EXPECT_FLOAT_EQ(c.snapshot.BT, s.BT + d);
  EXPECT_FLOAT_EQ(c.snapshot.CH, one_row);
  EXPECT_FLOAT_EQ(c.snapshot.H, s.H);
}

TEST(CoolBarHeightRule, ABrowserMadeTallerByABandMoveStaysTallerAfterAResize) {
  // Without the snapshot following the browser's new height, the next window resize would
  // give the browser its old height back and leave an empty strip below it.
  const LayoutSnapshot s = Designed();
  CoolBarHeightChange c = CoolBarHeightRule(s, 840, true, s.H);
  auto l = ResizeRule(c.snapshot, {s.W + 15, s.H, false, false}, 15, 15);
  ASSERT_TRUE(l);
  EXPECT_FLOAT_EQ(l->browser_height, *c.browser_height);
  // And moving the band back restores the designed browser.
  CoolBarHeightChange back = CoolBarHeightRule(c.snapshot, s.CH, true, s.H);
  EXPECT_FLOAT_EQ(back.browser_top, s.BT);
  EXPECT_FLOAT_EQ(*back.browser_height, s.BH);
}

TEST(CoolBarHeightRule, WithoutAToolbarTheWindowFollowsTheBar) {
  const LayoutSnapshot s = Designed();
  const float bands_hidden = 600;  // bands 1 to 3 hidden: only band 4's row is left
  const float d = bands_hidden - s.CH;
  CoolBarHeightChange c = CoolBarHeightRule(s, bands_hidden, /*toolbar=*/false, s.H);
  EXPECT_FLOAT_EQ(c.browser_top, s.BT + d);
  EXPECT_FALSE(c.browser_height);
  ASSERT_TRUE(c.window_height);
  EXPECT_FLOAT_EQ(*c.window_height, s.H + d);
  EXPECT_FLOAT_EQ(c.snapshot.H, s.H + d);
  // The browser area keeps its size through the resize that follows.
  auto l = ResizeRule(c.snapshot, {s.W, *c.window_height, false, false}, 15, 15);
  ASSERT_TRUE(l);
  EXPECT_FLOAT_EQ(l->browser_height, s.BH);
}

TEST(CoolBarHeightRule, HidingTheBandsOneByOneShrinksTheWindowOnlyByTheBarsChange) {
  // The bar reports a new height for each of bands 1 to 3 it hides.
  const LayoutSnapshot s = Designed();
  LayoutSnapshot now = s;
  float window = s.H;
  float top = s.BT;
  for (float height : {1260.f, 1080.f, 600.f}) {
    CoolBarHeightChange c = CoolBarHeightRule(now, height, /*toolbar=*/false, window);
    window = *c.window_height;
    top = c.browser_top;
    now = c.snapshot;
  }
  EXPECT_FLOAT_EQ(window, s.H - (s.CH - 600));
  EXPECT_FLOAT_EQ(top, s.BT - (s.CH - 600));
  auto l = ResizeRule(now, {s.W, window, false, false}, 15, 15);
  ASSERT_TRUE(l);
  EXPECT_FLOAT_EQ(l->browser_height, s.BH);
}

TEST(BandChangeRule, FollowsBandFourWidthOnly) {
  const LayoutSnapshot s = Designed();
  EXPECT_FALSE(BandChangeRule(s, s.B4));
  auto c = BandChangeRule(s, s.B4 - 3000);
  ASSERT_TRUE(c);
  EXPECT_FLOAT_EQ(c->job_width, s.JW - 3000);
  EXPECT_FLOAT_EQ(c->url_width, s.UW - 3000);
}

TEST(Twips, PerPixelAndConversion) {
  EXPECT_EQ(TwipsPerPixel(96), 15);
  EXPECT_EQ(TwipsPerPixel(120), 12);
  EXPECT_EQ(TwipsPerPixel(-1), 15);
  EXPECT_EQ(ToPixels(11415, 15), 761);
  EXPECT_EQ(ToPixels(7.5, 15), 0);  // half to even
  EXPECT_EQ(ToPixels(22.5, 15), 2);
}

TEST(KeepOnScreen, AWindowOffEveryMonitorIsCentredOnThePrimaryOne) {
  const std::vector<ScreenRect> two = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  const ScreenRect work{0, 30, 1920, 1050};
  // Partly on a monitor, or on the second one: it stays.
  EXPECT_EQ(KeepOnScreen({1900, 1000, 800, 600}, two, work), (ScreenRect{1900, 1000, 800, 600}));
  EXPECT_EQ(KeepOnScreen({2500, 100, 800, 600}, two, work), (ScreenRect{2500, 100, 800, 600}));
  // Touching an edge is not overlapping.
  EXPECT_EQ(KeepOnScreen({3200, 0, 800, 600}, two, work), (ScreenRect{560, 255, 800, 600}));
  EXPECT_EQ(KeepOnScreen({-5000, -5000, 800, 600}, two, work), (ScreenRect{560, 255, 800, 600}));
  // Larger than the work area: its top left corner goes to the area's.
  EXPECT_EQ(KeepOnScreen({9000, 0, 4000, 3000}, two, work), (ScreenRect{0, 30, 4000, 3000}));
  // No monitor known: nothing to compare with.
  EXPECT_EQ(KeepOnScreen({9000, 0, 800, 600}, {}, work), (ScreenRect{9000, 0, 800, 600}));
}

}  // namespace
}  // namespace tarvik
