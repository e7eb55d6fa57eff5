#include "jobs/job_files.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <glib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/file_names.h"
#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// What a double quote becomes inside a field that has to be quoted.
constexpr std::string_view kTitleQuote = "\xEF\xBC\x82";  // U+FF02 FULLWIDTH QUOTATION MARK
constexpr std::string_view kUrlQuote = "%22";

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// A name that can be the base of a file in "JobFiles/" without leaving it or being cut.
bool IsFileNameSafe(std::string_view name) {
  return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

std::string ErrnoText(const std::string& what, int err) { return what + ": " + g_strerror(err); }

bool RefuseUnsafeName(const std::string& name, std::string* error) {
  if (IsFileNameSafe(name)) return false;
  SetError(error, "job name cannot be a file name: " + name);
  return true;
}

// ---- Job file fields ---------------------------------------------------------------------------

// Reads fields from decoded job file text by the sequential-input rule.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  // Blank lines at the very end of the file are no entries.
  bool OnlyLineEndsLeft() const {
    return text_.find_first_not_of("\r\n", pos_) == std::string_view::npos;
  }

  std::string Next() {
    const size_t n = text_.size();
    while (pos_ < n && text_[pos_] == ' ') ++pos_;
    if (pos_ >= n) return {};
    std::string value;
    if (text_[pos_] == '"') {
      size_t start = pos_ + 1;
      size_t close = text_.find('"', start);
      if (close == std::string_view::npos) {
        value.assign(text_.substr(start));
        pos_ = n;
        return value;
      }
      value.assign(text_.substr(start, close - start));
      // Whatever stands between the closing quote and the next separator is dropped.
      pos_ = close + 1;
      while (pos_ < n && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
    } else {
      size_t start = pos_;
      while (pos_ < n && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
      value.assign(text_.substr(start, pos_ - start));
    }
    SkipSeparator();
    return value;
  }

 private:
  void SkipSeparator() {
    const size_t n = text_.size();
    if (pos_ >= n) return;
    char c = text_[pos_++];
    if (c == '\r' && pos_ < n && text_[pos_] == '\n') ++pos_;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

// True when the reader would not give `field` back whole unless it is quoted.
bool NeedsQuotes(std::string_view field) {
  if (field.empty()) return false;
  if (field.front() == ' ' || field.front() == '"') return true;
  for (char c : field)
    if (c == ',' || c == '\r' || c == '\n') return true;
  return false;
}

// The field as it reads back: a double quote cannot live inside a quoted field.
std::string StoredField(std::string_view field, std::string_view quote_stand_in) {
  if (!NeedsQuotes(field) || field.find('"') == std::string_view::npos) return std::string(field);
  std::string out;
  for (char c : field) {
    if (c == '"')
      out.append(quote_stand_in);
    else
      out.push_back(c);
  }
  return out;
}

std::string RemoveCommas(std::string_view title) {
  std::string out;
  out.reserve(title.size());
  for (char c : title)
    if (c != ',') out.push_back(c);
  return out;
}

// Appends `field` as the reader will give it back: quoted when it has to be, with its double
// quotes replaced by `quote_stand_in` in that case.
void AppendStoredField(std::string& out, std::string_view field, std::string_view quote_stand_in) {
  if (!NeedsQuotes(field)) {
    out.append(field);
    return;
  }
  out.push_back('"');
  out.append(StoredField(field, quote_stand_in));
  out.push_back('"');
}

// ---- The job list ------------------------------------------------------------------------------

bool RefuseLineBreaks(const std::vector<std::string>& names, std::string* error) {
  for (const auto& name : names) {
    if (HasLineBreak(name)) {
      SetError(error, "job name holds a line break");
      return true;
    }
  }
  return false;
}

}  // namespace

// ---- Paths -------------------------------------------------------------------------------------

std::string JobListPath(const std::string& jobs_folder) {
  return JoinPath(jobs_folder, "TVJob.lst");
}

std::string JobFilePath(const std::string& jobs_folder, const std::string& name) {
  return JoinPath(JobFilesFolder(jobs_folder), name + kJobFileSuffix);
}

// ---- Formats -----------------------------------------------------------------------------------

namespace {

Job ParseEntries(std::string_view bytes, size_t most) {
  const std::string text = DecodeText(bytes);
  FieldReader reader(text);
  Job job;
  while (!reader.AtEnd() && !reader.OnlyLineEndsLeft()) {
    if (job.entries.size() >= most) {
      job.truncated = true;
      break;
    }
    JobEntry entry;
    entry.Title = reader.Next();
    // At the end of the file the URL of an incomplete last entry reads as empty.
    entry.URL = reader.Next();
    job.entries.push_back(std::move(entry));
  }
  job.last_index = static_cast<int>(job.entries.size()) - 1;
  return job;
}

}  // namespace

Job ParseJobFile(std::string_view bytes) { return ParseEntries(bytes, kMaxJobEntries); }

Job ParseWholeJobFile(std::string_view bytes) { return ParseEntries(bytes, SIZE_MAX); }

JobEntry StoredForm(const JobEntry& entry) {
  return JobEntry{StoredField(RemoveCommas(entry.Title), kTitleQuote),
                  StoredField(entry.URL, kUrlQuote)};
}

std::string FormatJobFile(const std::vector<JobEntry>& entries) {
  std::string text;
  size_t size = 0;
  for (const auto& e : entries) size += e.Title.size() + e.URL.size() + 8;
  text.reserve(size);
  for (const auto& e : entries) {
    if (e.Title.find(',') == std::string::npos)
      AppendStoredField(text, e.Title, kTitleQuote);
    else
      AppendStoredField(text, RemoveCommas(e.Title), kTitleQuote);
    text.push_back(',');
    AppendStoredField(text, e.URL, kUrlQuote);
    text.append(kCrLf);
  }
  return EncodeText(text);
}

std::vector<std::string> ParseJobList(std::string_view bytes) {
  return SplitLines(DecodeText(bytes));
}

std::string FormatJobList(const std::vector<std::string>& names) {
  std::string text;
  for (const auto& name : names) {
    text.append(name);
    text.append(kCrLf);
  }
  return EncodeText(text);
}

// ---- The job list ------------------------------------------------------------------------------

bool JobListExists(const std::string& jobs_folder) { return FileExists(JobListPath(jobs_folder)); }

std::optional<std::vector<std::string>> ReadJobList(const std::string& jobs_folder,
                                                    ReadFailure* failure) {
  auto bytes = ReadFileBytes(JobListPath(jobs_folder), kJobListReadLimit, failure);
  if (!bytes) return std::nullopt;
  return ParseJobList(*bytes);
}

namespace {

// The list's bytes for a change, or nothing with the reason in `error`. A missing list is empty
// when `missing_is_empty`.
std::optional<std::string> ReadJobListToChange(const std::string& path, bool missing_is_empty,
                                               std::string* error) {
  ReadFailure failure = ReadFailure::None;
  std::optional<std::string> bytes = ReadFileBytes(path, kJobListReadLimit, &failure);
  if (!bytes && failure == ReadFailure::Missing && missing_is_empty) return std::string();
  if (!bytes) SetError(error, ReadFailureMessage(path, failure));
  return bytes;
}

bool WriteJobListUnlocked(const std::string& jobs_folder, const std::vector<std::string>& names,
                          std::string* error) {
  if (RefuseLineBreaks(names, error)) return false;
  return WriteFileAtomically(JobListPath(jobs_folder), FormatJobList(names), error);
}

}  // namespace

JobListLock::JobListLock(const std::string& jobs_folder) : lock_(JobListPath(jobs_folder)) {}

bool AppendJobName(const std::string& jobs_folder, const std::string& name, std::string* error) {
  JobListLock lock(jobs_folder);
  return AppendJobNames(lock, jobs_folder, {name}, error);
}

bool AppendJobNames(const JobListLock&, const std::string& jobs_folder,
                    const std::vector<std::string>& names, std::string* error) {
  if (RefuseLineBreaks(names, error)) return false;
  if (names.empty()) return true;
  const std::string path = JobListPath(jobs_folder);
  std::optional<std::string> existing = ReadJobListToChange(path, true, error);
  if (!existing) return false;
  const std::string& bytes = *existing;
  std::string added;
  for (const std::string& name : names) added.append(name).append(kCrLf);

  std::string_view body(bytes);
  const bool has_bom = body.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (has_bom) body.remove_prefix(kUtf8Bom.size());
  std::string out;
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    // A list an editor saved as UTF-16: written again in the program's own encoding.
    auto all = ParseJobList(bytes);
    all.insert(all.end(), names.begin(), names.end());
    out = FormatJobList(all);
  } else if (!HasNonAscii(body) && !has_bom) {
    // Plain ASCII reads the same in either encoding: let the encoder choose for the new names.
    std::string text(body);
    if (!text.empty() && !IsLineEnd(text.back())) text.append(kCrLf);
    text.append(added);
    out = EncodeText(text);
  } else {
    // Keep the existing lines byte for byte and add the names in the list's own encoding.
    const bool is_utf8 = has_bom || DecodeText(bytes) == body;
    std::optional<std::string> encoded;
    if (is_utf8)
      encoded = added;
    else
      encoded = EncodeCp932(added);
    if (encoded) {
      out = bytes;
      if (!body.empty() && !IsLineEnd(body.back())) out.append(kCrLf);
      out.append(*encoded);
    } else {
      // A code page 932 list that must now hold a character outside it: rewrite it in UTF-8.
      auto all = ParseJobList(bytes);
      all.insert(all.end(), names.begin(), names.end());
      out = FormatJobList(all);
    }
  }
  return WriteFileAtomically(path, out, error);
}

bool RewriteJobList(const std::string& jobs_folder, const std::vector<std::string>& names,
                    std::string* error) {
  FileLock lock(JobListPath(jobs_folder));
  return WriteJobListUnlocked(jobs_folder, names, error);
}

bool RemoveJobFromList(const std::string& jobs_folder, const std::string& name,
                       std::string* error) {
  const std::string path = JobListPath(jobs_folder);
  FileLock lock(path);
  std::optional<std::string> bytes = ReadJobListToChange(path, false, error);
  if (!bytes) return false;
  std::vector<std::string> kept;
  for (auto& line : ParseJobList(*bytes))
    if (line != name) kept.push_back(std::move(line));
  return WriteJobListUnlocked(jobs_folder, kept, error);
}

bool RenameJobInList(const std::string& jobs_folder, const std::string& old_name,
                     const std::string& new_name, std::string* error) {
  if (RefuseLineBreaks({new_name}, error)) return false;
  const std::string path = JobListPath(jobs_folder);
  FileLock lock(path);
  std::optional<std::string> bytes = ReadJobListToChange(path, false, error);
  if (!bytes) return false;
  std::vector<std::string> names = ParseJobList(*bytes);
  bool found = false;
  for (auto& line : names) {
    if (line == new_name && new_name != old_name) {
      SetError(error, "job name already listed: " + new_name);
      return false;
    }
  }
  for (auto& line : names) {
    if (line == old_name) {
      line = new_name;
      found = true;
    }
  }
  if (!found) {
    SetError(error, "job not listed: " + old_name);
    return false;
  }
  return WriteJobListUnlocked(jobs_folder, names, error);
}

// ---- Job files ---------------------------------------------------------------------------------

bool JobFileExists(const std::string& jobs_folder, const std::string& name) {
  return IsFileNameSafe(name) && FileExists(JobFilePath(jobs_folder, name));
}

namespace {

// A job's file read and parsed by `parse`, the name checked first.
std::optional<Job> ReadJobFileWith(const std::string& jobs_folder, const std::string& name,
                                   ReadFailure* failure, Job (*parse)(std::string_view)) {
  if (failure) *failure = ReadFailure::Missing;
  if (!IsFileNameSafe(name)) return std::nullopt;
  auto bytes = ReadFileBytes(JobFilePath(jobs_folder, name), kJobFileReadLimit, failure);
  if (!bytes) return std::nullopt;
  return parse(*bytes);
}

}  // namespace

std::optional<Job> ReadJobFile(const std::string& jobs_folder, const std::string& name,
                               ReadFailure* failure) {
  return ReadJobFileWith(jobs_folder, name, failure, ParseJobFile);
}

std::optional<Job> ReadWholeJobFile(const std::string& jobs_folder, const std::string& name,
                                    ReadFailure* failure) {
  return ReadJobFileWith(jobs_folder, name, failure, ParseWholeJobFile);
}

bool WriteJobFile(const std::string& jobs_folder, const std::string& name,
                  const std::vector<JobEntry>& entries, std::string* error) {
  if (RefuseUnsafeName(name, error)) return false;
  return WriteFileAtomically(JobFilePath(jobs_folder, name), FormatJobFile(entries), error);
}

bool CreateEmptyJobFile(const std::string& jobs_folder, const std::string& name,
                        std::string* error) {
  if (RefuseUnsafeName(name, error)) return false;
  return WriteFileAtomically(JobFilePath(jobs_folder, name), std::string_view(), error);
}

bool RenameJobFile(const std::string& jobs_folder, const std::string& old_name,
                   const std::string& new_name, std::string* error) {
  if (RefuseUnsafeName(old_name, error) || RefuseUnsafeName(new_name, error)) return false;
  const std::string from = JobFilePath(jobs_folder, old_name);
  const std::string to = JobFilePath(jobs_folder, new_name);
  if (!FileExists(from)) {
    SetError(error, "no job file " + from);
    return false;
  }
  if (old_name == new_name) return true;
  // Never replace another job's file, even when it appears between a check and the rename.
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  int err = errno;
  if (err == EINVAL || err == ENOSYS) {
    // The file system cannot refuse by itself: check first, then rename.
    if (g_file_test(to.c_str(), G_FILE_TEST_EXISTS)) {
      SetError(error, ErrnoText(to, EEXIST));
      return false;
    }
    if (rename(from.c_str(), to.c_str()) == 0) return true;
    err = errno;
  }
  SetError(error, ErrnoText(err == EEXIST ? to : from, err));
  return false;
}

std::vector<std::string> JobFileNames(const std::string& jobs_folder) {
  std::vector<std::string> names;
  if (GDir* dir = g_dir_open(JobFilesFolder(jobs_folder).c_str(), 0, nullptr)) {
    while (const char* file = g_dir_read_name(dir))
      if (std::string name = JobNameOfFile(file); !name.empty()) names.push_back(std::move(name));
    g_dir_close(dir);
  }
  return names;
}

bool DeleteJobFile(const std::string& jobs_folder, const std::string& name, std::string* error) {
  if (RefuseUnsafeName(name, error)) return false;
  const std::string path = JobFilePath(jobs_folder, name);
  if (unlink(path.c_str()) == 0 || errno == ENOENT) return true;
  SetError(error, ErrnoText(path, errno));
  return false;
}

}  // namespace tarvik
