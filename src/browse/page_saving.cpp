#include "browse/page_saving.h"

#include <glib.h>

namespace tarvik {

std::string ProposedPageFileName(std::string_view title) {
  std::string name;
  long characters = 0;
  const gchar* end = nullptr;
  const std::string text(title);
  if (!g_utf8_validate(text.c_str(), static_cast<gssize>(text.size()), &end)) return "page.mhtml";
  for (const gchar* p = text.c_str(); *p && characters < 100; p = g_utf8_next_char(p)) {
    const gunichar c = g_utf8_get_char(p);
    const bool unfit = c < 0x20 || c == 0x7f || g_utf8_strchr("\\/:;,*?\"<>|", -1, c);
    if (unfit) {
      name += '_';
    } else {
      name.append(p, static_cast<size_t>(g_utf8_next_char(p) - p));
    }
    ++characters;
  }
  const size_t first = name.find_first_not_of(" \t");
  const size_t last = name.find_last_not_of(" \t");
  name = first == std::string::npos ? "" : name.substr(first, last - first + 1);
  while (!name.empty() && name.front() == '.') name.erase(0, 1);
  return (name.empty() ? "page" : name) + ".mhtml";
}

PageSaveForm PageSaveFormFor(std::string_view path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return PageSaveForm::SingleFile;
  gchar* ext = g_ascii_strdown(std::string(path.substr(dot + 1)).c_str(), -1);
  const std::string e = ext;
  g_free(ext);
  return e == "html" || e == "htm" ? PageSaveForm::Html : PageSaveForm::SingleFile;
}

}  // namespace tarvik
