// The downloads as the user follows them, the sites' answers in their file and the spelling
// languages: decisions without a display.
#include <gtest/gtest.h>

#include "browse/download_list.h"
#include "browse/site_permissions.h"
#include "browse/spelling.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using std::chrono::milliseconds;

// 1 MB at 100 KB a second: the speed settles on what came, the time left follows it, and a
// download tried again starts over under its id.
TEST(DownloadListTest, SpeedAndTimeLeftFollowWhatCame) {
  DownloadList list;
  int ended = 0;
  list.signal_ended().connect([&](int) { ++ended; });
  const auto t0 = DownloadList::Clock::now();
  list.Started(7, "http://127.0.0.1/a.zip", "/tmp/dl/a.zip", t0);
  list.Progress(7, 0, 1024000, t0);
  const DownloadItem& item = *list.Find(7);
  EXPECT_EQ(DownloadSpeedText(item), "");  // nothing measured yet
  EXPECT_EQ(DownloadTimeLeftText(item), "");
  for (int s = 1; s <= 4; ++s) list.Progress(7, s * 102400, 1024000, t0 + milliseconds(1000 * s));
  EXPECT_EQ(DownloadFileName(item), "a.zip");
  EXPECT_EQ(DownloadPercent(item), 40);
  EXPECT_EQ(DownloadProgressText(item), "400.0 KB / 1000.0 KB");
  EXPECT_EQ(DownloadSpeedText(item), "100.0 KB/秒");
  EXPECT_EQ(DownloadTimeLeftText(item), "残り 6 秒");
  EXPECT_EQ(DownloadStatusText(item), "ダウンロード中: a.zip 40%");

  list.Failed(7, false, "connection reset");
  list.Failed(7, false, "again");  // one end only
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(DownloadStateText(item), "失敗");
  EXPECT_EQ(DownloadSpeedText(item), "");
  EXPECT_EQ(DownloadStatusText(item), "a.zip のダウンロードに失敗しました");

  list.Started(7, "http://127.0.0.1/a.zip", "/tmp/dl/a.zip", t0 + milliseconds(9000));
  ASSERT_EQ(list.items().size(), 1u);
  EXPECT_EQ(list.Find(7)->state, DownloadState::Running);
  EXPECT_EQ(list.Find(7)->received, 0u);
  list.Progress(7, 3 * 1024 * 1024, 0, t0 + milliseconds(9500));  // a size never told
  EXPECT_EQ(DownloadPercent(*list.Find(7)), -1);
  EXPECT_EQ(DownloadStatusText(*list.Find(7)), "ダウンロード中: a.zip 3.0 MB");
  list.Finished(7);
  EXPECT_EQ(DownloadPercent(*list.Find(7)), 100);
  EXPECT_EQ(DownloadProgressText(*list.Find(7)), "3.0 MB / 3.0 MB");
  EXPECT_EQ(ended, 2);
}

// Answers replace earlier ones for the same site and permission, other lines stay, and a
// damaged line costs only itself.
TEST(SitePermissionsTest, AnswersAreKeptPerSiteAndPermission) {
  test::TempDir dir;
  SitePermissions store(dir.file("SitePermissions.txt"));
  EXPECT_EQ(store.Recall("https://a.example", PagePermission::Location), std::nullopt);
  ASSERT_TRUE(store.Remember("https://a.example", PagePermission::Location, true));
  ASSERT_TRUE(store.Remember("https://a.example", PagePermission::Notifications, false));
  ASSERT_TRUE(store.Remember("https://a.example", PagePermission::Location, false));
  EXPECT_EQ(store.Recall("https://a.example", PagePermission::Location), false);
  EXPECT_EQ(store.Recall("https://a.example", PagePermission::Notifications), false);
  EXPECT_EQ(store.Recall("https://b.example", PagePermission::Location), std::nullopt);

  EXPECT_EQ(SiteOf("https://a.example/x?y#z"), "https://a.example");
  EXPECT_EQ(SiteOf("https://a.example:443/"), "https://a.example");
  EXPECT_EQ(SiteOf("http://127.0.0.1:8080/p"), "http://127.0.0.1:8080");
  EXPECT_EQ(SiteOf("about:blank"), "");
  EXPECT_EQ(PermissionQuestionText("http://127.0.0.1:8080", PagePermission::Location),
            "127.0.0.1:8080 が現在地の取得を求めています");
}

TEST(SpellingTest, EnglishFirstThenTheUsersLanguageWhereInstalled) {
  EXPECT_EQ(SpellingLanguages({"de_DE", "en_GB", "en_US"}, "de_DE.UTF-8"),
            (std::vector<std::string>{"en_US", "de_DE"}));
  EXPECT_EQ(SpellingLanguages({"en_GB"}, "ja_JP.UTF-8"), (std::vector<std::string>{"en_GB"}));
  EXPECT_EQ(SpellingLanguages({}, "C"), (std::vector<std::string>{}));
  test::TempDir dir;
  test::WriteBytes(dir.file("en_US.dic"), "1\nword\n");
  test::WriteBytes(dir.file("en_US.aff"), "");
  test::WriteBytes(dir.file("fr_FR.dic"), "1\nmot\n");  // no .aff: not usable
  EXPECT_EQ(InstalledDictionaries({dir.path(), dir.file("missing")}),
            (std::vector<std::string>{"en_US"}));
}

}  // namespace
}  // namespace tarvik
