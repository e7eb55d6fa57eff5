// Following the jobs without a watch: what a look finds changed on real files, and the looks
// made by the main loop.
#include <glib.h>
#include <glib/gstdio.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <utime.h>

#include "jobs/job_files.h"
#include "jobs/job_poll.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;
using test::WriteBytes;

std::int64_t NowNs() { return g_get_real_time() * 1000; }
// A time well past every stamp the test makes: no stamp is in doubt at it.
std::int64_t Later() { return NowNs() + 60'000'000'000; }

TEST(JobFilesLook, SeesWhatAWatchWouldHaveHeardOfAndNothingElse) {
  TempDir dir;
  ASSERT_TRUE(RewriteJobList(dir.path(), {"News", "Sport"}));
  ASSERT_TRUE(WriteJobFile(dir.path(), "News", {{"A", "http://a/"}}));
  ASSERT_TRUE(WriteJobFile(dir.path(), "Sport", {{"S", "http://s/"}}));
  JobFilesLook look;
  look.Follow(dir.path(), "News", Later());
  EXPECT_FALSE(look.Look({}, Later()));

  // A job file that is neither loaded nor awaited, and a file of another program: the folders
  // changed, but nothing a watch would report.
  ASSERT_TRUE(WriteJobFile(dir.path(), "Sport", {{"S", "http://s/"}, {"T", "http://t/"}}));
  WriteBytes(dir.file("notes.txt"), "x");
  EXPECT_FALSE(look.Look({}, Later()));

  // The loaded job's file written in place, and the list replaced: each seen once.
  WriteBytes(JobFilePath(dir.path(), "News"), "B,http://b/\r\n");
  EXPECT_TRUE(look.Look({}, Later()));
  EXPECT_FALSE(look.Look({}, Later()));
  ASSERT_TRUE(RewriteJobList(dir.path(), {"News", "Sport", "Work"}));
  EXPECT_TRUE(look.Look({"Work"}, Later()));
  // The awaited job's file comes.
  WriteBytes(JobFilePath(dir.path(), "Work"), "W,http://w/\r\n");
  EXPECT_TRUE(look.Look({"Work"}, Later()));

  // Conflict copies of a job file and of the list; once they are put away, nothing.
  const std::string copy = dir.file("JobFiles/Sport.sync-conflict-20261207-101010-ABCDEFG.tvj");
  WriteBytes(copy, "X,http://x/\r\n");
  EXPECT_TRUE(look.Look({}, Later()));
  ASSERT_EQ(g_remove(copy.c_str()), 0);
  EXPECT_FALSE(look.Look({}, Later()));
  WriteBytes(dir.file("TVJob (conflicted copy 2026-12-07 101010).lst"), "Other\r\n");
  EXPECT_TRUE(look.Look({}, Later()));

  // Another job followed: its file is stamped as it is, and its removal seen.
  look.Follow(dir.path(), "Sport", Later());
  EXPECT_FALSE(look.Look({}, Later()));
  ASSERT_EQ(g_remove(JobFilePath(dir.path(), "Sport").c_str()), 0);
  EXPECT_TRUE(look.Look({}, Later()));
}

TEST(JobFilesLook, AStampTakenWithinTheClocksStepIsLookedAtAgain) {
  TempDir dir;
  ASSERT_TRUE(RewriteJobList(dir.path(), {"News"}));
  JobFilesLook look;
  // Stamped the moment it was written: a second write in the same step of the file system's
  // clock, of the same size, would leave the same stamp, so the next look counts it changed.
  look.Follow(dir.path(), "", NowNs());
  EXPECT_TRUE(look.Look({}, Later()));
  EXPECT_FALSE(look.Look({}, Later()));

  // A sync tool gives a file the time it had on another machine, whose clock may be ahead: that
  // time puts no stamp in doubt, or every look would count the file changed.
  struct utimbuf ahead = {0, static_cast<time_t>(NowNs() / 1'000'000'000 + 86400)};
  ASSERT_EQ(g_utime(JobListPath(dir.path()).c_str(), &ahead), 0);
  look.Follow(dir.path(), "", Later());
  EXPECT_TRUE(look.Look({}, Later()));
  EXPECT_FALSE(look.Look({}, Later()));
}

TEST(JobPoll, LooksFromTheMainLoopAndTellsOfItsFirstLookOnce) {
  TempDir dir;
  ASSERT_TRUE(RewriteJobList(dir.path(), {"News"}));
  g_usleep(2'100'000);  // past the clock's step: the first looks find nothing
  JobPoll poll(dir.path(), 20);
  int first = 0, changed = 0;
  poll.signal_first_look().connect([&] { ++first; });
  poll.signal_changed().connect([&] { ++changed; });
  test::Pump(200);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(changed, 0);
  ASSERT_TRUE(RewriteJobList(dir.path(), {"News", "Work"}));
  EXPECT_TRUE(test::RunUntil([&] { return changed > 0; }));
  EXPECT_EQ(first, 1);
}

}  // namespace
}  // namespace tarvik
