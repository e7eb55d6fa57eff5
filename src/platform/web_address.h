// What counts as a web address: one that starts with "http://" or "https://", in any letter case.
// The link lists, the address lists read from files and the page made ready for the next step
// all take this one rule.
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvik {

// The length of "http://" or "https://" at the start of `text`, 0 when neither is there.
size_t WebSchemeLength(std::string_view text);

inline bool IsWebAddress(std::string_view text) { return WebSchemeLength(text) > 0; }

}  // namespace tarvik
