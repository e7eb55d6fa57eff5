// Feeds arbitrary typed addresses to the address fix-up: an absolute URI stays as it is, an
// existing path becomes a file URI, anything else gets "http://" in front, and fixing up an
// address twice changes nothing.
#include <glib.h>

#include <cstdint>
#include <string>

#include "browse/address_fixup.h"
#include "fuzz_support.h"

namespace {
using tarvik::fuzz::Check;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A typed address is text without NUL.
  std::string text =
      tarvik::fuzz::ValidUtf8(std::string(reinterpret_cast<const char*>(data), size));
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));

  // Relative paths are looked up in the working folder (run.sh runs the fuzzers in their build
  // folder), so some inputs name existing files and become file URIs.
  const std::string fixed = tarvik::FixUpAddress(text);
  if (text.empty()) {
    Check(fixed.empty(), "an empty address stays empty");
    return 0;
  }
  gchar* scheme = g_uri_parse_scheme(fixed.c_str());
  Check(scheme != nullptr, "the fixed address has a scheme");
  g_free(scheme);
  Check(fixed == text || fixed == "http://" + text || g_str_has_prefix(fixed.c_str(), "file://"),
        "kept, given http:// or made a file URI");
  Check(tarvik::FixUpAddress(fixed) == fixed, "fixing up twice changes nothing");
  return 0;
}
