// How a window follows the job list and its loaded job when the files change beneath it (another
// window, another process, a sync tool): which line stays selected, whether the loaded job is
// kept, followed to its new name or let go, and the waits for what a sync tool is still
// delivering. Needs the GLib main loop for its waits, no display.
#pragma once

#include <sigc++/sigc++.h>

#include <optional>
#include <string>
#include <vector>

#include "jobs/job_files.h"
#include "jobs/job_watch.h"

namespace tarvik {

// What a window shows when the job list changed.
struct ShownJobList {
  std::vector<std::string> items;  // the selector's lines
  int selected = -1;               // the selector's index, -1 for none
  std::string selected_name;       // its text
  std::string loaded;              // the loaded job, "" for none
  const std::vector<JobEntry>* loaded_entries = nullptr;
};

// What becomes of it.
struct FollowedJobList {
  enum class Loaded {
    Stays,    // the loaded job (if any) is still listed, or the selection kept it
    Renamed,  // renamed elsewhere: it goes on under `renamed_to`
    LetGo,    // gone: no job is loaded, the page stays shown
    Held,     // may still be on its way: nothing changes until the next look
  };
  bool refill = false;  // the selector is filled again from the list, selecting `select`
  int select = -1;
  Loaded loaded = Loaded::Stays;
  std::string renamed_to;
};

// One window's following of the jobs of a folder.
class JobFollow {
 public:
  explicit JobFollow(unsigned grace_ms = kDeliveryGraceMs) : grace_ms_(grace_ms) {}
  ~JobFollow() { Reset(); }
  JobFollow(const JobFollow&) = delete;
  JobFollow& operator=(const JobFollow&) = delete;

  // The list of `jobs_folder` now reads `names`: the lines whose files have not come (new lines
  // among them start waiting for their files), to be watched.
  std::vector<std::string> MissingFiles(const std::string& jobs_folder,
                                        const std::vector<std::string>& shown,
                                        const std::vector<std::string>& names,
                                        DeliveryWait::Clock::time_point now);
  // What the window does with the list `names` (the selected line stays selected while the list
  // holds it; a loaded job whose line has left follows a rename, waits for a delivery in
  // progress, or is let go). A held job is looked at again when its grace has run out
  // (signal_look_again()).
  FollowedJobList Follow(const std::string& jobs_folder, const ShownJobList& shown,
                         const std::vector<std::string>& names,
                         DeliveryWait::Clock::time_point now);

  // The job `name` was chosen while its line had come without its file: true when it waits for
  // the file (ArrivedJob() names it once it is there; signal_never_came() when the grace has
  // run out first), false when the file counts as missing now.
  bool AwaitChosenJob(const std::string& name);
  // The job chosen before its file came, once the file is in `jobs_folder`; "" otherwise.
  std::string ArrivedJob(const std::string& jobs_folder);

  // Another folder: nothing waits any more.
  void Reset();

  sigc::signal<void()>& signal_look_again() { return look_again_; }
  sigc::signal<void(const std::string&)>& signal_never_came() { return never_came_; }

 private:
  unsigned grace_ms_;
  DeliveryWait delivery_;
  std::string arriving_;  // the job chosen before its file came
  // Two waits, each of its own: the one cannot cancel the other's word.
  sigc::connection hold_timer_;     // the loaded job held, looked at again
  sigc::connection arrival_timer_;  // the chosen job's file, reported missing
  sigc::signal<void()> look_again_;
  sigc::signal<void(const std::string&)> never_came_;
};

}  // namespace tarvik
