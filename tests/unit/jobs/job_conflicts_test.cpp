// Conflict copies that sync tools leave: their names, the merge rule, and the merge of a jobs
// folder's copies on real files, the copies going to the trash.
#include <glib.h>
#include <gtest/gtest.h>

#include "jobs/job_conflicts.h"
#include "jobs/job_resume.h"
#include "platform/settings_store.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;
using Names = std::vector<std::string>;

std::vector<JobEntry> Entries(const std::string& titles) {
  std::vector<JobEntry> out;
  for (char c : titles) out.push_back({std::string(1, c), "http://e/" + std::string(1, c)});
  return out;
}
// The titles of entries made by Entries, checking their addresses on the way.
std::string Titles(const std::vector<JobEntry>& entries) {
  std::string out;
  for (const JobEntry& e : entries)
    out += e.URL == "http://e/" + e.Title ? e.Title : "(" + e.Title + " " + e.URL + ")";
  return out;
}

TEST(ConflictCopies, NamesOfTheThreeToolsAndNothingElse) {
  const std::pair<const char*, const char*> copies[] = {
      {"TVJob.sync-conflict-20261207-101010-ABCDEFG.lst", "TVJob.lst"},
      {"News.sync-conflict-20261207-101010-ABCDEFG.tvj", "News.tvj"},
      {"a.b.sync-conflict-20261207-101010-Z2Z2Z2Z.tvj", "a.b.tvj"},
      {"News (conflicted copy 2026-12-07 101010).tvj", "News.tvj"},
      {"News (host's conflicted copy 2026-12-07).tvj", "News.tvj"},
      {"ニュース (conflicted copy 2026-12-07 101010).tvj", "ニュース.tvj"},
  };
  for (const auto& [copy, original] : copies) EXPECT_EQ(ConflictCopyOriginal(copy), original);
  for (const char* plain : {"News.tvj", "TVJob.lst", "News (2).tvj", "sync-conflict.tvj",
                            "News.sync-conflict-2026-101010-ABCDEFG.tvj", "(conflicted copy).tvj"})
    EXPECT_FALSE(ConflictCopyOriginal(plain)) << plain;
}

TEST(ConflictCopies, TheMergeKeepsEveryItemOnceInTheOriginalsOrder) {
  struct Row {
    const char* why;
    const char* original;
    const char* copy;
    const char* merged;
  };
  const Row rows[] = {
      {"the same", "ABC", "ABC", "ABC"},
      {"added at the end on both sides", "ABCX", "ABCY", "ABCXY"},
      {"interleaved additions follow their neighbours", "AXBZC", "AYBWC", "AXYBZWC"},
      {"several new ones in a row stay together", "AB", "APQRB", "APQRB"},
      {"added in front on both sides", "XAB", "YAB", "XYAB"},
      {"the copy's first one, new, goes before its follower", "AB", "YB", "AYB"},
      {"an entry moved in the copy stays where the original has it", "ABCD", "DABCE", "ABCED"},
      {"an entry removed on one side comes back", "AC", "ABC", "ABC"},
      {"moved and added after it", "ABC", "CDAB", "ABCD"},
      {"duplicates kept once", "AAB", "BBC", "ABC"},
      {"an empty side", "", "AB", "AB"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Titles(MergeJobEntries(Entries(row.original), Entries(row.copy))), row.merged)
        << row.why;
  // Entries are told apart by title and address together.
  EXPECT_EQ(MergeJobEntries({{"A", "http://a/"}}, {{"A2", "http://a/"}, {"A", "http://b/"}}),
            (std::vector<JobEntry>{{"A", "http://a/"}, {"A2", "http://a/"}, {"A", "http://b/"}}));
  // Names: the original's blank lines stay, the copy's are no names.
  EXPECT_EQ(MergeJobNames({"News", "", "Sport"}, {"News", "Work", "", "Sport", "Home"}),
            (Names{"News", "", "Work", "Sport", "Home"}));
}

class ConflictMergeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUserSettingsPath(config.file("settings.ini"));
    old_data_ = g_getenv("XDG_DATA_HOME") ? g_getenv("XDG_DATA_HOME") : "";
    g_setenv("XDG_DATA_HOME", data.path().c_str(), TRUE);  // the trash, on the jobs' file system
  }
  void TearDown() override {
    SetUserSettingsPath("");
    if (old_data_.empty())
      g_unsetenv("XDG_DATA_HOME");
    else
      g_setenv("XDG_DATA_HOME", old_data_.c_str(), TRUE);
  }
  std::string Copy(const std::string& file) { return jobs.file(file); }
  TempDir config, data, jobs;
  std::string old_data_;
};

TEST_F(ConflictMergeTest, CopiesOfTheListAndOfJobsAreMergedAndTrashed) {
  ASSERT_TRUE(RewriteJobList(jobs.path(), {"News", "Sport"}));
  ASSERT_TRUE(WriteJobFile(jobs.path(), "News", Entries("ABXC")));
  ASSERT_TRUE(WriteJobFile(jobs.path(), "Sport", Entries("S")));
  RememberResumePoint("News", {3, "http://e/C"});
  ASSERT_TRUE(g_file_set_contents(Copy("TVJob.sync-conflict-20261207-101010-ABCDEFG.lst").c_str(),
                                  "News\r\nWork\r\nSport\r\n", -1, nullptr));
  const std::string news_copy = "JobFiles/News (conflicted copy 2026-12-07 101010).tvj";
  ASSERT_TRUE(g_file_set_contents(Copy(news_copy).c_str(), FormatJobFile(Entries("AYBC")).c_str(),
                                  -1, nullptr));
  // A copy that changes nothing goes all the same, and is no news.
  const std::string sport_copy = "JobFiles/Sport.sync-conflict-20261207-101010-ABCDEFG.tvj";
  ASSERT_TRUE(g_file_set_contents(Copy(sport_copy).c_str(), FormatJobFile(Entries("S")).c_str(), -1,
                                  nullptr));
  ASSERT_TRUE(HasConflictCopies(jobs.path()));

  const ConflictMerge merge = MergeConflictCopies(jobs.path());
  EXPECT_TRUE(merge.list);
  EXPECT_EQ(merge.jobs, (Names{"News", "Sport"}));
  EXPECT_TRUE(merge.kept.empty());
  EXPECT_TRUE(merge.errors.empty());
  EXPECT_EQ(ReadJobList(jobs.path()), (Names{"News", "Work", "Sport"}));
  EXPECT_EQ(Titles(ReadJobFile(jobs.path(), "News")->entries), "AYBXC");
  EXPECT_EQ(RecallResumePoint("News"), (ResumePoint{4, "http://e/C"}));
  EXPECT_FALSE(HasConflictCopies(jobs.path()));
  for (const char* trashed : {"/Trash/files/TVJob.sync-conflict-20261207-101010-ABCDEFG.lst",
                              "/Trash/files/News (conflicted copy 2026-12-07 101010).tvj"})
    EXPECT_TRUE(g_file_test((data.path() + trashed).c_str(), G_FILE_TEST_IS_REGULAR)) << trashed;
  EXPECT_EQ(MergedConflictNotice(merge), "「News」「Sport」の競合コピーを統合しました");
  // Nothing left to merge: nothing is done or said.
  EXPECT_EQ(MergedConflictNotice(MergeConflictCopies(jobs.path())), "");
}

TEST_F(ConflictMergeTest, AJobLongerThanTheDisplayShowsIsMergedWhole) {
  // The display stops at kMaxJobEntries; the file does not, and neither does its merge.
  std::vector<JobEntry> original;
  for (int i = 0; i < 100000; ++i)
    original.push_back({"T" + std::to_string(i), "http://e/" + std::to_string(i)});
  std::vector<JobEntry> copy = original;
  const JobEntry added{"Added", "http://e/added"};
  copy.insert(copy.begin() + 40000, added);  // past what the display reads
  ASSERT_TRUE(RewriteJobList(jobs.path(), {"Long"}));
  ASSERT_TRUE(WriteJobFile(jobs.path(), "Long", original));
  const std::string copy_name = "JobFiles/Long (conflicted copy 2026-12-07 101010).tvj";
  const std::string bytes = FormatJobFile(copy);
  ASSERT_TRUE(g_file_set_contents(Copy(copy_name).c_str(), bytes.data(),
                                  static_cast<gssize>(bytes.size()), nullptr));

  const ConflictMerge merge = MergeConflictCopies(jobs.path());
  EXPECT_EQ(merge.jobs, (Names{"Long"}));
  EXPECT_TRUE(merge.errors.empty());
  std::optional<std::string> merged =
      ReadFileBytes(JobFilePath(jobs.path(), "Long"), kJobFileReadLimit);
  ASSERT_TRUE(merged);
  EXPECT_TRUE(*merged == bytes) << "the merged file holds " << ParseJobFile(*merged).entries.size()
                                << " entries of the expected " << copy.size();
  EXPECT_FALSE(HasConflictCopies(jobs.path()));
}

}  // namespace
}  // namespace tarvik
