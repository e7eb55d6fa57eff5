#include "browse/pockets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvik {
namespace {

using Kind = PocketCommand::Kind;

const Pocket kEmpty{};
const Pocket kStored{true, "Stored page", "http://stored.example/"};
const CurrentPage kShown{"Shown page", "http://shown.example/a"};

struct ReleaseCase {
  const char* name;
  Pocket before;
  MouseButton button;
  CurrentPage page;
  Pocket after;
  PocketCommand command;
};

class PocketRelease : public testing::TestWithParam<ReleaseCase> {};

TEST_P(PocketRelease, ChangesOnlyThatPocketAndSaysWhatToShow) {
  const ReleaseCase& c = GetParam();
  for (int index = 0; index < kPocketCount; ++index) {
    Pockets pockets{kStored, kEmpty, kStored};
    pockets[index] = c.before;
    Pockets expected = pockets;
    expected[index] = c.after;
    EXPECT_EQ(ReleaseOnPocket(pockets, index, c.button, c.page), c.command) << "pocket " << index;
    EXPECT_EQ(pockets, expected) << "pocket " << index;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PocketRelease,
    testing::Values(ReleaseCase{"LeftOnEmptyStoresTheShownPage",
                                kEmpty,
                                MouseButton::kLeft,
                                kShown,
                                {true, "Shown page", "http://shown.example/a"},
                                {Kind::kShowFull, "", "Shown page"}},
                    ReleaseCase{"MiddleOnEmptyStoresLikeLeft",
                                kEmpty,
                                MouseButton::kMiddle,
                                kShown,
                                {true, "Shown page", "http://shown.example/a"},
                                {Kind::kShowFull, "", "Shown page"}},
                    ReleaseCase{"LeftOnFullOpensTheStoredPageNotTheShownOne",
                                kStored,
                                MouseButton::kLeft,
                                kShown,
                                kStored,
                                {Kind::kNavigate, "http://stored.example/", ""}},
                    ReleaseCase{"MiddleOnFullOpensLikeLeft",
                                kStored,
                                MouseButton::kMiddle,
                                kShown,
                                kStored,
                                {Kind::kNavigate, "http://stored.example/", ""}},
                    ReleaseCase{"RightOnFullEmptiesWithoutOpening",
                                kStored,
                                MouseButton::kRight,
                                kShown,
                                kEmpty,
                                {Kind::kShowEmpty, "", ""}},
                    ReleaseCase{"RightOnEmptyDoesNothing",
                                kEmpty,
                                MouseButton::kRight,
                                kShown,
                                kEmpty,
                                {Kind::kNone, "", ""}},
                    ReleaseCase{"LeftWithNoPageShownStoresEmptyTexts",
                                kEmpty,
                                MouseButton::kLeft,
                                CurrentPage{},
                                {true, "", ""},
                                {Kind::kShowFull, "", ""}},
                    ReleaseCase{"FullPocketWithEmptyAddressNavigatesToIt",
                                {true, "", ""},
                                MouseButton::kLeft,
                                kShown,
                                {true, "", ""},
                                {Kind::kNavigate, "", ""}}),
    [](const testing::TestParamInfo<ReleaseCase>& info) { return std::string(info.param.name); });

TEST(Pockets, StoreThenOpenAgainAfterTheDisplayMovedOn) {
  Pockets pockets{};
  ReleaseOnPocket(pockets, 1, MouseButton::kLeft, {"First", "http://first.example/"});
  // The browser has gone elsewhere; the pocket still opens the page it stored.
  PocketCommand second =
      ReleaseOnPocket(pockets, 1, MouseButton::kLeft, {"Later", "http://later.example/"});
  EXPECT_EQ(second, (PocketCommand{Kind::kNavigate, "http://first.example/", ""}));
  EXPECT_EQ(pockets[1], (Pocket{true, "First", "http://first.example/"}));
}

TEST(Pockets, ClearEmptiesFullAndEmptyPocketsAlike) {
  Pockets pockets{kStored, kEmpty, kStored};
  EXPECT_EQ(ClearPocket(pockets, 0), (PocketCommand{Kind::kShowEmpty, "", ""}));
  EXPECT_EQ(ClearPocket(pockets, 1), (PocketCommand{Kind::kShowEmpty, "", ""}));
  EXPECT_EQ(pockets, (Pockets{kEmpty, kEmpty, kStored}));
}

TEST(Pockets, ClearAllAfterStoringInPocketsZeroAndTwoLeavesAllEmpty) {
  Pockets pockets{};
  ReleaseOnPocket(pockets, 0, MouseButton::kLeft, kShown);
  ReleaseOnPocket(pockets, 2, MouseButton::kMiddle, kShown);
  ASSERT_TRUE(pockets[0].full && pockets[2].full);
  ClearAllPockets(pockets);
  EXPECT_EQ(pockets, (Pockets{}));
  for (const Pocket& p : pockets) EXPECT_STREQ(PocketImageKey(p), "Empty");
}

TEST(Pockets, ImageKeyFollowsTheFullFlag) {
  EXPECT_STREQ(PocketImageKey(kStored), "Full");
  EXPECT_STREQ(PocketImageKey(kEmpty), "Empty");
}

TEST(Pockets, OnlyTheThreeMainPointerButtonsClick) {
  EXPECT_EQ(PocketButton(1), MouseButton::kLeft);
  EXPECT_EQ(PocketButton(2), MouseButton::kMiddle);
  EXPECT_EQ(PocketButton(3), MouseButton::kRight);
  for (unsigned other : {0u, 4u, 5u, 8u, 9u}) EXPECT_EQ(PocketButton(other), std::nullopt) << other;
}

TEST(Pockets, IndexOutsideTheThreeDoesNothing) {
  Pockets pockets{kStored, kEmpty, kStored};
  const Pockets before = pockets;
  for (int index : {-1, 3, 100}) {
    EXPECT_EQ(ReleaseOnPocket(pockets, index, MouseButton::kRight, kShown), PocketCommand{});
    EXPECT_EQ(ReleaseOnPocket(pockets, index, MouseButton::kLeft, kShown), PocketCommand{});
    EXPECT_EQ(ClearPocket(pockets, index), PocketCommand{});
  }
  EXPECT_EQ(pockets, before);
}

}  // namespace
}  // namespace tarvik
