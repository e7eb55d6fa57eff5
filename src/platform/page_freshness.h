// How long a page loaded ahead of the user may be shown as it is, and when a window loads it
// again to keep it fresh. Display-free; the engine adapter follows it.
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace tarvik {

using Seconds = std::chrono::seconds;

// A page made ready ahead is shown on a step for at most this long after it finished loading.
inline constexpr Seconds kFreshAtMost{120};
// While the user stays on one page, the page after it is loaded again every kFreshAtMost, but
// no longer than this: a step after that loads the page as usual.
inline constexpr Seconds kKeepFreshFor{600};

// How long the server says its response stays fresh, from its headers (empty when absent), never
// more than kFreshAtMost: "max-age" (less the response's "Age"), else "Expires" against "Date";
// without either, kFreshAtMost. "no-store" and "no-cache" say how caches may keep and reuse a
// copy, not how long a page the user is about to see may have been loaded; like a back and forward
// cache, the page ahead follows only the lifetime the server gives.
Seconds FreshLifetime(std::string_view cache_control, std::string_view expires,
                      std::string_view date, std::string_view age);

// Whether a page that finished loading `age` ago, with the lifetime above, may still be shown.
inline bool StillFresh(Seconds age, Seconds lifetime) { return age < lifetime; }

// When, from now, the page made ready is to be loaded again, given how long the user has been on
// the page shown (`on_page`) and how long ago the page ahead finished loading (`age`): when it
// turns kFreshAtMost old, as long as that is within kKeepFreshFor of the user's arrival.
std::optional<Seconds> RefreshIn(Seconds on_page, Seconds age);

}  // namespace tarvik
