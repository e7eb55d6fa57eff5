#include "jobs/bookmarks.h"

#include <glib.h>
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <sys/stat.h>

#include <climits>
#include <memory>

#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

namespace {

// ---- Names -------------------------------------------------------------------------------------

// The full-width form of a character no job name may hold, or nullptr.
const char* FullWidthForm(char c) {
  switch (c) {
    case '\\': return "＼";
    case '/': return "／";
    case ':': return "：";
    case ';': return "；";
    case ',': return "，";
    case '*': return "＊";
    case '?': return "？";
    case '"': return "＂";
    case '<': return "＜";
    case '>': return "＞";
    case '|': return "｜";
    default: return nullptr;
  }
}

// Spaces, tabs and line breaks: what surrounds names, titles and addresses in a bookmarks file.
constexpr std::string_view kAsciiSpace = " \t\r\n";

// The longest prefix of valid UTF-8 `text` within `max_bytes` that ends at a character boundary.
std::string CutAtCharacter(std::string text, size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  size_t end = max_bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

// `text` with every byte that is not part of UTF-8 replaced by U+FFFD. libxml2 passes a byte after
// "&" through unconverted, whatever the file's charset; such bytes would make titles and names
// that a job file cannot hold as text, and that read back as other characters.
std::string ValidUtf8(std::string text) {
  if (g_utf8_validate_len(text.data(), text.size(), nullptr)) return text;
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  text = valid;
  g_free(valid);
  return text;
}

// ---- Reading -----------------------------------------------------------------------------------

bool IsElement(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && node->name &&
         xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

std::string NodeText(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return ValidUtf8(std::move(text));
}

std::string Attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  std::string text = value ? reinterpret_cast<const char*>(value) : "";
  xmlFree(value);
  return ValidUtf8(std::move(text));
}

// A title on one line: tabs, line breaks and other control characters become spaces; the ends
// are trimmed.
std::string CleanTitle(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return TrimChars(text, kAsciiSpace);
}

// An address without tabs and line breaks, which browsers drop from a URL too; other control
// characters are percent-encoded, as a browser sends them.
std::string CleanURL(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string url;
  url.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\t' || c == '\r' || c == '\n') continue;
    if (byte < 0x20 || byte == 0x7F) {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 0xF];
    } else {
      url += c;
    }
  }
  return TrimChars(url, kAsciiSpace);
}

bool IsPlaceQuery(const std::string& url) {
  return url.size() >= 6 && g_ascii_strncasecmp(url.c_str(), "place:", 6) == 0;
}

struct DocDeleter {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocDeleter>;

void IgnoreMessage(void*, const char*, ...) {}

// libxml2 reports the conversion errors of a declared charset through its generic handler,
// whatever the parse options say; a damaged file is no news for the terminal.
class QuietLibxml {
 public:
  QuietLibxml() : old_func_(xmlGenericError), old_context_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
  }
  ~QuietLibxml() { xmlSetGenericErrorFunc(old_context_, old_func_); }
  QuietLibxml(const QuietLibxml&) = delete;
  QuietLibxml& operator=(const QuietLibxml&) = delete;

 private:
  xmlGenericErrorFunc old_func_;
  void* old_context_;
};

DocPtr ParseHtml(std::string_view bytes) {
  static const bool initialized = [] {
    xmlInitParser();
    return true;
  }();
  (void)initialized;
  // libxml2 nests each <DT> in the one before it, so a folder of a thousand links is a thousand
  // levels deep; without XML_PARSE_HUGE the parser stops at 256 levels and drops the rest.
  const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                      HTML_PARSE_NONET | XML_PARSE_HUGE;
  // Text that is UTF-8 is read as such whatever the file says; other bytes in the charset the
  // file declares, or, when it declares none, by Tarvik's own rule (code page 932).
  const bool utf8 = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom ||
                    g_utf8_validate_len(bytes.data(), bytes.size(), nullptr);
  QuietLibxml quiet;
  bool declared = false;
  if (!utf8) {
    const std::string_view head = bytes.substr(0, 4096);
    gchar* folded = g_ascii_strdown(head.data(), static_cast<gssize>(head.size()));
    declared = std::string_view(folded, head.size()).find("charset") != std::string_view::npos;
    g_free(folded);
  }
  if (declared) {
    if (bytes.size() > INT_MAX) return nullptr;
    return DocPtr(
        htmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, options));
  }
  const std::string text = DecodeText(bytes);
  if (text.size() > INT_MAX) return nullptr;
  return DocPtr(
      htmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8", options));
}

// The next node of a walk in document order that does not enter `node` itself when `enter` is
// false. Calls `leave` for each element the walk climbs out of.
template <typename Leave>
xmlNode* NextNode(xmlNode* node, bool enter, const xmlNode* root, Leave&& leave) {
  if (enter && node->children) return node->children;
  while (node != root) {
    if (node->next) {
      leave(node);
      return node->next;
    }
    leave(node);
    node = node->parent;
    if (!node) return nullptr;
  }
  leave(node);
  return nullptr;
}

// A job being filled: the folder's name as written and its links.
struct Slot {
  std::string raw_name;
  bool loose = false;
  std::vector<JobEntry> entries;
};

}  // namespace

std::string ValidJobNameFrom(std::string_view text, size_t max_bytes) {
  std::string name;
  name.reserve(text.size());
  for (char c : text) {
    if (const char* wide = FullWidthForm(c))
      name += wide;
    else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      name += ' ';
    else
      name += c;
  }
  // Bytes that are not UTF-8 would make a name the job list cannot hold as text.
  name = TrimChars(ValidUtf8(std::move(name)), kAsciiSpace);
  return TrimChars(CutAtCharacter(std::move(name), max_bytes), kAsciiSpace);
}

std::string UnusedJobName(const std::string& wanted, const std::vector<std::string>& used) {
  auto taken = [&used](const std::string& name) {
    for (const std::string& u : used)
      if (u == name) return true;
    return false;
  };
  if (!taken(wanted)) return wanted;
  for (size_t n = 2;; ++n) {
    const std::string suffix = " (" + std::to_string(n) + ")";
    std::string base = CutAtCharacter(wanted, kMaxImportedJobNameBytes > suffix.size()
                                                  ? kMaxImportedJobNameBytes - suffix.size()
                                                  : 0);
    std::string name = base + suffix;
    if (!taken(name)) return name;
  }
}

std::string BookmarksFileJobName(const std::string& path) {
  std::string file = FileNamePart(path);
  const size_t dot = file.rfind('.');
  if (dot != std::string::npos && dot > 0) file.resize(dot);
  return ValidJobNameFrom(file);
}

std::vector<BookmarkJob> ParseBookmarksHtml(std::string_view bytes,
                                            const std::string& loose_job_name,
                                            const std::vector<std::string>& existing_names,
                                            const BookmarksProgress& progress) {
  std::vector<BookmarkJob> jobs;
  DocPtr doc = ParseHtml(bytes);
  xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;

  size_t total = 0;
  if (root) {
    for (xmlNode* n = root; n; n = NextNode(n, !IsElement(n, "a"), root, [](xmlNode*) {}))
      if (IsElement(n, "a") && xmlHasProp(n, reinterpret_cast<const xmlChar*>("href"))) ++total;
  }
  if (progress) progress(0, total);

  std::vector<Slot> slots;
  // The slot each open list fills (-1: the loose links), innermost last, with the list's node.
  std::vector<std::pair<const xmlNode*, int>> lists;
  int loose_slot = -1;
  std::optional<std::string> pending_folder;  // a folder name waiting for its list
  size_t done = 0;

  auto leave = [&lists](xmlNode* node) {
    if (!lists.empty() && lists.back().first == node) lists.pop_back();
  };
  auto add_link = [&](JobEntry entry) {
    // A list outside every folder fills the job of the loose links.
    int* target = lists.empty() || lists.back().second < 0 ? &loose_slot : &lists.back().second;
    if (*target < 0) {
      slots.push_back(Slot{std::string(), true, {}});
      *target = static_cast<int>(slots.size()) - 1;
    } else if (slots[*target].entries.size() >= static_cast<size_t>(kMaxJobEntries)) {
      // A job is full: the folder goes on in another job of the same name.
      slots.push_back(Slot{slots[*target].raw_name, slots[*target].loose, {}});
      *target = static_cast<int>(slots.size()) - 1;
    }
    slots[*target].entries.push_back(std::move(entry));
  };

  for (xmlNode* n = root; n;) {
    bool enter = true;
    if (IsElement(n, "h3")) {
      pending_folder = NodeText(n);
      enter = false;
    } else if (IsElement(n, "dl")) {
      int slot = lists.empty() ? -1 : lists.back().second;
      if (pending_folder) {
        slots.push_back(Slot{std::move(*pending_folder), false, {}});
        slot = static_cast<int>(slots.size()) - 1;
        pending_folder.reset();
      }
      lists.emplace_back(n, slot);
    } else if (IsElement(n, "a")) {
      enter = false;
      // A folder name followed by a link instead of a list was an empty folder.
      pending_folder.reset();
      if (xmlHasProp(n, reinterpret_cast<const xmlChar*>("href"))) {
        std::string url = CleanURL(Attribute(n, "href"));
        if (!url.empty() && !IsPlaceQuery(url)) {
          std::string title = CleanTitle(NodeText(n));
          if (title.empty()) title = url;
          add_link(JobEntry{std::move(title), std::move(url)});
        }
        ++done;
        if (progress && done % 1024 == 0 && done < total) progress(done, total);
      }
    }
    n = NextNode(n, enter, root, leave);
  }

  std::string loose_name = ValidJobNameFrom(loose_job_name);
  if (loose_name.empty()) loose_name = "Bookmarks";
  std::vector<std::string> used = existing_names;
  for (Slot& slot : slots) {
    if (slot.entries.empty()) continue;
    std::string wanted = slot.loose ? loose_name : ValidJobNameFrom(slot.raw_name);
    if (wanted.empty()) wanted = loose_name;
    std::string name = UnusedJobName(wanted, used);
    used.push_back(name);
    jobs.push_back(BookmarkJob{std::move(name), std::move(slot.entries)});
  }
  if (progress) progress(total, total);
  return jobs;
}

std::optional<std::vector<BookmarkJob>> ReadBookmarksFile(
    const std::string& path, const std::vector<std::string>& existing_names,
    const BookmarksProgress& progress, std::string* error) {
  auto fail = [&](const std::string& reason) -> std::optional<std::vector<BookmarkJob>> {
    if (error) *error = reason;
    return std::nullopt;
  };
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return fail("ファイル「" + path + "」が見つかりません。");
  if (!S_ISREG(st.st_mode)) return fail("「" + path + "」はファイルではありません。");
  if (static_cast<unsigned long long>(st.st_size) > kMaxBookmarksFileBytes)
    return fail("ファイル「" + path + "」は大きすぎるため読み込めません。");
  std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return fail("ファイル「" + path + "」を読み込めません。");
  if (bytes->size() > kMaxBookmarksFileBytes)
    return fail("ファイル「" + path + "」は大きすぎるため読み込めません。");
  return ParseBookmarksHtml(*bytes, BookmarksFileJobName(path), existing_names, progress);
}

// ---- Writing -----------------------------------------------------------------------------------

namespace {

// Escapes text for an element's content or a double-quoted attribute alike. Line breaks are
// written as character references, which a parser gives back as they were.
std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\r': out += "&#13;"; break;
      case '\n': out += "&#10;"; break;
      case '\t': out += "&#9;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string FormatBookmarksHtml(const std::string& job_name, const std::vector<JobEntry>& entries) {
  std::string html =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
      "<!-- This is an automatically generated file.\n"
      "     It will be read and overwritten.\n"
      "     DO NOT EDIT! -->\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
      "<TITLE>Bookmarks</TITLE>\n"
      "<H1>Bookmarks</H1>\n"
      "<DL><p>\n";
  html += "    <DT><H3>" + EscapeHtml(job_name) + "</H3>\n";
  html += "    <DL><p>\n";
  for (const JobEntry& e : entries)
    html += "        <DT><A HREF=\"" + EscapeHtml(e.URL) + "\">" + EscapeHtml(e.Title) + "</A>\n";
  html += "    </DL><p>\n";
  html += "</DL><p>\n";
  return html;
}

bool WriteBookmarksFile(const std::string& path, const std::string& job_name,
                        const std::vector<JobEntry>& entries, std::string* error) {
  return WriteFileAtomically(path, FormatBookmarksHtml(job_name, entries), error);
}

}  // namespace tarvik
