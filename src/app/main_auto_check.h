// The jobs the user marked for it, checked on their own every few hours while Tarvik runs (the
// setting kAutoCheckHours; off by default). One window of the process runs these checks, one job
// at a time and with the politeness of every check: the first window that showed a page while no
// other ran them. Nothing is checked before a page has been shown.
#pragma once

#include <sigc++/connection.h>
#include <sigc++/trackable.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jobs/seen_state.h"

namespace tarvik {

class BrowserControl;
class JobsService;
class PageFetcher;
class RoundChecker;

class MainAutoCheck : public sigc::trackable {
 public:
  // `checked` hears of each job checked: its name and how many of its entries carry a mark.
  MainAutoCheck(BrowserControl& browser, JobsService& jobs,
                std::function<void(const std::string&, int)> checked);
  ~MainAutoCheck();
  MainAutoCheck(const MainAutoCheck&) = delete;
  MainAutoCheck& operator=(const MainAutoCheck&) = delete;

  // Whether job `name` is checked on its own, as the user marked it.
  static bool JobMarked(const std::string& name);
  static void MarkJob(const std::string& name, bool on);

  // Runs a round of the checks now, as the interval would (for tests).
  void RunNow();
  bool running() const;

 private:
  void OnPageShown();
  void Tick();
  void NextJob();
  void OnFinished();

  BrowserControl& browser_;
  JobsService& jobs_;
  std::function<void(const std::string&, int)> checked_;
  int64_t started_ = 0;  // when this window first showed a page while it runs the checks
  int64_t last_ = 0;     // when the last round of checks began
  sigc::connection tick_;
  std::deque<std::string> queue_;  // the jobs of this round still to check
  std::string job_;                // the job being checked
  std::string folder_;
  SeenState state_;
  std::vector<std::string> urls_;
  std::unique_ptr<PageFetcher> fetcher_;
  std::unique_ptr<RoundChecker> checker_;
};

}  // namespace tarvik
