#include "jobs/url_list_file.h"

#include <glib.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "jobs/html_tree.h"
#include "jobs/link_list.h"
#include "platform/text_file.h"
#include "platform/web_address.h"

namespace tarvik {

namespace {

// How many bytes are read between two words to the progress.
constexpr size_t kProgressStep = size_t{1} << 20;

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         g_ascii_strcasecmp(text.c_str() + text.size() - suffix.size(),
                            std::string(suffix).c_str()) == 0;
}

// ---- CSV ---------------------------------------------------------------------------------------

// The separator of a table: a tab or a semicolon when the first line holds more of them than
// commas.
char SeparatorOf(std::string_view text) {
  const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
  const auto commas = std::count(first.begin(), first.end(), ',');
  const auto tabs = std::count(first.begin(), first.end(), '\t');
  const auto semicolons = std::count(first.begin(), first.end(), ';');
  if (tabs > commas && tabs >= semicolons) return '\t';
  if (semicolons > commas) return ';';
  return ',';
}

// Rows of cells; a cell in double quotes may hold separators, line breaks and doubled quotes.
// False when `progress` stopped it.
template <typename OnRow>
bool ForEachCsvRow(std::string_view text, char separator, const UrlListProgress& progress,
                   OnRow&& on_row) {
  std::vector<std::string> row;
  std::string cell;
  bool quoted = false;
  for (size_t p = 0; p < text.size(); ++p) {
    if (progress && p % kProgressStep == 0 && !progress(p, text.size())) return false;
    const char c = text[p];
    if (quoted) {
      if (c == '"') {
        if (p + 1 < text.size() && text[p + 1] == '"') {
          cell += '"';
          ++p;
        } else {
          quoted = false;
        }
      } else {
        cell += c;
      }
    } else if (c == '"' && cell.find_first_not_of(" \t") == std::string::npos) {
      cell.clear();
      quoted = true;
    } else if (c == separator) {
      row.push_back(std::move(cell));
      cell.clear();
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && p + 1 < text.size() && text[p + 1] == '\n') ++p;
      row.push_back(std::move(cell));
      cell.clear();
      on_row(row);
      row.clear();
    } else {
      cell += c;
    }
  }
  if (!cell.empty() || !row.empty()) {
    row.push_back(std::move(cell));
    on_row(row);
  }
  return true;
}

std::optional<std::vector<JobEntry>> ParseCsv(std::string_view text,
                                              const UrlListProgress& progress) {
  std::vector<JobEntry> links;
  const bool whole = ForEachCsvRow(text, SeparatorOf(text), progress,
                                   [&links](const std::vector<std::string>& row) {
                                     std::vector<std::vector<JobEntry>> found(row.size());
                                     for (size_t i = 0; i < row.size(); ++i)
                                       found[i] = AddressesInText(row[i]);
                                     for (size_t i = 0; i < row.size(); ++i) {
                                       for (JobEntry& link : found[i]) {
                                         for (size_t j = 0; j < row.size(); ++j) {
                                           if (j == i || !found[j].empty()) continue;
                                           std::string title = CollapseWhiteSpace(row[j]);
                                           if (title.empty()) continue;
                                           link.Title = std::move(title);
                                           break;
                                         }
                                         links.push_back(std::move(link));
                                       }
                                     }
                                   });
  if (!whole) return std::nullopt;
  return links;
}

// The addresses of a text, read a piece of whole lines at a time (no address spans a line) so
// that `progress` is told as it goes.
std::optional<std::vector<JobEntry>> AddressesInLines(std::string_view text,
                                                      const UrlListProgress& progress) {
  std::vector<JobEntry> links;
  for (size_t p = 0; p < text.size();) {
    if (progress && !progress(p, text.size())) return std::nullopt;
    size_t end = text.find('\n', std::min(p + kProgressStep, text.size()));
    end = end == std::string_view::npos ? text.size() : end + 1;
    std::vector<JobEntry> found = AddressesInText(text.substr(p, end - p));
    std::move(found.begin(), found.end(), std::back_inserter(links));
    p = end;
  }
  return links;
}

// ---- HTML --------------------------------------------------------------------------------------

// An href as a browser takes it: without tabs and line breaks, and without white space at its
// ends; resolved against `base` when it is relative. Empty when it names no web page.
std::string LinkAddress(const std::string& href, const std::string& base) {
  std::string url;
  for (char c : href)
    if (c != '\t' && c != '\r' && c != '\n') url += c;
  url = TrimChars(url, " ");
  if (IsWebAddress(url)) return url;
  if (base.empty() || url.empty()) return {};
  gchar* resolved = g_uri_resolve_relative(base.c_str(), url.c_str(), G_URI_FLAGS_NONE, nullptr);
  std::string out = resolved ? resolved : "";
  g_free(resolved);
  return IsWebAddress(out) ? out : std::string();
}

// The alt texts of the pictures inside `node`, in document order.
std::vector<std::string> PictureAlts(xmlNode* node) {
  std::vector<std::string> alts;
  for (xmlNode* n = NextNode(node, true, node); n; n = NextNode(n, true, node))
    if (IsElement(n, "img") && xmlHasProp(n, reinterpret_cast<const xmlChar*>("alt")))
      alts.push_back(Attribute(n, "alt"));
  return alts;
}

std::vector<JobEntry> ParseHtml(std::string_view text) {
  std::vector<JobEntry> links;
  HtmlDoc doc = ParseHtmlText(text);
  xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
  std::string base;
  for (xmlNode* n = root; n;) {
    bool enter = true;
    if (IsElement(n, "base") && base.empty()) {
      base = LinkAddress(Attribute(n, "href"), "");
    } else if (IsElement(n, "script") || IsElement(n, "style")) {
      enter = false;
    } else if (IsElement(n, "a") || IsElement(n, "area")) {
      enter = false;
      PageLink link{LinkAddress(Attribute(n, "href"), base), NodeText(n), Attribute(n, "title"),
                    PictureAlts(n), IsElement(n, "area") ? Attribute(n, "alt") : ""};
      if (!link.url.empty()) links.push_back(JobEntry{LinkTitle(link), std::move(link.url)});
    } else if (n->type == XML_TEXT_NODE && n->content) {
      for (JobEntry& link : AddressesInText(reinterpret_cast<const char*>(n->content)))
        links.push_back(std::move(link));
    }
    n = NextNode(n, enter, root);
  }
  return links;
}

// The character set an HTML page declares in its head: <meta charset="X"> or <meta
// http-equiv="Content-Type" content="text/html; charset=X">. Empty when none is declared.
std::string DeclaredCharset(std::string_view bytes) {
  const std::string head(bytes.substr(0, 4096));
  gchar* folded = g_ascii_strdown(head.c_str(), static_cast<gssize>(head.size()));
  const std::string lower(folded, head.size());
  g_free(folded);
  for (size_t meta = lower.find("<meta"); meta != std::string::npos;
       meta = lower.find("<meta", meta + 5)) {
    const size_t end = lower.find('>', meta);
    const std::string_view tag =
        std::string_view(lower).substr(meta, end == std::string::npos ? end : end - meta);
    const size_t at = tag.find("charset");
    if (at == std::string_view::npos) continue;
    size_t i = at + 7;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '=' || tag[i] == '"' || tag[i] == '\''))
      ++i;
    size_t j = i;
    while (j < tag.size() && (g_ascii_isalnum(tag[j]) || strchr("-_.:", tag[j]))) ++j;
    if (j > i) return std::string(tag.substr(i, j - i));
  }
  return {};
}

}  // namespace

// A list's bytes as text: an HTML list in the character set it declares (a page saved from a
// site in EUC-JP, say); anything else, and a declaration iconv does not know, as DecodeText
// reads it. A byte-order mark wins over a declaration. (What tells HTML looks only at ASCII.)
std::string DecodeListBytes(std::string_view bytes, const std::string& path) {
  const bool bom = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" ||
                   bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  const bool html = UrlListFormatOf(path, bytes) == UrlListFormat::Html;
  const std::string charset = html && !bom ? DeclaredCharset(bytes) : std::string();
  if (charset == "shift_jis" || charset == "sjis" || charset == "x-sjis" ||
      charset == "windows-31j" || charset == "ms932")
    return DecodeCp932(bytes);
  if (charset.empty() || charset == "utf-8" || charset == "utf8") return DecodeText(bytes);
  gsize written = 0;
  gchar* text =
      g_convert_with_fallback(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8",
                              charset.c_str(), "\xEF\xBF\xBD", nullptr, &written, nullptr);
  if (!text) return DecodeText(bytes);
  std::string out(text, written);
  g_free(text);
  return out;
}

UrlListFormat UrlListFormatOf(const std::string& path, std::string_view text) {
  if (EndsWithNoCase(path, ".csv") || EndsWithNoCase(path, ".tsv")) return UrlListFormat::Csv;
  if (EndsWithNoCase(path, ".md") || EndsWithNoCase(path, ".markdown"))
    return UrlListFormat::Markdown;
  if (EndsWithNoCase(path, ".html") || EndsWithNoCase(path, ".htm") ||
      EndsWithNoCase(path, ".xhtml"))
    return UrlListFormat::Html;
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string_view::npos && text[first] == '<') {
    const std::string head(text.substr(0, 65536));
    gchar* folded = g_ascii_strdown(head.c_str(), static_cast<gssize>(head.size()));
    const bool has_link = std::string_view(folded).find("<a ") != std::string_view::npos;
    g_free(folded);
    if (has_link) return UrlListFormat::Html;
  }
  return UrlListFormat::Text;
}

std::optional<std::vector<JobEntry>> ParseUrlList(std::string_view text, UrlListFormat format,
                                                  const UrlListProgress& progress) {
  std::optional<std::vector<JobEntry>> links;
  switch (format) {
    case UrlListFormat::Csv: links = ParseCsv(text, progress); break;
    case UrlListFormat::Html:
      // The parser reads the document in one go: the progress hears of its start and its end.
      if (progress && !progress(0, text.size())) return std::nullopt;
      links = ParseHtml(text);
      break;
    case UrlListFormat::Markdown:
    case UrlListFormat::Text: links = AddressesInLines(text, progress); break;
  }
  if (!links || (progress && !progress(text.size(), text.size()))) return std::nullopt;
  return LinksForJob(std::move(*links));
}

std::optional<std::vector<JobEntry>> ReadUrlListFile(const std::string& path, std::string* error,
                                                     const UrlListProgress& progress) {
  ReadFailure failure = ReadFailure::None;
  std::optional<std::string> bytes = ReadFileBytes(path, kJobFileReadLimit, &failure);
  if (!bytes) {
    if (error) *error = ReadFailureMessage(path, failure);
    return std::nullopt;
  }
  std::string text = DecodeListBytes(*bytes, path);
  bytes.reset();  // a list may be hundreds of megabytes: one copy at a time
  const UrlListFormat format = UrlListFormatOf(path, text);
  return ParseUrlList(text, format, progress);
}

}  // namespace tarvik
