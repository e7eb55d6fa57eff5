#include "app/window_placement.h"

#include <gtest/gtest.h>

#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;

class WindowPlacementTest : public ::testing::Test {
 protected:
  TempDir dir;
  SettingsStore store{dir.file("settings.ini")};
};

TEST_F(WindowPlacementTest, NothingStoredGivesTheDesignedSizeAndNoPosition) {
  StoredPlacement p = ReadStoredPlacement(store, 11415, 8355, 300, 450, 15, 15);
  EXPECT_FLOAT_EQ(p.width, 11415);
  EXPECT_FLOAT_EQ(p.height, 8355);
  EXPECT_FALSE(p.left);
  EXPECT_FALSE(p.top);
  EXPECT_FALSE(p.maximized);
}

TEST_F(WindowPlacementTest, StoredValuesAreReadAndBadOnesFallBack) {
  store.SaveAll({{"Window", "Width", "9000"},
                 {"Window", "Height", "abc"},
                 {"Window", "Left", "-600"},
                 {"Window", "Maximized", "True"}});
  StoredPlacement p = ReadStoredPlacement(store, 11415, 8355, 300, 450, 15, 15);
  EXPECT_FLOAT_EQ(p.width, 9000);
  EXPECT_FLOAT_EQ(p.height, 8355);
  ASSERT_TRUE(p.left && p.top);
  EXPECT_FLOAT_EQ(*p.left, -600);
  EXPECT_FLOAT_EQ(*p.top, 450) << "the current position stands in for the missing one";
  EXPECT_TRUE(p.maximized);

  store.SaveAll(
      {{"Window", "Width", "1400"}, {"Window", "Height", "400000"}, {"Window", "Top", "-400000"}});
  p = ReadStoredPlacement(store, 11415, 8355, 300, 450, 15, 15);
  EXPECT_FLOAT_EQ(p.width, 11415) << "under 100 pixels";
  EXPECT_FLOAT_EQ(p.height, 8355) << "over 20,000 pixels";
  EXPECT_FLOAT_EQ(*p.top, 450);
}

TEST_F(WindowPlacementTest, ClosingWritesTheGeometryOnlyOfANormalWindow) {
  RecentHistory history;
  ClosingPlacement normal{9000, 6000, 150, -30, false, false, Mode::Direct};
  auto writes = ClosingWrites(normal, history, store);
  std::vector<SettingWrite> expected = {
      {"Window", "Width", "9000"}, {"Window", "Height", "6000"},     {"Window", "Left", "150"},
      {"Window", "Top", "-30"},    {"Window", "Maximized", "False"}, {"Setting", "Mode", "2"}};
  ASSERT_EQ(writes.size(), expected.size() + 2 * RecentHistory::kSlots);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(writes[i].section, expected[i].section);
    EXPECT_EQ(writes[i].key, expected[i].key);
    EXPECT_EQ(writes[i].value, expected[i].value);
  }
  // Where the windowing system keeps the position to itself, the stored one stays.
  ClosingPlacement wayland = normal;
  wayland.position_known = false;
  writes = ClosingWrites(wayland, history, store);
  EXPECT_EQ(writes[0].key, "Width");
  EXPECT_EQ(writes[1].key, "Height");
  EXPECT_EQ(writes[2].key, "Maximized");
  ClosingPlacement maximized = normal;
  maximized.maximized = true;
  writes = ClosingWrites(maximized, history, store);
  EXPECT_EQ(writes[0].key, "Maximized");
  EXPECT_EQ(writes[0].value, "True");
}

TEST_F(WindowPlacementTest, ClosingKeepsHistorySlotsAnotherTarvikWrote) {
  RecentHistory mine;
  store.SaveAll({{"History", "Title01", "Theirs"}, {"History", "URL01", "http://theirs/"}});
  auto writes = ClosingWrites({}, mine, store);
  for (const SettingWrite& w : writes)
    EXPECT_FALSE(w.key == "Title01" || w.key == "URL01") << w.key;
  EXPECT_EQ(writes.size(), 6u + 2 * RecentHistory::kSlots - 2);
}

}  // namespace
}  // namespace tarvik
