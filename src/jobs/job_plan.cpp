#include "jobs/job_plan.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <glib.h>

#include <cerrno>
#include <optional>
#include <unordered_set>

#include "jobs/bookmarks.h"
#include "platform/file_names.h"
#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

// The note a plan keeps in "JobFiles/" while it puts job files in place that the list does not
// name yet: ".tarvik-new-jobs-" + the host's name + "-" + the process id, holding those names
// one per line. The host's name keeps a note that a sync tool brought from another machine from
// being taken for one of a process here that has gone: the files it names may still be on their
// way, and removing them here would remove them there too.
constexpr std::string_view kNotePrefix = ".tarvik-new-jobs-";

std::string ThisHostsNotePrefix() { return std::string(kNotePrefix) + g_get_host_name() + "-"; }

std::string NotePath(const std::string& jobs_folder) {
  return JoinPath(JobFilesFolder(jobs_folder),
                  ThisHostsNotePrefix() + std::to_string(static_cast<long>(::getpid())));
}

bool CanBeJobFileName(const std::string& name) {
  return !name.empty() && name.find_first_of(std::string_view("/\r\n\0", 4)) == std::string::npos;
}

bool ProcessRuns(long pid) {
  return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The job list's lines for a change; a missing list has none.
std::optional<std::vector<std::string>> ListedNames(const std::string& jobs_folder,
                                                    std::string* error) {
  ReadFailure failure = ReadFailure::None;
  std::optional<std::vector<std::string>> names = ReadJobList(jobs_folder, &failure);
  if (!names && failure == ReadFailure::Missing) return std::vector<std::string>{};
  if (!names && error) *error = ReadFailureMessage(JobListPath(jobs_folder), failure);
  return names;
}

// Job files a killed plan put in place: those its note names that the list does not.
void RemoveUnlistedFilesOf(const std::string& jobs_folder, const std::string& note) {
  std::optional<std::string> bytes = ReadFileBytes(note, kJobListReadLimit);
  std::optional<std::vector<std::string>> listed = ListedNames(jobs_folder, nullptr);
  if (bytes && listed) {
    const std::unordered_set<std::string> in_list(listed->begin(), listed->end());
    for (const std::string& name : ParseJobList(*bytes))
      if (CanBeJobFileName(name) && !in_list.count(name)) DeleteJobFile(jobs_folder, name);
  }
  if (bytes || !FileExists(note)) ::unlink(note.c_str());
}

}  // namespace

std::vector<std::string> TakenJobNames(const std::string& jobs_folder) {
  std::vector<std::string> names = ReadJobList(jobs_folder).value_or(std::vector<std::string>{});
  for (std::string& name : JobFileNames(jobs_folder)) names.push_back(std::move(name));
  return names;
}

PlanOutcome CarryOutJobPlan(const std::string& jobs_folder, const JobPlan& plan,
                            const PlanProgress& progress) {
  PlanOutcome out;
  size_t total = 0;
  for (const PlannedJob& job : plan.jobs) {
    if (!CanBeJobFileName(job.name)) {
      out.error = "job name cannot be a file name: " + job.name;
      return out;
    }
    total += job.entries.size();
  }
  if (plan.jobs.empty()) return out;

  // Every job file is written first beside its place, where a stop costs nothing.
  std::vector<std::string> temps;
  temps.reserve(plan.jobs.size());
  auto discard = [&temps] {
    for (const std::string& temp : temps) ::unlink(temp.c_str());
  };
  size_t done = 0;
  if (progress && !progress(0, total)) {
    out.cancelled = true;
    return out;
  }
  for (const PlannedJob& job : plan.jobs) {
    std::optional<std::string> temp = WriteTemporaryFileFor(JobFilePath(jobs_folder, job.name),
                                                            FormatJobFile(job.entries), &out.error);
    if (!temp) {
      discard();
      return out;
    }
    temps.push_back(std::move(*temp));
    done += job.entries.size();
    if (progress && !progress(done, total)) {
      discard();
      out.cancelled = true;
      return out;
    }
  }
  // One flush for all of them, rather than one per file.
  SyncFileSystemOf(JobFilesFolder(jobs_folder));

  JobListLock lock(jobs_folder);
  std::optional<std::vector<std::string>> listed = ListedNames(jobs_folder, &out.error);
  if (!listed) {
    discard();
    return out;
  }
  const std::unordered_set<std::string> in_list(listed->begin(), listed->end());
  JobNamePicker picker(*listed);
  // The final names: a name taken since the plan was made (by another process) moves on.
  std::vector<std::string> names;
  std::vector<size_t> new_jobs;  // the jobs that get a line, in plan order
  for (size_t i = 0; i < plan.jobs.size(); ++i) {
    const PlannedJob& job = plan.jobs[i];
    std::string name = job.name;
    if (job.replace) {
      picker.Use(name);
    } else {
      name = picker.Pick(job.name);
      while (FileExists(JobFilePath(jobs_folder, name))) name = picker.Pick(job.name);
    }
    if (!in_list.count(name)) new_jobs.push_back(i);
    names.push_back(std::move(name));
  }
  auto new_names = [&] {
    std::vector<std::string> list;
    for (size_t i : new_jobs) list.push_back(names[i]);
    return list;
  };
  const std::string note = NotePath(jobs_folder);
  std::vector<size_t> placed;
  auto roll_back = [&] {
    for (size_t i : placed) DeleteJobFile(jobs_folder, names[i]);
    for (size_t i = 0; i < temps.size(); ++i) ::unlink(temps[i].c_str());
    ::unlink(note.c_str());
  };
  if (!new_jobs.empty() && !WriteFileAtomically(note, FormatJobList(new_names()), &out.error)) {
    discard();
    return out;
  }
  // The new jobs' files go in place, then their lines go to the list in one write.
  for (size_t i : new_jobs) {
    for (;;) {
      const std::string target = JobFilePath(jobs_folder, names[i]);
      const bool moved = plan.jobs[i].replace ? ::rename(temps[i].c_str(), target.c_str()) == 0
                                              : RenameWithoutReplacing(temps[i], target);
      if (moved) break;
      const int err = errno;
      if (err != EEXIST || plan.jobs[i].replace) {
        out.error = target + ": " + g_strerror(err);
        roll_back();
        return out;
      }
      // A file of that name appeared meanwhile: another name, noted before it is used.
      names[i] = picker.Pick(plan.jobs[i].name);
      if (!WriteFileAtomically(note, FormatJobList(new_names()), &out.error)) {
        roll_back();
        return out;
      }
    }
    placed.push_back(i);
  }
  SyncFolder(JobFilesFolder(jobs_folder));
  if (!AppendJobNames(lock, jobs_folder, new_names(), &out.error)) {
    roll_back();
    return out;
  }
  ::unlink(note.c_str());
  out.names = names;
  out.entries = total;
  // Listed jobs that are replaced: their files, now that the rest is done. One that cannot be
  // replaced keeps its old file.
  std::unordered_set<size_t> is_new(new_jobs.begin(), new_jobs.end());
  for (size_t i = 0; i < plan.jobs.size(); ++i) {
    if (is_new.count(i)) continue;
    const std::string target = JobFilePath(jobs_folder, names[i]);
    if (::rename(temps[i].c_str(), target.c_str()) != 0) {
      if (out.error.empty()) out.error = target + ": " + g_strerror(errno);
      ::unlink(temps[i].c_str());
    }
  }
  return out;
}

void SweepJobLeftovers(const std::string& jobs_folder) {
  RemoveStaleTemporaryFilesIn(jobs_folder);
  const std::string folder = JobFilesFolder(jobs_folder);
  RemoveStaleTemporaryFilesIn(folder);
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (!dir) return;
  std::vector<std::string> notes;
  const std::string prefix = ThisHostsNotePrefix();
  while (const char* file = g_dir_read_name(dir)) {
    const std::string_view n(file);
    if (n.substr(0, prefix.size()) != prefix) continue;
    const std::string digits(n.substr(prefix.size()));
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
        digits.size() > 10)
      continue;
    if (!ProcessRuns(std::stol(digits))) notes.push_back(JoinPath(folder, std::string(n)));
  }
  g_dir_close(dir);
  if (notes.empty()) return;
  JobListLock lock(jobs_folder);
  for (const std::string& note : notes) RemoveUnlistedFilesOf(jobs_folder, note);
}

}  // namespace tarvik
