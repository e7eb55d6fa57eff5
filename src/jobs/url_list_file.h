// A file of addresses read as the links of a job: a text, a CSV table, a Markdown document or an
// HTML page that someone saved or wrote. No window is involved.
//
// Every http and https address in the file becomes a link, in file order, and LinksForJob
// (link_list.h) keeps each address once. The title of a link is, for an HTML file, the link's
// text (else its title attribute, else the alt text of a picture in it); for a Markdown link, its
// text; for a CSV row, the first other cell of the row that holds no address; otherwise the
// address itself. The bytes are decoded by the text rule of every file Tarvik reads (text_file.h:
// UTF-8, UTF-16 with a byte-order mark, code page 932).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

enum class UrlListFormat { Text, Csv, Markdown, Html };

// The format by the file's extension (".csv" and ".tsv"; ".md" and ".markdown"; ".html", ".htm"
// and ".xhtml"); a file with another extension is HTML when its text starts with a tag and holds a
// link, otherwise text.
UrlListFormat UrlListFormatOf(const std::string& path, std::string_view text);

// How far a reading has got: `done` bytes of the text of `total` parsed. Returning false stops
// the reading.
using UrlListProgress = std::function<bool(size_t done, size_t total)>;

// The links of decoded `text` in `format`; nothing when `progress` stopped it.
std::optional<std::vector<JobEntry>> ParseUrlList(std::string_view text, UrlListFormat format,
                                                  const UrlListProgress& progress = nullptr);

// The bytes of the list file at `path` as UTF-8 text.
std::string DecodeListBytes(std::string_view bytes, const std::string& path);

// The links of the file at `path`. Nothing, with the message that names the file in `error`, when
// it is missing, not a regular file, unreadable or larger than a job file may be
// (kJobFileReadLimit); nothing, with no message, when `progress` stopped it.
std::optional<std::vector<JobEntry>> ReadUrlListFile(const std::string& path,
                                                     std::string* error = nullptr,
                                                     const UrlListProgress& progress = nullptr);

}  // namespace tarvik
