#include "jobs/round_check.h"

#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <set>
#include <thread>

#include "jobs/visible_text.h"

namespace tarvik {

// ---- The schedule ------------------------------------------------------------------------------

void PoliteSchedule::Add(size_t id, const std::string& host, int lane) {
  auto [it, added] = hosts_.try_emplace(host);
  if (added) order_.push_back(host);
  it->second.queue[lane == 1 ? 1 : 0].push_back(id);
  ++queued_;
}

std::optional<size_t> PoliteSchedule::Next(double now, double* wait) {
  *wait = -1;
  if (running_.size() >= static_cast<size_t>(limits_.in_all) || queued_ == 0) return std::nullopt;
  bool rendering = false;
  for (const auto& [id, where] : running_) rendering |= where.second == 1;
  const size_t n = order_.size();
  for (size_t k = 0; k < n; ++k) {
    const size_t at = (turn_ + k) % n;
    Host& host = hosts_[order_[at]];
    if (host.running >= limits_.per_host) continue;
    // The hidden view's page first: it runs one at a time and takes longest.
    for (int lane : {1, 0}) {
      std::deque<size_t>& queue = host.queue[lane];
      if (queue.empty() || (lane == 1 && rendering)) continue;
      const double start_at = std::max(host.last_start + limits_.host_spacing_s, host.hold_until);
      if (start_at > now) {
        const double until = start_at - now;
        if (*wait < 0 || until < *wait) *wait = until;
        break;
      }
      const size_t id = queue.front();
      queue.pop_front();
      --queued_;
      ++host.running;
      host.last_start = now;
      running_[id] = {order_[at], lane};
      turn_ = (at + 1) % n;
      return id;
    }
  }
  return std::nullopt;
}

void PoliteSchedule::Finished(size_t id) {
  auto it = running_.find(id);
  if (it == running_.end()) return;
  --hosts_[it->second.first].running;
  running_.erase(it);
}

void PoliteSchedule::Hold(const std::string& host, double until) {
  Host& h = hosts_[host];
  h.hold_until = std::max(h.hold_until, until);
}

// ---- Deciding ----------------------------------------------------------------------------------

std::string CheckedHost(const std::string& url) {
  const size_t colon = url.find("://");
  if (colon == std::string::npos) return {};
  std::string scheme = url.substr(0, colon);
  for (char& c : scheme) c = g_ascii_tolower(c);
  if (scheme != "http" && scheme != "https") return {};
  const size_t start = colon + 3;
  size_t end = url.find_first_of("/?#", start);
  if (end == std::string::npos) end = url.size();
  std::string authority = url.substr(start, end - start);
  const size_t at = authority.rfind('@');
  if (at != std::string::npos) authority.erase(0, at + 1);
  for (char& c : authority) c = g_ascii_tolower(c);
  return authority;
}

namespace {

// Seconds of a Retry-After value: delta-seconds or an HTTP date; nothing when unreadable.
std::optional<double> RetryAfterSeconds(const std::string& value) {
  if (value.empty()) return std::nullopt;
  if (value.find_first_not_of("0123456789 ") == std::string::npos)
    return g_ascii_strtod(value.c_str(), nullptr);
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char month[4] = {};
  int day = 0, year = 0, h = 0, m = 0, s = 0;
  const char* comma = strchr(value.c_str(), ',');
  if (!comma || sscanf(comma + 1, " %d %3s %d %d:%d:%d", &day, month, &year, &h, &m, &s) != 6)
    return std::nullopt;
  for (int i = 0; i < 12; ++i)
    if (g_ascii_strcasecmp(month, kMonths[i]) == 0) {
      GDateTime* when = g_date_time_new_utc(year, i + 1, day, h, m, s);
      if (!when) return std::nullopt;
      GDateTime* now = g_date_time_new_now_utc();
      const double seconds = g_date_time_difference(when, now) / 1e6;
      g_date_time_unref(when);
      g_date_time_unref(now);
      return std::max(0.0, seconds);
    }
  return std::nullopt;
}

}  // namespace

std::optional<RoundOutcome> ClassifyWithoutText(const SeenEntry* seen, const FetchResponse& r) {
  RoundOutcome out;
  if (!r.reached) {
    out.result = CheckResult::Unreachable;
    out.reason = r.error.empty() ? "接続できません" : r.error;
    return out;
  }
  if (r.status == 304) {
    // Only a request with validators is answered so; a server that answers a plain request
    // with 304 has nothing to compare.
    out.result = seen && seen->seen_at > 0 ? CheckResult::Unchanged : CheckResult::New;
    out.not_modified = true;
    return out;
  }
  if (r.status < 200 || r.status >= 300) {
    out.result = CheckResult::Unreachable;
    out.reason = "HTTP " + std::to_string(r.status);
    if (!r.reason_phrase.empty()) out.reason += " " + r.reason_phrase;
    return out;
  }
  return std::nullopt;
}

RoundOutcome Classify(const SeenEntry* seen, const std::string& url, PageLook look) {
  RoundOutcome out;
  out.url = url;
  if (!seen || seen->seen_at <= 0 || seen->seen.fingerprint.empty())
    out.result = CheckResult::New;
  else if (seen->seen.fingerprint == look.fingerprint)
    out.result = CheckResult::Unchanged;
  else
    out.result = CheckResult::Changed;
  out.look = std::move(look);
  return out;
}

void ApplyOutcome(SeenEntry& entry, const RoundOutcome& outcome, int64_t now) {
  entry.url = outcome.url;
  entry.checked_at = std::max<int64_t>(now, 1);
  entry.result = outcome.result;
  entry.reason = outcome.reason;
  entry.checked = PageLook{};
  switch (outcome.result) {
    case CheckResult::Changed:
    case CheckResult::New: entry.checked = outcome.look; break;
    case CheckResult::Unchanged:
      // The same text under new validators: the next check asks with these.
      if (!outcome.not_modified && !outcome.look.fingerprint.empty()) {
        entry.seen.etag = outcome.look.etag;
        entry.seen.last_modified = outcome.look.last_modified;
      }
      break;
    default: break;
  }
}

std::string RoundProgressText(const RoundCounts& counts) {
  return "更新を確認しています " + std::to_string(counts.done) + " / " +
         std::to_string(counts.total);
}

// ---- The text worker ---------------------------------------------------------------------------

// Turns bodies into visible text on a thread of its own, and hands each result to the main
// loop; nothing reaches the checker after the worker's end.
class RoundChecker::TextWorker {
 public:
  struct Result {
    size_t id;
    unsigned generation;
    PageLook look;
    bool needs_scripts;
  };
  using Deliver = std::function<void(Result)>;

  explicit TextWorker(Deliver deliver)
      : mailbox_(std::make_shared<Mailbox>()), context_(g_main_context_ref_thread_default()) {
    mailbox_->deliver = std::move(deliver);
    thread_ = std::thread([this] { Run(); });
  }
  ~TextWorker() {
    mailbox_->deliver = nullptr;  // main loop only: no result is handed on from now
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
    g_main_context_unref(context_);
  }

  void Add(size_t id, unsigned generation, FetchResponse response) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      jobs_.push_back({id, generation, std::move(response)});
    }
    wake_.notify_one();
  }

  // Drops what waits (a check cancelled).
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.clear();
  }

 private:
  struct Mailbox {
    Deliver deliver;
  };
  struct Job {
    size_t id;
    unsigned generation;
    FetchResponse response;
  };
  struct Post {
    std::shared_ptr<Mailbox> mailbox;
    Result result;
  };

  void Run() {
    for (;;) {
      Job job;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (stop_) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      const FetchResponse& r = job.response;
      VisibleText text = ExtractResponseText(r.body, r.mime_type, r.charset);
      auto* post = new Post{mailbox_,
                            {job.id, job.generation,
                             MakeLook(std::move(text.blocks), std::move(text.fingerprint), false,
                                      r.etag, r.last_modified),
                             text.needs_scripts}};
      g_main_context_invoke_full(
          context_, G_PRIORITY_DEFAULT,
          [](gpointer data) -> gboolean {
            auto* p = static_cast<Post*>(data);
            if (p->mailbox->deliver) p->mailbox->deliver(std::move(p->result));
            return G_SOURCE_REMOVE;
          },
          post, [](gpointer data) { delete static_cast<Post*>(data); });
    }
  }

  std::shared_ptr<Mailbox> mailbox_;
  GMainContext* context_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool stop_ = false;
};

// ---- The checker -------------------------------------------------------------------------------

RoundChecker::RoundChecker(PageFetcher& fetcher, RoundLimits limits)
    : fetcher_(fetcher), limits_(limits), schedule_(limits) {}

RoundChecker::~RoundChecker() {
  Cancel();
  worker_.reset();
}

double RoundChecker::Now() const { return g_get_monotonic_time() / 1e6; }

void RoundChecker::ClearTimer() {
  if (timer_) g_source_remove(timer_);
  timer_ = 0;
}

void RoundChecker::ClearIdle() {
  if (idle_) g_source_remove(idle_);
  idle_ = 0;
}

void RoundChecker::Cancel() {
  if (!running_) return;
  running_ = false;
  ++generation_;
  ClearTimer();
  ClearIdle();
  fetcher_.CancelAll();
  if (worker_) worker_->Clear();
}

void RoundChecker::Start(const std::vector<std::string>& urls, const SeenState& seen) {
  Cancel();
  ++generation_;
  seen_ = seen;
  items_.clear();
  schedule_ = PoliteSchedule(limits_);
  counts_ = RoundCounts{};
  std::set<std::string> taken;
  for (const std::string& url : urls) {
    const std::string host = CheckedHost(url);
    if (host.empty() || !taken.insert(url).second) continue;
    Item item;
    item.url = url;
    item.host = host;
    item.seen = seen_.Find(url);
    // A page whose seen text came from a rendered page is compared with a rendered page.
    item.rendered = item.seen && item.seen->seen_at > 0 && item.seen->seen.scripted;
    schedule_.Add(items_.size(), host, item.rendered ? 1 : 0);
    items_.push_back(std::move(item));
  }
  counts_.total = static_cast<int>(items_.size());
  running_ = true;
  if (!worker_)
    worker_ = std::make_unique<TextWorker>([this](TextWorker::Result r) {
      if (r.generation == generation_) OnText(r.id, std::move(r.look), r.needs_scripts);
    });
  progress_.emit(counts_);
  if (items_.empty()) {
    running_ = false;
    finished_.emit();
    return;
  }
  Pump();
}

// Starts what may start, one request per turn of the main loop, at a priority below the
// window's redraws: a burst of starts never holds up a frame.
void RoundChecker::Pump() {
  if (!running_ || idle_) return;
  idle_ = g_idle_add_full(
      G_PRIORITY_DEFAULT_IDLE,
      [](gpointer self) -> gboolean {
        auto* checker = static_cast<RoundChecker*>(self);
        checker->idle_ = 0;
        checker->StartNext();
        return G_SOURCE_REMOVE;
      },
      this, nullptr);
}

void RoundChecker::StartNext() {
  if (!running_) return;
  ClearTimer();
  double wait = -1;
  if (std::optional<size_t> id = schedule_.Next(Now(), &wait)) {
    Launch(*id);
    return Pump();
  }
  if (wait >= 0) {
    const guint ms = static_cast<guint>(std::ceil(wait * 1000)) + 1;
    timer_ = g_timeout_add(
        ms,
        [](gpointer self) -> gboolean {
          auto* checker = static_cast<RoundChecker*>(self);
          checker->timer_ = 0;
          checker->Pump();
          return G_SOURCE_REMOVE;
        },
        this);
  }
}

void RoundChecker::Launch(size_t id) {
  Item& item = items_[id];
  const unsigned generation = generation_;
  if (item.rendered) {
    fetcher_.FetchRendered(item.url, kVisibleTextScript, [this, id, generation](RenderedPage page) {
      if (generation == generation_) OnRendered(id, std::move(page));
    });
    return;
  }
  FetchRequest request;
  request.url = item.url;
  if (item.seen && item.seen->seen_at > 0 && !item.seen->seen.scripted) {
    request.etag = item.seen->seen.etag;
    request.last_modified = item.seen->seen.last_modified;
  }
  fetcher_.Fetch(request, [this, id, generation](FetchResponse response) {
    if (generation == generation_) OnResponse(id, std::move(response));
  });
}

void RoundChecker::OnResponse(size_t id, FetchResponse response) {
  Item& item = items_[id];
  schedule_.Finished(id);
  if (response.reached && (response.status == 429 || response.status == 503) && !item.retried) {
    const std::optional<double> after = RetryAfterSeconds(response.retry_after);
    if (after && *after <= limits_.longest_retry_after_s) {
      item.retried = true;
      schedule_.Hold(item.host, Now() + *after);
      schedule_.Add(id, item.host, 0);
      return Pump();
    }
  }
  if (std::optional<RoundOutcome> outcome = ClassifyWithoutText(item.seen, response)) {
    outcome->url = item.url;
    Decide(id, std::move(*outcome));
    return Pump();
  }
  worker_->Add(id, generation_, std::move(response));
  Pump();
}

void RoundChecker::OnText(size_t id, PageLook look, bool needs_scripts) {
  Item& item = items_[id];
  if (needs_scripts) {
    item.rendered = true;
    schedule_.Add(id, item.host, 1);
    return Pump();
  }
  Decide(id, Classify(item.seen, item.url, std::move(look)));
}

void RoundChecker::OnRendered(size_t id, RenderedPage page) {
  Item& item = items_[id];
  schedule_.Finished(id);
  if (!page.ok) {
    RoundOutcome outcome;
    outcome.url = item.url;
    outcome.result = CheckResult::Unreachable;
    outcome.reason = page.error.empty() ? "ページを読み込めません" : page.error;
    Decide(id, std::move(outcome));
  } else {
    VisibleText text = VisibleTextFromScriptResult(page.text);
    Decide(id,
           Classify(item.seen, item.url,
                    MakeLook(std::move(text.blocks), std::move(text.fingerprint), true, "", "")));
  }
  Pump();
}

void RoundChecker::Decide(size_t id, RoundOutcome outcome) {
  ++counts_.done;
  switch (outcome.result) {
    case CheckResult::Changed: ++counts_.changed; break;
    case CheckResult::Unchanged: ++counts_.unchanged; break;
    case CheckResult::New: ++counts_.added; break;
    case CheckResult::Unreachable: ++counts_.unreachable; break;
    default: break;
  }
  if (outcome.not_modified) ++counts_.not_modified;
  if (items_[id].rendered) ++counts_.rendered;
  const unsigned generation = generation_;
  entry_.emit(outcome);
  if (generation != generation_) return;  // a handler cancelled or restarted the check
  progress_.emit(counts_);
  if (generation != generation_) return;
  if (counts_.done == counts_.total) {
    running_ = false;
    ClearTimer();
    ClearIdle();
    finished_.emit();
  }
}

}  // namespace tarvik
