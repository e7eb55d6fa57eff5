#include "app/window_placement.h"

#include <string>

#include "platform/settings_keys.h"

namespace tarvik {

namespace {

float StoredTwips(const SettingsStore& store, const SettingKey& key, float fallback, float low,
                  float high) {
  float v = ToSingle(store.Get(key.section, key.key, SingleText(fallback)), fallback);
  return (v < low || v > high) ? fallback : v;
}

}  // namespace

StoredPlacement ReadStoredPlacement(const SettingsStore& store, float designed_width,
                                    float designed_height, float current_left, float current_top,
                                    int tx, int ty) {
  using namespace setting;
  StoredPlacement p;
  const SettingKey& m = kMaximized;
  p.maximized = ToBoolean(store.Get(m.section, m.key, m.fallback), false);
  const float max_size = 20000.0f * tx;
  p.width = StoredTwips(store, kWindowWidth, designed_width, 100.0f * tx, max_size);
  p.height = StoredTwips(store, kWindowHeight, designed_height, 100.0f * ty, max_size);
  if (store.Find(kWindowLeft.section, kWindowLeft.key) ||
      store.Find(kWindowTop.section, kWindowTop.key)) {
    p.left = StoredTwips(store, kWindowLeft, current_left, -max_size, max_size);
    p.top = StoredTwips(store, kWindowTop, current_top, -max_size, max_size);
  }
  return p;
}

std::vector<SettingWrite> ClosingWrites(const ClosingPlacement& window,
                                        const RecentHistory& history, const SettingsStore& store) {
  using namespace setting;
  std::vector<SettingWrite> writes;
  if (!window.maximized && !window.minimized) {
    writes.push_back(WriteOf(kWindowWidth, SingleText(window.width)));
    writes.push_back(WriteOf(kWindowHeight, SingleText(window.height)));
    if (window.position_known) {
      writes.push_back(WriteOf(kWindowLeft, SingleText(window.left)));
      writes.push_back(WriteOf(kWindowTop, SingleText(window.top)));
    }
  }
  writes.push_back(WriteOf(kMaximized, BooleanText(window.maximized)));
  writes.push_back(WriteOf(kMode, std::to_string(ModeNumber(window.mode))));
  for (const SettingWrite& w : history.AllWrites())
    if (!store.Find(w.section, w.key)) writes.push_back(w);
  return writes;
}

}  // namespace tarvik
