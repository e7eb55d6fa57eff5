// A job written out as a folder of Internet Shortcut (".url") files, one per entry, whose names
// keep the job's order: "001 Title.url", "002 Title.url", ... The favorites-folder import sorts
// the files by name and takes the numbers off again, so the job comes back as it left.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

// The file name of the entry at `position` (1-based) of `count` entries titled `title`: the
// position zero-padded to the digits of `count` (at least three), a space, the title made safe by
// the job-name rule (each of \ / : ; , * ? " < > | becomes its full-width form, control characters
// become spaces, white space at the ends goes) and ".url". A long title is cut at a character
// boundary so that the whole name fits in 200 bytes (file systems take 255, and the writer's
// temporary file needs a longer name than the file it replaces).
std::string ShortcutFileNameAt(size_t position, size_t count, const std::string& title);

// Writes one shortcut per entry into `folder` with the shortcut writer, creating the folder when
// it is missing. A folder that already holds ".url" files is refused and left as it was, so two
// jobs never mix and no favorite is overwritten. An empty folder gets all its files at once (they
// are written into a temporary folder beside it that then takes its place); into a folder that
// holds other files they are written one by one. False, with a message in `error`, when the folder
// is refused or a file cannot be written.
bool ExportShortcutFolder(const std::string& folder, const std::vector<JobEntry>& entries,
                          std::string* error = nullptr);

// `title` without the position an exported file name begins with ("0012 News" → "News"); a title
// that does not begin with at least three digits and a space is kept whole.
std::string TitleWithoutPosition(std::string_view title);

// The entries of the shortcut files in `folder` as the favorites-folder import reads them
// (CollectFavoriteEntries: sorted by file name). When the titles carry an export's numbering,
// every one beginning with its position 1 to N in the width the export gives N entries, the
// positions are removed; in any other folder the titles stay as they are.
std::vector<JobEntry> ReadShortcutFolderInOrder(const std::string& folder);

}  // namespace tarvik
