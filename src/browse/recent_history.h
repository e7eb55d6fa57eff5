// The recent pages: 20 slots of (title, URL), slot 1 the oldest, shared by every main window of
// the process and kept in the settings section "History".
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace tarvik {

struct PageRef {
  std::string title;
  std::string url;
  // A slot counts as filled only when it holds both.
  bool filled() const { return !title.empty() && !url.empty(); }
};

class RecentHistory {
 public:
  static constexpr int kSlots = 20;
  // The longest address the history records, in bytes.
  static constexpr size_t kMaxRecordedURL = size_t{64} << 10;

  // The process-wide list.
  static RecentHistory& Shared();

  // Slot n, 1 to 20.
  const PageRef& slot(int n) const { return slots_[n - 1]; }

  // Reads the 20 slots from the store.
  void Load(const SettingsStore& store);
  // The writes that store slot n (title first, then URL), or all 20 slots.
  std::vector<SettingWrite> SlotWrites(int n) const;
  std::vector<SettingWrite> AllWrites() const;

  // What an addition changed, so that the window that made it can update its menu.
  struct Change {
    bool changed = false;
    bool rotated = false;  // the list was full: slots 2..20 moved up one and the page is slot 20
    int slot = 0;          // the slot that took the page
  };
  // Adds a displayed page unless its URL is already in one of the slots (exact comparison,
  // empty slots included) or longer than kMaxRecordedURL. Writes the changed slots to `store`.
  Change Add(const std::string& title, const std::string& url, SettingsStore& store);
  // A page is recorded when it is displayed, which is often before its title has arrived; it
  // then stands under its address. When the title comes, it replaces that stand-in in the
  // newest filled slot, if that slot still holds the page `url` under its address (or under no
  // title). A title that the page changes later is not recorded. Returns the slot that changed
  // (written to `store`), or 0 when nothing changed.
  int UpdateNewestTitle(const std::string& url, const std::string& title, SettingsStore& store);
  // Empties all 20 slots and writes them.
  void Clear(SettingsStore& store);

  static std::string TitleKey(int n);  // "Title01" .. "Title20"
  static std::string UrlKey(int n);    // "URL01" .. "URL20"

 private:
  std::array<PageRef, kSlots> slots_;
};

}  // namespace tarvik
