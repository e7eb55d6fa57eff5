#include "browse/step_ahead.h"

#include "browse/address_fixup.h"
#include "browse/script_guard.h"
#include "platform/web_address.h"

namespace tarvik {

namespace {

// The address as the engine would load it when it is a web address; "" otherwise.
std::string WebAddress(const std::string& stored) {
  if (IsScriptAddress(stored)) return "";
  std::string uri = FixUpAddress(stored);
  return IsWebAddress(uri) ? uri : "";
}

}  // namespace

StepAhead PlanStepAhead(const std::vector<std::string>& ahead, const std::string& shown) {
  StepAhead plan;
  for (size_t i = 0; i < ahead.size() && plan.resolve.size() < static_cast<size_t>(kHostsAhead);
       ++i) {
    const std::string uri = WebAddress(ahead[i]);
    if (i == 0 && !uri.empty() && uri != shown) plan.prepare = uri;
    if (!uri.empty()) plan.resolve.push_back(uri);
  }
  return plan;
}

}  // namespace tarvik
