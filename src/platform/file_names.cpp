#include "platform/file_names.h"

namespace tarvik {

bool IsValidJobName(std::string_view text) {
  static constexpr std::string_view kForbidden("\\/:;,*?\"<>|\r\n\0", 14);
  return text.find_first_of(kForbidden) == std::string_view::npos;
}

}  // namespace tarvik
