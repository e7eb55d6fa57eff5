// A link as a page holds it: what the engine finds in the page shown, and what the reader of
// pages saved as files finds. The title a job takes from it is made by one rule for both
// (LinkTitle, jobs/link_list.h).
#pragma once

#include <string>
#include <vector>

namespace tarvik {

struct PageLink {
  std::string url;                             // resolved against the page
  std::string text;                            // the text inside the link, as the page shows it
  std::string title = {};                      // its title attribute
  std::vector<std::string> picture_alts = {};  // the alt texts of the pictures inside it, in order
  std::string alt = {};                        // an area's own alt text
  bool operator==(const PageLink&) const = default;
};

}  // namespace tarvik
