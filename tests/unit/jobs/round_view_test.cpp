// What a round shows: the step to the next update, the place label and the new blocks of a page.
#include "jobs/round_view.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

constexpr RoundMark N = RoundMark::None, C = RoundMark::Changed, W = RoundMark::New;

// The step goes to the next marked entry after the current one, round past the end, and never
// stays on the current entry.
TEST(RoundViewTest, NextUpdateGoesRoundTheJobToTheNextMarkedEntry) {
  const std::vector<RoundMark> marks = {N, C, N, W, N};
  EXPECT_EQ(NextMarkedEntry(marks, 0), 1);
  EXPECT_EQ(NextMarkedEntry(marks, 1), 3);
  EXPECT_EQ(NextMarkedEntry(marks, 3), 1);  // round past the last entry
  EXPECT_EQ(NextMarkedEntry(marks, 4), 1);
  EXPECT_EQ(NextMarkedEntry(marks, -1), 1);  // a current entry outside the job
  EXPECT_EQ(NextMarkedEntry({N, C, N}, 1), std::nullopt);
  EXPECT_EQ(NextMarkedEntry({N, N}, 0), std::nullopt);
  EXPECT_EQ(NextMarkedEntry({}, 0), std::nullopt);
  EXPECT_EQ(MarkedCount(marks), 2);
}

TEST(RoundViewTest, PlaceLabelAddsTheCountOnlyWhileEntriesAreMarked) {
  EXPECT_EQ(RoundPlaceText("3 / 120", 12), "3 / 120 · 更新 12");
  EXPECT_EQ(RoundPlaceText("3 / 120", 0), "3 / 120");
  EXPECT_EQ(RoundPlaceText("", 2), "更新 2");
  EXPECT_EQ(RoundPlaceText("", 0), "");
  EXPECT_EQ(ChangedPlacesText(3), "前回から 3 か所が変わりました");
  EXPECT_EQ(CheckDoneText(3, 1, 2),
            "更新の確認が終わりました (更新 3 · 新規 1 · 接続できません 2)");
  EXPECT_EQ(CheckDoneText(0, 0, 0), "更新の確認が終わりました (更新なし)");
}

// A block is new when the last visit had no block of its text left over: a paragraph added, a
// price changed, a paragraph repeated once more; blocks that only moved are not new.
TEST(RoundViewTest, NewBlocksAreThoseTheLastVisitDidNotHave) {
  const std::vector<std::string> before = {"Title", "Price 10", "Intro", "Footer"};
  EXPECT_EQ(NewBlocks(before, {"Title", "Intro", "Price 12", "Added", "Footer"}),
            (std::vector<std::string>{"Price 12", "Added"}));
  EXPECT_EQ(NewBlocks(before, {"Footer", "Intro", "Title"}), std::vector<std::string>{});
  EXPECT_EQ(NewBlocks({"a", "b"}, {"a", "b", "a"}), std::vector<std::string>{"a"});
}

// Off by default and for anything but a sensible number of hours; never before the first page.
TEST(RoundViewTest, AutoCheckComesAnIntervalAfterTheFirstPageAndTheLastRound) {
  EXPECT_EQ(AutoCheckHours(""), 0);
  EXPECT_EQ(AutoCheckHours("0"), 0);
  EXPECT_EQ(AutoCheckHours(" 6 "), 6);
  EXPECT_EQ(AutoCheckHours("-3"), 0);
  EXPECT_EQ(AutoCheckHours("1.5"), 0);
  EXPECT_EQ(AutoCheckHours("999"), 0);
  const int64_t start = 1000000;
  EXPECT_FALSE(AutoCheckDue(start + 7200, 0, 0, 1));  // no page shown yet
  EXPECT_FALSE(AutoCheckDue(start + 3599, start, 0, 1));
  EXPECT_TRUE(AutoCheckDue(start + 3600, start, 0, 1));
  EXPECT_FALSE(AutoCheckDue(start + 7000, start, start + 3600, 1));
  EXPECT_TRUE(AutoCheckDue(start + 7200, start, start + 3600, 1));
  EXPECT_FALSE(AutoCheckDue(start + 99999, start, 0, 0));  // off
  EXPECT_EQ(JobNoteText(3), "更新 3");
  EXPECT_EQ(JobNoteText(0), "");
}

TEST(RoundViewTest, ContentTypesAndCharsets) {
  EXPECT_TRUE(IsHtmlContentType("text/html; charset=utf-8"));
  EXPECT_TRUE(IsHtmlContentType(" Application/XHTML+xml"));
  EXPECT_TRUE(IsHtmlContentType(""));
  EXPECT_FALSE(IsHtmlContentType("application/pdf"));
  EXPECT_EQ(CharsetOf("text/html; Charset=\"Shift_JIS\""), "shift_jis");
  EXPECT_EQ(CharsetOf("text/html;charset=euc-jp;q=1"), "euc-jp");
  EXPECT_EQ(CharsetOf("text/html"), "");
}

}  // namespace
}  // namespace tarvik
