// Watches of files and folders, and what to go by where the system gives none. A watch needs an
// inotify instance and watches of the user's, of which sync tools, editors and indexers often
// leave none; GLib then watches a file by looking at it every few seconds, and a folder not at
// all. A stamp of a file or folder tells a later look whether it changed.
#pragma once

#include <giomm/filemonitor.h>

#include <cstdint>
#include <string>

namespace tarvik {

// A watch of the file `path` (which need not exist yet: its creation is reported) or of the
// folder `path`, each change reported as it happens; nothing when the system gives none. Under
// TARVIK_TEST_NO_FILE_WATCH the system is taken to give none, for tests.
Glib::RefPtr<Gio::FileMonitor> WatchFile(const std::string& path);
Glib::RefPtr<Gio::FileMonitor> WatchFolder(const std::string& path);

// True when `monitor` hears of each change from the system as it happens, naming the file:
// false for none, and for GLib's fallback that looks at a file now and then (and names no file
// of a folder).
bool WatchHearsChanges(const Glib::RefPtr<Gio::FileMonitor>& monitor);
// False when the system has no watch left to give for the folder `path`: GLib then keeps a
// watch it made without hearing anything, until one is freed. True where it cannot tell.
bool WatchesLeft(const std::string& path);

// What a look at a file or folder sees: whether it is there, and what changes with its content
// (a replace by a rename gives another inode; a folder's time and size change when a name is
// added to it or taken from it).
struct FileStamp {
  bool exists = false;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t mtime_ns = 0;
  std::int64_t ctime_ns = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// True when a change made after `stamp` was taken at `now_ns` (nanoseconds since the epoch)
// could leave the same stamp: its change time lies within the file system clock's step of
// `now_ns` (or after it), and a second write within that step keeps the times and may keep the
// size.
bool StampMayHideAChange(const FileStamp& stamp, std::int64_t now_ns);

}  // namespace tarvik
