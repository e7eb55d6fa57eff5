// Feeds two arbitrary files to the conflict merge, split at the first form feed: the original and
// a sync tool's copy, read whole as job files and as job lists. The merge keeps every item of
// both sides once, the original's in its order, and merging again changes nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "fuzz_support.h"
#include "jobs/job_conflicts.h"

namespace {

using tarvik::JobEntry;
using tarvik::fuzz::Check;

std::string Key(const JobEntry& e) { return e.Title + std::string(1, '\0') + e.URL; }
std::string Key(const std::string& name) { return name; }

// The properties of the merge for items that all count (entries, or names that are not blank).
template <typename T>
void CheckMerge(const std::vector<T>& original, const std::vector<T>& copy,
                const std::vector<T>& merged, bool (*counts)(const T&)) {
  std::unordered_map<std::string, int> seen;
  for (const T& item : merged)
    if (counts(item)) Check(++seen[Key(item)] == 1, "each item once");
  std::unordered_set<std::string> both;
  for (const auto* side : {&original, &copy})
    for (const T& item : *side)
      if (counts(item)) both.insert(Key(item));
  Check(seen.size() == both.size(), "every item of both sides and nothing else");
  for (const std::string& key : both) Check(seen.count(key) == 1, "an item of a side is kept");
  // The original's items keep its order.
  std::unordered_set<std::string> in_original;
  std::vector<std::string> order;
  for (const T& item : original)
    if (counts(item) && in_original.insert(Key(item)).second) order.push_back(Key(item));
  size_t at = 0;
  for (const T& item : merged)
    if (counts(item) && in_original.count(Key(item)))
      Check(at < order.size() && order[at++] == Key(item), "the original's order");
}

bool EveryEntry(const JobEntry&) { return true; }
bool NotBlank(const std::string& name) { return !name.empty(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\f');
  const std::string_view first = input.substr(0, split);
  const std::string_view second =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  const std::vector<JobEntry> original = tarvik::ParseWholeJobFile(first).entries;
  const std::vector<JobEntry> copy = tarvik::ParseWholeJobFile(second).entries;
  const std::vector<JobEntry> merged = tarvik::MergeJobEntries(original, copy);
  CheckMerge(original, copy, merged, &EveryEntry);
  Check(tarvik::MergeJobEntries(merged, copy) == merged, "merging the copy again changes nothing");
  Check(tarvik::ParseWholeJobFile(tarvik::FormatJobFile(merged)).entries.size() == merged.size(),
        "the merged job is written whole");

  const std::vector<std::string> names = tarvik::ParseJobList(first);
  const std::vector<std::string> copy_names = tarvik::ParseJobList(second);
  const std::vector<std::string> merged_names = tarvik::MergeJobNames(names, copy_names);
  CheckMerge(names, copy_names, merged_names, &NotBlank);
  Check(tarvik::MergeJobNames(merged_names, copy_names) == merged_names,
        "merging the list's copy again changes nothing");
  return 0;
}
