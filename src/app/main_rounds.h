// A round through the loaded job in the main window: what the user saw of each entry is kept
// when its page has settled (jobs/visible_text.h, jobs/seen_state.h), the places new since the
// last visit are highlighted, and the round's commands step to the next update, mark every
// entry seen and check the job's pages. The decisions live in jobs/round_view.h; this wires them.
#pragma once

#include <sigc++/connection.h>
#include <sigc++/trackable.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/job_bar_host.h"
#include "app/main_auto_check.h"
#include "jobs/round_view.h"
#include "jobs/seen_state.h"

namespace Gtk {
class Window;
}  // namespace Gtk

namespace tarvik {

class JobCursor;
class JobsService;
class ListSelector;
class PageFetcher;
class RoundChecker;
struct RoundCounts;
struct RoundOutcome;
struct ShownResource;

// What a round reaches of its window.
class RoundsHost : public JobBarHost {
 public:
  virtual JobsService& jobs_service() = 0;
  virtual Gtk::Window& command_window() = 0;
  // A job is selected and loaded, and the job bar is shown.
  virtual bool JobShown() = 0;
  // The address of the last navigation completed.
  virtual const std::string& ShownURL() const = 0;
  // Opens entry `index` of the loaded job as a step does.
  virtual void GoToEntry(int index) = 0;
};

class MainRounds : public sigc::trackable {
 public:
  // How long a page shown is given, after its load, for the scripts that fill it late.
  static constexpr int kSettleMs = 1000;

  explicit MainRounds(RoundsHost& window);
  ~MainRounds();
  MainRounds(const MainRounds&) = delete;
  MainRounds& operator=(const MainRounds&) = delete;

  // Reads the loaded job's state anew. A damaged state file is reported; the job stays loaded.
  void FollowLoadedJob();

  // The marks of the loaded job's entries, in entry order.
  std::vector<RoundMark> Marks();
  // The place label for the designed place text `place`.
  std::string PlaceText(const std::string& place);

  // The commands.
  void NextUpdate();
  void MarkAllSeen();
  // Starts a check of the loaded job's pages, or stops the check under way.
  void CheckUpdates();
  bool checking() const;

  // The loaded job is checked on its own (the job menu's check item).
  void SetLoadedJobAutoChecked(bool on);
  // The interval of the checks on their own, asked of the user.
  void AskAutoCheckHours();
  MainAutoCheck& auto_check() { return auto_check_; }

  // The setting for the highlight of new places, on unless the user turned it off.
  static bool HighlightEnabled();
  static void SetHighlightEnabled(bool on);

  // For tests: the state held for the loaded job.
  const SeenState& state() const { return state_; }

 private:
  // The state held is the loaded job's, read when another job (or jobs folder) came.
  void EnsureState();
  void OnDocumentComplete();
  // The page shown has settled: what it shows is read and kept as seen.
  void Capture();
  void CaptureText(const std::string& entry_url, std::vector<std::string> blocks,
                   std::string fingerprint, bool scripted, const ShownResource* resource);
  // Writes the state under the list's lock; the file's state (with what others wrote) comes back.
  void Save();
  std::vector<std::string> JobURLs() const;
  void OnChecked(const RoundOutcome& outcome);
  void OnCheckProgress(const RoundCounts& counts);
  void OnCheckFinished();
  // A check on its own found `marked` entries of job `name` to look at.
  void OnJobCheckedOnItsOwn(const std::string& name, int marked);

  RoundsHost& w_;
  SeenState state_;
  std::string state_job_;     // the job whose state is held, "" for none
  std::string state_folder_;  // and its jobs folder
  sigc::connection settle_;
  // The check of the job's pages; made at the first check.
  std::unique_ptr<PageFetcher> fetcher_;
  std::unique_ptr<RoundChecker> checker_;
  int unsaved_ = 0;            // outcomes held since the last write
  bool syncing_item_ = false;  // the job menu's check item is being set to the loaded job's
  MainAutoCheck auto_check_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarvik
