// The politeness of a check, on a simulated clock: requests that each take 1.2 s, on hosts that
// allow 2 at once and a start every 0.5 s, 3 at once in all, one host asking for a pause.
#include <gtest/gtest.h>

#include <map>

#include "jobs/round_check.h"

namespace tarvik {
namespace {

TEST(PoliteSchedule, KeepsEveryLimitAndWastesNoTime) {
  RoundLimits limits;
  limits.per_host = 2;
  limits.host_spacing_s = 0.5;
  limits.in_all = 3;
  PoliteSchedule schedule(limits);
  const std::vector<std::string> hosts = {"a", "b", "c"};
  std::map<size_t, std::string> host_of;
  for (size_t id = 0; id < 12; ++id) {
    host_of[id] = hosts[id % 3];
    schedule.Add(id, host_of[id], id == 11 ? 1 : 0);
  }
  schedule.Hold("c", 3.0);  // a Retry-After of 3 s

  constexpr double kTook = 1.2;
  std::multimap<double, size_t> ends;  // end time → id
  std::map<size_t, double> started;
  double now = 0;
  while (!schedule.Idle()) {
    double wait = -1;
    while (std::optional<size_t> id = schedule.Next(now, &wait)) {
      started[*id] = now;
      ends.emplace(now + kTook, *id);
    }
    // The next moment something can happen: a request's end, or the wait the schedule named.
    double next = ends.empty() ? now + wait : ends.begin()->first;
    if (wait >= 0) next = std::min(next, now + wait);
    ASSERT_GT(next, now);
    now = next;
    while (!ends.empty() && ends.begin()->first <= now + 1e-9) {
      schedule.Finished(ends.begin()->second);
      ends.erase(ends.begin());
    }
  }

  ASSERT_EQ(started.size(), 12u);
  for (const auto& [id, at] : started) {
    int same_host = 0, all = 0;
    for (const auto& [other, other_at] : started) {
      const bool overlaps = other_at <= at && at < other_at + kTook;
      all += overlaps;
      if (host_of[other] == host_of[id]) {
        same_host += overlaps;
        if (other != id) {
          EXPECT_GE(std::abs(other_at - at), 0.5 - 1e-9) << id << " " << other;
        }
      }
    }
    EXPECT_LE(same_host, 2) << id;
    EXPECT_LE(all, 3) << id;
    if (host_of[id] == "c") {
      EXPECT_GE(at, 3.0) << id;
    }
  }
  // Host c's four, two at once from 3.0 on, end at 5.9 at the earliest (3.0, 3.5, 4.2, 4.7);
  // one at a time they would end at 7.8.
  EXPECT_GE(now, 5.9 - 1e-9);
  EXPECT_LT(now, 7.8 - 1e-9);
}

}  // namespace
}  // namespace tarvik
