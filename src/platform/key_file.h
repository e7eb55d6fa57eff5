// Key files shared between processes: loading, atomic replacing and an advisory lock.
#pragma once

#include <glib.h>

#include <memory>
#include <optional>
#include <string>

namespace tarvik {

struct KeyFileDeleter {
  void operator()(GKeyFile* kf) const { g_key_file_free(kf); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileDeleter>;

// A missing or unreadable file is an empty key file; a damaged one keeps what still parses, and
// `damaged` (when given) says so.
KeyFilePtr LoadKeyFile(const std::string& path,
                       GKeyFileFlags flags = G_KEY_FILE_KEEP_COMMENTS, bool* damaged = nullptr);
// LoadKeyFile for a file that is about to be replaced with changes. Replacing a damaged file
// would drop everything past the damage, so it is first kept beside itself as `path`.damaged.
KeyFilePtr LoadKeyFileToChange(const std::string& path);
// Whether two group or key names are the same name: equal ignoring ASCII case, or with equal
// case folds.
bool SameKeyName(const std::string& a, const std::string& b);
// The string value of `key` in `group`, or nothing when either is missing.
std::optional<std::string> KeyFileString(GKeyFile* kf, const std::string& group,
                                         const std::string& key);
// The key file as the text of a file.
std::string KeyFileText(GKeyFile* kf);
// Creates the folder as needed and replaces the file atomically: a crash leaves either the old
// file or the new one, never a mix.
bool StoreKeyFile(GKeyFile* kf, const std::string& path);

// An exclusive advisory lock on `path` + ".lock", held for the object's life. The file itself is
// replaced by rename, so it cannot carry the lock.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace tarvik
