#include "browse/address_fixup.h"

#include <glib.h>

#include <cstring>

namespace tarvik {

std::string FixUpAddress(const std::string& text) {
  if (text.empty()) return text;
  if (g_uri_peek_scheme(text.c_str()) != nullptr) {
    // "c:/x" parses as scheme "c"; a one-letter scheme is a drive, not a URI.
    const char* colon = strchr(text.c_str(), ':');
    if (colon && colon - text.c_str() > 1) return text;
  }
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
