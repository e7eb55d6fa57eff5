// Feeds arbitrary bytes to the job-file and job-list readers through real files, and checks that
// whatever they read is written and read back as the writers promise.
#include <glib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "jobs/job_files.h"
#include "platform/text_file.h"

namespace {

using tarvik::Job;
using tarvik::JobEntry;
using tarvik::fuzz::Check;
using tarvik::fuzz::Home;
using tarvik::fuzz::PutFile;

void FuzzJobFile(std::string_view bytes) {
  const std::string& home = Home();
  PutFile(tarvik::JobFilePath(home, "in"), bytes);
  auto job = tarvik::ReadJobFile(home, "in");
  Check(job.has_value(), "job file reads");
  Check(job->entries.size() <= static_cast<size_t>(tarvik::kMaxJobEntries), "entry limit");
  Check(job->last_index == static_cast<int>(job->entries.size()) - 1, "last index");
  Check(job->entries == tarvik::ParseJobFile(bytes).entries, "file reader matches byte reader");

  std::string error;
  Check(tarvik::WriteJobFile(home, "out", job->entries, &error), "job file writes");
  auto again = tarvik::ReadJobFile(home, "out");
  Check(again.has_value() && !again->truncated, "written job file reads");
  std::vector<JobEntry> expected;
  for (const auto& e : job->entries) expected.push_back(tarvik::StoredForm(e));
  Check(again->entries == expected, "job file reads back as written");
}

void FuzzJobList(std::string_view bytes) {
  const std::string& home = Home();
  const std::string path = tarvik::JobListPath(home);
  PutFile(path, bytes);
  auto names = tarvik::ReadJobList(home);
  Check(names.has_value(), "job list reads");
  Check(*names == tarvik::ParseJobList(bytes), "file reader matches byte reader");

  // Appending keeps every line and adds exactly one.
  for (const std::string added : {"ニュース", "Café 〜"}) {
    PutFile(path, bytes);
    Check(tarvik::AppendJobName(home, added), "append");
    auto after = tarvik::ReadJobList(home);
    std::vector<std::string> expected = *names;
    expected.push_back(added);
    Check(after.has_value() && *after == expected, "append keeps the list");
  }

  Check(tarvik::RewriteJobList(home, *names), "rewrite");
  Check(tarvik::ReadJobList(home) == names, "job list reads back as written");
  if (!names->empty()) {
    const std::string removed = names->front();
    Check(tarvik::RemoveJobFromList(home, removed), "remove");
    auto rest = tarvik::ReadJobList(home);
    std::vector<std::string> expected;
    for (const auto& n : *names)
      if (n != removed) expected.push_back(n);
    Check(rest.has_value() && *rest == expected, "remove drops every copy and only those");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  FuzzJobFile(bytes);
  FuzzJobList(bytes);
  return 0;
}
