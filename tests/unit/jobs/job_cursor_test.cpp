// The step rules of a job: where each button goes, where it stops, and what the tooltips say.
#include "jobs/job_cursor.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

Job MakeJob(std::vector<JobEntry> entries) {
  Job job;
  job.last_index = static_cast<int>(entries.size()) - 1;
  job.entries = std::move(entries);
  return job;
}

using Tips = std::array<std::string, 4>;

class JobCursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cursor.Load("News", MakeJob({{"A", "http://a/"}, {"B", "http://b/"}, {"C", "http://c/"}}));
  }
  JobCursor cursor;
};

TEST_F(JobCursorTest, SteppingThroughAJobStopsAtBothEnds) {
  EXPECT_EQ(cursor.current_index(), 0);
  EXPECT_EQ(cursor.StepTips(), (Tips{"A", "現在先頭です", "B", "C"}));
  EXPECT_EQ(cursor.Step(kStepPrevious), std::nullopt);
  EXPECT_EQ(cursor.Step(kStepFirst), std::nullopt);
  EXPECT_EQ(cursor.current_index(), 0);

  EXPECT_EQ(cursor.Step(kStepNext), 1);
  EXPECT_EQ(cursor.current().URL, "http://b/");
  EXPECT_EQ(cursor.StepTips(), (Tips{"A", "A", "C", "C"}));
  EXPECT_EQ(cursor.Step(kStepNext), 2);
  EXPECT_EQ(cursor.StepTips(), (Tips{"A", "B", "現在最後です", "C"}));
  EXPECT_EQ(cursor.Step(kStepNext), std::nullopt);
  EXPECT_EQ(cursor.Step(kStepLast), std::nullopt);
  EXPECT_EQ(cursor.current_index(), 2);

  EXPECT_EQ(cursor.Step(kStepPrevious), 1);
  EXPECT_EQ(cursor.Step(kStepFirst), 0);
  EXPECT_EQ(cursor.Step(kStepLast), 2);
  EXPECT_EQ(cursor.Step(kStepList), std::nullopt) << "the window opens the list itself";
  EXPECT_EQ(cursor.Step(7), std::nullopt);
  EXPECT_EQ(cursor.current_index(), 2);
  // A long title is cut short, to keep the tooltip on a line.
  cursor.Load("Long", MakeJob({{std::string(100, 'x'), "http://x/"}}));
  EXPECT_EQ(cursor.StepTips()->at(0), std::string(79, 'x') + "…");
}

TEST_F(JobCursorTest, AOneEntryJobNeverMoves) {
  cursor.Load("Single", MakeJob({{"Only", "http://only/"}}));
  EXPECT_EQ(cursor.current_index(), 0);
  EXPECT_EQ(cursor.StepTips(), (Tips{"Only", "現在先頭です", "現在最後です", "Only"}));
  for (int b = 0; b < 4; ++b) EXPECT_EQ(cursor.Step(b), std::nullopt) << b;
}

TEST_F(JobCursorTest, ANothingLoadedCursorGivesNoStepsAndNoTips) {
  JobCursor empty;
  EXPECT_FALSE(empty.loaded());
  for (int b = 0; b < 5; ++b) EXPECT_EQ(empty.Step(b), std::nullopt);
  EXPECT_EQ(empty.StepTips(), std::nullopt);
  cursor.Clear();
  EXPECT_FALSE(cursor.loaded());
  EXPECT_EQ(cursor.Step(kStepNext), std::nullopt);
  EXPECT_EQ(cursor.StepTips(), std::nullopt);
  EXPECT_FALSE(cursor.MoveTo(0));
}

TEST_F(JobCursorTest, ReloadingKeepsThePositionUnlessTheJobGotShorter) {
  cursor.Step(kStepLast);
  cursor.Load("News", MakeJob({{"A", "http://a/"}, {"B2", "http://b2/"}, {"C", "http://c/"}}));
  EXPECT_EQ(cursor.current_index(), 2);
  cursor.Load("News", MakeJob({{"A", "http://a/"}, {"B", "http://b/"}}));
  EXPECT_EQ(cursor.current_index(), 0);
  // A cleared cursor keeps its index for the next job loaded with its position.
  cursor.Step(kStepLast);
  cursor.Clear();
  cursor.Load("Other", MakeJob({{"1", "u1"}, {"2", "u2"}, {"3", "u3"}}));
  EXPECT_EQ(cursor.current_index(), 1);
  EXPECT_EQ(cursor.name(), "Other");
}

TEST_F(JobCursorTest, MoveToAcceptsOnlyEntriesOfTheJob) {
  EXPECT_TRUE(cursor.MoveTo(1));
  EXPECT_EQ(cursor.current_index(), 1);
  EXPECT_FALSE(cursor.MoveTo(-1));
  EXPECT_FALSE(cursor.MoveTo(3));
  EXPECT_EQ(cursor.current_index(), 1);
}

TEST_F(JobCursorTest, TheTitleLineNamesTheEntryOnlyForTheCurrentEntryInJobMode) {
  EXPECT_EQ(cursor.PositionText("http://a/", "http://a/", "Page A", true), "A [http://a/]");
  // The location is the browser's, even when the engine reports the entry's address.
  EXPECT_EQ(cursor.PositionText("http://a/", "http://a/#top", "Page A", true), "A [http://a/#top]");
  EXPECT_EQ(cursor.PositionText("http://a/x", "http://a/x", "Link", true), "Link [http://a/x]");
  EXPECT_EQ(cursor.PositionText("http://b/", "http://b/", "Page B", true), "Page B [http://b/]")
      << "another entry of the job is not the current one";
  EXPECT_EQ(cursor.PositionText("http://a/", "http://a/", "Page A", false), "Page A [http://a/]");
  cursor.Clear();
  EXPECT_EQ(cursor.PositionText("http://a/", "http://a/", "Page A", true), "Page A [http://a/]");
}

TEST_F(JobCursorTest, ThePlaceIsTheCurrentEntrysWhateverFormItsAddressWasWrittenIn) {
  cursor.Load("Shops", MakeJob({{"A", "HTTP://a.example:80"}, {"B", "https://b.example/x?y"}}));
  cursor.MoveTo(0);
  EXPECT_EQ(cursor.PlaceText("http://a.example/"), "1 / 2");
  EXPECT_EQ(cursor.PlaceText("https://b.example/x?y"), "") << "not the current entry";
  cursor.MoveTo(1);
  EXPECT_EQ(cursor.PlaceText("https://b.example/x?y"), "2 / 2");
  EXPECT_EQ(cursor.PlaceText("https://b.example/x?z"), "");
  EXPECT_EQ(cursor.PlaceText("not an address"), "");
  cursor.Clear();
  EXPECT_EQ(cursor.PlaceText("https://b.example/x?y"), "");
}

}  // namespace
}  // namespace tarvik
