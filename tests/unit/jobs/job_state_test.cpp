// Where jobs are left (resume points), the refresh rule of the job cursor, the trash, and the
// watch on the job files, on real files in temporary folders.
#include <glib.h>
#include <glib/gstdio.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "jobs/job_cursor.h"
#include "jobs/job_resume.h"
#include "jobs/job_trash.h"
#include "jobs/job_watch.h"
#include "platform/settings_keys.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;

std::vector<JobEntry> Entries(std::initializer_list<const char*> urls) {
  std::vector<JobEntry> out;
  for (const char* u : urls) out.push_back({std::string("T ") + u, u});
  return out;
}

Job JobOf(std::vector<JobEntry> entries) {
  Job job;
  job.last_index = static_cast<int>(entries.size()) - 1;
  job.entries = std::move(entries);
  return job;
}

// ---- The refresh rule --------------------------------------------------------------------------

TEST(JobCursorRefresh, TheCurrentEntryStaysCurrentByItsAddressThenByItsIndex) {
  struct Row {
    const char* why;
    std::vector<JobEntry> before;
    int current;
    std::vector<JobEntry> after;
    int expected;
  };
  const Row rows[] = {
      {"an entry added in front moves the current one down", Entries({"a", "b", "c"}), 1,
       Entries({"new", "a", "b", "c"}), 2},
      {"an entry added at the end changes nothing", Entries({"a", "b"}), 1,
       Entries({"a", "b", "c"}), 1},
      {"an entry removed before it moves it up", Entries({"a", "b", "c"}), 2, Entries({"b", "c"}),
       1},
      {"the address twice: the one nearest the old place", Entries({"x", "a", "b", "x"}), 3,
       Entries({"x", "a", "x", "b"}), 2},
      {"the address gone: the same index", Entries({"a", "b", "c"}), 1, Entries({"p", "q", "r"}),
       1},
      {"the address gone and the job shorter: its last entry", Entries({"a", "b", "c", "d"}), 3,
       Entries({"p", "q"}), 1},
  };
  for (const Row& row : rows) {
    JobCursor cursor;
    cursor.Load("J", JobOf(row.before));
    ASSERT_TRUE(cursor.MoveTo(row.current));
    EXPECT_EQ(cursor.Refresh(row.after), row.expected) << row.why;
    EXPECT_EQ(cursor.current_index(), row.expected) << row.why;
    EXPECT_EQ(cursor.last_index(), static_cast<int>(row.after.size()) - 1) << row.why;
    EXPECT_EQ(cursor.entries(), row.after) << row.why;
    ASSERT_TRUE(cursor.StepTips().has_value()) << row.why;
  }
}

TEST(JobCursorRefresh, KeptEntryIndexOfNoEntriesIsMinusOne) {
  EXPECT_EQ(KeptEntryIndex({}, 3, "a"), -1);
  EXPECT_EQ(KeptEntryIndex(Entries({"a"}), -1, "zz"), 0);
}

// ---- Resume points -----------------------------------------------------------------------------

class ResumeTest : public ::testing::Test {
 protected:
  void SetUp() override { SetUserSettingsPath(config.file("settings.ini")); }
  void TearDown() override { SetUserSettingsPath(""); }
  TempDir config;
};

TEST_F(ResumeTest, NamesThatDifferOnlyInCaseOrInOddCharactersGetTheirOwnKeys) {
  const std::vector<std::string> names = {"News",     "news", "NEWS", "a=b", "[x]", " lead",
                                          "ニュース", "%41",  "A",    "a b", "a\tb"};
  std::set<std::string> folded;
  for (const auto& n : names) {
    std::string key = ResumeKey(n);
    for (char c : key)
      EXPECT_TRUE(g_ascii_isalnum(c) || c == '%' || c == '-' || c == '_' || c == '.') << key;
    gchar* f = g_ascii_strdown(key.c_str(), -1);
    folded.insert(f);
    g_free(f);
  }
  EXPECT_EQ(folded.size(), names.size());
  // Each is stored and read back on its own.
  for (size_t i = 0; i < names.size(); ++i)
    RememberResumePoint(names[i], {static_cast<int>(i), "http://e/" + std::to_string(i)});
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(RecallResumePoint(names[i]),
              (ResumePoint{static_cast<int>(i), "http://e/" + std::to_string(i)}))
        << names[i];
}

TEST_F(ResumeTest, StoredValuesThatAreNoPointReadAsNone) {
  EXPECT_EQ(ParseResumePoint("3,http://a/?x=1,2"), (ResumePoint{3, "http://a/?x=1,2"}));
  EXPECT_EQ(ParseResumePoint(FormatResumePoint({7, ""})), (ResumePoint{7, ""}));
  for (const char* bad : {"", "3", ",http://a/", "x,http://a/", "-1,a", "99999999,a", "3x,a"})
    EXPECT_FALSE(ParseResumePoint(bad)) << bad;
  SaveSetting(setting::kResumeSection, ResumeKey("J"), "garbage");
  EXPECT_FALSE(RecallResumePoint("J"));
}

TEST_F(ResumeTest, RenameCarriesThePointAndDeleteRemovesIt) {
  RememberResumePoint("Old", {4, "http://d/"});
  RememberResumePoint("Other", {1, "http://o/"});
  RenameResumePoint("Old", "New");
  EXPECT_FALSE(RecallResumePoint("Old"));
  EXPECT_EQ(RecallResumePoint("New"), (ResumePoint{4, "http://d/"}));
  ForgetResumePoint("New");
  EXPECT_FALSE(RecallResumePoint("New"));
  EXPECT_EQ(RecallResumePoint("Other"), (ResumePoint{1, "http://o/"}));
  // The key is gone from the file, not merely emptied.
  gchar* text = nullptr;
  ASSERT_TRUE(g_file_get_contents(config.file("settings.ini").c_str(), &text, nullptr, nullptr));
  EXPECT_EQ(std::string(text).find(ResumeKey("New")), std::string::npos);
  g_free(text);
  // A job without a point renames and forgets without trouble.
  RenameResumePoint("Nothing", "Still");
  EXPECT_FALSE(RecallResumePoint("Still"));
}

TEST_F(ResumeTest, TheEntryToOpenFollowsItsAddressThroughEdits) {
  EXPECT_EQ(ResumeIndex(Entries({"a", "b", "c"}), std::nullopt), 0);
  EXPECT_EQ(ResumeIndex(Entries({"a", "b", "c"}), ResumePoint{2, "c"}), 2);
  EXPECT_EQ(ResumeIndex(Entries({"c", "a", "b"}), ResumePoint{2, "c"}), 0);
  EXPECT_EQ(ResumeIndex(Entries({"a", "b"}), ResumePoint{5, "gone"}), 1);
}

// ---- The trash ---------------------------------------------------------------------------------

TEST(JobTrash, ADeletedJobFileGoesToTheTrashWithItsInfo) {
  TempDir data;  // the trash of $XDG_DATA_HOME, on the same file system as the job
  TempDir app;
  const std::string old_data = g_getenv("XDG_DATA_HOME") ? g_getenv("XDG_DATA_HOME") : "";
  g_setenv("XDG_DATA_HOME", data.path().c_str(), TRUE);
  ASSERT_TRUE(WriteJobFile(app.path(), "News", {{"A", "http://a/"}}));
  std::string error;
  EXPECT_TRUE(TrashJobFile(app.path(), "News", &error)) << error;
  EXPECT_FALSE(JobFileExists(app.path(), "News"));
  EXPECT_TRUE(g_file_test((data.path() + "/Trash/files/News.tvj").c_str(), G_FILE_TEST_IS_REGULAR));
  gchar* info = nullptr;
  ASSERT_TRUE(g_file_get_contents((data.path() + "/Trash/info/News.tvj.trashinfo").c_str(), &info,
                                  nullptr, nullptr));
  EXPECT_NE(std::string(info).find("JobFiles/News.tvj"), std::string::npos) << info;
  g_free(info);
  // A file already gone counts as gone.
  EXPECT_TRUE(TrashJobFile(app.path(), "News"));
  if (old_data.empty())
    g_unsetenv("XDG_DATA_HOME");
  else
    g_setenv("XDG_DATA_HOME", old_data.c_str(), TRUE);
}

// ---- The watch ---------------------------------------------------------------------------------

bool SpinUntil(const std::function<bool()>& done, int timeout_ms = 5000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  auto context = Glib::MainContext::get_default();
  while (!done() && std::chrono::steady_clock::now() < end)
    context->iteration(false), g_usleep(2000);
  return done();
}

TEST(JobWatch, ReportsReplacedListAndJobFilesOnceEachBurst) {
  TempDir app;
  ASSERT_TRUE(RewriteJobList(app.path(), {"A"}));
  ASSERT_TRUE(WriteJobFile(app.path(), "A", {{"t", "http://a/"}}));
  JobWatch watch(app.path());
  watch.WatchJob("A");
  int reports = 0;
  watch.signal_changed().connect([&] { ++reports; });
  ASSERT_TRUE(AppendJobName(app.path(), "B"));
  EXPECT_TRUE(SpinUntil([&] { return reports >= 1; }));
  SpinUntil([] { return false; }, 200);
  const int after_list = reports;
  EXPECT_EQ(after_list, 1);
  ASSERT_TRUE(WriteJobFile(app.path(), "A", {{"t", "http://a/"}, {"u", "http://b/"}}));
  EXPECT_TRUE(SpinUntil([&] { return reports > after_list; }));
  // Another job's file is not watched.
  SpinUntil([] { return false; }, 200);
  const int settled = reports;
  ASSERT_TRUE(WriteJobFile(app.path(), "B", {{"t", "http://x/"}}));
  SpinUntil([] { return false; }, 400);
  EXPECT_EQ(reports, settled);
  // The job file removed is a change too.
  ASSERT_TRUE(DeleteJobFile(app.path(), "A"));
  EXPECT_TRUE(SpinUntil([&] { return reports > settled; }));
}

}  // namespace
}  // namespace tarvik
