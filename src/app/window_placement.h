// The main window's placement as the settings store keeps it: what start-up restores and what
// closing writes. Sizes and positions are in twips.
#pragma once

#include <optional>
#include <vector>

#include "app/window_mode.h"
#include "browse/recent_history.h"
#include "platform/settings_store.h"

namespace tarvik {

struct StoredPlacement {
  float width = 0;
  float height = 0;
  // Set when either "Left" or "Top" is stored; the other then reads as the current position.
  std::optional<float> left;
  std::optional<float> top;
  bool maximized = false;
};

// Reads the placement from `store`. A size or position that does not convert, or is out of any
// sensible range (sizes from 100 to 20,000 pixels, positions within 20,000 pixels of the
// origin), reads as its default: the designed size, the window's current position.
StoredPlacement ReadStoredPlacement(const SettingsStore& store, float designed_width,
                                    float designed_height, float current_left, float current_top,
                                    int tx, int ty);

// The window as it closes.
struct ClosingPlacement {
  float width = 0, height = 0, left = 0, top = 0;
  bool maximized = false;
  bool minimized = false;
  Mode mode = Mode::Job;
  bool position_known = true;  // false where the windowing system keeps it (Wayland)
};

// What closing writes: the size and position unless the window is maximized or minimized (the
// position only where it is known: the stored one stays otherwise), then
// "Maximized" and the mode, then the history slots `store` lacks (every change of the history
// was written when it happened and another Tarvik may have changed it since, so its newer pages
// stay).
std::vector<SettingWrite> ClosingWrites(const ClosingPlacement& window,
                                        const RecentHistory& history, const SettingsStore& store);

}  // namespace tarvik
