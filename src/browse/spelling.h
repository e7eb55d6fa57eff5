// The languages the engine checks the spelling of in the fields of pages: those whose
// dictionaries are installed, English first. Needs no display.
#pragma once

#include <string>
#include <vector>

namespace tarvik {

// The dictionaries in `folders` (a "xx_YY.dic" beside its ".aff"), by language name.
std::vector<std::string> InstalledDictionaries(const std::vector<std::string>& folders);
// The folders where the system's spell checkers find their dictionaries.
std::vector<std::string> DictionaryFolders();

// The languages to check: English ("en_US", else another English) when installed, then the
// user's own language (`locale`, "ja_JP.UTF-8") when a dictionary for it is installed.
std::vector<std::string> SpellingLanguages(const std::vector<std::string>& installed,
                                           const std::string& locale);

}  // namespace tarvik
