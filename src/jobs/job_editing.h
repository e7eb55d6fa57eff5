// The decisions of the job editor and of the job commands, without any window: what typed text
// makes of an entry, what a drop or a favorite file gives, which names a rename or an import may
// use, and how a favorites folder becomes a job.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

// ---- Typed entries -----------------------------------------------------------------------------

// `text` without the spaces at either end (only U+0020; other white space is kept).
std::string TrimSpaces(std::string_view text);

// The refusals of add and change, with their messages (caption "エラー").
inline constexpr char kNoURLMessage[] = "URLが指定されていません";
inline constexpr char kNoTitleMessage[] = "タイトルが指定されていません";

// What the two text boxes make of an entry. The URL is tested first, so a box pair that is
// empty on both sides is refused for its URL.
struct TypedEntry {
  JobEntry entry;                 // trimmed title and URL, when accepted
  const char* refusal = nullptr;  // kNoURLMessage or kNoTitleMessage, when refused
  bool accepted() const { return refusal == nullptr; }
};
TypedEntry CheckTypedEntry(std::string_view title, std::string_view url);

// ---- Titles from file names --------------------------------------------------------------------

// The editor's title for a favorite or a dropped file: its name up to, not including, the first
// "."; the whole name when it has none.
std::string TitleBeforeFirstDot(std::string_view file_name);
// The import's title for a shortcut file: its name up to, not including, the last ".".
std::string TitleBeforeLastDot(std::string_view file_name);

// ---- Drops -------------------------------------------------------------------------------------

// What a drop onto the editor gives: a title and a URL.
struct DroppedEntry {
  std::string title;
  std::string url;
  bool operator==(const DroppedEntry&) const = default;
};

// A "text/uri-list" drop. When it names a local file, the first such file stands for the drop:
// title = its name before the first ".", URL = ReadShortcutURL of it (the file is not checked
// to be a shortcut). Otherwise its first URI is a dragged link: title and URL are both that URI.
// Nothing when the list names nothing.
std::optional<DroppedEntry> DropFromUriList(std::string_view uri_list);
// A "text/plain" drop: title and URL are both the text. Nothing for an empty text.
std::optional<DroppedEntry> DropFromText(std::string_view text);

// ---- Renaming ----------------------------------------------------------------------------------

enum class RenameCheck {
  Unchanged,    // an empty answer (or the box cancelled) or the same name: nothing to do
  InvalidName,  // a character no job name may hold (line breaks included)
  NameTaken,    // another job already has that name, in the list or as a file
  Accepted,
};
// Whether job `index` of `names` may take the name `answer`. `answer_file_exists` tells whether
// a job file of that name exists already.
RenameCheck CheckRename(const std::vector<std::string>& names, int index, const std::string& answer,
                        bool answer_file_exists);

// ---- Saving ------------------------------------------------------------------------------------

// The entries another window or process added to the job while the editor held it: those of
// the file as it is now (`on_disk`) that are neither in the editor's list (`edited`) nor among
// the entries the editor read (`first_read`), in file order. Entries are compared as the file
// stores them (StoredForm), so an entry the editor wrote itself is never taken for an addition.
std::vector<JobEntry> EntriesAddedElsewhere(const std::vector<JobEntry>& on_disk,
                                            const std::vector<JobEntry>& first_read,
                                            const std::vector<JobEntry>& edited);
// Whether the editor holds edits its job's file lacks: its list (`edited`) differs from the
// entries it last read from the file or wrote to it (`read`, as the file stores them).
bool HasUnsavedEdits(const std::vector<JobEntry>& edited, const std::vector<JobEntry>& read);
// Asked (Yes/No, No by default) before Cancel, Escape or the close control throw such edits away.
std::string DiscardEditsQuestion(const std::string& job_name);

// Every writer of a job file (the editor's save, an added page, a conflict merge, a job plan)
// reads, changes and replaces it under the job list's lock (JobListLock), so that none of them
// writes over what another wrote between its read and its write.
//
// The editor's save of job `name`: reads the file as it is now, keeps the entries added
// elsewhere (EntriesAddedElsewhere, as many as the job has room for) after `edited`, and
// replaces the file with both. `added_elsewhere` receives those kept. False, with the reason in
// `error`, when the file cannot be written; an unreadable file is replaced by `edited` alone.
bool SaveEditedJob(const std::string& jobs_folder, const std::string& name,
                   const std::vector<JobEntry>& first_read, const std::vector<JobEntry>& edited,
                   std::vector<JobEntry>* added_elsewhere, std::string* error = nullptr);

// "Add the page to a job": appends `entry` to the job file of `name`. Fails, changing nothing,
// when the job file is missing or unreadable or the job is full (kMaxJobEntries).
bool AppendEntryToJob(const std::string& jobs_folder, const std::string& name,
                      const JobEntry& entry, std::string* error = nullptr);

// ---- The favorites-folder import ---------------------------------------------------------------

enum class ImportNameCheck {
  Accepted,
  RootFolder,   // the folder has no name of its own (the root, "/")
  InvalidName,  // the folder's name holds a line break, which no job list line can carry
};
// The job name an import takes from the folder's name. Other characters that IsValidJobName
// rejects (a comma, a semicolon, ...) are kept, as folder names hold them on purpose.
ImportNameCheck CheckImportName(const std::string& name);

// True when the last four characters of `file_name` are ".url" in any letter case.
bool HasShortcutExtension(std::string_view file_name);
// The import's own reading of a shortcut file's text: the first line that contains "URL="
// anywhere (any case) gives the rest of that line after the first "URL=", kept exactly as
// written. Nothing when no line holds it. Sections and the header are not looked at.
std::optional<std::string> ImportedURL(std::string_view text);
// The entries of every shortcut file directly in `folder`, sorted by file name the way GLib
// collates file names (g_utf8_collate_key_for_filename): title = the file name before its last ".",
// URL by ImportedURL. Subfolders, unreadable files and files without a URL line add nothing.
std::vector<JobEntry> CollectFavoriteEntries(const std::string& folder);

}  // namespace tarvik
