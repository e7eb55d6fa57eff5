#include "browse/step_ahead.h"

#include <glib.h>

#include "browse/address_fixup.h"
#include "browse/script_guard.h"

namespace tarvik {

namespace {

// The address as the engine would load it when it is an http or https one; "" otherwise.
std::string WebAddress(const std::string& stored) {
  if (IsScriptAddress(stored)) return "";
  std::string uri = FixUpAddress(stored);
  gchar* scheme = g_uri_parse_scheme(uri.c_str());
  const bool web = scheme && (g_ascii_strcasecmp(scheme, "http") == 0 ||
                              g_ascii_strcasecmp(scheme, "https") == 0);
  g_free(scheme);
  return web ? uri : "";
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
