#include <gtest/gtest.h>

#include "browse/recent_history.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;

class RecentHistoryTest : public ::testing::Test {
 protected:
  TempDir dir;
  SettingsStore store{dir.file("settings.ini")};
  RecentHistory history;
};

TEST_F(RecentHistoryTest, AddsAfterTheLastFilledSlotAndStoresIt) {
  auto c = history.Add("A", "http://a/", store);
  EXPECT_TRUE(c.changed);
  EXPECT_EQ(c.slot, 1);
  EXPECT_EQ(store.Get("History", "Title01", ""), "A");
  EXPECT_EQ(store.Get("History", "URL01", ""), "http://a/");
}

TEST_F(RecentHistoryTest, AKnownUrlChangesNothingEvenWithANewTitle) {
  history.Add("A", "http://a/", store);
  auto c = history.Add("A renamed", "http://a/", store);
  EXPECT_FALSE(c.changed);
  EXPECT_EQ(history.slot(1).title, "A");
  // URLs differing in case are different pages.
  EXPECT_TRUE(history.Add("A", "http://A/", store).changed);
}

TEST_F(RecentHistoryTest, TheTwentyFirstPageDropsTheOldest) {
  for (int i = 1; i <= 20; ++i)
    history.Add("T" + std::to_string(i), "u" + std::to_string(i), store);
  auto c = history.Add("T21", "u21", store);
  EXPECT_TRUE(c.rotated);
  EXPECT_EQ(c.slot, 20);
  EXPECT_EQ(history.slot(1).url, "u2");
  EXPECT_EQ(history.slot(19).url, "u20");
  EXPECT_EQ(history.slot(20).url, "u21");
  RecentHistory reloaded;
  reloaded.Load(store);
  EXPECT_EQ(reloaded.slot(1).title, "T2");
  EXPECT_EQ(reloaded.slot(20).title, "T21");
}

TEST_F(RecentHistoryTest, HalfFilledSlotsCountAsEmptyAndGapsAreKept) {
  store.SaveAll({{"History", "Title01", "A"},
                 {"History", "URL01", "a"},
                 {"History", "Title02", "B"},
                 {"History", "URL02", "b"},
                 {"History", "Title03", "only a title"},
                 {"History", "Title04", "D"},
                 {"History", "URL04", "d"}});
  history.Load(store);
  EXPECT_FALSE(history.slot(3).filled());
  // The next page goes after the last filled slot, 4.
  EXPECT_EQ(history.Add("E", "e", store).slot, 5);
}

TEST_F(RecentHistoryTest, AnEmptyTitleIsStoredButTheSlotIsTakenByTheNextPage) {
  history.Add("", "http://untitled/", store);
  EXPECT_EQ(history.slot(1).url, "http://untitled/");
  EXPECT_EQ(history.Add("B", "http://b/", store).slot, 1);
}

// A page is recorded when it is displayed, before its title has come, under its address.
TEST_F(RecentHistoryTest, UpdateNewestTitleReplacesTheAddressStandInOfTheNewestPageOnly) {
  history.Add("Old", "http://old/", store);
  history.Add("http://slow/", "http://slow/", store);
  EXPECT_EQ(history.UpdateNewestTitle("http://slow/", "Slow page", store), 2);
  EXPECT_EQ(history.slot(2).title, "Slow page");
  EXPECT_EQ(store.Get("History", "Title02", ""), "Slow page");
  EXPECT_EQ(history.slot(1).title, "Old");

  // A title the page changes later is not recorded; neither is another page's title.
  EXPECT_EQ(history.UpdateNewestTitle("http://slow/", "Slow page (1)", store), 0);
  EXPECT_EQ(history.slot(2).title, "Slow page");
  EXPECT_EQ(history.UpdateNewestTitle("http://old/", "Old renamed", store), 0);
  EXPECT_EQ(history.slot(1).title, "Old");
  EXPECT_EQ(store.Get("History", "Title01", ""), "Old");

  // A page already in the list is not added again, so its title stays as recorded.
  history.Add("http://old/", "http://old/", store);
  EXPECT_EQ(history.UpdateNewestTitle("http://old/", "Old again", store), 0);

  // Nothing to update: no title, or only the address again, or an empty list.
  history.Add("http://third/", "http://third/", store);
  EXPECT_EQ(history.UpdateNewestTitle("http://third/", "", store), 0);
  EXPECT_EQ(history.UpdateNewestTitle("http://third/", "http://third/", store), 0);
  EXPECT_EQ(history.slot(3).title, "http://third/");
  RecentHistory empty;
  EXPECT_EQ(empty.UpdateNewestTitle("http://x/", "X", store), 0);
}

TEST_F(RecentHistoryTest, UpdateNewestTitleNamesAPageRecordedWithoutATitle) {
  history.Add("A", "http://a/", store);
  history.Add("", "http://b/", store);
  EXPECT_EQ(history.UpdateNewestTitle("http://b/", "B", store), 2);
  EXPECT_TRUE(history.slot(2).filled());
  EXPECT_EQ(store.Get("History", "Title02", ""), "B");
}

TEST_F(RecentHistoryTest, UpdateNewestTitleAfterTheListRotated) {
  for (int i = 1; i <= 21; ++i)
    history.Add("u" + std::to_string(i), "u" + std::to_string(i), store);
  EXPECT_EQ(history.UpdateNewestTitle("u21", "Twenty-one", store), 20);
  EXPECT_EQ(history.slot(20).title, "Twenty-one");
  EXPECT_EQ(history.slot(19).title, "u20");
}

TEST_F(RecentHistoryTest, ClearWritesFortyEmptyValues) {
  history.Add("A", "a", store);
  history.Clear(store);
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(store.Find("History", RecentHistory::TitleKey(n)).value_or("absent"), "");
    EXPECT_EQ(store.Find("History", RecentHistory::UrlKey(n)).value_or("absent"), "");
  }
}

TEST_F(RecentHistoryTest, HugeAddressesAreNotRecorded) {
  const std::string data_url = "data:text/html," + std::string(RecentHistory::kMaxRecordedURL, 'x');
  auto c = history.Add("Picture", data_url, store);
  EXPECT_FALSE(c.changed);
  EXPECT_FALSE(history.slot(1).filled());
  EXPECT_EQ(store.Find("History", "URL01"), std::nullopt);
  // An address of exactly the limit is still a page like any other.
  const std::string long_url = "http://a/?" + std::string(RecentHistory::kMaxRecordedURL - 10, 'q');
  ASSERT_EQ(long_url.size(), RecentHistory::kMaxRecordedURL);
  EXPECT_TRUE(history.Add("Long", long_url, store).changed);
  EXPECT_EQ(store.Get("History", "URL01", ""), long_url);
}

}  // namespace
}  // namespace tarvik
