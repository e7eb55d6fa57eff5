#include "platform/file_watch.h"

#include <giomm/file.h>
#include <glib-object.h>
#include <glib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstring>

namespace tarvik {

namespace {

bool WatchesRefused() { return g_getenv("TARVIK_TEST_NO_FILE_WATCH") != nullptr; }

// The longest step of a file system's clock that a stamp is trusted past: file times are taken
// from a coarse clock, and some file systems keep whole or even seconds.
constexpr std::int64_t kClockStepNs = 2'000'000'000;

Glib::RefPtr<Gio::FileMonitor> Watch(const std::string& path, bool folder) {
  if (WatchesRefused()) return {};
  try {
    const Glib::RefPtr<Gio::File> file = Gio::File::create_for_path(path);
    return folder ? file->monitor_directory(Gio::FILE_MONITOR_WATCH_MOVES)
                  : file->monitor_file(Gio::FILE_MONITOR_WATCH_MOVES);
  } catch (const Glib::Error&) {
    return {};
  }
}

}  // namespace

Glib::RefPtr<Gio::FileMonitor> WatchFile(const std::string& path) { return Watch(path, false); }

Glib::RefPtr<Gio::FileMonitor> WatchFolder(const std::string& path) { return Watch(path, true); }

bool WatchHearsChanges(const Glib::RefPtr<Gio::FileMonitor>& monitor) {
  if (!monitor) return false;
  // The monitors GIO builds on the system's own notification; anything else it falls back to
  // (GPollFileMonitor, or another added later) is taken as looking now and then.
  const char* type = G_OBJECT_TYPE_NAME(monitor->gobj());
  for (const char* hears : {"GInotifyFileMonitor", "GKqueueFileMonitor", "GWin32FileMonitor"})
    if (std::strcmp(type, hears) == 0) return true;
  return false;
}

bool WatchesLeft(const std::string& path) {
  // A watch of a folder is one of the user's whichever instance holds it: a watch of our own,
  // given back at once, tells whether GLib's got one. Without an instance of our own (GLib's
  // may have been the last) there is no telling.
  const int fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (fd < 0) return true;
  const bool left = inotify_add_watch(fd, path.c_str(), IN_CREATE) >= 0 || errno != ENOSPC;
  close(fd);
  return left;
}

FileStamp StampOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {};
  FileStamp stamp;
  stamp.exists = true;
  stamp.inode = st.st_ino;
  stamp.size = st.st_size;
  stamp.mtime_ns = st.st_mtim.tv_sec * std::int64_t{1'000'000'000} + st.st_mtim.tv_nsec;
  stamp.ctime_ns = st.st_ctim.tv_sec * std::int64_t{1'000'000'000} + st.st_ctim.tv_nsec;
  return stamp;
}

bool StampMayHideAChange(const FileStamp& stamp, std::int64_t now_ns) {
  if (!stamp.exists) return false;
  // The change time, which this machine's clock sets at every write: a modification time may
  // be any, as sync tools give a file the one it had on the machine it came from.
  return stamp.ctime_ns > now_ns - kClockStepNs;
}

}  // namespace tarvik
