#include "platform/file_names.h"

#include "platform/path_util.h"

namespace tarvik {

bool IsValidJobName(std::string_view text) {
  static constexpr std::string_view kForbidden("\\/:;,*?\"<>|\r\n\0", 14);
  return text.find_first_of(kForbidden) == std::string_view::npos;
}

std::string JobFilesFolder(const std::string& jobs_folder) {
  return JoinPath(jobs_folder, kJobFilesFolderName);
}

std::string JobNameOfFile(std::string_view file_name) {
  const std::string_view suffix(kJobFileSuffix);
  if (file_name.size() <= suffix.size() ||
      file_name.substr(file_name.size() - suffix.size()) != suffix)
    return {};
  return std::string(file_name.substr(0, file_name.size() - suffix.size()));
}

}  // namespace tarvik
