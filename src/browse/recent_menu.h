// The recent-pages menu items as the shared history holds them.
#pragma once

#include <string>

#include "browse/recent_history.h"

namespace tarvik {

inline constexpr char kEmptyRecentCaption[] = "（空）";

struct RecentMenuItem {
  std::string caption;  // shown as it is: an "_" in a title is no access key
  bool enabled = false;
  bool visible = false;
};

// Item `index` (0 to 19, slot index + 1): a filled slot shows its title; an empty one shows
// "（空）" disabled, and only the first item stays visible then.
RecentMenuItem RecentMenuItemFor(const RecentHistory& history, int index);

}  // namespace tarvik
