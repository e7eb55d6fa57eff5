#include "browse/spelling.h"

#include <glib.h>

#include <algorithm>

namespace tarvik {

std::vector<std::string> DictionaryFolders() {
  return {"/usr/share/hunspell", "/usr/share/myspell", "/usr/share/myspell/dicts"};
}

std::vector<std::string> InstalledDictionaries(const std::vector<std::string>& folders) {
  std::vector<std::string> found;
  for (const std::string& folder : folders) {
    GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
    if (!dir) continue;
    while (const char* name = g_dir_read_name(dir)) {
      const std::string file = name;
      if (file.size() <= 4 || file.compare(file.size() - 4, 4, ".dic") != 0) continue;
      const std::string language = file.substr(0, file.size() - 4);
      const std::string aff = folder + "/" + language + ".aff";
      if (g_file_test(aff.c_str(), G_FILE_TEST_EXISTS) &&
          std::find(found.begin(), found.end(), language) == found.end())
        found.push_back(language);
    }
    g_dir_close(dir);
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::string> SpellingLanguages(const std::vector<std::string>& installed,
                                           const std::string& locale) {
  std::vector<std::string> languages;
  auto has = [&](const std::string& l) {
    return std::find(installed.begin(), installed.end(), l) != installed.end();
  };
  if (has("en_US")) {
    languages.push_back("en_US");
  } else {
    for (const std::string& l : installed)
      if (l.rfind("en_", 0) == 0 || l == "en") {
        languages.push_back(l);
        break;
      }
  }
  // "ja_JP.UTF-8@euro" → "ja_JP".
  const std::string own = locale.substr(0, locale.find_first_of(".@"));
  if (!own.empty() && own != "C" && own != "POSIX" && has(own) &&
      std::find(languages.begin(), languages.end(), own) == languages.end())
    languages.push_back(own);
  return languages;
}

}  // namespace tarvik
