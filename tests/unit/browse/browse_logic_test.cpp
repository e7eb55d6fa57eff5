// The browsing decisions of the main window, without a window.
#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "browse/address_completion.h"
#include "browse/page_texts.h"
#include "browse/progress_graph.h"
#include "browse/recent_menu.h"
#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;

TEST(PageTextsTest, CaptionAndTitleLine) {
  EXPECT_EQ(WindowCaption("about:blank"), "空白ページ -- Tarvik");
  EXPECT_EQ(WindowCaption("About:Blank"), "About:Blank -- Tarvik") << "only the exact text";
  EXPECT_EQ(WindowCaption("ニュース"), "ニュース -- Tarvik");
  EXPECT_EQ(WindowCaption(""), " -- Tarvik");
  EXPECT_EQ(ShownTitle("about:blank"), "空白ページ");
  EXPECT_EQ(TitleLine("ニュース", "http://x/"), "ニュース [http://x/]");
  EXPECT_EQ(TitleLine("", ""), " []");
}

TEST(PageTextsTest, TheHomePromptShowsTheBlankPageAsBLANK) {
  EXPECT_EQ(HomeURLForPrompt("about:blank"), "BLANK");
  EXPECT_EQ(HomeURLForPrompt("http://home/"), "http://home/");
  EXPECT_EQ(HomeURLFromPrompt("BLANK"), "about:blank");
  EXPECT_EQ(HomeURLFromPrompt("blank"), "blank") << "only the exact word";
  EXPECT_EQ(HomeURLFromPrompt("http://x/"), "http://x/");
}

TEST(RecentMenuTest, FilledSlotsShowTitlesAndOnlyTheFirstEmptyItemIsVisible) {
  TempDir dir;
  SettingsStore store{dir.file("settings.ini")};
  RecentHistory history;
  RecentMenuItem first = RecentMenuItemFor(history, 0);
  EXPECT_EQ(first.caption, "（空）");
  EXPECT_FALSE(first.enabled);
  EXPECT_TRUE(first.visible);
  EXPECT_FALSE(RecentMenuItemFor(history, 1).visible);
  history.Add("A_title", "http://a/", store);
  first = RecentMenuItemFor(history, 0);
  EXPECT_EQ(first.caption, "A_title");
  EXPECT_TRUE(first.enabled && first.visible);
  EXPECT_FALSE(RecentMenuItemFor(history, 19).visible);
}

class CompletionTest : public ::testing::Test {
 protected:
  TempDir dir;
  SettingsStore store{dir.file("settings.ini")};
  RecentHistory history;
};

TEST_F(CompletionTest, RecentPagesComeNewestFirstAndTextTypedNeedsNoSlash) {
  history.Add("A", "http://a/", store);
  history.Add("B", "http://b/", store);
  EXPECT_EQ(AddressCompletions(history, "exa"),
            (std::vector<std::string>{"http://b/", "http://a/"}));
  EXPECT_EQ(AddressCompletions(RecentHistory(), ""), std::vector<std::string>{});
}

TEST_F(CompletionTest, AnAbsolutePathOffersTheVisibleEntriesOfItsFolder) {
  TempDir files;
  ASSERT_TRUE(WriteFileAtomically(files.file("page.html"), "x"));
  ASSERT_TRUE(WriteFileAtomically(files.file(".hidden"), "x"));
  ASSERT_EQ(g_mkdir(files.file("sub").c_str(), 0700), 0);
  history.Add("A", "http://a/", store);
  std::vector<std::string> got = AddressCompletions(history, files.path() + "/pa");
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0], "http://a/");
  std::sort(got.begin() + 1, got.end());
  EXPECT_EQ(got[1], files.path() + "/page.html");
  EXPECT_EQ(got[2], files.path() + "/sub");
  // A folder that is not there offers only the history.
  EXPECT_EQ(AddressCompletions(history, files.path() + "/none/x").size(), 1u);
}

TEST_F(CompletionTest, AFolderOffersAtMostTwoHundredFiles) {
  TempDir files;
  for (int i = 0; i < kMaxCompletionFiles + 5; ++i)
    ASSERT_TRUE(WriteFileAtomically(files.file("f" + std::to_string(i)), ""));
  EXPECT_EQ(AddressCompletions(history, files.path() + "/").size(),
            static_cast<size_t>(kMaxCompletionFiles));
}

TEST(ProgressGraphTest, TheBoxGrowsWithTheProgressAndStaysInsideThePanel) {
  ProgressFill half = ProgressGeometry(50, 100, 120, 20);
  EXPECT_EQ(half.action, ProgressFill::Draw);
  EXPECT_DOUBLE_EQ(half.width, 60);
  EXPECT_EQ(half.top, 3);
  EXPECT_EQ(half.height, 14);
  EXPECT_EQ(ProgressGeometry(100, 100, 120, 20).extent(), 120);
  EXPECT_EQ(ProgressGeometry(250, 100, 120, 20).extent(), 120) << "past the maximum";
  EXPECT_EQ(ProgressGeometry(1, 3, 100, 4).height, 0) << "a panel lower than its margins";
}

TEST(ProgressGraphTest, NoProgressClearsAndAPanelWithoutSizeKeepsTheDrawing) {
  EXPECT_EQ(ProgressGeometry(0, 100, 120, 20).action, ProgressFill::Clear);
  EXPECT_EQ(ProgressGeometry(-1, 0, 120, 20).action, ProgressFill::Clear);
  EXPECT_EQ(ProgressGeometry(5, 0, 120, 20).action, ProgressFill::Clear);
  EXPECT_EQ(ProgressGeometry(5, 10, 0, 20).action, ProgressFill::Keep);
  EXPECT_EQ(ProgressGeometry(5, 10, 120, 0).action, ProgressFill::Keep);
}

}  // namespace
}  // namespace tarvik
