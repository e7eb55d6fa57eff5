// Feeds arbitrary bytes to the bookmarks importer: every job it makes has a valid, unused, unique
// name and clean entries, progress only moves forward, and each job written out again, as a
// bookmarks file or as a folder of shortcuts, reads back as the same job.
#include <glib.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "jobs/bookmarks.h"
#include "jobs/shortcut_folder_export.h"

namespace {

using tarvik::BookmarkJob;
using tarvik::JobEntry;
using tarvik::fuzz::Check;

bool HasBreakOrTab(const std::string& s) { return s.find_first_of("\r\n\t") != std::string::npos; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void CheckShortcutFolder(const BookmarkJob& job) {
  static int round = 0;
  const std::string folder = tarvik::fuzz::Home() + "/folder" + std::to_string(round++ % 2);
  tarvik::fuzz::RemoveTree(folder);
  std::string error;
  const bool written = tarvik::ExportShortcutFolder(folder, job.entries, &error);
  if (!written) std::fprintf(stderr, "%s\n", error.c_str());
  Check(written, "shortcut folder writes");
  const std::vector<JobEntry> back = tarvik::ReadShortcutFolderInOrder(folder);
  Check(back.size() == job.entries.size(), "every entry has its shortcut");
  for (size_t i = 0; i < back.size(); ++i) {
    const std::string name = tarvik::ShortcutFileNameAt(i + 1, back.size(), job.entries[i].Title);
    Check(name.size() <= 200, "shortcut file name leaves room for the writer's temporary name");
    Check(back[i].URL == job.entries[i].URL, "shortcut folder keeps the order and the URLs");
    Check(back[i].Title == name.substr(name.find(' ') + 1, name.size() - name.find(' ') - 5),
          "shortcut folder gives back the safe title");
  }
  tarvik::fuzz::RemoveTree(folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> existing = {"Deep", "bookmarks", "Bookmarks bar"};

  size_t last_done = 0, last_total = 0, calls = 0;
  const std::vector<BookmarkJob> jobs =
      tarvik::ParseBookmarksHtml(bytes, "bookmarks", existing, [&](size_t done, size_t total) {
        Check(done <= total, "progress within its total");
        Check(calls == 0 || (total == last_total && done >= last_done), "progress moves forward");
        last_done = done;
        last_total = total;
        ++calls;
      });
  Check(calls >= 2 && last_done == last_total, "progress starts and ends");

  std::set<std::string> names(existing.begin(), existing.end());
  for (const BookmarkJob& job : jobs) {
    Check(!job.name.empty() && tarvik::IsValidJobName(job.name), "job name is valid");
    Check(job.name.size() <= tarvik::kMaxImportedJobNameBytes, "job name fits");
    Check(!IsSpace(job.name.front()) && !IsSpace(job.name.back()), "job name is trimmed");
    Check(names.insert(job.name).second, "job name is unused and unique");
    Check(!job.entries.empty() && job.entries.size() <= static_cast<size_t>(tarvik::kMaxJobEntries),
          "a job holds one to the most entries");
    for (const JobEntry& e : job.entries) {
      Check(!e.URL.empty() && !e.Title.empty(), "entry has a title and a URL");
      Check(!HasBreakOrTab(e.URL) && !HasBreakOrTab(e.Title), "entry is on one line");
      Check(!IsSpace(e.URL.front()) && !IsSpace(e.URL.back()), "URL is trimmed");
      Check(!IsSpace(e.Title.front()) && !IsSpace(e.Title.back()), "title is trimmed");
    }

    // Written out and read again, the job comes back as it is.
    const auto again =
        tarvik::ParseBookmarksHtml(tarvik::FormatBookmarksHtml(job.name, job.entries), "other", {});
    Check(again.size() == 1 && again[0] == job, "exported job imports as the same job");
  }
  if (!jobs.empty() && jobs[0].entries.size() <= 40) CheckShortcutFolder(jobs[0]);
  return 0;
}
