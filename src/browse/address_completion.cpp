#include "browse/address_completion.h"

#include <glib.h>

namespace tarvik {

std::vector<std::string> AddressCompletions(const RecentHistory& history,
                                            const std::string& typed) {
  std::vector<std::string> out;
  for (int n = RecentHistory::kSlots; n >= 1; --n)
    if (history.slot(n).filled()) out.push_back(history.slot(n).url);
  if (typed.empty() || typed[0] != '/') return out;
  const std::string folder = typed.substr(0, typed.rfind('/') + 1);
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (!dir) return out;
  int shown = 0;
  while (const char* name = g_dir_read_name(dir)) {
    if (name[0] == '.') continue;
    if (++shown > kMaxCompletionFiles) break;
    // A name that is not UTF-8 is offered as the desktop would show it.
    gchar* display = g_filename_display_name(name);
    out.push_back(folder + display);
    g_free(display);
  }
  g_dir_close(dir);
  return out;
}

}  // namespace tarvik
