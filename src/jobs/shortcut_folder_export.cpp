#include "jobs/shortcut_folder_export.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <unistd.h>

#include <algorithm>

#include "favorites/shortcut_file.h"
#include "jobs/bookmarks.h"
#include "jobs/job_editing.h"
#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

// Most Linux file systems take names of up to 255 bytes; the writer first writes a temporary
// file whose name is longer than the target's, so exported names stay well below that.
constexpr size_t kMaxFileNameBytes = 200;

bool HoldsShortcutFiles(const std::string& folder) {
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (!dir) return false;
  bool found = false;
  while (const char* name = g_dir_read_name(dir)) {
    if (HasShortcutExtension(name)) {
      found = true;
      break;
    }
  }
  g_dir_close(dir);
  return found;
}

bool IsEmptyFolder(const std::string& folder) {
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (!dir) return false;
  const bool empty = g_dir_read_name(dir) == nullptr;
  g_dir_close(dir);
  return empty;
}

void RemoveFolderOfFiles(const std::string& folder) {
  if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
    while (const char* name = g_dir_read_name(dir)) g_unlink(JoinPath(folder, name).c_str());
    g_dir_close(dir);
  }
  g_rmdir(folder.c_str());
}

// `position` zero-padded to the digits of `count`, at least three.
std::string PaddedPosition(size_t position, size_t count) {
  const size_t width = std::max<size_t>(3, std::to_string(count).size());
  std::string number = std::to_string(position);
  if (number.size() < width) number.insert(0, width - number.size(), '0');
  return number;
}

}  // namespace

std::string ShortcutFileNameAt(size_t position, size_t count, const std::string& title) {
  const std::string head = PaddedPosition(position, count) + " ";
  const std::string tail = ".url";
  const size_t room = kMaxFileNameBytes > head.size() + tail.size()
                          ? kMaxFileNameBytes - head.size() - tail.size()
                          : 0;
  return head + ValidJobNameFrom(title, room) + tail;
}

bool ExportShortcutFolder(const std::string& folder, const std::vector<JobEntry>& entries,
                          std::string* error) {
  if (g_file_test(folder.c_str(), G_FILE_TEST_EXISTS) &&
      !g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR)) {
    if (error) *error = "「" + folder + "」はフォルダではありません。";
    return false;
  }
  if (g_mkdir_with_parents(folder.c_str(), 0755) != 0) {
    if (error) *error = "フォルダ「" + folder + "」を作成できません。";
    return false;
  }
  // An export killed here before left its temporary file behind; it goes now, even when the
  // folder is refused.
  RemoveStaleTemporaryFilesIn(folder);
  if (HoldsShortcutFiles(folder)) {
    if (error)
      *error = "フォルダ「" + folder + "」には既にお気に入りファイルがあります。\r\n" +
               "空のフォルダを選択してください。";
    return false;
  }
  // The plan: every file's name, decided before anything is written.
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i)
    names.push_back(ShortcutFileNameAt(i + 1, entries.size(), entries[i].Title));
  // An empty folder (the usual one, just made) gets the files all at once: they are written into
  // a temporary folder beside it, which then takes its place. A kill on the way leaves the
  // folder empty, and the temporary one goes at the next export beside it.
  std::string target = folder;
  const bool empty = IsEmptyFolder(folder);
  if (empty) {
    gchar* dir = g_path_get_dirname(folder.c_str());
    const std::string parent = dir;
    g_free(dir);
    RemoveStaleTemporaryFilesIn(parent);
    std::string staging = parent + "/." + LocalFileName(folder) + ".tarvik-tmp-" +
                          std::to_string(static_cast<long>(getpid())) + "-XXXXXX";
    if (g_mkdtemp_full(staging.data(), 0755)) target = staging;
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    std::string reason;
    if (!WriteShortcut(JoinPath(target, names[i]), entries[i].URL, &reason)) {
      if (target != folder) RemoveFolderOfFiles(target);
      if (error) *error = "ファイル「" + names[i] + "」を作成できませんでした。\r\n" + reason;
      return false;
    }
  }
  if (target != folder && g_rename(target.c_str(), folder.c_str()) != 0) {
    RemoveFolderOfFiles(target);
    if (error) *error = "フォルダ「" + folder + "」を作成できません。";
    return false;
  }
  return true;
}

namespace {

// The number of digits of the position `title` begins with ("0012 News" → 4), or 0 when it does
// not begin with at least three digits and a space.
size_t PositionWidth(std::string_view title) {
  size_t digits = 0;
  while (digits < title.size() && g_ascii_isdigit(title[digits])) ++digits;
  if (digits < 3 || digits >= title.size() || title[digits] != ' ') return 0;
  return digits;
}

}  // namespace

std::string TitleWithoutPosition(std::string_view title) {
  const size_t width = PositionWidth(title);
  return std::string(width ? title.substr(width + 1) : title);
}

std::vector<JobEntry> ReadShortcutFolderInOrder(const std::string& folder) {
  std::vector<JobEntry> entries = CollectFavoriteEntries(folder);
  // Positions are removed only from a folder an export wrote: every name begins with its
  // position, 1 to the number of files, all in the width the export gives that number. A
  // "2024 Tax.url" among other favorites, or alone, keeps its year.
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string number = PaddedPosition(i + 1, entries.size());
    const std::string& title = entries[i].Title;
    if (PositionWidth(title) != number.size() || title.compare(0, number.size(), number) != 0)
      return entries;
  }
  for (JobEntry& e : entries) e.Title = TitleWithoutPosition(e.Title);
  return entries;
}

}  // namespace tarvik
