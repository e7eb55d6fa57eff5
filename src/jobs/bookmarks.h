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
#include <unordered_map>
#include <unordered_set>
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

// Picks unused names for many new jobs, by UnusedJobName's rule: the names in use are a set, and
// the number tried next is kept for each wanted name, so a thousand folders of one name cost a
// thousand look-ups, not a million.
class JobNamePicker {
 public:
  JobNamePicker() = default;
  explicit JobNamePicker(const std::vector<std::string>& used);
  bool Used(const std::string& name) const { return used_.count(name) > 0; }
  void Use(const std::string& name) { used_.insert(name); }
  // UnusedJobName(wanted, the names used), which is used from now on.
  std::string Pick(const std::string& wanted);

 private:
  std::unordered_set<std::string> used_;
  std::unordered_map<std::string, size_t> next_number_;
};

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
// list and of the job files) and the jobs before it.
//
// The bytes are decoded as browsers do: a byte-order mark first (UTF-8, UTF-16), then bytes that
// are valid UTF-8 throughout as UTF-8, then the charset the file declares (code page 932 when it
// declares none). Where the declared charset does not fit, each stretch of such bytes is read by
// the text-file rule (UTF-8 when valid, else code page 932, U+FFFD for the rest), so a wrong
// declaration costs those characters alone. A NUL byte, or a character reference no text can
// hold (&#0;, a surrogate, past U+10FFFF), is dropped where it stands; every link is read.
std::vector<BookmarkJob> ParseBookmarksHtml(std::string_view bytes,
                                            const std::string& loose_job_name,
                                            const std::vector<std::string>& existing_names,
                                            const BookmarksProgress& progress = {});

// The largest bookmarks file read, in bytes (a file with thousands of embedded icons stays well
// below it).
inline constexpr size_t kMaxBookmarksFileBytes = 256u << 20;

// The jobs of the bookmarks file at `path`, by ParseBookmarksHtml with the file's job name for
// loose links. Nothing, with a message in `error` that names the file, when it is not a regular
// file, cannot be read or is past kMaxBookmarksFileBytes ("ファイルが大きすぎます。"). A file
// without any link gives no jobs.
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
