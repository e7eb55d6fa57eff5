// Text files as Tarvik reads and writes them (job list, job files, Internet Shortcuts).
//
// Reading: a UTF-8 byte-order mark, or bytes that are valid UTF-8 holding non-ASCII characters,
// mean UTF-8; anything else is code page 932 (Shift_JIS). Undecodable bytes become U+FFFD and
// never stop a read. Writing: code page 932 when every character fits, otherwise UTF-8 with a
// byte-order mark, so no character is lost. Files are replaced atomically.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The byte-order mark that starts a UTF-8 file written by Tarvik.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// Whether any byte is outside 7-bit ASCII.
bool HasNonAscii(std::string_view s);

// Bytes of a file → UTF-8 text.
std::string DecodeText(std::string_view bytes);
// Code page 932 bytes → UTF-8 in one conversion; invalid bytes become U+FFFD.
std::string DecodeCp932(std::string_view bytes);
// UTF-8 text → the bytes to write.
std::string EncodeText(std::string_view utf8);
// UTF-8 → code page 932, or nothing when a character has no place in it.
std::optional<std::string> EncodeCp932(std::string_view utf8);

// Lines ended by CR LF, CR or LF; the terminators are not included. A final line without
// terminator counts; a terminator at the very end does not start another line.
std::vector<std::string> SplitLines(std::string_view text);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);
// Writes to a temporary file in the same folder, flushes it and renames it over `path`:
// a crash or a full disk leaves the old file whole. Creates missing parent folders. A file
// without write permission is not replaced ("read-only file"); a replaced file keeps its
// permissions.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

}  // namespace tarvik
