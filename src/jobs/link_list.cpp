#include "jobs/link_list.h"

#include <glib.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "favorites/shortcut_file.h"
#include "jobs/job_editing.h"
#include "platform/path_util.h"
#include "platform/search_fold.h"
#include "platform/web_address.h"

namespace tarvik {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         g_ascii_strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

bool IsAsciiAlnum(char c) { return g_ascii_isalnum(c); }

// The code point of the UTF-8 sequence at `p` and its length; a stray byte counts as one.
gunichar CharAt(std::string_view text, size_t p, size_t* length) {
  const auto lead = static_cast<unsigned char>(text[p]);
  size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (p + n > text.size()) n = 1;
  const gunichar c = g_utf8_get_char_validated(text.data() + p, static_cast<gssize>(n));
  *length = n;
  return c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2) ? 0xFFFD : c;
}

// Characters that end an address in running text.
bool EndsAddress(gunichar c) {
  if (c <= 0x20 || c == 0x7F) return true;
  switch (c) {
    case '<':
    case '>':
    case '"':
    case '`':
    case '{':
    case '}':
    case '|':
    case '\\':
    case '^': return true;
    default: break;
  }
  // The ideographic space, brackets and stops of Japanese prose, and the full-width forms of
  // ASCII punctuation.
  if (c >= 0x3000 && c <= 0x303F) return true;
  if ((c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
      (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65))
    return true;
  return c == 0x00A0 || c == 0x2028 || c == 0x2029 || c == 0xFFFD;
}

// The end of the address that starts at `start`, its trailing punctuation left out.
size_t AddressEnd(std::string_view text, size_t start) {
  size_t end = start;
  while (end < text.size()) {
    size_t n = 0;
    if (EndsAddress(CharAt(text, end, &n))) break;
    end += n;
  }
  for (;;) {
    if (end <= start) break;
    const char last = text[end - 1];
    if (std::string_view(".,;:!?'*").find(last) != std::string_view::npos) {
      --end;
      continue;
    }
    if (last == ')' || last == ']') {
      const char open = last == ')' ? '(' : '[';
      const std::string_view body = text.substr(start, end - start);
      const auto opened = std::count(body.begin(), body.end(), open);
      const auto closed = std::count(body.begin(), body.end(), last);
      if (closed > opened) {
        --end;
        continue;
      }
    }
    break;
  }
  return end;
}

// An address at `p` (of text `text`) that starts a word, and its end; 0 when none.
size_t AddressAt(std::string_view text, size_t p) {
  if (p > 0 && IsAsciiAlnum(text[p - 1])) return 0;
  const size_t scheme = WebSchemeLength(text.substr(p));
  if (scheme == 0) return 0;
  const size_t end = AddressEnd(text, p);
  return end > p + scheme ? end : 0;
}

// The text of a Markdown link without its emphasis marks.
std::string MarkdownLinkText(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '*' && c != '_' && c != '`') out += c;
  return CollapseWhiteSpace(out);
}

bool IsWhiteSpace(gunichar c) { return g_unichar_isspace(c) || c == 0x00A0 || c == 0x3000; }

}  // namespace

bool IsLinkForJob(std::string_view url) {
  while (!url.empty() && (url.front() == ' ' || url.front() == '\t')) url.remove_prefix(1);
  if (url.empty()) return false;
  for (std::string_view scheme : {"javascript:", "mailto:", "tel:", "data:", "about:", "blob:"})
    if (StartsWithNoCase(url, scheme)) return false;
  return true;
}

std::string_view WithoutFragment(std::string_view url) { return url.substr(0, url.find('#')); }

std::vector<JobEntry> LinksForJob(std::vector<JobEntry> links) {
  std::vector<JobEntry> kept;
  kept.reserve(links.size());
  // Address without fragment → place in kept. The addresses are those of the links kept, which
  // stay where they are: kept never grows past what it reserved.
  std::unordered_map<std::string_view, size_t> seen;
  seen.reserve(links.size());
  for (JobEntry& link : links) {
    if (!IsLinkForJob(link.URL) || link.URL.size() > kMaxLinkAddressBytes) continue;
    const auto at = seen.find(WithoutFragment(link.URL));
    if (at == seen.end()) {
      kept.push_back(std::move(link));
      seen.emplace(WithoutFragment(kept.back().URL), kept.size() - 1);
    } else if (kept[at->second].Title.empty()) {
      kept[at->second].Title = std::move(link.Title);
    }
  }
  for (JobEntry& link : kept) {
    if (link.Title.empty()) link.Title = link.URL;
    CutText(link.Title, kMaxLinkTitleBytes);
  }
  return kept;
}

void CutText(std::string& text, size_t max_bytes) {
  if (text.size() <= max_bytes) return;
  size_t end = max_bytes;
  // Back to the first byte of the character that would be split.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
}

std::vector<JobEntry> AddressesInText(std::string_view text) {
  std::vector<JobEntry> found;
  for (size_t p = 0; p < text.size();) {
    const char c = text[p];
    if (c == '[') {
      // "[text](address ...)": the address with the link's text. The text stays on one line.
      const size_t close = text.find_first_of("]\n", p + 1);
      if (close != std::string_view::npos && text[close] == ']' && close + 1 < text.size() &&
          text[close + 1] == '(') {
        const size_t start = close + 2;
        if (const size_t end = AddressAt(text, start)) {
          if (end - start > kMaxLinkAddressBytes) {
            p = end;
            continue;
          }
          std::string title = MarkdownLinkText(text.substr(p + 1, close - p - 1));
          CutText(title, kMaxLinkTitleBytes);
          std::string url(text.substr(start, end - start));
          if (title.empty()) title = url;
          found.push_back(JobEntry{std::move(title), std::move(url)});
          p = end;
          continue;
        }
      }
    } else if (c == 'h' || c == 'H') {
      if (const size_t end = AddressAt(text, p)) {
        if (end - p > kMaxLinkAddressBytes) {
          p = end;
          continue;
        }
        std::string url(text.substr(p, end - p));
        found.push_back(JobEntry{url, url});
        p = end;
        continue;
      }
    }
    ++p;
  }
  return found;
}

bool IsOnlyAddress(std::string_view text) {
  const std::string trimmed = CollapseWhiteSpace(text);
  return !trimmed.empty() && AddressAt(trimmed, 0) == trimmed.size();
}

std::string CollapseWhiteSpace(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool space = false;
  for (size_t p = 0; p < text.size();) {
    size_t n = 0;
    const gunichar c = CharAt(text, p, &n);
    if (IsWhiteSpace(c)) {
      space = !out.empty();
    } else {
      if (space) out += ' ';
      space = false;
      out.append(text.substr(p, n));
    }
    p += n;
  }
  return out;
}

std::string LinkTitle(const PageLink& link) {
  for (const std::string* part : {&link.text, &link.title})
    if (std::string title = CollapseWhiteSpace(*part); !title.empty()) return title;
  for (const std::string& alt : link.picture_alts)
    if (std::string title = CollapseWhiteSpace(alt); !title.empty()) return title;
  return CollapseWhiteSpace(link.alt);
}

std::string FilterKey(const JobEntry& link) {
  // A title that is the address adds nothing to match.
  return SearchFolded(link.Title == link.URL ? link.URL : link.Title + "\n" + link.URL);
}

std::optional<PickList> MakePickList(
    std::vector<JobEntry> links, const std::function<bool(size_t done, size_t total)>& progress) {
  PickList list;
  list.keys.reserve(links.size());
  for (const JobEntry& link : links) {
    if (progress && list.keys.size() % 4096 == 0 && !progress(list.keys.size(), links.size()))
      return std::nullopt;
    list.keys.push_back(FilterKey(link));
  }
  list.links = std::move(links);
  return list;
}

std::vector<JobEntry> LinksFromUriList(std::string_view uri_list) {
  std::vector<JobEntry> links;
  gchar** uris = g_uri_list_extract_uris(std::string(uri_list).c_str());
  for (gchar** u = uris; u && *u; ++u) {
    if (gchar* path = g_filename_from_uri(*u, nullptr, nullptr)) {
      const std::string url = ReadShortcutURL(path);
      if (!url.empty()) links.push_back(JobEntry{TitleBeforeFirstDot(LocalFileName(path)), url});
      g_free(path);
    } else if (**u) {
      links.push_back(JobEntry{"", *u});
    }
  }
  g_strfreev(uris);
  return LinksForJob(std::move(links));
}

std::vector<JobEntry> LinksFromText(std::string_view text) {
  return LinksForJob(AddressesInText(text));
}

std::vector<JobEntry> LinksFromUrlLines(std::string_view lines) {
  std::vector<std::string_view> rows;
  while (!lines.empty()) {
    const size_t end = std::min(lines.find('\n'), lines.size());
    std::string_view row = lines.substr(0, end);
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    rows.push_back(row);
    lines.remove_prefix(std::min(end + 1, lines.size()));
  }
  std::vector<JobEntry> links;
  for (size_t i = 0; i < rows.size(); i += 2) {
    std::string url = TrimSpaces(rows[i]);
    if (url.empty()) continue;
    std::string title = i + 1 < rows.size() ? TrimSpaces(rows[i + 1]) : std::string();
    links.push_back(JobEntry{std::move(title), std::move(url)});
  }
  links = LinksForJob(std::move(links));
  if (links.empty()) {
    std::string text;
    for (const std::string_view row : rows) text.append(row).append("\n");
    return LinksFromText(text);
  }
  return links;
}

std::vector<JobEntry> LinksFromMozUrl(std::string_view utf16) {
  std::vector<gunichar2> units(utf16.size() / 2);
  std::memcpy(units.data(), utf16.data(), units.size() * 2);
  if (!units.empty() && units.front() == 0xFFFE)
    for (gunichar2& u : units) u = GUINT16_SWAP_LE_BE(u);
  if (!units.empty() && units.front() == 0xFEFF) units.erase(units.begin());
  while (!units.empty() && units.back() == 0) units.pop_back();
  gchar* utf8 =
      g_utf16_to_utf8(units.data(), static_cast<glong>(units.size()), nullptr, nullptr, nullptr);
  if (!utf8) return {};
  std::vector<JobEntry> links = LinksFromUrlLines(utf8);
  g_free(utf8);
  return links;
}

}  // namespace tarvik
