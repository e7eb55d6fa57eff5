// A bookmarks import from the file to the job list: N folders of 10 links each, each folder
// nested in the one before it (the deepest file browsers write), read, planned and written into a
// fresh application folder that already holds a few jobs. The goals: 10,000 folders within 2 s,
// 100,000 within 20 s.
#include <glib.h>
#include <glib/gstdio.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "jobs/bookmarks.h"
#include "jobs/job_files.h"
#include "jobs/job_plan.h"
#include "platform/text_file.h"

namespace {

std::string MakeTemporaryFolder() {
  gchar* dir = g_dir_make_tmp("tarvik-bench-XXXXXX", nullptr);
  std::string path = dir;
  g_free(dir);
  return path;
}

void RemoveTree(const std::string& path) {
  if (GDir* dir = g_dir_open(path.c_str(), 0, nullptr)) {
    while (const char* name = g_dir_read_name(dir)) RemoveTree(path + "/" + name);
    g_dir_close(dir);
    g_rmdir(path.c_str());
  } else {
    g_remove(path.c_str());
  }
}

// The file: folders named after news sections (so names repeat and get numbers), nested.
std::string BookmarksFile(size_t folders) {
  static const char* const kSections[] = {"ニュース", "天気", "Sport", "Tools", "Reading"};
  std::string html =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
      "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
  for (size_t f = 0; f < folders; ++f) {
    html += "<DT><H3>" + std::string(kSections[f % 5]) + "</H3>\n<DL><p>\n";
    for (int l = 0; l < 10; ++l) {
      const std::string n = std::to_string(f) + "-" + std::to_string(l);
      html += "<DT><A HREF=\"https://www.example.com/" + n + "\">記事 " + n + "</A>\n";
    }
  }
  for (size_t f = 0; f < folders; ++f) html += "</DL><p>\n";
  html += "</DL><p>\n";
  return html;
}

void BM_ImportBookmarks(benchmark::State& state) {
  const size_t folders = static_cast<size_t>(state.range(0));
  const std::string files = MakeTemporaryFolder();
  const std::string path = files + "/bookmarks.html";
  if (!tarvik::WriteFileAtomically(path, BookmarksFile(folders))) std::abort();
  size_t jobs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string home = MakeTemporaryFolder();
    if (!tarvik::RewriteJobList(home, {"News", "ニュース"})) std::abort();
    state.ResumeTiming();

    auto read = tarvik::ReadBookmarksFile(path, tarvik::TakenJobNames(home));
    if (!read) std::abort();
    tarvik::JobPlan plan;
    for (tarvik::BookmarkJob& job : *read)
      plan.jobs.push_back({std::move(job.name), std::move(job.entries)});
    const tarvik::PlanOutcome outcome = tarvik::CarryOutJobPlan(home, plan);
    if (!outcome.done()) std::abort();
    jobs = outcome.names.size();

    state.PauseTiming();
    if (tarvik::ReadJobList(home)->size() != jobs + 2) std::abort();
    RemoveTree(home);
    state.ResumeTiming();
  }
  state.counters["jobs"] = static_cast<double>(jobs);
  RemoveTree(files);
}
BENCHMARK(BM_ImportBookmarks)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
