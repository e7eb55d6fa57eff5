// How long a page loaded ahead may be shown, and when it is loaded again.
#include "platform/page_freshness.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(PageFreshnessTest, TheResponseMayShortenButNeverLengthenTheTwoMinutes) {
  EXPECT_EQ(FreshLifetime("", "", "", ""), kFreshAtMost);
  EXPECT_EQ(FreshLifetime("public, max-age=3600", "", "", ""), kFreshAtMost);
  EXPECT_EQ(FreshLifetime("max-age=30", "", "", ""), Seconds(30));
  EXPECT_EQ(FreshLifetime("Max-Age=\"45\", must-revalidate", "", "", ""), Seconds(45));
  EXPECT_EQ(FreshLifetime("max-age=30", "", "", "20"), Seconds(10)) << "less its age in caches";
  EXPECT_EQ(FreshLifetime("max-age=30", "", "", "90"), Seconds(0));
  EXPECT_EQ(FreshLifetime("max-age=0, private, must-revalidate", "", "", ""), Seconds(0));
  EXPECT_EQ(FreshLifetime("no-store", "", "", ""), kFreshAtMost)
      << "a cache's rule, not a lifetime";
  EXPECT_EQ(FreshLifetime("max-age=oops", "", "", ""), Seconds(0));
  // Expires counts from the server's own Date, whatever this machine's clock says.
  EXPECT_EQ(FreshLifetime("", "Tue, 08 Dec 2026 10:01:00 GMT", "Tue, 08 Dec 2026 10:00:00 GMT", ""),
            Seconds(60));
  EXPECT_EQ(FreshLifetime("", "Tue, 08 Dec 2026 11:00:00 GMT", "Tue, 08 Dec 2026 10:00:00 GMT", ""),
            kFreshAtMost);
  EXPECT_EQ(FreshLifetime("", "0", "Tue, 08 Dec 2026 10:00:00 GMT", ""), Seconds(0));
  EXPECT_EQ(FreshLifetime("max-age=50", "0", "Tue, 08 Dec 2026 10:00:00 GMT", ""), Seconds(50))
      << "max-age wins over Expires";
  EXPECT_TRUE(StillFresh(Seconds(119), kFreshAtMost));
  EXPECT_FALSE(StillFresh(Seconds(120), kFreshAtMost));
}

TEST(PageFreshnessTest, AReaderWhoStaysHasThePageAheadRenewedEveryTwoMinutesForTenMinutes) {
  EXPECT_EQ(RefreshIn(Seconds(10), Seconds(5)), Seconds(115));
  EXPECT_EQ(RefreshIn(Seconds(130), Seconds(125)), Seconds(0)) << "old: at once";
  // Renewed at 2, 4, 6, 8 and 10 minutes on the page, and not after.
  Seconds on_page(0), age(0);
  int renewals = 0;
  while (std::optional<Seconds> wait = RefreshIn(on_page, age)) {
    on_page += *wait;
    age = Seconds(0);
    ++renewals;
  }
  EXPECT_EQ(renewals, 5);
  EXPECT_EQ(on_page, kKeepFreshFor);
  EXPECT_EQ(RefreshIn(Seconds(590), Seconds(100)), std::nullopt);
}

}  // namespace
}  // namespace tarvik
