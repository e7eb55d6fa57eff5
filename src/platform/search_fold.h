// How the lists that find as the user types match: the drop-down of the job selectors and the
// filter of the links a new job keeps. Both fold their texts and what is typed the same way, and
// both match by words: a row is shown when every word typed (split at spaces and tabs) is in it,
// in any order. Typing nothing, or only spaces, shows every row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// `text` as the search compares it: full-width and half-width forms made one ("ｼﾞｮﾌﾞ" finds
// "ジョブ"), letter case folded; bytes that are not UTF-8 count as U+FFFD.
std::string SearchFolded(std::string_view text);
// The folded words of what the user typed.
std::vector<std::string> SearchWords(std::string_view typed);
// Whether `folded` (made by SearchFolded) holds every one of `words`.
bool MatchesSearch(std::string_view folded, const std::vector<std::string>& words);

}  // namespace tarvik
