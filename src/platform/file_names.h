// The names Tarvik turns into file names: job names, and the favorite names that become job
// names on import; and where a jobs folder keeps its job files, "JobFiles/<job name>.tvj".
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// True when `text` holds none of \ / : ; , * ? " < > |. Tarvik also rejects CR, LF and NUL,
// which would split the job list line or cut the file name. An empty text passes.
bool IsValidJobName(std::string_view text);

inline constexpr char kJobFilesFolderName[] = "JobFiles";
inline constexpr char kJobFileSuffix[] = ".tvj";

// The folder of the job files in the jobs folder `jobs_folder`.
std::string JobFilesFolder(const std::string& jobs_folder);
// The job a file of that folder holds: its name without ".tvj" (in that case); "" for a name
// that does not end so, or is nothing more.
std::string JobNameOfFile(std::string_view file_name);

}  // namespace tarvik
