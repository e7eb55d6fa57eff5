#include "browse/address_fixup.h"

#include <glib.h>

#include <cstring>

namespace tarvik {

namespace {

// A scheme counts only when the engine or the desktop handles it, or when "//" follows the
// colon. "localhost:8080/x" or "example.com:8080" starts with a host and a port, and "c:/x"
// with a drive letter, not with a scheme.
bool HasKnownScheme(const std::string& text) {
  // Not g_uri_peek_scheme: it keeps every scheme it ever saw for the life of the process.
  gchar* scheme = g_uri_parse_scheme(text.c_str());
  if (scheme == nullptr) return false;
  static const char* const kHandled[] = {"http", "https",      "file",   "about",
                                         "data", "javascript", "mailto", "ftp"};
  bool known = false;
  for (const char* name : kHandled) known = known || g_ascii_strcasecmp(scheme, name) == 0;
  const size_t after = strlen(scheme) + 1;  // just past the colon
  g_free(scheme);
  if (known) return true;
  if (after <= 2) return false;  // a one-letter scheme is a drive
  return text.compare(after, 2, "//") == 0;
}

}  // namespace

std::string FixUpAddress(const std::string& text) {
  if (text.empty()) return text;
  if (HasKnownScheme(text)) return text;
  // An existing file or folder, absolute or relative to the working folder.
  if (g_file_test(text.c_str(), G_FILE_TEST_EXISTS)) {
    gchar* abs = g_canonicalize_filename(text.c_str(), nullptr);
    gchar* uri = g_filename_to_uri(abs, nullptr, nullptr);
    g_free(abs);
    if (uri) {
      std::string result(uri);
      g_free(uri);
      return result;
    }
  }
  return "http://" + text;
}

}  // namespace tarvik
