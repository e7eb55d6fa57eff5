// How a window follows its jobs when the files change beneath it, and the process's jobs
// service that tells it, on real files in temporary folders and the GLib main loop.
#include <glib.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>

#include <chrono>

#include "jobs/job_follow.h"
#include "jobs/job_resume.h"
#include "jobs/jobs_service.h"
#include "platform/settings_store.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;
using Names = std::vector<std::string>;
using Loaded = FollowedJobList::Loaded;

bool SpinUntil(const std::function<bool()>& done, int timeout_ms = 10000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  auto context = Glib::MainContext::get_default();
  while (!done() && std::chrono::steady_clock::now() < end)
    context->iteration(false), g_usleep(2000);
  return done();
}

class JobFollowTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteJobFile(dir.path(), "News", news));
    ASSERT_TRUE(WriteJobFile(dir.path(), "Sport", {{"S", "http://s/"}}));
  }
  // A window showing `items` with News selected and loaded.
  ShownJobList NewsShown(Names items) {
    ShownJobList shown{std::move(items), 0, "News", "News", &news};
    return shown;
  }
  TempDir dir;
  std::vector<JobEntry> news{{"A", "http://a/"}, {"B", "http://b/"}};
  DeliveryWait::Clock::time_point now = DeliveryWait::Clock::now();
};

TEST_F(JobFollowTest, TheLoadedJobIsKeptFollowedHeldOrLetGo) {
  JobFollow follow;
  // Unchanged: nothing to do. A line added: the selection stays on its job.
  EXPECT_FALSE(
      follow.Follow(dir.path(), NewsShown({"News", "Sport"}), {"News", "Sport"}, now).refill);
  FollowedJobList f =
      follow.Follow(dir.path(), NewsShown({"News", "Sport"}), {"Sport", "News"}, now);
  EXPECT_TRUE(f.refill);
  EXPECT_EQ(f.select, 1);
  EXPECT_EQ(f.loaded, Loaded::Stays);

  // Renamed: the file moved and the list changed.
  ASSERT_TRUE(WriteJobFile(dir.path(), "Daily", news) && DeleteJobFile(dir.path(), "News"));
  f = follow.Follow(dir.path(), NewsShown({"News", "Sport"}), {"Daily", "Sport"}, now);
  EXPECT_EQ(f.loaded, Loaded::Renamed);
  EXPECT_EQ(f.renamed_to, "Daily");
  EXPECT_EQ(f.select, 0);

  // The line left while a new line has no file yet: a rename on its way, held.
  f = follow.Follow(dir.path(), NewsShown({"News", "Sport"}), {"Weekly", "Sport"}, now);
  EXPECT_EQ(f.loaded, Loaded::Held);
  EXPECT_FALSE(f.refill);
  // Once the grace has run out it is let go.
  f = follow.Follow(dir.path(), NewsShown({"News", "Sport"}), {"Weekly", "Sport"},
                    now + std::chrono::milliseconds(kDeliveryGraceMs + 1));
  EXPECT_EQ(f.loaded, Loaded::LetGo);
  EXPECT_EQ(f.select, -1);

  // Lines whose files have not come are watched; only new ones wait as deliveries.
  EXPECT_EQ(follow.MissingFiles(dir.path(), {"Sport", "Old"}, {"Sport", "Old", "Work"}, now),
            (Names{"Old", "Work"}));
  EXPECT_TRUE(follow.AwaitChosenJob("Work"));
  EXPECT_FALSE(follow.AwaitChosenJob("Old"));
  EXPECT_EQ(follow.ArrivedJob(dir.path()), "");
  ASSERT_TRUE(WriteJobFile(dir.path(), "Work", {{"W", "http://w/"}}));
  EXPECT_EQ(follow.ArrivedJob(dir.path()), "Work");
  EXPECT_EQ(follow.ArrivedJob(dir.path()), "");  // once
}

// A job chosen before its file came, and the loaded job's line leaving meanwhile: each wait
// gives its own word when its grace runs out; neither cancels the other's.
TEST_F(JobFollowTest, TheWaitForAChosenJobAndTheHoldOfTheLoadedJobEachReport) {
  JobFollow follow(100);
  Names never_came;
  int looks_again = 0;
  follow.signal_never_came().connect([&](const std::string& name) { never_came.push_back(name); });
  follow.signal_look_again().connect([&] { ++looks_again; });
  const auto soon = DeliveryWait::Clock::now();
  follow.MissingFiles(dir.path(), {"News", "Sport"}, {"News", "Sport", "Work"}, soon);
  ASSERT_TRUE(follow.AwaitChosenJob("Work"));
  ASSERT_EQ(follow.Follow(dir.path(), NewsShown({"News", "Sport", "Work"}), {"Sport", "Work"}, soon)
                .loaded,
            Loaded::Held);
  ASSERT_TRUE(SpinUntil([&] { return !never_came.empty() && looks_again > 0; }, 5000))
      << "never came: " << never_came.size() << ", looked again: " << looks_again;
  EXPECT_EQ(never_came, Names{"Work"});
  EXPECT_EQ(looks_again, 1);
}

TEST(ResumeTracker, RemembersAMovedPlaceButNotAJobJustChosenOrALinkInsideThePage) {
  ResumeTracker t;
  EXPECT_EQ(t.Shown("News", {0, "http://a/"}), std::nullopt);  // chosen: opens at its start
  EXPECT_EQ(t.Shown("News", {1, "http://b/"}), (ResumePoint{1, "http://b/"}));
  EXPECT_EQ(t.Shown("News", {1, "http://b/"}), std::nullopt);  // a link inside the page
  EXPECT_EQ(t.Shown("Sport", {2, "http://s/"}), (ResumePoint{2, "http://s/"}));
  t.Resumed("News", {1, "http://b/"});
  EXPECT_EQ(t.Shown("News", {1, "http://b/"}), std::nullopt);
  t.Renamed("News", "Daily");
  EXPECT_EQ(t.Shown("Daily", {1, "http://b/"}), std::nullopt);  // the same job, renamed
}

// One merge per change, however many windows listen; what could not be done is told once.
TEST(JobsService, MergesOncePerChangeAndTellsOfTroubleOnce) {
  TempDir app, config, folder;
  g_setenv("TARVIK_HOME", app.path().c_str(), TRUE);
  SetUserSettingsPath(config.file("settings.ini"));
  ASSERT_TRUE(RewriteJobList(folder.path(), {"News"}));
  ASSERT_TRUE(WriteJobFile(folder.path(), "News", {{"A", "http://a/"}}));
  {
    JobsService service;
    EXPECT_EQ(service.folder(), app.path());
    service.ChooseFolder(folder.path() + "/");
    EXPECT_EQ(service.folder(), folder.path());
    EXPECT_EQ(JobsService().folder(), folder.path());  // stored for the next process
    service.StartWatching();
    std::vector<ConflictMerge> merges[2];
    for (auto& seen : merges)
      service.signal_changed().connect([&seen](const ConflictMerge& m) { seen.push_back(m); });
    ASSERT_TRUE(g_file_set_contents(
        folder.file("JobFiles/News.sync-conflict-20261208-101010-ABCDEFG.tvj").c_str(),
        "B,http://b/\r\n", -1, nullptr));
    ASSERT_TRUE(SpinUntil([&] { return !merges[1].empty(); }));
    EXPECT_EQ(merges[0].size(), merges[1].size());
    EXPECT_EQ(merges[0].front().jobs, Names{"News"});
    EXPECT_EQ(ReadJobFile(folder.path(), "News")->entries,
              (std::vector<JobEntry>{{"A", "http://a/"}, {"B", "http://b/"}}));

    ConflictMerge trouble;
    trouble.kept = {"/j/JobFiles/News (conflicted copy).tvj"};
    trouble.errors = {"/j/TVJob.sync-conflict-20261208-101010-ABCDEFG.lst"};
    ConflictMergeReport first = service.ConflictReport(trouble);
    EXPECT_NE(first.notice.find("「/j/JobFiles/News (conflicted copy).tvj」"), std::string::npos);
    EXPECT_NE(first.failure.find(trouble.errors[0]), std::string::npos);
    ConflictMergeReport again = service.ConflictReport(trouble);
    EXPECT_EQ(again.notice, "");
    EXPECT_EQ(again.failure, "");
  }
  SetUserSettingsPath("");
}

}  // namespace
}  // namespace tarvik
