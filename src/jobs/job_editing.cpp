#include "jobs/job_editing.h"

#include <glib.h>

#include <algorithm>
#include <set>
#include <utility>

#include "favorites/shortcut_file.h"
#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

std::string TrimSpaces(std::string_view text) { return TrimChars(text, " "); }

TypedEntry CheckTypedEntry(std::string_view title, std::string_view url) {
  TypedEntry result;
  result.entry.URL = TrimSpaces(url);
  if (result.entry.URL.empty()) {
    result.refusal = kNoURLMessage;
    return result;
  }
  result.entry.Title = TrimSpaces(title);
  if (result.entry.Title.empty()) result.refusal = kNoTitleMessage;
  return result;
}

bool HasUnsavedEdits(const std::vector<JobEntry>& edited, const std::vector<JobEntry>& read) {
  if (edited.size() != read.size()) return true;
  for (size_t i = 0; i < edited.size(); ++i)
    if (StoredForm(edited[i]) != read[i]) return true;
  return false;
}

std::string DiscardEditsQuestion(const std::string& job_name) {
  return "ジョブ「" + job_name + "」の変更は保存されていません。\r\n変更を破棄して閉じますか？";
}

std::vector<JobEntry> EntriesAddedElsewhere(const std::vector<JobEntry>& on_disk,
                                            const std::vector<JobEntry>& first_read,
                                            const std::vector<JobEntry>& edited) {
  std::set<std::pair<std::string, std::string>> known;
  for (const auto* entries : {&first_read, &edited})
    for (const JobEntry& entry : *entries) {
      JobEntry stored = StoredForm(entry);
      known.emplace(std::move(stored.Title), std::move(stored.URL));
    }
  std::vector<JobEntry> added;
  for (const JobEntry& entry : on_disk) {
    JobEntry stored = StoredForm(entry);
    if (!known.count({stored.Title, stored.URL})) added.push_back(entry);
  }
  return added;
}

bool SaveEditedJob(const std::string& jobs_folder, const std::string& name,
                   const std::vector<JobEntry>& first_read, const std::vector<JobEntry>& edited,
                   std::vector<JobEntry>* added_elsewhere, std::string* error) {
  JobListLock lock(jobs_folder);
  std::vector<JobEntry> entries = edited;
  std::vector<JobEntry> added;
  std::optional<Job> now = ReadJobFile(jobs_folder, name);
  if (now && now->entries != first_read) {
    for (JobEntry& entry : EntriesAddedElsewhere(now->entries, first_read, edited)) {
      if (static_cast<int>(entries.size()) >= kMaxJobEntries) break;
      entries.push_back(entry);
      added.push_back(std::move(entry));
    }
  }
  if (!WriteJobFile(jobs_folder, name, entries, error)) return false;
  if (added_elsewhere) *added_elsewhere = std::move(added);
  return true;
}

bool AppendEntryToJob(const std::string& jobs_folder, const std::string& name,
                      const JobEntry& entry, std::string* error) {
  JobListLock lock(jobs_folder);
  ReadFailure failure = ReadFailure::None;
  std::optional<Job> job = ReadJobFile(jobs_folder, name, &failure);
  if (!job) {
    if (error) *error = ReadFailureMessage(JobFilePath(jobs_folder, name), failure);
    return false;
  }
  if (job->truncated || static_cast<int>(job->entries.size()) >= kMaxJobEntries) {
    if (error)
      *error = "ジョブ「" + name + "」には " + std::to_string(kMaxJobEntries) +
               " 件を超えるURLを登録できません。";
    return false;
  }
  job->entries.push_back(entry);
  return WriteJobFile(jobs_folder, name, job->entries, error);
}

std::string TitleBeforeFirstDot(std::string_view file_name) {
  return std::string(file_name.substr(0, file_name.find('.')));
}

std::string TitleBeforeLastDot(std::string_view file_name) {
  return std::string(file_name.substr(0, file_name.rfind('.')));
}

std::optional<DroppedEntry> DropFromUriList(std::string_view uri_list) {
  gchar** uris = g_uri_list_extract_uris(std::string(uri_list).c_str());
  std::optional<DroppedEntry> link;
  std::optional<DroppedEntry> file;
  for (gchar** u = uris; u && *u && !file; ++u) {
    if (gchar* path = g_filename_from_uri(*u, nullptr, nullptr)) {
      file = DroppedEntry{TitleBeforeFirstDot(LocalFileName(path)), ReadShortcutURL(path)};
      g_free(path);
    } else if (!link && **u) {
      link = DroppedEntry{*u, *u};
    }
  }
  g_strfreev(uris);
  return file ? file : link;
}

std::optional<DroppedEntry> DropFromText(std::string_view text) {
  if (text.empty()) return std::nullopt;
  return DroppedEntry{std::string(text), std::string(text)};
}

RenameCheck CheckRename(const std::vector<std::string>& names, int index, const std::string& answer,
                        bool answer_file_exists) {
  const std::string current =
      index >= 0 && index < static_cast<int>(names.size()) ? names[index] : std::string();
  if (answer.empty() || answer == current) return RenameCheck::Unchanged;
  if (!IsValidJobName(answer)) return RenameCheck::InvalidName;
  if (answer_file_exists) return RenameCheck::NameTaken;
  for (int i = 0; i < static_cast<int>(names.size()); ++i)
    if (i != index && names[i] == answer) return RenameCheck::NameTaken;
  return RenameCheck::Accepted;
}

ImportNameCheck CheckImportName(const std::string& name) {
  if (name.empty()) return ImportNameCheck::RootFolder;
  if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
    return ImportNameCheck::InvalidName;
  return ImportNameCheck::Accepted;
}

bool HasShortcutExtension(std::string_view file_name) {
  return file_name.size() >= 4 &&
         g_ascii_strncasecmp(file_name.data() + file_name.size() - 4, ".url", 4) == 0;
}

std::optional<std::string> ImportedURL(std::string_view text) {
  for (const std::string& line : SplitLines(text)) {
    // ASCII folding keeps every byte in place, so a position in the folded copy is a position in
    // the line.
    gchar* folded = g_ascii_strup(line.data(), static_cast<gssize>(line.size()));
    std::string_view upper(folded, line.size());
    size_t at = upper.find("URL=");
    g_free(folded);
    if (at != std::string_view::npos) return line.substr(at + 4);
  }
  return std::nullopt;
}

std::vector<JobEntry> CollectFavoriteEntries(const std::string& folder) {
  std::vector<JobEntry> entries;
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (!dir) return entries;
  // The folder lists its files in no useful order (hash order on ext4): they are taken in the
  // order a file manager shows them.
  struct Listed {
    std::string key;
    std::string name;  // as text
    std::string raw;   // as the file system has it
  };
  std::vector<Listed> files;
  while (const char* raw = g_dir_read_name(dir)) {
    // File names are bytes; show them as text the way the rest of the program does.
    gchar* display = g_filename_display_name(raw);
    std::string name = display;
    g_free(display);
    if (!HasShortcutExtension(name)) continue;
    gchar* key = g_utf8_collate_key_for_filename(name.c_str(), -1);
    files.push_back(Listed{key, std::move(name), raw});
    g_free(key);
  }
  g_dir_close(dir);
  std::stable_sort(files.begin(), files.end(), [](const Listed& a, const Listed& b) {
    return a.key != b.key ? a.key < b.key : a.raw < b.raw;
  });
  for (const Listed& file : files) {
    const std::string path = JoinPath(folder, file.raw);
    std::optional<std::string> bytes = ReadFileBytes(path, kShortcutReadLimit);
    if (!bytes) continue;
    if (std::optional<std::string> url = ImportedURL(DecodeText(*bytes)))
      entries.push_back(JobEntry{TitleBeforeLastDot(file.name), std::move(*url)});
    if (static_cast<int>(entries.size()) == kMaxJobEntries) break;
  }
  return entries;
}

}  // namespace tarvik
