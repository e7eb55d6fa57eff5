// Text files as Tarvik reads and writes them (job list, job files, Internet Shortcuts).
//
// Reading: a UTF-8 byte-order mark, or bytes that are valid UTF-8 holding non-ASCII characters,
// mean UTF-8; a UTF-16 byte-order mark (either byte order) means UTF-16, as Windows editors save
// "Unicode" text; anything else is code page 932 (Shift_JIS). Undecodable bytes become U+FFFD and
// never stop a read. Writing: code page 932 when every character fits, otherwise UTF-8 with a
// byte-order mark, so no character is lost. Files are replaced atomically.
#pragma once

#include <cstddef>
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
// `text` without the characters of `chars` at either end.
std::string TrimChars(std::string_view text, std::string_view chars);

// How much each kind of file may hold. A file past its limit is not read at all: a sparse
// 40 GB file would otherwise end in an allocation failure.
inline constexpr size_t kShortcutReadLimit = size_t{1} << 20;   // an Internet Shortcut
inline constexpr size_t kSettingsReadLimit = size_t{16} << 20;  // settings and other key files
inline constexpr size_t kJobListReadLimit = size_t{32} << 20;   // TVJob.lst
inline constexpr size_t kJobFileReadLimit = size_t{256} << 20;  // a job file

// Why a read gave nothing.
enum class ReadFailure {
  None,
  Missing,         // no such file
  NotRegularFile,  // a folder, a FIFO, a device, a socket
  TooLarge,        // past the caller's limit
  Unreadable,      // permissions, an I/O error, no memory
};

// The whole file, or nothing when it cannot be read; `failure` (when given) says why. Only a
// regular file is read: it is opened without blocking (a FIFO never hangs the caller) and at
// most `limit` bytes are read. Never throws. Every reader in the program names the limit of its
// file's kind; the default serves tools and tests.
std::optional<std::string> ReadFileBytes(const std::string& path, size_t limit = kSettingsReadLimit,
                                         ReadFailure* failure = nullptr);
// Whether `path` names a regular file that can be opened for reading (ReadFailure::None), or
// why not; nothing is read. Opens without blocking, as ReadFileBytes does.
ReadFailure CheckReadableFile(const std::string& path);
// What the user is told about a file past its limit.
std::string FileTooLargeMessage(const std::string& path);
// What the user is told about a file that could not be read for `failure`, or "" for
// ReadFailure::None.
std::string ReadFailureMessage(const std::string& path, ReadFailure failure);

// Writes to a temporary file beside the target, flushes it and renames it over the target:
// a crash or a full disk leaves the old file whole. Creates missing parent folders. A file
// without write permission is not replaced ("read-only file"); a replaced file keeps its
// permissions. When `path` is a symbolic link (or a chain of them), the target is the file the
// link points to: the link stays, and a dangling link's file is created. The temporary file is
// named ".<name>.tarvik-tmp-<pid>-XXXXXX". A write never lists its folder (one of 40,000 job files
// would cost more than the write): what a killed writer left is removed by a sweep of the folder
// (RemoveStaleTemporaryFilesIn) at start-up and when a folder is chosen for the jobs.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);
// The file a write to `path` lands on: symbolic links followed, relative ones from the folder of
// the link, up to 40 of them.
std::string ResolveWriteTarget(const std::string& path);
// Whether `name` is one of Tarvik's temporary files for the file named `target_name`, and the
// process id it carries.
std::optional<long> TemporaryFileOwner(std::string_view name, std::string_view target_name);

// Writes `bytes` to a new temporary file beside `path`, named as WriteFileAtomically names its
// own, and returns that file's path; nothing, with a reason in `error`, when it cannot. The
// file is not flushed: a writer of many files flushes them all at once (SyncFileSystemOf)
// before it renames them into place.
std::optional<std::string> WriteTemporaryFileFor(const std::string& path, std::string_view bytes,
                                                 std::string* error = nullptr);
// Flushes every written file of the file system that holds `path` to disk.
bool SyncFileSystemOf(const std::string& path);
// Renames `from` to `to` unless `to` exists. False, with errno set (EEXIST when it exists).
bool RenameWithoutReplacing(const std::string& from, const std::string& to);
// Removes from `dir` every temporary file of ours, for any target, whose process no longer
// runs: what a kill or a power cut left in the middle of a write. A temporary folder of ours
// goes with the files in it.
void RemoveStaleTemporaryFilesIn(const std::string& dir);

// An exclusive advisory lock on `path` + ".lock", held for the object's life. Files are replaced
// by rename, so they cannot carry the lock themselves. Every read-change-write of a file shared
// by several Tarvik processes (settings, the job list) holds it. Locks are per object: a second
// FileLock on the same path in one process waits for the first.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

}  // namespace tarvik
