// Pages fetched for a check of a job, without showing them: what the checker asks of the engine's
// network side. The adapter (webkit_page_fetcher.h) sends the requests through the browser's own
// network session, cookies and user agent; tests and benchmarks may hand in their own.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace tarvik {

struct FetchRequest {
  std::string url;
  // Validators of the copy the user saw: sent as If-None-Match / If-Modified-Since when given.
  std::string etag, last_modified;
};

struct FetchResponse {
  bool reached = false;  // an HTTP answer came
  std::string error;     // why not, as the user is told
  int status = 0;
  std::string reason_phrase;
  std::string mime_type, charset;   // of Content-Type
  std::string etag, last_modified;  // the validators sent
  std::string retry_after;          // the Retry-After header as sent
  std::string body;                 // at most kMostFetchedBytes
  bool cut = false;                 // the body was longer
};

// A page loaded and run out of sight, and what a script run on it returned.
struct RenderedPage {
  bool ok = false;
  std::string error;
  std::string text;  // the script's result, a string
};

inline constexpr size_t kMostFetchedBytes = size_t{4} << 20;

class PageFetcher {
 public:
  virtual ~PageFetcher() = default;
  // Starts a GET of `request.url`. `done` runs once, from the main loop, never before Fetch has
  // returned, and never after CancelAll or the fetcher's end.
  virtual void Fetch(const FetchRequest& request, std::function<void(FetchResponse)> done) = 0;
  // Loads `url` in a hidden view (no dialogs, windows, sound or downloads), lets its scripts
  // run, and runs `script` (an expression giving a string) in a script world of its own, out of
  // the page's reach. One at a time: the caller starts the next once `done` has run.
  virtual void FetchRendered(const std::string& url, const std::string& script,
                             std::function<void(RenderedPage)> done) = 0;
  // Stops everything under way; no `done` runs after it.
  virtual void CancelAll() = 0;
};

}  // namespace tarvik
