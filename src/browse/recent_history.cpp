#include "browse/recent_history.h"

#include <cstdio>

#include "platform/settings_keys.h"

namespace tarvik {

namespace {
constexpr const char* kSection = setting::kHistorySection;

std::string TwoDigits(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}
}  // namespace

RecentHistory& RecentHistory::Shared() {
  static RecentHistory history;
  return history;
}

std::string RecentHistory::TitleKey(int n) { return "Title" + TwoDigits(n); }
std::string RecentHistory::UrlKey(int n) { return "URL" + TwoDigits(n); }

void RecentHistory::Load(const SettingsStore& store) {
  for (int n = 1; n <= kSlots; ++n) {
    slots_[n - 1].title = store.Get(kSection, TitleKey(n), "");
    slots_[n - 1].url = store.Get(kSection, UrlKey(n), "");
  }
}

std::vector<SettingWrite> RecentHistory::SlotWrites(int n) const {
  return {{kSection, TitleKey(n), slots_[n - 1].title}, {kSection, UrlKey(n), slots_[n - 1].url}};
}

std::vector<SettingWrite> RecentHistory::AllWrites() const {
  std::vector<SettingWrite> writes;
  for (int n = 1; n <= kSlots; ++n) {
    auto w = SlotWrites(n);
    writes.insert(writes.end(), w.begin(), w.end());
  }
  return writes;
}

RecentHistory::Change RecentHistory::Add(const std::string& title, const std::string& url,
                                         SettingsStore& store) {
  Change change;
  // A huge address (a data: URL holding a whole page or picture) would swell the settings file
  // that every window reads; it is not recorded.
  if (url.size() > kMaxRecordedURL) return change;
  for (const PageRef& s : slots_)
    if (s.url == url) return change;

  int last = 0;
  for (int n = kSlots; n >= 1; --n) {
    if (slots_[n - 1].filled()) {
      last = n;
      break;
    }
  }
  change.changed = true;
  std::vector<SettingWrite> writes;
  if (last == kSlots) {
    for (int k = 2; k <= kSlots; ++k) slots_[k - 2] = slots_[k - 1];
    slots_[kSlots - 1] = {title, url};
    change.rotated = true;
    change.slot = kSlots;
    writes = AllWrites();
  } else {
    slots_[last] = {title, url};
    change.slot = last + 1;
    writes = SlotWrites(last + 1);
  }
  store.SaveAll(writes);
  return change;
}

int RecentHistory::UpdateNewestTitle(const std::string& url, const std::string& title,
                                     SettingsStore& store) {
  if (url.empty() || title.empty() || title == url) return 0;
  int newest = 0;
  for (int n = kSlots; n >= 1; --n) {
    if (slots_[n - 1].filled()) {
      newest = n;
      break;
    }
  }
  // A page recorded with an empty title does not count as filled, yet it is the newest page
  // when it lies just after the last filled slot.
  if (newest < kSlots && slots_[newest].title.empty() && slots_[newest].url == url) ++newest;
  if (newest == 0) return 0;
  PageRef& slot = slots_[newest - 1];
  if (slot.url != url || !(slot.title.empty() || slot.title == url)) return 0;
  slot.title = title;
  store.SaveAll(SlotWrites(newest));
  return newest;
}

void RecentHistory::Clear(SettingsStore& store) {
  for (PageRef& s : slots_) s = {};
  store.SaveAll(AllWrites());
}

}  // namespace tarvik
