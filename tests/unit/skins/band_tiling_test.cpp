#include "skins/band_tiling.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvik {
namespace {

constexpr int kT = 15;  // twips per pixel at 96 dpi
constexpr int kTilePx = 64;
constexpr int kTile = kTilePx * kT;  // the tile's size in twips

std::vector<TileCopy> Plan(int left, int top, int width_px, int height_px, int tile_w = kTile,
                           int tile_h = kTile) {
  return PlanBandTiles(left, top, width_px, height_px, tile_w, tile_h, kT, kT);
}

// For every pixel of the band, the tile pixel the plan copies there (the last copy wins, as it
// does on the band picture); -1 where nothing is copied.
struct Source {
  int x, y;
  bool operator==(const Source&) const = default;
};
std::vector<std::vector<Source>> Painted(const std::vector<TileCopy>& plan, int w, int h) {
  std::vector<std::vector<Source>> band(h, std::vector<Source>(w, Source{-1, -1}));
  for (const TileCopy& c : plan)
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        const int bx = c.dst_x + x, by = c.dst_y + y;
        if (bx >= 0 && bx < w && by >= 0 && by < h) band[by][bx] = {c.src_x + x, c.src_y + y};
      }
  return band;
}

int Mod(int v, int m) { return ((v % m) + m) % m; }

TEST(TwipsToPixels, RoundsHalvesToEven) {
  EXPECT_EQ(TwipsToPixels(22, 15), 1);  // 1.47
  EXPECT_EQ(TwipsToPixels(23, 15), 2);  // 1.53
  EXPECT_EQ(TwipsToPixels(1, 2), 0);    // 0.5
  EXPECT_EQ(TwipsToPixels(3, 2), 2);    // 1.5
  EXPECT_EQ(TwipsToPixels(5, 2), 2);    // 2.5
  EXPECT_EQ(TwipsToPixels(-1, 2), 0);   // -0.5
  EXPECT_EQ(TwipsToPixels(-3, 2), -2);  // -1.5
  EXPECT_EQ(TwipsToPixels(-22, 15), -1);
  EXPECT_EQ(TwipsToPixels(960, 15), 64);
}

TEST(PlanBandTiles, BandAtTheOriginStartsWithTheTilesTopLeftPixel) {
  EXPECT_EQ(Plan(0, 0, 100, 40),
            (std::vector<TileCopy>{{0, 0, 64, 64, 0, 0}, {0, 0, 64, 64, 64, 0}}));
}

TEST(PlanBandTiles, OnePixelPastTheTileStartsOnePixelIn) {
  // Left = W + 15 twips: the first column is one pixel narrower than the tile.
  EXPECT_EQ(Plan(kTile + 15, 0, 100, 40),
            (std::vector<TileCopy>{{1, 0, 63, 64, 0, 0}, {0, 0, 64, 64, 63, 0}}));
}

TEST(PlanBandTiles, TopAtTwiceTheTileHeightStartsLikeTopZero) {
  EXPECT_EQ(Plan(0, 2 * kTile, 100, 100), Plan(0, 0, 100, 100));
  EXPECT_EQ(Plan(0, 2 * kTile, 100, 100).front(), (TileCopy{0, 0, 64, 64, 0, 0}));
}

TEST(PlanBandTiles, RowsFollowTheFirstRowsPhase) {
  // Top 10 pixels into the tile: the first row is 54 high, the next rows start at the tile's top.
  auto plan = Plan(0, 10 * kT, 50, 150);
  ASSERT_EQ(plan.size(), 3u);
  EXPECT_EQ(plan[0], (TileCopy{0, 10, 64, 54, 0, 0}));
  EXPECT_EQ(plan[1], (TileCopy{0, 0, 64, 64, 0, 54}));
  EXPECT_EQ(plan[2], (TileCopy{0, 0, 64, 64, 0, 118}));
}

TEST(PlanBandTiles, TileLargerThanTheBandGivesOneCopy) {
  EXPECT_EQ(Plan(7 * kT, 3 * kT, 20, 10), (std::vector<TileCopy>{{7, 3, 57, 61, 0, 0}}));
}

TEST(PlanBandTiles, ZeroSizedBandStillGetsOneCopy) {
  EXPECT_EQ(Plan(0, 0, 0, 0).size(), 1u);
  EXPECT_EQ(Plan(5 * kT, 0, 0, 30).size(), 1u);
}

TEST(PlanBandTiles, NegativePositionsTakeThePhaseInsideTheTile) {
  auto plan = Plan(-kT, -2 * kT, 100, 2);
  ASSERT_EQ(plan.size(), 3u);
  EXPECT_EQ(plan[0], (TileCopy{63, 62, 1, 2, 0, 0}));
  EXPECT_EQ(plan[1], (TileCopy{0, 62, 64, 2, 1, 0}));
  EXPECT_EQ(plan[2], (TileCopy{0, 62, 64, 2, 65, 0}));
}

TEST(PlanBandTiles, EveryPixelContinuesTheBarsPattern) {
  // At any position, in pixels, the band shows the tile pixel that the bar tiled from its own
  // origin shows at the same place.
  const int w = 150, h = 70;
  for (int left : {0, 1, 63, 64, 65, 500, -1, -64, -65, -300})
    for (int top : {0, 5, 64, 130, -7}) {
      auto band = Painted(Plan(left * kT, top * kT, w, h), w, h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(band[y][x], (Source{Mod(left + x, kTilePx), Mod(top + y, kTilePx)}))
              << "left " << left << " top " << top << " at " << x << "," << y;
    }
}

TEST(PlanBandTiles, NonSquareTileAndUnevenScales) {
  // A 40 x 24 pixel tile at 12 x 20 twips per pixel.
  auto plan = PlanBandTiles(45 * 12, 30 * 20, 90, 30, 40 * 12, 24 * 20, 12, 20);
  auto band = Painted(plan, 90, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 90; ++x)
      ASSERT_EQ(band[y][x], (Source{Mod(45 + x, 40), Mod(30 + y, 24)})) << x << "," << y;
}

TEST(PlanBandTiles, JobBarAndAddressBarShareTheirContainersPattern) {
  EXPECT_EQ(BandPatternReference(0), 0);
  EXPECT_EQ(BandPatternReference(1), 1);
  EXPECT_EQ(BandPatternReference(2), 2);
  EXPECT_EQ(BandPatternReference(3), 2);
  EXPECT_EQ(BandPatternReference(4), 2);
}

TEST(PlanBandTiles, NothingToPaintWithAnEmptyTileOrScale) {
  EXPECT_TRUE(Plan(0, 0, 100, 40, 0, kTile).empty());
  EXPECT_TRUE(Plan(0, 0, 100, 40, kTile, 0).empty());
  EXPECT_TRUE(PlanBandTiles(0, 0, 100, 40, kTile, kTile, 0, 15).empty());
}

}  // namespace
}  // namespace tarvik
