// Copying the jobs into a newly chosen jobs folder, on real folders: a copy killed in the middle
// leaves nothing that a second choice of the folder trips over, and long jobs come over whole.
#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "jobs/job_plan.h"
#include "jobs/jobs_folder_choice.h"
#include "jobs/seen_state.h"
#include "platform/path_util.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::NamesIn;
using test::TempDir;

std::string JobName(int i) {
  char name[16];
  g_snprintf(name, sizeof name, "Job%04d", i);
  return name;
}

// A child process copies `from` into `to` and is killed as soon as the first job file is in
// place, before the job list names it: what a kill in the middle of the copy leaves.
void KillCopyInTheMiddle(const std::string& from, const std::string& to) {
  const std::string first = JobFilePath(to, JobName(0));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string error;
    CopyJobsInto(from, to, &error);
    _exit(0);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  int status = 0;
  while (!FileExists(first) && waitpid(child, &status, WNOHANG) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
}

TEST(JobsFolderCopyTest, AKilledCopyIsSweptWhenTheFolderIsChosenAgain) {
  TempDir from, to2;
  std::vector<std::string> names;
  g_mkdir(JoinPath(from.path(), "JobFiles").c_str(), 0755);
  for (int i = 0; i < 500; ++i) {
    names.push_back(JobName(i));
    test::WriteBytes(JobFilePath(from.path(), names.back()), "T,http://e/" + names.back());
  }
  ASSERT_TRUE(RewriteJobList(from.path(), names));
  // A busy machine may let the copy finish before the kill lands: then it is tried again.
  std::unique_ptr<TempDir> killed;
  for (int attempt = 0; attempt < 5; ++attempt) {
    killed = std::make_unique<TempDir>();
    ASSERT_EQ(CheckJobsFolder(killed->path()).state, JobsFolderState::NoJobs);
    KillCopyInTheMiddle(from.path(), killed->path());
    if (!JobListExists(killed->path())) break;
  }
  const TempDir& to = *killed;
  ASSERT_FALSE(JobListExists(to.path())) << "every copy ended before the kill";
  ASSERT_TRUE(JobFileExists(to.path(), JobName(0))) << "the kill came before any job was copied";

  // The user chooses the folder again: it still has no jobs, and the copy brings them all in
  // under their own names, leaving no temporary file and no note behind.
  ASSERT_EQ(CheckJobsFolder(to.path()).state, JobsFolderState::NoJobs);
  std::string error;
  ASSERT_TRUE(CopyJobsInto(from.path(), to.path(), &error)) << error;
  EXPECT_EQ(ReadJobList(to.path()), names);
  std::vector<std::string> files = NamesIn(JoinPath(to.path(), "JobFiles"));
  EXPECT_EQ(files.size(), names.size());
  EXPECT_EQ(files.front(), JobName(0) + ".tvj");
  // The next start, with this folder as the jobs folder, keeps every job.
  SweepJobLeftovers(to.path());
  EXPECT_EQ(NamesIn(JoinPath(to.path(), "JobFiles")).size(), names.size());

  // A job longer than the display shows is copied whole, with what the user saw of it.
  std::vector<JobEntry> long_job;
  for (int i = 0; i < 40000; ++i) long_job.push_back({"T", "http://e/" + std::to_string(i)});
  ASSERT_TRUE(WriteJobFile(from.path(), JobName(7), long_job));
  SeenState seen;
  seen.At("http://e/3").seen_at = 100;
  ASSERT_TRUE(SaveSeenState(from.path(), JobName(7), seen, {"http://e/3"}).ok);
  ASSERT_TRUE(CopyJobsInto(from.path(), to2.path(), &error)) << error;
  std::optional<Job> copied = ReadWholeJobFile(to2.path(), JobName(7));
  ASSERT_TRUE(copied);
  EXPECT_EQ(copied->entries, long_job);
  EXPECT_EQ(ReadSeenState(to2.path(), JobName(7)).state, seen);
}

}  // namespace
}  // namespace tarvik
