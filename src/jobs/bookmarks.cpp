#include "jobs/bookmarks.h"

#include <glib.h>
#include <libxml/HTMLparser.h>

#include <cstdint>

#include "jobs/html_tree.h"
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

// ---- Reading -----------------------------------------------------------------------------------

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

// ---- Decoding ----------------------------------------------------------------------------------

// Appends code point `c` as UTF-8.
void AppendUtf8(std::string& out, gunichar c) {
  char buf[6];
  out.append(buf, static_cast<size_t>(g_unichar_to_utf8(c, buf)));
}

// The UTF-16 text of `bytes` (after its byte-order mark) as UTF-8; a lone surrogate or an odd
// last byte becomes U+FFFD.
std::string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t i) {
    const auto a = static_cast<unsigned char>(bytes[i]),
               b = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? (a << 8 | b) : (b << 8 | a);
  };
  auto put = [&out](gunichar c) { AppendUtf8(out, c); };
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const unsigned u = static_cast<unsigned>(unit(i));
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
      const unsigned low = static_cast<unsigned>(unit(i + 2));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        put(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    put(u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
  }
  if (i < bytes.size()) put(0xFFFD);
  return out;
}

// The charset a bookmarks file declares in its first 4 KB ("charset=..."), as iconv names it,
// with the names browsers read otherwise: Shift_JIS is Windows' code page 932, Latin-1 is
// windows-1252, and a declared UTF-16 (which the bytes cannot be when they hold the declaration
// in ASCII) is UTF-8. Empty when the file declares none.
std::string DeclaredCharset(std::string_view bytes) {
  const std::string_view head = bytes.substr(0, 4096);
  gchar* folded = g_ascii_strdown(head.data(), static_cast<gssize>(head.size()));
  const std::string lower(folded, head.size());
  g_free(folded);
  size_t at = lower.find("charset");
  if (at == std::string::npos) return {};
  at += 7;
  while (at < lower.size() && (lower[at] == ' ' || lower[at] == '=' || lower[at] == '"' ||
                               lower[at] == '\'' || lower[at] == '\t'))
    ++at;
  size_t end = at;
  while (end < lower.size() && (g_ascii_isalnum(lower[end]) || lower[end] == '-' ||
                                lower[end] == '_' || lower[end] == '.' || lower[end] == ':'))
    ++end;
  const std::string name = lower.substr(at, end - at);
  if (name.empty()) return {};
  if (name == "shift_jis" || name == "shift-jis" || name == "sjis" || name == "x-sjis" ||
      name == "ms_kanji" || name == "windows-31j" || name == "cp932")
    return "CP932";
  if (name == "iso-8859-1" || name == "latin1" || name == "us-ascii" || name == "ascii")
    return "WINDOWS-1252";
  if (name.rfind("utf-16", 0) == 0 || name == "utf8") return "UTF-8";
  return name;
}

bool IsValidUtf8(std::string_view s) { return g_utf8_validate_len(s.data(), s.size(), nullptr); }

// Converts strictly from one charset: nothing when a sequence does not fit it.
class StrictDecoder {
 public:
  explicit StrictDecoder(const std::string& charset)
      : cd_(charset.empty() ? reinterpret_cast<GIConv>(-1)
                            : g_iconv_open("UTF-8", charset.c_str())) {}
  ~StrictDecoder() {
    if (ok()) g_iconv_close(cd_);
  }
  StrictDecoder(const StrictDecoder&) = delete;
  StrictDecoder& operator=(const StrictDecoder&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<GIConv>(-1); }

  std::optional<std::string> Decode(std::string_view bytes) {
    if (!ok()) return std::nullopt;
    g_iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    gsize written = 0;
    gchar* text = g_convert_with_iconv(bytes.data(), static_cast<gssize>(bytes.size()), cd_,
                                       nullptr, &written, nullptr);
    if (!text) return std::nullopt;
    std::string out(text, written);
    g_free(text);
    if (!IsValidUtf8(out)) return std::nullopt;
    return out;
  }

 private:
  GIConv cd_;
};

// A byte that is never part of a multi-byte character in any ASCII-based charset a bookmarks
// file uses (Shift_JIS, EUC, Big5, GBK and GB18030 trail bytes are all 0x30 or above, and
// none of them is "<", "=" or ">").
bool IsSeparatorByte(char c) {
  return static_cast<unsigned char>(c) < 0x30 || c == '<' || c == '=' || c == '>';
}

// Bytes that fit neither UTF-8 as a whole nor the declared charset, by the text-file rule: UTF-8
// when most of their non-ASCII bytes form UTF-8 characters (a stray byte among them becomes
// U+FFFD), else code page 932.
std::string DecodeStray(std::string_view bytes) {
  size_t utf8 = 0, other = 0;
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      ++i;
      continue;
    }
    const gunichar c =
        g_utf8_get_char_validated(bytes.data() + i, static_cast<gssize>(bytes.size() - i));
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
      ++other;
      ++i;
    } else {
      const size_t len = static_cast<size_t>(g_utf8_skip[byte]);
      utf8 += len;
      i += len;
    }
  }
  if (utf8 >= 3 * other) return ValidUtf8(std::string(bytes));
  return DecodeCp932(bytes);
}

// The text of a bookmarks file, as browsers read it: a byte-order mark first (UTF-8, UTF-16),
// then the charset the file declares; bytes that are valid UTF-8 throughout are UTF-8 whatever
// the file says. Where the declared charset does not fit, each stretch of non-ASCII bytes
// between spaces and marks is read by the text-file rule (UTF-8, else code page 932, with U+FFFD
// for what neither decodes), so a wrong or mixed declaration costs those characters alone,
// never the rest of the file.
std::string DecodeBookmarks(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return ValidUtf8(std::string(bytes.substr(3)));
  if (bytes.substr(0, 2) == "\xFF\xFE") return DecodeUtf16(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return DecodeUtf16(bytes.substr(2), true);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string charset = DeclaredCharset(bytes);
  if (charset.empty()) charset = "CP932";
  StrictDecoder declared(charset);
  if (std::optional<std::string> whole = declared.Decode(bytes)) return std::move(*whole);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = pos;
    bool ascii = true;
    while (end < bytes.size() && !IsSeparatorByte(bytes[end])) {
      ascii = ascii && static_cast<unsigned char>(bytes[end]) < 0x80;
      ++end;
    }
    if (end == pos) ++end;  // a separator byte on its own
    const std::string_view stretch = bytes.substr(pos, end - pos);
    if (ascii || IsValidUtf8(stretch)) {
      out.append(stretch);
    } else if (std::optional<std::string> text = declared.Decode(stretch)) {
      out.append(*text);
    } else {
      out.append(DecodeStray(stretch));
    }
    pos = end;
  }
  return out;
}

// `text` made fit for libxml2, which ends the whole parse at a NUL character, cuts an attribute
// at a character reference it refuses and drops U+FFFE and U+FFFF from text. NUL characters go,
// and so do references to characters that no text can hold (NUL, surrogates, past U+10FFFF); a
// reference to a control character libxml2 refuses becomes that character itself, which the
// address and title rules then handle as they handle the character written out; U+FFFE and
// U+FFFF, written out or referred to, become U+FFFD.
std::string WithoutBrokenCharacters(std::string text) {
  if (text.find('\0') == std::string::npos && text.find("&#") == std::string::npos &&
      text.find("\xEF\xBF") == std::string::npos)
    return text;
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '\0') {
      ++pos;
      continue;
    }
    if (c == '\xEF' && text.compare(pos, 2, "\xEF\xBF") == 0 && pos + 2 < text.size() &&
        (text[pos + 2] == '\xBE' || text[pos + 2] == '\xBF')) {
      AppendUtf8(out, 0xFFFD);
      pos += 3;
      continue;
    }
    if (c != '&' || pos + 2 >= text.size() || text[pos + 1] != '#') {
      out.push_back(c);
      ++pos;
      continue;
    }
    size_t at = pos + 2;
    const bool hex = text[at] == 'x' || text[at] == 'X';
    if (hex) ++at;
    const size_t digits_start = at;
    uint64_t value = 0;
    while (at < text.size() && (hex ? g_ascii_isxdigit(text[at]) : g_ascii_isdigit(text[at]))) {
      value = value * (hex ? 16 : 10) +
              static_cast<uint64_t>(hex ? g_ascii_xdigit_value(text[at]) : text[at] - '0');
      if (value > 0x10FFFF) value = 0x110000;  // no overflow, and still out of range
      ++at;
    }
    if (at == digits_start) {
      out.push_back(c);
      ++pos;
      continue;
    }
    if (at < text.size() && text[at] == ';') ++at;
    const bool impossible = value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF;
    const bool refused = value < 0x20 && value != '\t' && value != '\n' && value != '\r';
    if (impossible) {
      // dropped
    } else if (value == 0xFFFE || value == 0xFFFF) {
      AppendUtf8(out, 0xFFFD);
    } else if (refused) {
      AppendUtf8(out, static_cast<gunichar>(value));
    } else {
      out.append(text, pos, at - pos);
    }
    pos = at;
  }
  return out;
}

HtmlDoc ParseHtml(std::string_view bytes) {
  // libxml2 nests each <DT> in the one before it, so a folder of a thousand links is a thousand
  // levels deep; without XML_PARSE_HUGE the parser stops at 256 levels and drops the rest. The
  // text is decoded here, so the charset the file names must not switch the parser's.
  return ParseHtmlText(WithoutBrokenCharacters(DecodeBookmarks(bytes)), HTML_PARSE_IGNORE_ENC);
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
  return JobNamePicker(used).Pick(wanted);
}

JobNamePicker::JobNamePicker(const std::vector<std::string>& used)
    : used_(used.begin(), used.end()) {}

std::string JobNamePicker::Pick(const std::string& wanted) {
  if (used_.insert(wanted).second) return wanted;
  size_t& n = next_number_.try_emplace(wanted, 2).first->second;
  for (;; ++n) {
    const std::string suffix = " (" + std::to_string(n) + ")";
    std::string name = CutAtCharacter(wanted, kMaxImportedJobNameBytes > suffix.size()
                                                  ? kMaxImportedJobNameBytes - suffix.size()
                                                  : 0) +
                       suffix;
    if (used_.insert(name).second) {
      ++n;
      return name;
    }
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
  HtmlDoc doc = ParseHtml(bytes);
  xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;

  size_t total = 0;
  if (root) {
    for (xmlNode* n = root; n; n = NextNode(n, !IsElement(n, "a"), root))
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
  JobNamePicker names(existing_names);
  for (Slot& slot : slots) {
    if (slot.entries.empty()) continue;
    std::string wanted = slot.loose ? loose_name : ValidJobNameFrom(slot.raw_name);
    if (wanted.empty()) wanted = loose_name;
    std::string name = names.Pick(wanted);
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
  ReadFailure failure = ReadFailure::None;
  std::optional<std::string> bytes = ReadFileBytes(path, kMaxBookmarksFileBytes, &failure);
  switch (failure) {
    case ReadFailure::None: break;
    case ReadFailure::Missing: return fail("ファイル「" + path + "」が見つかりません。");
    case ReadFailure::NotRegularFile: return fail("「" + path + "」はファイルではありません。");
    case ReadFailure::TooLarge: return fail(FileTooLargeMessage(path));
    case ReadFailure::Unreadable: return fail("ファイル「" + path + "」を読み込めません。");
  }
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
