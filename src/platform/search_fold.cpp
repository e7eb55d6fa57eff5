#include "platform/search_fold.h"

#include <glib.h>

#include <algorithm>

namespace tarvik {

std::string SearchFolded(std::string_view text) {
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  gchar* normal = g_utf8_normalize(valid, -1, G_NORMALIZE_ALL);
  gchar* folded = g_utf8_casefold(normal ? normal : valid, -1);
  std::string result = folded;
  g_free(folded);
  g_free(normal);
  g_free(valid);
  return result;
}

std::vector<std::string> SearchWords(std::string_view typed) {
  std::vector<std::string> words;
  const std::string folded = SearchFolded(typed);
  const std::string_view rest(folded);
  for (size_t p = 0; p <= rest.size();) {
    const size_t end = std::min(rest.find_first_of(" \t", p), rest.size());
    if (end > p) words.emplace_back(rest.substr(p, end - p));
    p = end + 1;
  }
  return words;
}

bool MatchesSearch(std::string_view folded, const std::vector<std::string>& words) {
  for (const std::string& word : words)
    if (folded.find(word) == std::string_view::npos) return false;
  return true;
}

}  // namespace tarvik
