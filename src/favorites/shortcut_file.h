// Internet Shortcut (".url") files as Tarvik reads and writes them, and the file name that
// "add to favorites" proposes for a page.
#pragma once

#include <optional>
#include <string>

#include "platform/text_file.h"

namespace tarvik {

// The URL of an Internet Shortcut file, or "" when the file cannot be read, has no
// "[InternetShortcut]" header line or no URL line after it.
//
// Lines before the header are ignored. The header is a line equal to "[InternetShortcut]" apart
// from letter case, with nothing else on it. After the header, the first line that contains
// "URL=" anywhere (any case) is the URL line, and the URL is the rest of that line after its
// first "=", kept exactly as written. Later sections are not told apart, so "BASEURL=" counts
// too. The file may be in code page 932 or UTF-8, with CR LF, CR or LF line ends. The file
// extension is not checked.
std::string ReadShortcutURL(const std::string& path);

// The same, but tells a file that could not be read (nothing) from one without a URL ("");
// `failure` says why it was not read. A file past kShortcutReadLimit is not read.
std::optional<std::string> TryReadShortcutURL(const std::string& path,
                                              ReadFailure* failure = nullptr);

// The URL of the shortcut file `text` (already decoded), by the rule above.
std::string ShortcutURLFromText(const std::string& text);

// Creates or replaces `path` with the two lines "[InternetShortcut]" and "URL=" + url, ended by
// CR LF, in code page 932 when the URL fits (UTF-8 with a byte-order mark otherwise). The old
// file is replaced atomically. A line break inside the URL is written as %0D / %0A, so it cannot
// start a line of its own. Returns false, leaving any old file as it was, when the file cannot be
// written or is read-only.
bool WriteShortcut(const std::string& path, const std::string& url, std::string* error = nullptr);

// The file name offered when the page titled `title` is saved as a favorite: the title with
// ".url" added, or nothing when the title is no usable file name (a forbidden character, a
// control character, empty, "." or "..", or too long for a file name). The user then types one.
std::optional<std::string> ProposedFavoriteFileName(const std::string& title);

}  // namespace tarvik
