#include "platform/display_text.h"

#include <glib.h>

namespace tarvik {

namespace {

constexpr char kEllipsis[] = "\xE2\x80\xA6";     // U+2026
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// The length in bytes of the valid character at `p`, or 0 when the bytes there are not one. A NUL
// byte counts as invalid: it would end the text where GTK takes it.
std::size_t CharLength(const char* p, std::size_t available) {
  const gunichar c = g_utf8_get_char_validated(p, static_cast<gssize>(available));
  if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) return 0;
  return static_cast<std::size_t>(g_unichar_to_utf8(c, nullptr));
}

}  // namespace

std::string ShortenForDisplay(const std::string& utf8, std::size_t max_chars) {
  if (max_chars == 0) return "";
  std::string out;
  std::size_t pos = 0;
  std::size_t chars = 0;
  while (pos < utf8.size()) {
    if (chars == max_chars - 1) {
      // Room for one more: the last character when it ends the text, otherwise the ellipsis.
      const std::size_t len = CharLength(utf8.data() + pos, utf8.size() - pos);
      if (pos + (len ? len : 1) == utf8.size()) {
        out.append(len ? utf8.substr(pos, len) : std::string(kReplacement));
      } else {
        out += kEllipsis;
      }
      return out;
    }
    const std::size_t len = CharLength(utf8.data() + pos, utf8.size() - pos);
    if (len == 0) {
      out += kReplacement;
      pos += 1;
    } else {
      out.append(utf8, pos, len);
      pos += len;
    }
    ++chars;
  }
  return out;
}

std::string MnemonicCaption(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    char c = caption[i];
    if (c == '_') {
      out += "__";
    } else if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      } else {
        out += '_';
      }
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace tarvik
