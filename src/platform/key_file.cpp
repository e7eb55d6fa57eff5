#include "platform/key_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tarvik {

namespace {
void MakeParent(const std::string& path) {
  gchar* dir = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(dir, 0700);
  g_free(dir);
}
}  // namespace

KeyFilePtr LoadKeyFile(const std::string& path) {
  KeyFilePtr kf(g_key_file_new());
  g_key_file_load_from_file(kf.get(), path.c_str(), G_KEY_FILE_KEEP_COMMENTS, nullptr);
  return kf;
}

std::optional<std::string> KeyFileString(GKeyFile* kf, const std::string& group,
                                         const std::string& key) {
  gchar* value = g_key_file_get_string(kf, group.c_str(), key.c_str(), nullptr);
  if (!value) return std::nullopt;
  std::string text(value);
  g_free(value);
  return text;
}

bool StoreKeyFile(GKeyFile* kf, const std::string& path) {
  MakeParent(path);
  gsize length = 0;
  gchar* data = g_key_file_to_data(kf, &length, nullptr);
  // g_file_set_contents writes a temporary file beside the target, syncs it and renames it over.
  gboolean ok = g_file_set_contents(path.c_str(), data, static_cast<gssize>(length), nullptr);
  g_free(data);
  return ok;
}

FileLock::FileLock(const std::string& path) {
  MakeParent(path);
  fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ >= 0) {
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace tarvik
