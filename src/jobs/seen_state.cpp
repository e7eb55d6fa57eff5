#include "jobs/seen_state.h"

#include <giomm/file.h>
#include <giomm/init.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <zlib.h>

#include <algorithm>
#include <set>

#include "jobs/job_conflicts.h"
#include "jobs/job_files.h"
#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {
namespace {

constexpr std::string_view kMagic = "TarvikSeen";
constexpr int kVersion = 1;
// The most a kept text may claim to hold: a damaged or hostile length never allocates more.
constexpr size_t kTextLengthLimit = kSeenTextCap * 4;

const char* ResultWord(CheckResult r) {
  switch (r) {
    case CheckResult::Unchanged: return "unchanged";
    case CheckResult::Changed: return "changed";
    case CheckResult::New: return "new";
    case CheckResult::Unreachable: return "unreachable";
    case CheckResult::None: break;
  }
  return "none";
}

bool ParseResult(std::string_view word, CheckResult* out) {
  for (CheckResult r : {CheckResult::None, CheckResult::Unchanged, CheckResult::Changed,
                        CheckResult::New, CheckResult::Unreachable})
    if (word == ResultWord(r)) {
      *out = r;
      return true;
    }
  return false;
}

// A value on one line: line breaks and NUL characters become spaces.
std::string OneLine(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == '\n' || c == '\r' || c == '\0') c = ' ';
  return out;
}

std::string Flags(const PageLook& look) {
  std::string f;
  if (look.scripted) f += 's';
  if (look.cut) f += 'c';
  return f.empty() ? "-" : f;
}

std::string PackText(const std::vector<std::string>& blocks) {
  std::string joined;
  for (size_t i = 0; i < blocks.size(); ++i) {
    if (i) joined += '\n';
    joined += blocks[i];
  }
  uLongf size = compressBound(joined.size());
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                reinterpret_cast<const Bytef*>(joined.data()), joined.size(), 6) != Z_OK)
    return {};
  gchar* b64 = g_base64_encode(reinterpret_cast<const guchar*>(packed.data()), size);
  std::string out = std::to_string(joined.size()) + " " + b64;
  g_free(b64);
  return out;
}

bool UnpackText(std::string_view value, std::vector<std::string>* blocks) {
  const size_t space = value.find(' ');
  if (space == std::string_view::npos) return false;
  char* end = nullptr;
  const std::string length_text(value.substr(0, space));
  const unsigned long long length = g_ascii_strtoull(length_text.c_str(), &end, 10);
  if (end == length_text.c_str() || *end || length > kTextLengthLimit) return false;
  const std::string b64(value.substr(space + 1));
  gsize packed_size = 0;
  guchar* packed = g_base64_decode(b64.c_str(), &packed_size);
  std::string joined(length, '\0');
  uLongf size = length;
  const int z = uncompress(reinterpret_cast<Bytef*>(joined.data()), &size, packed, packed_size);
  g_free(packed);
  if (z != Z_OK || size != length) return false;
  if (!g_utf8_validate(joined.data(), static_cast<gssize>(joined.size()), nullptr)) return false;
  blocks->clear();
  size_t start = 0;
  while (!joined.empty()) {
    const size_t nl = joined.find('\n', start);
    blocks->push_back(joined.substr(start, nl == std::string::npos ? nl : nl - start));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return true;
}

bool ParseTime(std::string_view word, int64_t* out) {
  const std::string w(word);
  char* end = nullptr;
  const gint64 v = g_ascii_strtoll(w.c_str(), &end, 10);
  if (w.empty() || *end || v < 0) return false;
  *out = v;
  return true;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    const size_t j = std::min(s.find(' ', i), s.size());
    if (j > i) out.push_back(s.substr(i, j - i));
    i = j + 1;
  }
  return out;
}

void ApplyFlags(std::string_view flags, PageLook* look) {
  look->scripted = flags.find('s') != std::string_view::npos;
  look->cut = flags.find('c') != std::string_view::npos;
}

// One entry's lines; with `text` false, without the kept texts.
std::string FormatEntry(const SeenEntry& e, bool text) {
  std::string out = "U " + OneLine(e.url) + "\n";
  auto look = [&](const PageLook& l, const char* tags) {
    if (!l.etag.empty()) out += std::string(1, tags[0]) + " " + OneLine(l.etag) + "\n";
    if (!l.last_modified.empty())
      out += std::string(1, tags[1]) + " " + OneLine(l.last_modified) + "\n";
    if (text && !l.blocks.empty()) {
      const std::string packed = PackText(l.blocks);
      if (!packed.empty()) out += std::string(1, tags[2]) + " " + packed + "\n";
    }
  };
  if (e.seen_at > 0) {
    out += "S " + std::to_string(e.seen_at) + " " +
           (e.seen.fingerprint.empty() ? "-" : OneLine(e.seen.fingerprint)) + " " + Flags(e.seen) +
           "\n";
    look(e.seen, "ELT");
  }
  if (e.checked_at > 0) {
    out += "C " + std::to_string(e.checked_at) + " " + ResultWord(e.result) + " " +
           (e.checked.fingerprint.empty() ? "-" : OneLine(e.checked.fingerprint)) + " " +
           Flags(e.checked) + "\n";
    if (!e.reason.empty()) out += "R " + OneLine(e.reason) + "\n";
    look(e.checked, "elt");
  }
  return out;
}

std::string Basename(const std::string& path) {
  gchar* b = g_path_get_basename(path.c_str());
  std::string out = b;
  g_free(b);
  return out;
}

std::string JobFilesFolder(const std::string& jobs_folder) {
  return JoinPath(jobs_folder, "JobFiles");
}

// The conflict copies of the job's state file, sorted by name.
std::vector<std::string> ConflictCopiesOf(const std::string& jobs_folder, const std::string& name) {
  std::vector<std::string> copies;
  const std::string folder = JobFilesFolder(jobs_folder);
  const std::string own = name + ".tvseen";
  if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
    while (const char* file = g_dir_read_name(dir)) {
      const std::string_view f = file;
      if (f.size() <= own.size() || f.compare(0, name.size(), name) != 0) continue;
      if (ConflictCopyOriginal(file) == own) copies.push_back(JoinPath(folder, file));
    }
    g_dir_close(dir);
  }
  std::sort(copies.begin(), copies.end());
  return copies;
}

SeenStateRead ReadOne(const std::string& path, bool* missing) {
  ReadFailure failure = ReadFailure::None;
  std::optional<std::string> bytes = ReadFileBytes(path, kSeenFileReadLimit, &failure);
  *missing = failure == ReadFailure::Missing;
  if (bytes) return ParseSeenState(*bytes, Basename(path));
  SeenStateRead out;
  if (!*missing)
    out.message = "更新の確認の記録 " + Basename(path) +
                  " が読めないため、更新の印は次の確認から付け直されます (" +
                  (failure == ReadFailure::TooLarge ? std::string("大きすぎます")
                                                    : ReadFailureMessage(path, failure)) +
                  ")";
  return out;
}

// A merged conflict copy goes to the trash, as the job files' copies do; where the file system
// has none, it is removed (everything it held is in the file now).
void PutAway(const std::string& path) {
  try {
    Gio::init();
    if (Gio::File::create_for_path(path)->trash()) return;
  } catch (const Glib::Error&) {
  }
  g_remove(path.c_str());
}

void AppendMessage(std::string& to, const std::string& message) {
  if (message.empty()) return;
  if (!to.empty()) to += "\n";
  to += message;
}

}  // namespace

PageLook MakeLook(std::vector<std::string> blocks, std::string fingerprint, bool scripted,
                  std::string etag, std::string last_modified) {
  PageLook look;
  look.fingerprint = std::move(fingerprint);
  look.scripted = scripted;
  look.etag = std::move(etag);
  look.last_modified = std::move(last_modified);
  size_t total = 0;
  for (std::string& block : blocks) {
    total += block.size() + 1;
    if (total > kSeenTextCap) {
      look.cut = true;
      break;
    }
    look.blocks.push_back(std::move(block));
  }
  return look;
}

bool IsMarked(const SeenEntry& entry) {
  return (entry.result == CheckResult::Changed || entry.result == CheckResult::New) &&
         entry.checked_at >= entry.seen_at;
}

void AdoptCheckAsSeen(SeenEntry& entry, int64_t now) {
  if (!entry.checked.fingerprint.empty()) {
    entry.seen = std::move(entry.checked);
    entry.checked = PageLook{};
  }
  if (entry.result == CheckResult::Changed || entry.result == CheckResult::New)
    entry.result = CheckResult::Unchanged;
  entry.seen_at = std::max(now, entry.checked_at);
}

const SeenEntry* SeenState::Find(const std::string& url) const {
  auto it = entries.find(url);
  return it == entries.end() ? nullptr : &it->second;
}

SeenEntry& SeenState::At(const std::string& url) {
  SeenEntry& e = entries[url];
  e.url = url;
  return e;
}

SeenState MergeSeenStates(const SeenState& a, const SeenState& b) {
  SeenState out = a;
  for (const auto& [url, theirs] : b.entries) {
    auto it = out.entries.find(url);
    if (it == out.entries.end()) {
      out.entries.emplace(url, theirs);
      continue;
    }
    SeenEntry& e = it->second;
    if (theirs.seen_at > e.seen_at) {
      e.seen_at = theirs.seen_at;
      e.seen = theirs.seen;
    }
    if (theirs.checked_at > e.checked_at) {
      e.checked_at = theirs.checked_at;
      e.result = theirs.result;
      e.reason = theirs.reason;
      e.checked = theirs.checked;
    }
  }
  return out;
}

std::string FormatSeenState(const SeenState& state) {
  const std::string head = std::string(kMagic) + " " + std::to_string(kVersion) + "\n";
  std::vector<const SeenEntry*> order;
  for (const auto& [url, e] : state.entries) order.push_back(&e);
  std::vector<std::string> parts;
  size_t total = head.size();
  for (const SeenEntry* e : order) {
    parts.push_back(FormatEntry(*e, true));
    total += parts.back().size();
  }
  if (total > kSeenFileCap) {
    // Over the cap: the texts of the entries seen longest ago go first, then those entries.
    std::vector<size_t> oldest(order.size());
    for (size_t i = 0; i < oldest.size(); ++i) oldest[i] = i;
    std::stable_sort(oldest.begin(), oldest.end(), [&](size_t x, size_t y) {
      return std::max(order[x]->seen_at, order[x]->checked_at) <
             std::max(order[y]->seen_at, order[y]->checked_at);
    });
    for (size_t i : oldest) {
      if (total <= kSeenFileCap) break;
      std::string bare = FormatEntry(*order[i], false);
      total = total - parts[i].size() + bare.size();
      parts[i] = std::move(bare);
    }
    for (size_t i : oldest) {
      if (total <= kSeenFileCap) break;
      total -= parts[i].size();
      parts[i].clear();
    }
  }
  std::string out = head;
  out.reserve(total);
  for (const std::string& p : parts) out += p;
  return out;
}

SeenStateRead ParseSeenState(std::string_view bytes, const std::string& label) {
  SeenStateRead out;
  const size_t first_end = std::min(bytes.find('\n'), bytes.size());
  const std::vector<std::string_view> head = Words(bytes.substr(0, first_end));
  int64_t version = 0;
  if (head.size() != 2 || head[0] != kMagic || !ParseTime(head[1], &version)) {
    out.message =
        "更新の確認の記録 " + label + " が壊れているため、更新の印は次の確認から付け直されます";
    return out;
  }
  if (version != kVersion) {
    out.message =
        "更新の確認の記録 " + label +
        " は新しい版の Tarvik が書いたもので読めません。更新の印は次の確認から付け直されます";
    return out;
  }
  int damaged = 0;
  SeenEntry current;
  bool have = false, bad = false;
  auto finish = [&] {
    if (have && !bad && !current.url.empty()) out.state.entries[current.url] = std::move(current);
    if (have && bad) ++damaged;
    current = SeenEntry{};
    have = bad = false;
  };
  size_t pos = first_end + 1;
  while (pos < bytes.size()) {
    const size_t end = std::min(bytes.find('\n', pos), bytes.size());
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.size() < 2 || line[1] != ' ') {
      bad = true;
      if (!have) ++damaged;
      continue;
    }
    const char tag = line[0];
    const std::string_view value = line.substr(2);
    if (tag == 'U') {
      finish();
      have = true;
      current.url = std::string(value);
      continue;
    }
    if (!have) continue;  // lines of an entry whose start was lost
    const std::vector<std::string_view> w = Words(value);
    switch (tag) {
      case 'S':
      case 'C': {
        const bool seen = tag == 'S';
        PageLook& look = seen ? current.seen : current.checked;
        const size_t n = seen ? 3 : 4;
        if (w.size() != n || !ParseTime(w[0], seen ? &current.seen_at : &current.checked_at) ||
            (!seen && !ParseResult(w[1], &current.result))) {
          bad = true;
          break;
        }
        look.fingerprint = w[n - 2] == "-" ? std::string() : std::string(w[n - 2]);
        ApplyFlags(w[n - 1], &look);
        break;
      }
      case 'E': current.seen.etag = std::string(value); break;
      case 'L': current.seen.last_modified = std::string(value); break;
      case 'e': current.checked.etag = std::string(value); break;
      case 'l': current.checked.last_modified = std::string(value); break;
      case 'R': current.reason = std::string(value); break;
      case 'T':
      case 't':
        if (!UnpackText(value, tag == 'T' ? &current.seen.blocks : &current.checked.blocks))
          bad = true;
        break;
      default: break;  // a later writer's tag
    }
  }
  finish();
  if (damaged > 0)
    out.message = "更新の確認の記録 " + label + " の " + std::to_string(damaged) +
                  " 件が壊れていたため、その更新の印は次の確認から付け直されます";
  return out;
}

std::string SeenStatePath(const std::string& jobs_folder, const std::string& name) {
  return JoinPath(JobFilesFolder(jobs_folder), name + ".tvseen");
}

SeenStateRead ReadSeenState(const std::string& jobs_folder, const std::string& name) {
  if (!IsValidJobName(name)) return {};
  bool missing = false;
  SeenStateRead out = ReadOne(SeenStatePath(jobs_folder, name), &missing);
  for (const std::string& copy : ConflictCopiesOf(jobs_folder, name)) {
    SeenStateRead theirs = ReadOne(copy, &missing);
    out.state = MergeSeenStates(out.state, theirs.state);
    AppendMessage(out.message, theirs.message);
    out.conflict_copies.push_back(copy);
  }
  return out;
}

SeenStateSave SaveSeenState(const std::string& jobs_folder, const std::string& name,
                            const SeenState& mine, const std::vector<std::string>& job_urls) {
  SeenStateSave out;
  if (!IsValidJobName(name)) {
    out.error = "ジョブ名が正しくありません";
    return out;
  }
  JobListLock lock(jobs_folder);
  SeenStateRead disk = ReadSeenState(jobs_folder, name);
  out.message = disk.message;
  SeenState merged = MergeSeenStates(mine, disk.state);
  const std::set<std::string> keep(job_urls.begin(), job_urls.end());
  for (auto it = merged.entries.begin(); it != merged.entries.end();)
    it = keep.count(it->first) ? std::next(it) : merged.entries.erase(it);
  const std::string path = SeenStatePath(jobs_folder, name);
  if (merged.entries.empty() && !FileExists(path) && disk.conflict_copies.empty()) {
    out.ok = true;
    return out;
  }
  const std::string bytes = FormatSeenState(merged);
  if (!WriteFileAtomically(path, bytes, &out.error)) return out;
  for (const std::string& copy : disk.conflict_copies) PutAway(copy);
  out.ok = true;
  // What the file holds: the format may have dropped texts or entries to stay within its cap.
  out.state = ParseSeenState(bytes, "").state;
  return out;
}

bool RenameSeenState(const std::string& jobs_folder, const std::string& old_name,
                     const std::string& new_name) {
  if (!IsValidJobName(old_name) || !IsValidJobName(new_name)) return false;
  const std::string from = SeenStatePath(jobs_folder, old_name);
  if (!FileExists(from)) return true;
  return g_rename(from.c_str(), SeenStatePath(jobs_folder, new_name).c_str()) == 0;
}

bool DeleteSeenState(const std::string& jobs_folder, const std::string& name) {
  if (!IsValidJobName(name)) return false;
  const std::string path = SeenStatePath(jobs_folder, name);
  return !FileExists(path) || g_remove(path.c_str()) == 0;
}

bool CopySeenState(const std::string& from_folder, const std::string& to_folder,
                   const std::string& name) {
  if (!IsValidJobName(name)) return false;
  ReadFailure failure = ReadFailure::None;
  std::optional<std::string> bytes =
      ReadFileBytes(SeenStatePath(from_folder, name), kSeenFileReadLimit, &failure);
  if (!bytes) return failure == ReadFailure::Missing;
  return WriteFileAtomically(SeenStatePath(to_folder, name), *bytes);
}

}  // namespace tarvik
