// What the user last saw of each entry of a job, and what the last check of the job found: the
// job's state file, "JobFiles/NAME.tvseen" beside its job file, so that a sync tool carries it to
// the user's other machines with the job. The job file itself never holds any of it.
//
// The file is UTF-8 text with LF line ends. Its first line is the magic and the version,
// "TarvikSeen 1". Each entry follows as lines that begin with a tag and a space:
//   U url                                          starts the entry; the key
//   S seen-time fingerprint flags                  what the user saw (time in Unix seconds)
//   E etag / L last-modified / T length base64     its validators and its kept text
//   C checked-time result fingerprint flags        the last check (result: unchanged, changed,
//   R reason                                       new, unreachable; reason for unreachable)
//   e etag / l last-modified / t length base64     the text the check found, kept for a changed
//                                                  or new entry so "mark seen" can take it over
// flags are "-" or letters: "s" the text came from a rendered page (scripts), "c" the kept text
// was cut at the cap. A kept text is its blocks joined by "\n", compressed with zlib and written
// in base64 after its length before compression. Lines with unknown tags are skipped, so a later
// version-1 writer may add some.
//
// Caps: 64 KiB of text kept per look (the first whole blocks; the fingerprint is always that of
// the whole text), 4 MiB per file: past it, the kept texts of the entries seen longest ago go
// first, then those entries. A file past 8 MiB is not read.
//
// Every write happens under the job list's lock, after reading the file again: what another
// process wrote meanwhile is merged in, not lost. A sync tool's conflict copy of the file
// ("NAME.sync-conflict-....tvseen", "NAME (conflicted copy ...).tvseen") is merged entry by entry
// on reading (the later "seen" wins, and the later check) and put in the trash by the next write. A
// damaged file costs only its marks: the reader says so in a message and gives what it could read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

inline constexpr size_t kSeenTextCap = size_t{64} << 10;
inline constexpr size_t kSeenFileCap = size_t{4} << 20;
inline constexpr size_t kSeenFileReadLimit = size_t{8} << 20;

enum class CheckResult { None, Unchanged, Changed, New, Unreachable };

// One look at a page's visible text (see visible_text.h).
struct PageLook {
  std::string fingerprint;          // "" when there was no look
  std::vector<std::string> blocks;  // kept text, capped at kSeenTextCap
  bool cut = false;                 // blocks hold only the first part of the text
  bool scripted = false;            // taken from a rendered page
  std::string etag, last_modified;  // the validators the response sent
  bool operator==(const PageLook&) const = default;
};

struct SeenEntry {
  std::string url;
  int64_t seen_at = 0;  // Unix seconds; 0: never seen
  PageLook seen;
  int64_t checked_at = 0;  // 0: never checked
  CheckResult result = CheckResult::None;
  std::string reason;  // why it was unreachable
  PageLook checked;    // for Changed and New: what the check found
  bool operator==(const SeenEntry&) const = default;
};

// A look with its text kept within kSeenTextCap.
PageLook MakeLook(std::vector<std::string> blocks, std::string fingerprint, bool scripted,
                  std::string etag, std::string last_modified);

// Whether the entry carries a mark: the last check, made after the last look, found it changed
// or new.
bool IsMarked(const SeenEntry& entry);
// The entry's last check taken as seen at `now` ("mark all seen"): its text when the check kept
// one, else the seen text stays and only the time moves.
void AdoptCheckAsSeen(SeenEntry& entry, int64_t now);

struct SeenState {
  std::map<std::string, SeenEntry> entries;  // by URL
  const SeenEntry* Find(const std::string& url) const;
  SeenEntry& At(const std::string& url);  // made when missing
  bool operator==(const SeenState&) const = default;
};

// `a` and `b` entry by entry: of each URL, the later seen part and the later check part.
SeenState MergeSeenStates(const SeenState& a, const SeenState& b);

// ---- The file ----------------------------------------------------------------------------------

std::string SeenStatePath(const std::string& jobs_folder, const std::string& name);

struct SeenStateRead {
  SeenState state;
  std::string message;                       // "" when the file (missing counts) was whole
  std::vector<std::string> conflict_copies;  // paths of the copies merged into `state`
};

// The job's state as the file and its conflict copies hold it.
SeenStateRead ReadSeenState(const std::string& jobs_folder, const std::string& name);

struct SeenStateSave {
  bool ok = false;
  std::string error;    // why the write failed
  std::string message;  // what the read before the write found damaged
  SeenState state;      // what the file holds now
};

// Merges `mine` into the file as it is on disk now (with its conflict copies), keeps only the
// entries whose URL is in `job_urls`, writes it, and puts the copies it merged in the trash.
// Under the job list's lock.
SeenStateSave SaveSeenState(const std::string& jobs_folder, const std::string& name,
                            const SeenState& mine, const std::vector<std::string>& job_urls);

// The state file follows its job: renamed with it, deleted with it. A missing file is no failure.
bool RenameSeenState(const std::string& jobs_folder, const std::string& old_name,
                     const std::string& new_name);
bool DeleteSeenState(const std::string& jobs_folder, const std::string& name);
// Copies the job's state file into another jobs folder (the jobs copied there); a file that
// cannot be copied costs that job its marks there, nothing more.
bool CopySeenState(const std::string& from_folder, const std::string& to_folder,
                   const std::string& name);

// The format on bytes. `label` names the file in the message.
std::string FormatSeenState(const SeenState& state);
SeenStateRead ParseSeenState(std::string_view bytes, const std::string& label);

}  // namespace tarvik
