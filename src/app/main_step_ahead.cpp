#include "app/main_step_ahead.h"

#include <algorithm>
#include <string>
#include <vector>

#include "browse/step_ahead.h"
#include "jobs/job_cursor.h"
#include "platform/browser_control.h"
#include "platform/settings_keys.h"

namespace tarvik {

namespace {

// The windows' helpers, for a change of the setting.
std::vector<MainStepAhead*>& Everyone() {
  static std::vector<MainStepAhead*> all;
  return all;
}

}  // namespace

MainStepAhead::MainStepAhead(BrowserControl& browser, const JobCursor& job,
                             std::function<bool()> stepping)
    : browser_(browser), job_(job), stepping_(std::move(stepping)) {
  Everyone().push_back(this);
  browser_.signal_document_complete().connect(sigc::mem_fun(*this, &MainStepAhead::PrepareNext));
}

MainStepAhead::~MainStepAhead() {
  auto& all = Everyone();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

bool MainStepAhead::Enabled() { return GetSetting(setting::kPrepareNext) != "False"; }

void MainStepAhead::SetEnabled(bool on) {
  if (on == Enabled()) return;
  SaveSetting(setting::kPrepareNext, on ? "True" : "False");
  if (!on)
    for (MainStepAhead* window : Everyone()) window->Drop();
}

void MainStepAhead::PrepareNext() {
  if (!Enabled() || !stepping_() || !job_.loaded()) return;
  std::vector<std::string> ahead;
  const auto& entries = job_.entries();
  const int last = std::min({job_.last_index(), static_cast<int>(entries.size()) - 1,
                             job_.current_index() + kEntriesAhead});
  for (int i = job_.current_index() + 1; i <= last; ++i) ahead.push_back(entries[i].URL);
  const StepAhead plan = PlanStepAhead(ahead, browser_.LocationURL());
  if (!plan.resolve.empty()) browser_.ResolveHostsAhead(plan.resolve);
  if (plan.prepare.empty())
    browser_.DropPrepared();
  else
    browser_.Prepare(plan.prepare);
}

void MainStepAhead::Drop() { browser_.DropPrepared(); }

}  // namespace tarvik
