#include "platform/path_util.h"

#include <glib.h>

namespace tarvik {

std::string FileNamePart(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && (path[end - 1] == '/' || path[end - 1] == '\\')) --end;
  size_t sep = path.find_last_of("/\\", end == 0 ? 0 : end - 1);
  if (end == 0) return {};
  if (sep == std::string::npos) return path.substr(0, end);
  return path.substr(sep + 1, end - sep - 1);
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string LocalFileName(const std::string& path) {
  const std::string trimmed = WithoutTrailingSlash(path);
  if (trimmed.empty() || trimmed == "/") return {};
  gchar* name = g_filename_display_basename(trimmed.c_str());
  std::string text(name);
  g_free(name);
  return text;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string CaseInsensitivePattern(const std::string& pattern) {
  std::string out;
  bool in_class = false;
  for (char c : pattern) {
    if (!in_class && g_ascii_isalpha(c)) {
      out += '[';
      out += g_ascii_tolower(c);
      out += g_ascii_toupper(c);
      out += ']';
      continue;
    }
    // Letters inside a class the caller wrote are left to the caller.
    if (c == '[') in_class = true;
    if (c == ']') in_class = false;
    out += c;
  }
  return out;
}

}  // namespace tarvik
