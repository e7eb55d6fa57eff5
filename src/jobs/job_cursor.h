// The loaded job of a main window and the position in it: which entry the step buttons open
// next, what their tooltips say, and whether a page is the current entry's.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "jobs/job_files.h"

namespace tarvik {

// The step buttons: first, previous, next, last, and the list (which the window opens itself).
enum JobStep { kStepFirst = 0, kStepPrevious = 1, kStepNext = 2, kStepLast = 3, kStepList = 4 };

// The tooltips the five buttons are designed with.
inline constexpr std::array<const char*, 5> kJobStepTips = {"先頭へ", "一つ前", "次", "最後へ",
                                                            "一覧から選択"};
// The previous button's tooltip at the first entry, the next button's at the last.
inline constexpr char kAtFirstEntryTip[] = "現在先頭です";
inline constexpr char kAtLastEntryTip[] = "現在最後です";

// The index in `entries` that stands for the entry that was at `index` with address `url`:
// `index` when it still holds `url`, else the nearest entry holding `url`, else `index` cut to
// the last entry. -1 for no entries.
int KeptEntryIndex(const std::vector<JobEntry>& entries, int index, const std::string& url);

class JobCursor {
 public:
  // Takes the entries of a job read from its file; `job.last_index` must be 0 or more. The
  // current entry stays where it was unless the job is now too short for it.
  void Load(std::string name, Job job);
  // The loaded job's entries as its file holds them now, after another process or another
  // command changed it: the current entry stays current by its address (the occurrence nearest
  // its old place), else by its index within the new length. `entries` must not be empty.
  // Returns the new current index.
  int Refresh(std::vector<JobEntry> entries);
  // The job's new name after its file and list line were renamed; entries and position stay.
  void Rename(std::string name) { name_ = std::move(name); }
  // Forgets the job; the current index is kept for the next job loaded with its position.
  void Clear();

  bool loaded() const { return last_index_ >= 0; }
  const std::string& name() const { return name_; }
  const std::vector<JobEntry>& entries() const { return entries_; }
  int last_index() const { return last_index_; }
  int current_index() const { return current_index_; }
  const JobEntry& current() const { return entries_[current_index_]; }

  // Moves to entry `index` (the first page of a newly chosen job, a row of the list). Indices
  // outside the job change nothing and give false.
  bool MoveTo(int index);

  // A click on step button 0..3: the index of the entry to open, or nothing when the button
  // is already at its end of the job (or no job is loaded). The list button gives nothing.
  std::optional<int> Step(int button);

  // The tooltips of buttons 0..3 at the current position; nothing while no job is loaded.
  std::optional<std::array<std::string, 4>> StepTips() const;

  // The title line for a completed navigation to `url` whose page is at `location_url` and
  // named `location_name`: the current entry's title when the job is shown (`job_shown`) and
  // `url` is that entry's address, the page's own name otherwise; then the address in brackets.
  std::string PositionText(const std::string& url, const std::string& location_url,
                           const std::string& location_name, bool job_shown) const;
  // Whether the title line of the page at `url` shows the current entry's own title (as
  // PositionText does). A page that does not, follows its title as the engine reports it.
  bool ShowsEntryTitle(const std::string& url, bool job_shown) const;

  // The place of the current entry in the job, "3 / 12" (1-based, over the number of entries),
  // while the page shown, at `shown_url`, is that entry's; empty otherwise and with no job.
  std::string PlaceText(const std::string& shown_url) const;

 private:
  std::string name_;
  std::vector<JobEntry> entries_;
  int last_index_ = -1;
  int current_index_ = 0;
};

}  // namespace tarvik
