// Reading and writing files the way every kind of Tarvik file is read and written: size limits,
// files that are not regular files, temporary files, symbolic links and exact settings values.
#include <fcntl.h>
#include <fnmatch.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <glib.h>
#include <gtest/gtest.h>

#include "favorites/shortcut_file.h"
#include "jobs/job_files.h"
#include "platform/path_util.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;

constexpr off_t k40G = off_t{40} << 30;

void MakeSparse(const std::string& path, off_t size) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(ftruncate(fd, size), 0);
  close(fd);
}

off_t SizeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// ---- Huge files --------------------------------------------------------------------------------

TEST(HugeFiles, ShortcutAndSettingsPastTheirLimitsAreRefusedAndKept) {
  TempDir dir;
  const std::string url = dir.file("big.url");
  MakeSparse(url, k40G);
  ReadFailure failure = ReadFailure::None;
  EXPECT_FALSE(TryReadShortcutURL(url, &failure));
  EXPECT_EQ(failure, ReadFailure::TooLarge);
  EXPECT_EQ(ReadShortcutURL(url), "");

  const std::string ini = dir.file("settings.ini");
  MakeSparse(ini, k40G);
  SettingsStore store(ini);
  EXPECT_EQ(store.Get("Main", "Left", "fallback"), "fallback");
  EXPECT_EQ(store.ReadProblem(), "ファイルが大きすぎます。\r\n" + ini);
  EXPECT_FALSE(store.Save("Main", "Left", "1"));
  EXPECT_EQ(SizeOf(ini), k40G) << "a settings file that could not be read was replaced";
}

TEST(HugeFiles, EachKindHasItsLimit) {
  TempDir dir;
  const std::string path = dir.file("f");
  struct Kind {
    size_t limit;
    const char* name;
  };
  for (Kind kind : {Kind{kShortcutReadLimit, "shortcut"}, Kind{kSettingsReadLimit, "settings"}}) {
    MakeSparse(path, static_cast<off_t>(kind.limit));
    ReadFailure failure = ReadFailure::Unreadable;
    auto bytes = ReadFileBytes(path, kind.limit, &failure);
    ASSERT_TRUE(bytes) << kind.name;
    EXPECT_EQ(bytes->size(), kind.limit);
    EXPECT_EQ(failure, ReadFailure::None);
    MakeSparse(path, static_cast<off_t>(kind.limit) + 1);
    EXPECT_FALSE(ReadFileBytes(path, kind.limit, &failure)) << kind.name;
    EXPECT_EQ(failure, ReadFailure::TooLarge);
  }
  EXPECT_EQ(kShortcutReadLimit, 1u << 20);
  EXPECT_EQ(kSettingsReadLimit, 16u << 20);
  EXPECT_EQ(kJobListReadLimit, 32u << 20);
  EXPECT_EQ(kJobFileReadLimit, 256u << 20);
  EXPECT_EQ(ReadFailureMessage(path, ReadFailure::TooLarge), "ファイルが大きすぎます。\r\n" + path);
}

// ---- Files that are not regular files ----------------------------------------------------------

// Runs `read` on a thread; a read that blocks is released by opening the FIFO for writing.
bool ReturnsWithoutWaitingFor(const std::string& fifo, const std::function<bool()>& read,
                              bool* result) {
  auto done = std::async(std::launch::async, read);
  if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
    *result = done.get();
    return true;
  }
  int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (fd >= 0) close(fd);
  *result = done.get();
  return false;
}

TEST(NonRegularFiles, AFifoIsRefusedWithoutWaitingForAWriter) {
  TempDir dir;
  const std::string fifo = dir.file("TVJob.lst");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  bool got = true;
  EXPECT_TRUE(ReturnsWithoutWaitingFor(
      fifo, [&] { return TryReadShortcutURL(fifo).has_value(); }, &got))
      << "reading a shortcut waited on a FIFO";
  EXPECT_FALSE(got);
  EXPECT_TRUE(ReturnsWithoutWaitingFor(
      fifo, [&] { return ReadJobList(dir.path()).has_value(); }, &got))
      << "reading the job list waited on a FIFO";
  EXPECT_FALSE(got);
  EXPECT_TRUE(ReturnsWithoutWaitingFor(
      fifo, [&] { return SettingsStore(fifo).Find("Main", "Left").has_value(); }, &got))
      << "reading settings waited on a FIFO";
  EXPECT_FALSE(got);
  ReadFailure failure = ReadFailure::None;
  EXPECT_TRUE(ReturnsWithoutWaitingFor(
      fifo, [&] { return ReadFileBytes(fifo, kShortcutReadLimit, &failure).has_value(); }, &got));
  EXPECT_FALSE(got);
  EXPECT_EQ(failure, ReadFailure::NotRegularFile);
  // A folder is no file either.
  EXPECT_FALSE(ReadFileBytes(dir.path(), kShortcutReadLimit, &failure));
  EXPECT_EQ(failure, ReadFailure::NotRegularFile);
}

TEST(NonRegularFiles, ALinkToADeviceIsRefusedAndReadsNothing) {
  TempDir dir;
  const std::string link = dir.file("zero.url");
  ASSERT_EQ(symlink("/dev/zero", link.c_str()), 0);
  // In a child with little memory and a deadline: a reader that reads on grows until it dies.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    rlimit as{size_t{1} << 30, size_t{1} << 30};
    setrlimit(RLIMIT_AS, &as);
    alarm(20);
    ReadFailure failure = ReadFailure::None;
    const bool read = TryReadShortcutURL(link, &failure).has_value();
    _exit(!read && failure == ReadFailure::NotRegularFile ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "status " << status << (WIFSIGNALED(status) ? " (killed by a signal)" : "");
}

// ---- Temporary files ---------------------------------------------------------------------------

pid_t EndedProcess() {
  pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

// Writes leave the folder's other files alone (listing a folder of 40,000 job files on every
// save made each save 40 times slower); the sweep at start-up takes what ended writers left.
TEST(TemporaryFiles, LeftoversOfEndedProcessesGoAtTheSweepAndLiveWritersKeepTheirs) {
  TempDir dir;
  const std::string ini = dir.file("settings.ini");
  const pid_t ended = EndedProcess();
  pid_t running = fork();
  ASSERT_GE(running, 0);
  if (running == 0) {
    pause();
    _exit(0);
  }
  auto temp = [&](const std::string& target, long pid, const char* tail) {
    return dir.file("." + target + ".tarvik-tmp-" + std::to_string(pid) + "-" + tail);
  };
  const std::string stale = temp("settings.ini", ended, "0NLSZ3");
  const std::string live = temp("settings.ini", running, "A1b2C3");
  const std::string own = temp("settings.ini", getpid(), "Zz9Yy8");
  const std::string other_target = temp("News.tvj", ended, "QWERTY");
  const std::string users = dir.file("settings.ini.bak");
  for (const auto& path : {stale, live, own, other_target, users}) Spit(path, "history URLs");

  SettingsStore store(ini);
  ASSERT_TRUE(store.Save("Main", "Left", "10"));
  EXPECT_EQ(Slurp(stale), "history URLs") << "a write looked through its folder";
  RemoveStaleTemporaryFilesIn(dir.path());
  EXPECT_EQ(SizeOf(stale), -1) << "a dead writer's file stayed";
  EXPECT_EQ(SizeOf(other_target), -1) << "a dead writer's file for another target stayed";
  EXPECT_EQ(Slurp(live), "history URLs") << "a running writer's file was taken away";
  EXPECT_EQ(Slurp(own), "history URLs");
  EXPECT_EQ(Slurp(users), "history URLs");

  kill(running, SIGKILL);
  waitpid(running, nullptr, 0);
}

TEST(TemporaryFiles, NamesCarryTheTargetAndTheOwner) {
  EXPECT_EQ(TemporaryFileOwner(".settings.ini.tarvik-tmp-4242-AbC123", "settings.ini"), 4242);
  EXPECT_EQ(TemporaryFileOwner(".settings.ini.tarvik-tmp-4242-AbC123", "settings"), std::nullopt);
  EXPECT_EQ(TemporaryFileOwner("settings.ini.0NLSZ3", "settings.ini"), std::nullopt);
  EXPECT_EQ(TemporaryFileOwner(".a.tarvik-tmp--AbC123", "a"), std::nullopt);
  EXPECT_EQ(TemporaryFileOwner(".a.tarvik-tmp-12-AbC12", "a"), std::nullopt);
  EXPECT_EQ(TemporaryFileOwner(".a.tarvik-tmp-12x-AbC123", "a"), std::nullopt);
}

// A write that could not make its temporary file named that file, which the user never sees.
TEST(TemporaryFiles, AFailedWriteNamesItsTargetAndNoTemporaryFile) {
  const std::string target = "/proc/tarvik-list.tvj";  // no file can be made here, even by root
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(target, "x", &error));
  EXPECT_EQ(error.rfind(target + ": ", 0), 0u) << error;
  EXPECT_EQ(error.find(".tarvik-tmp"), std::string::npos) << error;
}

// A name near the 255-byte limit failed with "File name too long": the temporary name added
// its marker to the whole name.
TEST(TemporaryFiles, LongNamesAreWrittenAndTheirLeftoversCleaned) {
  TempDir dir;
  const std::string name = std::string(237, 'n') + "ジョブ.tvj";  // 250 bytes
  ASSERT_EQ(name.size(), 250u);
  const std::string path = dir.file(name);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "first", &error)) << error;
  EXPECT_EQ(Slurp(path), "first");

  // A dead writer's leftover for that name, cut as Tarvik cuts it, goes at the sweep.
  const std::string stale_name =
      "." + name.substr(0, 225) + ".tarvik-tmp-" + std::to_string(EndedProcess()) + "-0NLSZ3";
  ASSERT_LE(stale_name.size(), 255u);
  ASSERT_EQ(TemporaryFileOwner(stale_name, name).has_value(), true);
  Spit(dir.file(stale_name), "left over");
  ASSERT_TRUE(WriteFileAtomically(path, "second", &error)) << error;
  EXPECT_EQ(Slurp(path), "second");
  RemoveStaleTemporaryFilesIn(dir.path());
  EXPECT_EQ(SizeOf(dir.file(stale_name)), -1);
  GDir* listing = g_dir_open(dir.path().c_str(), 0, nullptr);
  int files = 0;
  while (g_dir_read_name(listing)) ++files;
  g_dir_close(listing);
  EXPECT_EQ(files, 1) << "no temporary file stays behind";
}

// ---- Settings values ---------------------------------------------------------------------------

TEST(SettingsValues, ReadBackByteForByte) {
  TempDir dir;
  const std::string ini = dir.file("settings.ini");
  std::vector<std::string> values = {
      "",
      " ",
      "  lead",
      "trail  ",
      "\fform feed",
      "ends in CR\r",
      "\r",
      "\n",
      "\r\n",
      "\t",
      "a\\b",
      "\\",
      "\\n",
      "\\s",
      "\\x41",
      "a=b",
      "[Main]",
      "; comment",
      "# note",
      "=",
      "[",
      "\v",
      "bell\a",
      "del\x7F",
      "\xFF\xFE not UTF-8",
      "half \xE3\x83",
      "ニュース",
      " \f\r\n\t ",
      std::string("nul\0in", 6),
  };
  // And random mixtures of the awkward pieces.
  const std::vector<std::string> pieces = {" ",   "\f", "\r", "\n", "\t",   "\\",           "=",
                                           "[",   "]",  ";",  "#",  "\xFF", "\xE3\x83\x8B", "a",
                                           "\\s", "\v"};
  std::mt19937 random(20261207);
  for (int i = 0; i < 300; ++i) {
    std::string v;
    const int n = static_cast<int>(random() % 8);
    for (int k = 0; k < n; ++k) v += pieces[random() % pieces.size()];
    values.push_back(v);
  }
  for (size_t i = 0; i < values.size(); ++i) {
    // Each value alone, as the last line of a fresh file, then read by a new store.
    std::remove(ini.c_str());
    ASSERT_TRUE(SettingsStore(ini).Save("Main", "Value", values[i]));
    EXPECT_EQ(SettingsStore(ini).Find("Main", "Value"), values[i])
        << "value " << i << ": " << ::testing::PrintToString(values[i]);
  }
  // All of them in one file.
  std::remove(ini.c_str());
  std::vector<SettingWrite> writes;
  for (size_t i = 0; i < values.size(); ++i)
    writes.push_back({"Main", "V" + std::to_string(i), values[i]});
  ASSERT_TRUE(SettingsStore(ini).SaveAll(writes));
  SettingsStore reread(ini);
  for (size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(reread.Find("Main", "V" + std::to_string(i)), values[i]) << "value " << i;
}

TEST(SettingsValues, FilesWrittenWithGLibEscapesStillRead) {
  TempDir dir;
  const std::string ini = dir.file("settings.ini");
  Spit(ini, "[Main]\nA=\\sx\\ty\\nz\\r\\\\\nB=plain text\n");
  SettingsStore store(ini);
  EXPECT_EQ(store.Get("Main", "A", ""), " x\ty\nz\r\\");
  EXPECT_EQ(store.Get("Main", "B", ""), "plain text");
}

// ---- Symbolic links ----------------------------------------------------------------------------

struct Link {
  std::string path;
  std::string points_to;
};

void ExpectStillALink(const Link& link) {
  struct stat st {};
  ASSERT_EQ(lstat(link.path.c_str(), &st), 0) << link.path;
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << link.path << " was replaced by a regular file";
  char buf[4096];
  ssize_t n = readlink(link.path.c_str(), buf, sizeof buf);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(buf, static_cast<size_t>(n)), link.points_to);
}

TEST(SymbolicLinks, WritesGoThroughToTheTargetAndTheLinkStays) {
  TempDir dir;
  const std::string app = dir.file("app");
  const std::string real = dir.file("real");
  ASSERT_EQ(g_mkdir_with_parents((app + "/JobFiles").c_str(), 0755), 0);
  ASSERT_EQ(g_mkdir_with_parents(real.c_str(), 0755), 0);

  // The job list: a chain of two relative links, the first naming the second in its own folder.
  Spit(real + "/TVJob.lst", "A\r\n");
  Link list{JobListPath(app), "list-link"};
  Link list2{app + "/list-link", "../real/TVJob.lst"};
  ASSERT_EQ(symlink(list2.points_to.c_str(), list2.path.c_str()), 0);
  ASSERT_EQ(symlink(list.points_to.c_str(), list.path.c_str()), 0);
  ASSERT_TRUE(AppendJobName(app, "B"));
  ExpectStillALink(list);
  ExpectStillALink(list2);
  EXPECT_EQ(Slurp(real + "/TVJob.lst"), "A\r\nB\r\n");
  ASSERT_TRUE(RenameJobInList(app, "A", "A2"));
  ASSERT_TRUE(RemoveJobFromList(app, "B"));
  ExpectStillALink(list);
  EXPECT_EQ(Slurp(real + "/TVJob.lst"), "A2\r\n");

  // A job file: an absolute link.
  Spit(real + "/News.tvj", "old,http://old/\r\n");
  Link job{JobFilePath(app, "News"), real + "/News.tvj"};
  ASSERT_EQ(symlink(job.points_to.c_str(), job.path.c_str()), 0);
  ASSERT_TRUE(WriteJobFile(app, "News", {{"new", "http://new/"}}));
  ExpectStillALink(job);
  EXPECT_EQ(Slurp(real + "/News.tvj"), "new,http://new/\r\n");

  // A shortcut whose target does not exist yet: the target is created.
  Link url{dir.file("fav.url"), "real/fav.url"};
  ASSERT_EQ(symlink(url.points_to.c_str(), url.path.c_str()), 0);
  ASSERT_TRUE(WriteShortcut(url.path, "http://fav/"));
  ExpectStillALink(url);
  EXPECT_EQ(Slurp(real + "/fav.url"), "[InternetShortcut]\r\nURL=http://fav/\r\n");

  // Settings, and any other key file (the desktop's mimeapps.list) written the same way.
  Link ini{dir.file("settings.ini"), "real/settings.ini"};
  ASSERT_EQ(symlink(ini.points_to.c_str(), ini.path.c_str()), 0);
  ASSERT_TRUE(SettingsStore(ini.path).Save("Main", "Left", "5"));
  ExpectStillALink(ini);
  EXPECT_EQ(SettingsStore(real + "/settings.ini").Get("Main", "Left", ""), "5");
  Link mime{dir.file("mimeapps.list"), "real/mimeapps.list"};
  ASSERT_EQ(symlink(mime.points_to.c_str(), mime.path.c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(mime.path, "[Default Applications]\n"));
  ExpectStillALink(mime);
  EXPECT_EQ(Slurp(real + "/mimeapps.list"), "[Default Applications]\n");

  // A loop of links leads nowhere: the write fails and the link stays.
  Link loop{dir.file("loop"), "loop"};
  ASSERT_EQ(symlink(loop.points_to.c_str(), loop.path.c_str()), 0);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(loop.path, "x", &error));
  EXPECT_FALSE(error.empty());
  ExpectStillALink(loop);
}

// ---- Favorites filters -------------------------------------------------------------------------

TEST(FavoriteFilterCase, TheExtensionMatchesInAnyCase) {
  const std::string pattern = CaseInsensitivePattern("*.url");
  EXPECT_EQ(pattern, "*.[uU][rR][lL]");
  for (const char* name : {"News.url", "News.URL", "a.Url", "b.uRl"})
    EXPECT_EQ(fnmatch(pattern.c_str(), name, 0), 0) << name;
  for (const char* name : {"News.urls", "News.txt", "url"})
    EXPECT_NE(fnmatch(pattern.c_str(), name, 0), 0) << name;
  // Classes the caller wrote stay as written.
  EXPECT_EQ(CaseInsensitivePattern("*.[ch]"), "*.[ch]");
}

}  // namespace
}  // namespace tarvik
