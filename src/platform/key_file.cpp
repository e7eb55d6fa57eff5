#include "platform/key_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text_file.h"

namespace tarvik {

namespace {
void MakeParent(const std::string& path) {
  gchar* dir = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(dir, 0700);
  g_free(dir);
}
}  // namespace

KeyFilePtr LoadKeyFile(const std::string& path, GKeyFileFlags flags, bool* damaged) {
  KeyFilePtr kf(g_key_file_new());
  GError* error = nullptr;
  g_key_file_load_from_file(kf.get(), path.c_str(), flags, &error);
  if (damaged) *damaged = error && error->domain == G_KEY_FILE_ERROR;
  if (error) g_error_free(error);
  return kf;
}

KeyFilePtr LoadKeyFileToChange(const std::string& path) {
  bool damaged = false;
  KeyFilePtr kf = LoadKeyFile(path, G_KEY_FILE_KEEP_COMMENTS, &damaged);
  if (damaged) {
    if (std::optional<std::string> bytes = ReadFileBytes(path))
      WriteFileAtomically(path + ".damaged", *bytes);
  }
  return kf;
}

bool SameKeyName(const std::string& a, const std::string& b) {
  if (g_ascii_strcasecmp(a.c_str(), b.c_str()) == 0) return true;
  gchar* fa = g_utf8_casefold(a.c_str(), -1);
  gchar* fb = g_utf8_casefold(b.c_str(), -1);
  const bool same = g_strcmp0(fa, fb) == 0;
  g_free(fa);
  g_free(fb);
  return same;
}

std::optional<std::string> KeyFileString(GKeyFile* kf, const std::string& group,
                                         const std::string& key) {
  gchar* value = g_key_file_get_string(kf, group.c_str(), key.c_str(), nullptr);
  if (!value) return std::nullopt;
  std::string text(value);
  g_free(value);
  return text;
}

std::string KeyFileText(GKeyFile* kf) {
  gsize length = 0;
  gchar* data = g_key_file_to_data(kf, &length, nullptr);
  std::string text(data, length);
  g_free(data);
  return text;
}

bool StoreKeyFile(GKeyFile* kf, const std::string& path) {
  MakeParent(path);  // private to the user, unlike the folders WriteFileAtomically makes
  return WriteFileAtomically(path, KeyFileText(kf));
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
