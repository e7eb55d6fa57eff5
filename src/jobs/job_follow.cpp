#include "jobs/job_follow.h"

#include <glibmm/main.h>

#include <algorithm>
#include <unordered_set>

namespace tarvik {

namespace {

int ListedIndex(const std::vector<std::string>& names, const std::string& name) {
  auto it = std::find(names.begin(), names.end(), name);
  return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

}  // namespace

std::vector<std::string> JobFollow::MissingFiles(const std::string& jobs_folder,
                                                 const std::vector<std::string>& shown,
                                                 const std::vector<std::string>& names,
                                                 DeliveryWait::Clock::time_point now) {
  std::vector<std::string> missing;
  std::optional<std::unordered_set<std::string>> was_shown;  // made once, when a file is missing
  for (const std::string& name : names) {
    if (name.empty() || JobFileExists(jobs_folder, name)) {
      delivery_.Stop(name);
      continue;
    }
    // Only a line new to the selector is a delivery in progress; one it showed already without
    // a file is as missing as ever.
    if (!was_shown) was_shown.emplace(shown.begin(), shown.end());
    if (!was_shown->count(name)) delivery_.Start(name, now);
    missing.push_back(name);
  }
  return missing;
}

FollowedJobList JobFollow::Follow(const std::string& jobs_folder, const ShownJobList& shown,
                                  const std::vector<std::string>& names,
                                  DeliveryWait::Clock::time_point now) {
  FollowedJobList out;
  if (shown.items == names) return out;
  const int index = shown.selected;
  int keep = -1;
  if (index >= 0 && index < static_cast<int>(names.size()) && names[index] == shown.selected_name) {
    keep = index;
  } else if (index >= 0) {
    keep = ListedIndex(names, shown.selected_name);
  }
  if (keep < 0 && !shown.loaded.empty()) {
    // The loaded job's name has left the list: it follows a rename, and after a delete the
    // window is left as after a job that could not be loaded, the page still shown.
    const std::string& name = shown.loaded;
    std::optional<std::string> now_named = FollowedJobName(
        jobs_folder, name, shown.loaded_entries ? *shown.loaded_entries : std::vector<JobEntry>{},
        shown.items, names);
    if (!now_named && JobMayStillBeDelivered(jobs_folder, name, shown.items, names)) {
      delivery_.Start(name, now);
      if (delivery_.Waiting(name, now)) {
        // Looked at again at the next change, or when the grace has run out.
        hold_timer_.disconnect();
        hold_timer_ = Glib::signal_timeout().connect(
            [this] {
              look_again_.emit();
              return false;
            },
            grace_ms_ + 100);
        out.loaded = FollowedJobList::Loaded::Held;
        return out;
      }
    }
    delivery_.Stop(name);
    if (now_named) {
      out.loaded = FollowedJobList::Loaded::Renamed;
      out.renamed_to = *now_named;
      keep = ListedIndex(names, *now_named);
    } else {
      out.loaded = FollowedJobList::Loaded::LetGo;
    }
  }
  out.refill = true;
  out.select = keep;
  return out;
}

bool JobFollow::AwaitChosenJob(const std::string& name) {
  if (!delivery_.Waiting(name, DeliveryWait::Clock::now())) return false;
  arriving_ = name;
  arrival_timer_.disconnect();
  arrival_timer_ = Glib::signal_timeout().connect(
      [this] {
        if (!arriving_.empty()) {
          const std::string name = std::move(arriving_);
          arriving_.clear();
          never_came_.emit(name);
        }
        return false;
      },
      grace_ms_);
  return true;
}

std::string JobFollow::ArrivedJob(const std::string& jobs_folder) {
  if (arriving_.empty() || !JobFileExists(jobs_folder, arriving_)) return {};
  std::string name = std::move(arriving_);
  arriving_.clear();
  arrival_timer_.disconnect();
  return name;
}

void JobFollow::Reset() {
  delivery_.Clear();
  arriving_.clear();
  hold_timer_.disconnect();
  arrival_timer_.disconnect();
}

}  // namespace tarvik
