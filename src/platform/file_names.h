// The names Tarvik turns into file names: job names, and the favorite names that become job
// names on import.
#pragma once

#include <string_view>

namespace tarvik {

// True when `text` holds none of \ / : ; , * ? " < > |. Tarvik also rejects CR, LF and NUL,
// which would split the job list line or cut the file name. An empty text passes.
bool IsValidJobName(std::string_view text);

}  // namespace tarvik
