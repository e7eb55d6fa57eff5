#include "platform/web_address.h"

#include <glib.h>

namespace tarvik {

size_t WebSchemeLength(std::string_view text) {
  for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")})
    if (text.size() >= scheme.size() &&
        g_ascii_strncasecmp(text.data(), scheme.data(), scheme.size()) == 0)
      return scheme.size();
  return 0;
}

}  // namespace tarvik
