#include "browse/recent_menu.h"

#include "platform/display_text.h"

namespace tarvik {

RecentMenuItem RecentMenuItemFor(const RecentHistory& history, int index) {
  const PageRef& slot = history.slot(index + 1);
  if (slot.filled()) return {ShortenForDisplay(slot.title), true, true};
  return {kEmptyRecentCaption, false, index == 0};
}

}  // namespace tarvik
