// What the address box offers while the user types.
#pragma once

#include <string>
#include <vector>

#include "browse/recent_history.h"

namespace tarvik {

// The most files of one folder offered.
inline constexpr int kMaxCompletionFiles = 200;

// The recent pages' addresses, newest first; then, when `typed` is an absolute path, the
// entries of the folder it names up to its last "/" (hidden ones left out, at most
// kMaxCompletionFiles), each as that folder followed by the entry's name as the desktop shows it.
std::vector<std::string> AddressCompletions(const RecentHistory& history, const std::string& typed);

}  // namespace tarvik
