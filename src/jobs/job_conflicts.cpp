#include "jobs/job_conflicts.h"

#include <giomm/file.h>
#include <giomm/init.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <functional>
#include <list>
#include <regex>
#include <unordered_map>
#include <unordered_set>

#include "jobs/job_resume.h"
#include "platform/app_folder.h"
#include "platform/file_names.h"
#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

constexpr char kListFileName[] = "TVJob.lst";

// The merge rule over items that `key` tells apart. Where both sides added items between the
// same two neighbours, the original's come first. Items for which `counts` is false are kept
// where the original has them and dropped from the copy (the job list's blank lines).
template <typename T, typename Key>
std::vector<T> MergeInOrder(const std::vector<T>& original, const std::vector<T>& copy, Key key,
                            const std::function<bool(const T&)>& counts) {
  using Iter = typename std::list<T>::iterator;
  std::list<T> merged;
  std::unordered_map<std::string, Iter> where;
  for (const T& item : original) {
    if (!counts(item)) {
      merged.push_back(item);
      continue;
    }
    const std::string k = key(item);
    if (where.count(k)) continue;
    merged.push_back(item);
    where.emplace(k, std::prev(merged.end()));
  }
  std::unordered_set<std::string> in_copy;
  for (const T& item : copy)
    if (counts(item)) in_copy.insert(key(item));
  std::optional<Iter> last;  // the copy's item before the one at hand, now in `merged`
  for (size_t i = 0; i < copy.size(); ++i) {
    if (!counts(copy[i])) continue;
    const std::string k = key(copy[i]);
    if (auto found = where.find(k); found != where.end()) {
      last = found->second;
      continue;
    }
    Iter at = merged.end();
    if (last) {
      // After the neighbour, and after the original's items in the same gap that the copy lacks.
      at = std::next(*last);
      while (at != merged.end() && (!counts(*at) || !in_copy.count(key(*at)))) ++at;
    } else {
      // The copy's first item: before the first of its followers the original holds.
      for (size_t j = i + 1; j < copy.size(); ++j) {
        if (!counts(copy[j])) continue;
        if (auto next = where.find(key(copy[j])); next != where.end()) {
          at = next->second;
          break;
        }
      }
    }
    last = merged.insert(at, copy[i]);
    where.emplace(k, *last);
  }
  return std::vector<T>(merged.begin(), merged.end());
}

// The conflict copies in `folder` of the job list (`of_list`) or of job files, by name, sorted.
// A folder of 40,000 jobs is read once, and only the few names that may be copies are matched.
std::vector<std::string> ConflictCopiesIn(const std::string& folder, bool of_list) {
  std::vector<std::string> copies;
  if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
    while (const char* file = g_dir_read_name(dir)) {
      const std::optional<std::string> original = ConflictCopyOriginal(file);
      if (original && (of_list ? *original == kListFileName : !JobNameOfFile(*original).empty()))
        copies.emplace_back(file);
    }
    g_dir_close(dir);
  }
  std::sort(copies.begin(), copies.end());
  return copies;
}

// The trash, else "Conflicts/" in the application folder, else nowhere (false).
bool PutAway(const std::string& path) {
  try {
    Gio::init();
    if (Gio::File::create_for_path(path)->trash()) return true;
  } catch (const Glib::Error&) {
  }
  const std::string keep = JoinPath(ApplicationFolder(), "Conflicts");
  g_mkdir_with_parents(keep.c_str(), 0700);
  gchar* name = g_path_get_basename(path.c_str());
  const std::string base = name;
  g_free(name);
  for (int n = 0; n < 1000; ++n) {
    const std::string target = JoinPath(keep, n == 0 ? base : std::to_string(n) + "-" + base);
    if (g_file_test(target.c_str(), G_FILE_TEST_EXISTS)) continue;
    return g_rename(path.c_str(), target.c_str()) == 0;
  }
  return false;
}

}  // namespace

std::optional<std::string> ConflictCopyOriginal(const std::string& file_name) {
  static const std::regex syncthing(
      R"(^(.+)\.sync-conflict-[0-9]{8}-[0-9]{6}-[A-Z0-9]{7}(\.[^.]*)?$)");
  static const std::regex others(R"(^(.+) \([^()]*conflicted copy[^()]*\)(\.[^.]*)?$)",
                                 std::regex::icase);
  // Most names are plain job files: only a name with a marker of the tools is matched in full.
  std::string lower = file_name;
  for (char& c : lower) c = g_ascii_tolower(c);
  const bool maybe = lower.find(".sync-conflict-") != std::string::npos ||
                     lower.find("conflicted copy") != std::string::npos;
  std::smatch m;
  if (maybe &&
      (std::regex_match(file_name, m, syncthing) || std::regex_match(file_name, m, others)))
    return m[1].str() + m[2].str();
  return std::nullopt;
}

std::vector<std::string> MergeJobNames(const std::vector<std::string>& original,
                                       const std::vector<std::string>& copy) {
  return MergeInOrder<std::string>(
      original, copy, [](const std::string& n) { return n; },
      [](const std::string& n) { return !n.empty(); });
}

std::vector<JobEntry> MergeJobEntries(const std::vector<JobEntry>& original,
                                      const std::vector<JobEntry>& copy) {
  return MergeInOrder<JobEntry>(
      original, copy, [](const JobEntry& e) { return e.Title + std::string(1, '\0') + e.URL; },
      [](const JobEntry&) { return true; });
}

bool HasConflictCopies(const std::string& jobs_folder) {
  return !ConflictCopiesIn(jobs_folder, true).empty() ||
         !ConflictCopiesIn(JobFilesFolder(jobs_folder), false).empty();
}

ConflictMerge MergeConflictCopies(const std::string& jobs_folder) {
  ConflictMerge out;
  const std::string job_files = JobFilesFolder(jobs_folder);
  const std::vector<std::string> list_copies = ConflictCopiesIn(jobs_folder, true);
  const std::vector<std::string> job_copies = ConflictCopiesIn(job_files, false);
  if (list_copies.empty() && job_copies.empty()) return out;
  JobListLock lock(jobs_folder);
  auto put_away = [&out](const std::string& path, bool changed) {
    if (PutAway(path)) return true;
    out.kept.push_back(path);
    return changed;  // a copy left in place is reported once, when it changed something
  };

  for (const std::string& file : list_copies) {
    const std::string path = JoinPath(jobs_folder, file);
    ReadFailure failure = ReadFailure::None;
    std::optional<std::string> copy = ReadFileBytes(path, kJobListReadLimit, &failure);
    std::optional<std::vector<std::string>> original = ReadJobList(jobs_folder, &failure);
    if (!original && failure == ReadFailure::Missing) original.emplace();
    if (!copy || !original) {
      out.errors.push_back(path);
      continue;
    }
    const std::vector<std::string> merged = MergeJobNames(*original, ParseJobList(*copy));
    const bool changed = merged != *original;
    std::string error;
    if (changed && !WriteFileAtomically(JobListPath(jobs_folder), FormatJobList(merged), &error)) {
      out.errors.push_back(error);
      continue;
    }
    if (put_away(path, changed)) out.list = true;
  }

  for (const std::string& file : job_copies) {
    const std::string name = JobNameOfFile(*ConflictCopyOriginal(file));
    const std::string path = JoinPath(job_files, file);
    std::optional<std::string> copy = ReadFileBytes(path, kJobFileReadLimit);
    ReadFailure failure = ReadFailure::None;
    // Both sides whole: the cap on entries is the display's, and a merge that read only the
    // first would write the job cut short.
    std::optional<Job> original = ReadWholeJobFile(jobs_folder, name, &failure);
    if (!original && failure == ReadFailure::Missing) original.emplace();
    if (!copy || !original) {
      out.errors.push_back(path);
      continue;
    }
    const std::vector<JobEntry> merged =
        MergeJobEntries(original->entries, ParseWholeJobFile(*copy).entries);
    const bool changed = merged != original->entries || !JobFileExists(jobs_folder, name);
    std::string error;
    if (changed && !WriteJobFile(jobs_folder, name, merged, &error)) {
      out.errors.push_back(error);
      continue;
    }
    if (std::optional<ResumePoint> point = RecallResumePoint(name)) {
      const int index = ResumeIndex(merged, point);
      if (index != point->index) RememberResumePoint(name, {index, point->url});
    }
    if (put_away(path, changed)) out.jobs.push_back(name);
  }
  return out;
}

std::string MergedConflictNotice(const ConflictMerge& merge) {
  std::string names;
  for (const std::string& name : merge.jobs) names += "「" + name + "」";
  if (names.empty() && merge.list) names = "ジョブリスト";
  if (names.empty()) return {};
  return names + "の競合コピーを統合しました";
}

std::string ConflictCopiesKeptNotice(const std::string& copies) {
  return "競合コピー" + copies + "をごみ箱に移せなかったため、そのまま残しています";
}

}  // namespace tarvik
