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

// "3 個のジョブ、412 件のURLを読み込みました。"
std::string ImportedBookmarksMessage(size_t jobs, size_t urls);

// What the window's status bar says once a job is written out as the bookmarks file at `path`.
std::string ExportedBookmarksNotice(const std::string& path);

// The commands: each asks for its file or folder, reports its result and its failures.
void ImportBookmarks(JobHost& host);
// Returns the file written, or nothing when nothing was; its caller says where it went.
std::optional<std::string> ExportBookmarks(JobHost& host, const std::string& job_name);
void ExportShortcuts(JobHost& host, const std::string& job_name);

}  // namespace tarvik
