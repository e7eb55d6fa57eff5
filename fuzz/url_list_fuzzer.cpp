// Feeds arbitrary bytes to the reader of address lists, in each of its formats: every link it
// gives is an http or https address on one line with a title on one line, each page comes once,
// and an address found in text is found again, whole, in its own text.
#include <glib.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "jobs/link_list.h"
#include "jobs/url_list_file.h"
#include "platform/text_file.h"

namespace {

using tarvik::JobEntry;
using tarvik::UrlListFormat;
using tarvik::fuzz::Check;

bool HasBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text =
      tarvik::DecodeText(std::string_view(reinterpret_cast<const char*>(data), size));
  for (UrlListFormat format :
       {UrlListFormat::Text, UrlListFormat::Csv, UrlListFormat::Markdown, UrlListFormat::Html}) {
    const std::vector<JobEntry> links = *tarvik::ParseUrlList(text, format);
    std::set<std::string> pages;
    for (const JobEntry& link : links) {
      Check(g_ascii_strncasecmp(link.URL.c_str(), "http://", 7) == 0 ||
                g_ascii_strncasecmp(link.URL.c_str(), "https://", 8) == 0,
            "every link is a web address");
      Check(!HasBreak(link.URL) && !HasBreak(link.Title), "addresses and titles are one line");
      Check(!link.Title.empty(), "every link has a title");
      Check(link.URL.size() <= tarvik::kMaxLinkAddressBytes &&
                link.Title.size() <= tarvik::kMaxLinkTitleBytes,
            "addresses and titles are within their caps");
      Check(pages.insert(std::string(tarvik::WithoutFragment(link.URL))).second,
            "each page comes once");
      if (format == UrlListFormat::Text) {
        const std::vector<JobEntry> again = tarvik::AddressesInText(link.URL);
        Check(again.size() == 1 && again[0].URL == link.URL, "an address found is found again");
      }
    }
  }
  return 0;
}
