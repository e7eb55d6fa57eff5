// What a window makes ready while the user reads a job's page: the page of the next entry, loaded
// out of sight (BrowserControl::Prepare), and the host names of the entries after it.
#pragma once

#include <string>
#include <vector>

namespace tarvik {

// How many entries ahead have their host names looked up.
inline constexpr int kHostsAhead = 3;
// How many entries after the current one are looked at for those.
inline constexpr int kEntriesAhead = 16;

struct StepAhead {
  // The address to make ready, as the engine loads it: the one fix-up of the step's address
  // (BrowserControl::Prepare takes it as it is); "" for none.
  std::string prepare;
  std::vector<std::string> resolve;  // addresses whose hosts to look up, nearest first
};

// `ahead` holds the stored addresses of the entries after the current one, nearest first (empty
// at the last entry); `shown` is the address of the page shown. The next entry is made ready
// when its address, as the engine would load it (FixUpAddress), is a web address
// (platform/web_address.h) and not the page shown; never a script address. The hosts are those
// of the first kHostsAhead web addresses.
StepAhead PlanStepAhead(const std::vector<std::string>& ahead, const std::string& shown);

}  // namespace tarvik
