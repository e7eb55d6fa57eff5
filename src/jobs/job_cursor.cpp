#include "jobs/job_cursor.h"

#include <glib.h>

#include <cstdlib>
#include <utility>

#include "platform/display_text.h"

namespace tarvik {

void JobCursor::Load(std::string name, Job job) {
  name_ = std::move(name);
  entries_ = std::move(job.entries);
  last_index_ = job.last_index;
  if (current_index_ > last_index_) current_index_ = 0;
}

int KeptEntryIndex(const std::vector<JobEntry>& entries, int index, const std::string& url) {
  const int count = static_cast<int>(entries.size());
  if (count == 0) return -1;
  if (index < 0) index = 0;
  if (index < count && entries[index].URL == url) return index;
  int best = -1;
  for (int i = 0; i < count; ++i) {
    if (entries[i].URL != url) continue;
    if (best < 0 || std::abs(i - index) < std::abs(best - index)) best = i;
  }
  if (best >= 0) return best;
  return index < count ? index : count - 1;
}

int JobCursor::Refresh(std::vector<JobEntry> entries) {
  const std::string url = loaded() ? current().URL : std::string();
  const int kept = KeptEntryIndex(entries, current_index_, url);
  entries_ = std::move(entries);
  last_index_ = static_cast<int>(entries_.size()) - 1;
  current_index_ = kept < 0 ? 0 : kept;
  return current_index_;
}

void JobCursor::Clear() {
  name_.clear();
  entries_.clear();
  last_index_ = -1;
}

bool JobCursor::MoveTo(int index) {
  if (index < 0 || index > last_index_) return false;
  current_index_ = index;
  return true;
}

std::optional<int> JobCursor::Step(int button) {
  if (!loaded()) return std::nullopt;
  int target = current_index_;
  switch (button) {
    case kStepFirst: target = 0; break;
    case kStepPrevious: target = current_index_ - 1; break;
    case kStepNext: target = current_index_ + 1; break;
    case kStepLast: target = last_index_; break;
    default: return std::nullopt;
  }
  if (target == current_index_ || target < 0 || target > last_index_) return std::nullopt;
  current_index_ = target;
  return target;
}

std::optional<std::array<std::string, 4>> JobCursor::StepTips() const {
  if (!loaded()) return std::nullopt;
  // Tooltips show the start of a long title only.
  auto tip = [this](int index) {
    return ShortenForDisplay(entries_[index].Title, kListedTitleLimit);
  };
  return std::array<std::string, 4>{
      tip(0), current_index_ == 0 ? kAtFirstEntryTip : tip(current_index_ - 1),
      current_index_ == last_index_ ? kAtLastEntryTip : tip(current_index_ + 1), tip(last_index_)};
}

std::string JobCursor::PositionText(const std::string& url, const std::string& location_url,
                                    const std::string& location_name, bool job_shown) const {
  // Titles and addresses can be megabytes long; only their starts are shown.
  const std::string location = " [" + ShortenForDisplay(location_url) + "]";
  if (ShowsEntryTitle(url, job_shown))
    return ShortenForDisplay(entries_[current_index_].Title) + location;
  return ShortenForDisplay(location_name) + location;
}

bool JobCursor::ShowsEntryTitle(const std::string& url, bool job_shown) const {
  return job_shown && current_index_ >= 0 && current_index_ <= last_index_ &&
         url == entries_[current_index_].URL;
}

namespace {

// An address as the engine reports it after loading it: "HTTP://Example.com:80" is shown as
// "http://example.com/". Addresses that do not parse are kept as they are.
std::string NormalAddress(const std::string& address) {
  GUri* uri = g_uri_parse(
      address.c_str(), static_cast<GUriFlags>(G_URI_FLAGS_ENCODED | G_URI_FLAGS_SCHEME_NORMALIZE),
      nullptr);
  if (!uri) return address;
  gchar* text = g_uri_to_string(uri);
  std::string out = text;
  g_free(text);
  g_uri_unref(uri);
  return out;
}

}  // namespace

std::string JobCursor::PlaceText(const std::string& shown_url) const {
  if (!loaded() || current_index_ < 0 || current_index_ > last_index_) return "";
  const std::string& entry = entries_[current_index_].URL;
  if (shown_url != entry && NormalAddress(shown_url) != NormalAddress(entry)) return "";
  return std::to_string(current_index_ + 1) + " / " + std::to_string(last_index_ + 1);
}

}  // namespace tarvik
