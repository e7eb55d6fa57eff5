// Bookmarks files in the Netscape bookmark format (what Firefox, Chromium, Vivaldi and GNOME Web
// export and import): reading one as jobs, writing a job as one. No window is involved.
//
// Reading. The file is parsed by libxml2's HTML parser in recovery mode, so a damaged file gives
// what still parses and never fails. Each folder (<DT><H3>name</H3><DL>...</DL>) becomes a job
// named after the folder, holding the folder's own links (<DT><A HREF="...">title</A>) in file
// order. A nested folder becomes a job of its own, named after its own name alone (not after its
// parents), made unique like every other name. Links outside any folder go to one job named
// after the file (its base name without extension). Jobs come in the order their folders begin
// in the file; the job of loose links stands where its first link is. Separators (<HR>),
// descriptions (<DD>) and folders without links of their own give nothing. A folder with more
// links than a job holds goes on in a second job of the same name made unique, so no link is
// lost. Links without an address, and Firefox's own "place:" queries, which only Firefox can open,
// are skipped.
//
// Texts. Entities are decoded. In a title each control character (tab and line breaks included)
// becomes a space, and the white space at its ends goes; an empty title becomes the link's
// address. An address loses tabs and line breaks (as browsers do) and the white space at its
// ends; other control characters in it are percent-encoded.
//
// Writing. The file starts with the Netscape DOCTYPE, is UTF-8 and holds one folder named after
// the job with the job's entries in order. Reading what was written gives the job back.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

// A job read from a bookmarks file: its name (valid and unused, see below) and its entries.
struct BookmarkJob {
  std::string name;
  std::vector<JobEntry> entries;
  bool operator==(const BookmarkJob&) const = default;
};

// ---- Job names ---------------------------------------------------------------------------------

// The longest job name the import makes, in bytes; with ".tvj" it still fits a file name.
inline constexpr size_t kMaxImportedJobNameBytes = 200;

// `text` made a valid job name: each of \ / : ; , * ? " < > | becomes its full-width form
// (＼ ／ ： ； ， ＊ ？ ＂ ＜ ＞ ｜), so the name still reads the same; line breaks, tabs and other
// control characters become spaces; white space at either end goes; a name past `max_bytes` is
// cut at a character boundary. The result passes IsValidJobName, but may be empty. The same rule
// makes a title a safe file name.
std::string ValidJobNameFrom(std::string_view text, size_t max_bytes = kMaxImportedJobNameBytes);

// `wanted` when no name in `used` equals it; otherwise the first of "wanted (2)", "wanted (3)", ...
// that is unused, cut as needed so that it stays within kMaxImportedJobNameBytes.
std::string UnusedJobName(const std::string& wanted, const std::vector<std::string>& used);

// The job name for the loose links of the file at `path`: its file name without the last
// extension, made valid ("bookmarks.html" → "bookmarks").
std::string BookmarksFileJobName(const std::string& path);

// ---- Reading -----------------------------------------------------------------------------------

// Told (links done, links in all) while a file is read: (0, n) first, then now and then, and
// (n, n) at the end.
using BookmarksProgress = std::function<void(size_t done, size_t total)>;

// The jobs of the bookmarks file held in `bytes`. `loose_job_name` names the job of the links
// outside any folder ("Bookmarks" when it is empty). Every job name is made valid (an empty folder
// name becomes the loose links' name) and unique against `existing_names` (the names of the job
// list and of the job files) and the jobs before it. Bytes with a
// UTF-8 byte-order mark, or valid as UTF-8, are read as UTF-8; other bytes in the charset the
// file declares, or as code page 932 when it declares none.
std::vector<BookmarkJob> ParseBookmarksHtml(std::string_view bytes,
                                            const std::string& loose_job_name,
                                            const std::vector<std::string>& existing_names,
                                            const BookmarksProgress& progress = {});

// The largest bookmarks file read, in bytes (a file with thousands of embedded icons stays well
// below it).
inline constexpr size_t kMaxBookmarksFileBytes = 256u << 20;

// The jobs of the bookmarks file at `path`, by ParseBookmarksHtml with the file's job name for
// loose links. Nothing, with a message in `error` that names the file, when it is not a regular
// file, cannot be read or is past kMaxBookmarksFileBytes. A file without any link gives no jobs.
std::optional<std::vector<BookmarkJob>> ReadBookmarksFile(
    const std::string& path, const std::vector<std::string>& existing_names,
    const BookmarksProgress& progress = {}, std::string* error = nullptr);

// ---- Writing -----------------------------------------------------------------------------------

// The bookmarks file (UTF-8, LF line ends) of one folder named `job_name` holding `entries`.
std::string FormatBookmarksHtml(const std::string& job_name, const std::vector<JobEntry>& entries);

// Writes FormatBookmarksHtml to `path`, replacing any old file atomically. False, with a reason
// in `error`, when the file cannot be written.
bool WriteBookmarksFile(const std::string& path, const std::string& job_name,
                        const std::vector<JobEntry>& entries, std::string* error = nullptr);

}  // namespace tarvik
