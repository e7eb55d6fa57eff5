// Writers killed at random moments and writers on a full disk: every kind of file Tarvik writes
// (settings, the job list, a job file, a shortcut) is afterwards either whole old or whole new,
// and no temporary file outlives the next write.
#include <dirent.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <glib.h>
#include <gtest/gtest.h>

#include "favorites/shortcut_file.h"
#include "jobs/job_files.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::NamesIn;
using test::TempDir;

// One kind of file: where it lives and how Tarvik writes version 0 or version 1 of it.
struct Kind {
  std::string name;
  std::string folder;  // where the file and its temporary files are
  std::string file;    // the file's name in `folder`
  std::function<bool(int version)> write;
};

std::string Bytes(const std::string& path) {
  return ReadFileBytes(path, kJobFileReadLimit).value_or("<unreadable>");
}

std::vector<Kind> Kinds(const std::string& root) {
  std::vector<Kind> kinds;
  const std::string app = root + "/app";
  // Settings: 200 values of 10 KB, about 2 MB.
  kinds.push_back({"settings", root, "settings.ini", [root](int version) {
                     std::vector<SettingWrite> writes;
                     for (int i = 0; i < 200; ++i)
                       writes.push_back({"Main", "K" + std::to_string(i),
                                         std::string(10000, version ? 'b' : 'a')});
                     return SettingsStore(root + "/settings.ini").SaveAll(writes);
                   }});
  // The job list: 60,000 names, about 1 MB.
  kinds.push_back({"job list", app, "TVJob.lst", [app](int version) {
                     std::vector<std::string> names;
                     for (int i = 0; i < 60000; ++i)
                       names.push_back((version ? "Job B " : "Job A ") + std::to_string(i));
                     return RewriteJobList(app, names);
                   }});
  // A job file: 20,000 entries, about 1 MB.
  kinds.push_back({"job file", app + "/JobFiles", "News.tvj", [app](int version) {
                     std::vector<JobEntry> entries;
                     for (int i = 0; i < 20000; ++i)
                       entries.push_back(
                           {"Page " + std::to_string(i), (version ? "http://b/" : "http://a/") +
                                                             std::to_string(i) + "/index.html"});
                     return WriteJobFile(app, "News", entries);
                   }});
  // A shortcut with a URL of 900 KB, under the shortcut limit.
  kinds.push_back({"shortcut", root, "News.url", [root](int version) {
                     return WriteShortcut(root + "/News.url",
                                          "http://x/?" + std::string(900000, version ? 'b' : 'a'));
                   }});
  return kinds;
}

TEST(KilledWriters, LeaveTheWholeOldOrTheWholeNewFile) {
  TempDir dir;
  std::mt19937 random(7);
  for (const Kind& kind : Kinds(dir.path())) {
    const std::string path = kind.folder + "/" + kind.file;
    ASSERT_TRUE(kind.write(1)) << kind.name;
    const std::string version1 = Bytes(path);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(kind.write(0)) << kind.name;
    const auto one_write = std::chrono::steady_clock::now() - start;
    const std::string version0 = Bytes(path);
    ASSERT_NE(version0, version1);
    const long max_delay_us = std::max<long>(
        2000, 3 * std::chrono::duration_cast<std::chrono::microseconds>(one_write).count());

    int killed_mid_write = 0;
    std::vector<pid_t> killed;
    for (int round = 0; round < 50; ++round) {
      pid_t writer = fork();
      ASSERT_GE(writer, 0);
      if (writer == 0) {
        for (int version = 1;; version ^= 1) kind.write(version);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(random() % max_delay_us));
      kill(writer, SIGKILL);
      ASSERT_EQ(waitpid(writer, nullptr, 0), writer);
      killed.push_back(writer);

      const std::string now = Bytes(path);
      ASSERT_TRUE(now == version0 || now == version1)
          << kind.name << ", round " << round << ": a mix of " << now.size() << " bytes";
      for (const std::string& name : NamesIn(kind.folder)) {
        if (name == kind.file || name.ends_with(".lock") || name == "JobFiles" || name == "app" ||
            name == "settings.ini" || name == "News.url" || name == "TVJob.lst")
          continue;
        if (auto owner = TemporaryFileOwner(name, kind.file)) {
          // A killed writer's file stays until the next sweep of its folder (at start-up).
          EXPECT_NE(std::find(killed.begin(), killed.end(), *owner), killed.end()) << name;
          if (*owner == writer) ++killed_mid_write;
        } else {
          ADD_FAILURE() << kind.name << ": a file that is not ours: " << name;
        }
      }
    }
    // Without kills that land inside a write, this test would prove nothing.
    EXPECT_GT(killed_mid_write, 0) << kind.name;
    std::printf("%s: %d of 50 kills landed inside a write\n", kind.name.c_str(), killed_mid_write);
    RemoveStaleTemporaryFilesIn(kind.folder);
    ASSERT_TRUE(kind.write(1)) << kind.name;
    EXPECT_EQ(Bytes(path), version1);
    for (const std::string& name : NamesIn(kind.folder))
      EXPECT_FALSE(TemporaryFileOwner(name, kind.file)) << "left behind: " << name;
  }
}

// Runs `body` in a child that has a 64 KiB tmpfs mounted on `mount_point` in a mount namespace
// of its own. The child's exit status: 0 passed, 77 could not mount, anything else failed.
int RunOnSmallDisk(const std::string& mount_point, const std::function<bool()>& body) {
  pid_t child = fork();
  if (child < 0) return 77;
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0) _exit(77);
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(77);
    if (mount("tarvik-test", mount_point.c_str(), "tmpfs", 0, "size=64k") != 0) _exit(77);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Fills the file system of `folder` to the last block.
void FillDisk(const std::string& folder) {
  FILE* f = std::fopen((folder + "/filler").c_str(), "wb");
  if (!f) return;
  std::string block(512, 'f');
  while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
  }
  std::fclose(f);
  // Fill what is left byte by byte.
  f = std::fopen((folder + "/filler2").c_str(), "wb");
  if (!f) return;
  while (std::fputc('f', f) != EOF && std::fflush(f) == 0) {
  }
  std::fclose(f);
}

TEST(FullDisk, LeavesTheOldFileWholeAndReportsTheFailure) {
  TempDir dir;
  const std::string disk = dir.file("disk");
  ASSERT_EQ(g_mkdir_with_parents(disk.c_str(), 0755), 0);
  const int status = RunOnSmallDisk(disk, [&] {
    bool ok = true;
    auto check = [&](bool condition, const char* what) {
      if (!condition) {
        std::fprintf(stderr, "full disk: %s\n", what);
        ok = false;
      }
    };
    const std::string app = disk + "/app";
    SettingsStore store(disk + "/settings.ini");
    check(store.Save("Main", "Left", "1"), "the first settings write");
    check(RewriteJobList(app, {"A"}), "the first job list write");
    check(WriteJobFile(app, "News", {{"a", "http://a/"}}), "the first job file write");
    check(WriteShortcut(disk + "/News.url", "http://a/"), "the first shortcut write");
    const std::string settings0 = Bytes(disk + "/settings.ini");
    const std::string list0 = Bytes(JobListPath(app));
    const std::string job0 = Bytes(JobFilePath(app, "News"));
    const std::string url0 = Bytes(disk + "/News.url");
    FillDisk(disk);

    const std::string big(40000, 'x');
    check(!store.Save("Main", "Left", big), "a settings write on a full disk succeeded");
    std::string error;
    check(!AppendJobName(app, big, &error), "a job list write on a full disk succeeded");
    check(!error.empty(), "a failed job list write gave no reason");
    error.clear();
    check(!WriteJobFile(app, "News", {{"b", "http://b/" + big}}, &error),
          "a job file write on a full disk succeeded");
    check(!error.empty(), "a failed job file write gave no reason");
    check(!WriteShortcut(disk + "/News.url", "http://b/" + big),
          "a shortcut write on a full disk succeeded");

    check(Bytes(disk + "/settings.ini") == settings0, "the settings file changed");
    check(SettingsStore(disk + "/settings.ini").Get("Main", "Left", "") == "1",
          "the old setting is gone");
    check(Bytes(JobListPath(app)) == list0, "the job list changed");
    check(Bytes(JobFilePath(app, "News")) == job0, "the job file changed");
    check(Bytes(disk + "/News.url") == url0, "the shortcut changed");
    for (const std::string& folder : {disk, app, app + "/JobFiles"})
      for (const std::string& name : NamesIn(folder))
        check(name.find(".tarvik-tmp-") == std::string::npos, "a temporary file stayed");
    return ok;
  });
  if (status == 77) GTEST_SKIP() << "cannot mount a small tmpfs here";
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace tarvik
