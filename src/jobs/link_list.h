// Lists of links that become jobs: the links of a page, the addresses of a text, a dropped list.
// What an address is, which links a job keeps, and what the pick dialog's filter matches. No
// window is involved.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/job_files.h"
#include "platform/page_link.h"

namespace tarvik {

// Whether a link can be a job's entry: an address other than "javascript:", "mailto:", "tel:"
// and "data:" ones, which are no page to step to, and "about:" and "blob:" ones, which name
// nothing once the page that made them has gone.
bool IsLinkForJob(std::string_view url);

// `url` without its fragment ("#..."), the address two links are the same page by.
std::string_view WithoutFragment(std::string_view url);

// How long a link's address and title may be, in bytes. A longer address is left out (cut short,
// it would name another page); a longer title is cut short at a character's end. They bound what
// one link of a list costs, whatever the file holds.
inline constexpr size_t kMaxLinkAddressBytes = 8192;
inline constexpr size_t kMaxLinkTitleBytes = 1024;

// The links a job takes, in their order: those IsLinkForJob refuses go, as do addresses longer
// than kMaxLinkAddressBytes, and of links to the same address (fragments aside) only the first
// stays, where it stood. A link without a title takes that of a later link to the same address,
// else its address; a title is cut at kMaxLinkTitleBytes.
std::vector<JobEntry> LinksForJob(std::vector<JobEntry> links);

// `text` cut to at most `max_bytes`, at the end of a UTF-8 character.
void CutText(std::string& text, size_t max_bytes);

// Every http and https address in `text` (none longer than kMaxLinkAddressBytes), in order, each
// with its address as its title; a Markdown link ("[text](address)") takes its text. An address
// ends at white space, at characters no address holds (< > " ` { } | \ ^ and the ideographic space
// and brackets of Japanese prose) and loses the punctuation that ends a sentence after it (a
// closing bracket only when it opened none inside the address).
std::vector<JobEntry> AddressesInText(std::string_view text);

// Whether `text` is one address and nothing else (white space at its ends aside).
bool IsOnlyAddress(std::string_view text);

// `text` with each run of white space made one space and none at its ends.
std::string CollapseWhiteSpace(std::string_view text);

// The title a link gives a job entry: the text inside it, else its title attribute, else the
// first alt text of a picture inside it, else an area's own alt text, the first of them that
// holds more than white space, with its white space collapsed; "" when none does.
std::string LinkTitle(const PageLink& link);

// What the pick dialog's filter box matches: a link whose title or address holds every word
// typed (platform/search_fold.h: MatchesSearch with SearchWords). FilterKey gives the folded form
// of a link the match runs on, made once per link.
std::string FilterKey(const JobEntry& link);

// A list of links ready for the pick dialog: the links (as LinksForJob keeps them) and the
// FilterKey of each, made once, where long lists can make them off the main loop.
struct PickList {
  std::vector<JobEntry> links;
  std::vector<std::string> keys;
};
// `progress` is told how many keys are made of how many; when it returns false the making stops
// and nothing is returned.
std::optional<PickList> MakePickList(
    std::vector<JobEntry> links,
    const std::function<bool(size_t done, size_t total)>& progress = nullptr);

// ---- Drops ------------------------------------------------------------------------------------

// The links a drop or a paste holds. A "text/uri-list" gives one link per line: a local file is
// read as an Internet Shortcut (title = its name before the first ".", address from its URL
// line; a file without one adds nothing), anything else is a dragged address. Text gives its
// addresses (AddressesInText).
std::vector<JobEntry> LinksFromUriList(std::string_view uri_list);
std::vector<JobEntry> LinksFromText(std::string_view text);
// A link dragged from a web page: "_NETSCAPE_URL" gives lines of an address and its text, a pair
// a link; "text/x-moz-url" gives the same in UTF-16 (of this machine's byte order unless a byte
// order mark says otherwise). The text is the link's title. What holds no such pair is read as
// text (LinksFromText).
std::vector<JobEntry> LinksFromUrlLines(std::string_view lines);
std::vector<JobEntry> LinksFromMozUrl(std::string_view utf16);

}  // namespace tarvik
