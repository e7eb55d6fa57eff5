// The page fetcher of a check of a job, over the engine of the browser (page_fetch.h). Part of
// the WebKitGTK adapter; this header shows nothing of it.
#pragma once

#include <memory>

#include "platform/page_fetch.h"

namespace tarvik {

class BrowserControl;

// A fetcher that asks as `browser`'s engine would: with its web context's cookies for each
// address (so a page behind a login is checked as the user sees it) and its settings' user
// agent, following redirects itself (at most 5) so that each address gets only its own cookies;
// the cookies the answers set are not kept. Rendered pages load in a view of that web context,
// out of sight in a window of the fetcher's own, under the rules of a prepared page. Nothing when
// `browser` is not the engine's (a test's fake). Does not hold on to `browser`.
std::unique_ptr<PageFetcher> MakeEnginePageFetcher(BrowserControl& browser);

}  // namespace tarvik
