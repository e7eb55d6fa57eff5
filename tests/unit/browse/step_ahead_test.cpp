#include "browse/step_ahead.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(StepAhead, OnlyTheNextWebPageIsMadeReadyAndOnlyWebHostsAreLookedUp) {
  const std::string shown = "http://a.test/1";
  // The next entry as the engine loads it; the hosts of the next three web addresses.
  StepAhead plan = PlanStepAhead({"b.test/2", "javascript:alert(1)", "HTTPS://c.test/",
                                  "ftp://d.test/", "http://e.test/", "http://f.test/"},
                                 shown);
  EXPECT_EQ(plan.prepare, "http://b.test/2");
  EXPECT_EQ(plan.resolve,
            (std::vector<std::string>{"http://b.test/2", "HTTPS://c.test/", "http://e.test/"}));
  // Never a script, another scheme, the page shown, or past the last entry.
  EXPECT_EQ(PlanStepAhead({" JavaScript:go()", "http://b.test/"}, shown).prepare, "");
  EXPECT_EQ(PlanStepAhead({"\n java\tscript:go()"}, shown).prepare, "");
  EXPECT_EQ(PlanStepAhead({"file:///etc/hosts"}, shown).prepare, "");
  EXPECT_EQ(PlanStepAhead({"about:blank"}, shown).prepare, "");
  // A web address starts with "http://" or "https://", as in the link lists.
  EXPECT_EQ(PlanStepAhead({"http:b.test/2"}, shown).prepare, "");
  EXPECT_EQ(PlanStepAhead({shown, "http://b.test/"}, shown).prepare, "");
  plan = PlanStepAhead({}, shown);
  EXPECT_EQ(plan.prepare, "");
  EXPECT_TRUE(plan.resolve.empty());
}

}  // namespace
}  // namespace tarvik
