// What the engine is asked to load for a typed or stored address.
#pragma once

#include <string>

namespace tarvik {

// An absolute URI as it is, an existing local path (absolute, or relative to the working
// folder) as a file URI, anything else with "http://" in front. "" stays "".
std::string FixUpAddress(const std::string& text);

}  // namespace tarvik
