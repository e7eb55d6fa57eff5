// Key files shared between processes: loading, atomic replacing and an advisory lock.
#pragma once

#include <glib.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/text_file.h"  // FileLock

namespace tarvik {

struct KeyFileDeleter {
  void operator()(GKeyFile* kf) const { g_key_file_free(kf); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileDeleter>;

// A missing or unreadable file is an empty key file; a damaged one keeps every line that can be
// read, before and after the damage, and `damaged` (when given) says so. A file that is there but
// cannot be read (past kSettingsReadLimit, not a regular file, no permission) counts as damaged
// too; `failure` (when given) tells why it was not read.
KeyFilePtr LoadKeyFile(const std::string& path, GKeyFileFlags flags = G_KEY_FILE_KEEP_COMMENTS,
                       bool* damaged = nullptr, ReadFailure* failure = nullptr);
// LoadKeyFile for a file that is about to be replaced with changes. Replacing a damaged file
// would drop everything past the damage, so it is first kept beside itself as `path`.damaged.
// A file that exists but could not be read gives an empty key file and a `failure` other than
// None and Missing: the caller must not store over it.
KeyFilePtr LoadKeyFileToChange(const std::string& path, ReadFailure* failure = nullptr);
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

}  // namespace tarvik
