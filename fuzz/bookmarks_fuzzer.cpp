// Feeds arbitrary bytes to the bookmarks importer: every job it makes has a valid, unused, unique
// name and clean entries, progress only moves forward, and each job written out again, as a
// bookmarks file or as a folder of shortcuts, reads back as the same job. The same bytes, cut
// into the addresses and titles of a well-formed file in one of the charsets browsers write,
// must give every one of its links, whatever bytes and references the pieces hold.
#include <glib.h>

#include <algorithm>
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

// A bookmarks file whose links' addresses and titles are the pieces of `bytes` between line
// breaks, raw: NUL bytes, references, bytes of any charset. Only the three characters that
// would end an attribute or a tag are replaced. The first byte picks the charset the file
// declares (or a UTF-8 byte-order mark); every seventh link opens a folder inside the last.
std::string FileOfLinks(std::string_view bytes, size_t* links) {
  static const char* const kHeads[] = {
      "\xEF\xBB\xBF",
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n",
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\n",
      "<META CHARSET=\"EUC-JP\">\n",
      "<META CHARSET=\"windows-1252\">\n",
      "<META CHARSET=\"GBK\">\n",
  };
  auto safe = [](std::string_view piece) {
    std::string out(piece);
    for (char& c : out)
      if (c == '"' || c == '<' || c == '>') c = '_';
    return out;
  };
  const size_t head = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % 6;
  if (!bytes.empty()) bytes.remove_prefix(1);
  std::string html = std::string(kHeads[head]) + "<DL><p>\n";
  size_t depth = 0;
  *links = 0;
  while (!bytes.empty()) {
    const size_t end = std::min(bytes.find('\n'), bytes.size());
    const std::string_view url = bytes.substr(0, end);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    const size_t title_end = std::min(bytes.find('\n'), bytes.size());
    const std::string_view title = bytes.substr(0, title_end);
    bytes.remove_prefix(std::min(title_end + 1, bytes.size()));
    if (*links % 7 == 0) {
      html += "<DT><H3>F</H3>\n<DL><p>\n";
      ++depth;
    }
    html += "<DT><A HREF=\"http://h/" + safe(url) + "\">" + safe(title) + "</A>\n";
    ++*links;
  }
  for (size_t i = 0; i <= depth; ++i) html += "</DL><p>\n";
  return html;
}

void CheckEveryLinkComesIn(std::string_view bytes) {
  size_t links = 0;
  const std::string html = FileOfLinks(bytes, &links);
  size_t entries = 0;
  for (const BookmarkJob& job : tarvik::ParseBookmarksHtml(html, "loose", {})) {
    for (const JobEntry& e : job.entries)
      Check(e.URL.rfind("http://h/", 0) == 0, "an address keeps its beginning");
    entries += job.entries.size();
  }
  if (entries != links) std::fprintf(stderr, "%zu links, %zu imported\n", links, entries);
  Check(entries == links, "every link of the file is imported");
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
  CheckEveryLinkComesIn(bytes);
  return 0;
}
