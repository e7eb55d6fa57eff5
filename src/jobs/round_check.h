// A check of a job's pages against what the user last saw of them (seen_state.h), politely, in
// the background of the main loop.
//
// Each http/https address of the job is fetched once (an address listed twice is one page):
// with the validators of the copy the user saw where there are any, so that a 304 answers
// "unchanged" at the cost of a header; otherwise in full, its visible text taken (visible_text.h,
// on a thread of its own so that a large page never holds up the main loop) and its fingerprint
// compared. A page whose text needs scripts, or whose seen text came from a rendered page, is
// loaded in a hidden view instead, one at a time.
//
// Politeness: at most 2 requests at once to one host, at least 1 s between the starts of two
// requests to one host, at most 6 at once in all, and a host that answers 429 or 503 with
// Retry-After (up to 2 minutes) is left alone that long and asked again once.
#pragma once

#include <glib.h>
#include <sigc++/sigc++.h>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jobs/seen_state.h"
#include "platform/page_fetch.h"

namespace tarvik {

struct RoundLimits {
  int per_host = 2;
  double host_spacing_s = 1.0;
  int in_all = 6;
  double longest_retry_after_s = 120;
};

// Which request may start when, by the politeness rules. Times are seconds on one clock.
// Lane 1 (the hidden view) runs one at a time, beside lane 0 (plain requests); both count
// towards the limits of their host and of all.
class PoliteSchedule {
 public:
  explicit PoliteSchedule(RoundLimits limits = {}) : limits_(limits) {}
  void Add(size_t id, const std::string& host, int lane = 0);
  // The next request that may start at `now`, taken off the queue and counted as running; or
  // nothing, with `*wait` set to the seconds until one may (a negative value when only the end
  // of a running request can free one).
  std::optional<size_t> Next(double now, double* wait);
  // A request that was started has ended.
  void Finished(size_t id);
  // The host asks to be left alone until `until`.
  void Hold(const std::string& host, double until);
  bool Idle() const { return running_.empty() && queued_ == 0; }
  size_t running() const { return running_.size(); }

 private:
  struct Host {
    std::deque<size_t> queue[2];
    int running = 0;
    double last_start = -1e18;
    double hold_until = 0;
  };
  RoundLimits limits_;
  std::map<std::string, Host> hosts_;
  std::vector<std::string> order_;  // hosts in the order first added, for turns
  size_t turn_ = 0;
  std::map<size_t, std::pair<std::string, int>> running_;  // id → host, lane
  size_t queued_ = 0;
};

// The host part of an address, lower case; "" for one that is not http or https.
std::string CheckedHost(const std::string& url);

// What a check found of one entry.
struct RoundOutcome {
  std::string url;
  CheckResult result = CheckResult::None;
  std::string reason;         // for Unreachable
  bool not_modified = false;  // answered 304
  PageLook look;              // what the check found (its fingerprint is "" after a 304)
};

// The entry's state after the check at `now`: the result, and for a changed or new page the
// text found (for "mark seen" and the highlight); an unchanged page's new validators are kept.
void ApplyOutcome(SeenEntry& entry, const RoundOutcome& outcome, int64_t now);

// A full answer's outcome, once its text is known (a RoundOutcome's look). Pure.
RoundOutcome Classify(const SeenEntry* seen, const std::string& url, PageLook look);
// What an answer that carries no text means: 304 → Unchanged; no answer or an error status →
// Unreachable with its reason; nothing for an answer whose text decides.
std::optional<RoundOutcome> ClassifyWithoutText(const SeenEntry* seen, const FetchResponse& r);

struct RoundCounts {
  int total = 0, done = 0;
  int changed = 0, unchanged = 0, added = 0, unreachable = 0;
  int not_modified = 0;  // of the unchanged, those a 304 answered
  int rendered = 0;      // pages checked in the hidden view
};

// The status bar's words while a check runs: "更新を確認しています 37 / 120".
std::string RoundProgressText(const RoundCounts& counts);

class RoundChecker {
 public:
  // `fetcher` serves this checker alone (Cancel stops everything it has under way) and must
  // outlive it.
  explicit RoundChecker(PageFetcher& fetcher, RoundLimits limits = {});
  ~RoundChecker();
  RoundChecker(const RoundChecker&) = delete;
  RoundChecker& operator=(const RoundChecker&) = delete;

  // Starts checking the http/https addresses of `urls` against `seen` (a copy is kept). A check
  // under way is cancelled first.
  void Start(const std::vector<std::string>& urls, const SeenState& seen);
  // Stops the check: nothing more is reported.
  void Cancel();
  bool running() const { return running_; }
  const RoundCounts& counts() const { return counts_; }

  // Each entry as it is decided; then the counts moved on.
  sigc::signal<void(const RoundOutcome&)>& signal_entry() { return entry_; }
  sigc::signal<void(const RoundCounts&)>& signal_progress() { return progress_; }
  // The end of the check: every entry decided.
  sigc::signal<void()>& signal_finished() { return finished_; }

 private:
  struct Item {
    std::string url, host;
    const SeenEntry* seen = nullptr;
    bool retried = false;
    bool rendered = false;
  };
  class TextWorker;

  void Pump();
  void StartNext();
  void ClearIdle();
  void Launch(size_t id);
  void OnResponse(size_t id, FetchResponse response);
  void OnText(size_t id, PageLook look, bool needs_scripts);
  void OnRendered(size_t id, RenderedPage page);
  void Decide(size_t id, RoundOutcome outcome);
  void ClearTimer();
  double Now() const;

  PageFetcher& fetcher_;
  RoundLimits limits_;
  PoliteSchedule schedule_;
  SeenState seen_;
  std::vector<Item> items_;
  RoundCounts counts_;
  bool running_ = false;
  unsigned timer_ = 0;       // the next start allowed by the politeness rules
  unsigned idle_ = 0;        // the next start, in the main loop's next turn
  unsigned generation_ = 0;  // told apart the answers of an earlier Start
  std::unique_ptr<TextWorker> worker_;
  sigc::signal<void(const RoundOutcome&)> entry_;
  sigc::signal<void(const RoundCounts&)> progress_;
  sigc::signal<void()> finished_;
};

}  // namespace tarvik
