// Jobs traded with other browsers: a bookmarks file read in as jobs, a job written out as a
// bookmarks file or as a folder of numbered Internet Shortcuts. The formats are bookmarks.h's
// and shortcut_folder_export.h's; these are the job menu's commands around them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jobs/bookmarks.h"

namespace tarvik {

class JobHost;

inline constexpr char kImportBookmarksCaption[] = "ﾌﾞｯｸﾏｰｸの読み込み(&B)...";
inline constexpr char kExportBookmarksCaption[] = "ﾌﾞｯｸﾏｰｸとして書き出し(&X)...";
inline constexpr char kExportShortcutsCaption[] = "URLﾌｧｲﾙとして書き出し(&U)...";

// A file with more links than this shows a progress bar while it is read.
inline constexpr size_t kBookmarksProgressThreshold = 3000;

// "3 個のジョブ、412 件のURLを読み込みました。"
std::string ImportedBookmarksMessage(size_t jobs, size_t urls);

// The names an imported job must not take: the job list's lines and the job files' names.
std::vector<std::string> TakenJobNames(const std::string& app_folder);

// Writes each job's file and lists the jobs at the end of the job list (under its lock). A job
// whose name was taken meanwhile by another process gets the next unused name. Returns how many
// jobs were added; stops at the first failure with the reason in `error`.
size_t AddBookmarkJobs(const std::string& app_folder, std::vector<BookmarkJob> jobs,
                       std::string* error = nullptr);

// What the window's status bar says once a job is written out as the bookmarks file at `path`.
std::string ExportedBookmarksNotice(const std::string& path);

// The commands: each asks for its file or folder, reports its result and its failures.
void ImportBookmarks(JobHost& host);
// Returns the file written, or nothing when nothing was; its caller says where it went.
std::optional<std::string> ExportBookmarks(JobHost& host, const std::string& job_name);
void ExportShortcuts(JobHost& host, const std::string& job_name);

}  // namespace tarvik
