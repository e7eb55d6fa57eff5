#include "jobs/visible_text.h"

#include <glib.h>
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <memory>
#include <set>

namespace tarvik {
namespace {

// Elements that start and end a block of text. Kept the same as kVisibleTextScript's BLOCK.
const std::set<std::string_view>& BlockElements() {
  static const std::set<std::string_view> names = {
      "address", "article", "aside",    "blockquote", "body",   "br",      "caption",  "center",
      "dd",      "details", "dialog",   "div",        "dl",     "dt",      "fieldset", "figcaption",
      "figure",  "footer",  "form",     "h1",         "h2",     "h3",      "h4",       "h5",
      "h6",      "header",  "hr",       "html",       "legend", "li",      "main",     "menu",
      "nav",     "ol",      "option",   "p",          "pre",    "section", "summary",  "table",
      "tbody",   "td",      "textarea", "tfoot",      "th",     "thead",   "tr",       "ul"};
  return names;
}

// Elements whose content a reader never sees as text. Kept the same as the script's SKIP.
const std::set<std::string_view>& SkippedElements() {
  static const std::set<std::string_view> names = {"audio",  "canvas",   "embed",  "head",
                                                   "iframe", "noscript", "object", "script",
                                                   "style",  "template", "title",  "video"};
  return names;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = g_ascii_tolower(c);
  return out;
}

// Hidden by its own markup: the `hidden` attribute or an inline style that hides it.
bool HiddenByMarkup(const xmlChar** attributes) {
  for (const xmlChar** a = attributes; a && a[0]; a += 2) {
    const char* name = reinterpret_cast<const char*>(a[0]);
    if (g_ascii_strcasecmp(name, "hidden") == 0) return true;
    if (g_ascii_strcasecmp(name, "style") != 0 || !a[1]) continue;
    std::string compact;
    for (const xmlChar* c = a[1]; *c; ++c)
      if (!g_ascii_isspace(*c)) compact += g_ascii_tolower(static_cast<char>(*c));
    if (compact.find("display:none") != std::string::npos ||
        compact.find("visibility:hidden") != std::string::npos)
      return true;
  }
  return false;
}

// Gathers the blocks from the parser's events as they come: no document tree is built, so a
// page of megabytes costs little more memory than its text.
class Walker {
 public:
  static void OnStart(void* self, const xmlChar* tag, const xmlChar** attributes) {
    auto* w = static_cast<Walker*>(self);
    const std::string name = Lower(reinterpret_cast<const char*>(tag));
    if (name == "script") w->scripts_ = true;
    if (w->skipping_ > 0) {
      ++w->skipping_;
      return;
    }
    if (SkippedElements().count(name) || HiddenByMarkup(attributes)) {
      w->skipping_ = 1;
      return;
    }
    if (BlockElements().count(name)) w->Flush();
  }

  static void OnEnd(void* self, const xmlChar* tag) {
    auto* w = static_cast<Walker*>(self);
    if (w->skipping_ > 0) {
      --w->skipping_;
      return;
    }
    if (BlockElements().count(Lower(reinterpret_cast<const char*>(tag)))) w->Flush();
  }

  static void OnText(void* self, const xmlChar* text, int length) {
    auto* w = static_cast<Walker*>(self);
    if (w->skipping_ == 0 && length > 0)
      w->current_.append(reinterpret_cast<const char*>(text), static_cast<size_t>(length));
  }

  void Flush() {
    std::string folded = FoldWhiteSpace(current_);
    current_.clear();
    if (!folded.empty()) blocks_.push_back(std::move(folded));
  }

  std::vector<std::string>& blocks() { return blocks_; }
  bool scripts() const { return scripts_; }

 private:
  std::vector<std::string> blocks_;
  std::string current_;
  int skipping_ = 0;  // the depth inside an element whose content is not seen
  bool scripts_ = false;
};

void IgnoreMessage(void*, const char*, ...) {}

// libxml2 reports conversion errors through its generic handler whatever the options say.
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

void Parse(std::string_view html, std::string_view charset, Walker* walker) {
  const int size = static_cast<int>(std::min<size_t>(html.size(), 1u << 30));
  int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                XML_PARSE_HUGE;
  std::string encoding(charset);
  if (encoding.empty()) {
    // No charset from the response: the document's <meta> decides, which libxml2 reads itself;
    // without one, UTF-8 where the bytes are UTF-8 (libxml2 would take Latin-1).
    const std::string head = Lower(html.substr(0, 2048));
    if (head.find("charset") == std::string::npos &&
        g_utf8_validate(html.data(), static_cast<gssize>(size), nullptr))
      encoding = "UTF-8";
  } else if (xmlCharEncodingHandlerPtr known = xmlFindCharEncodingHandler(encoding.c_str())) {
    xmlCharEncCloseFunc(known);
    options |= HTML_PARSE_IGNORE_ENC;  // the response's charset wins over the document's
  } else {
    encoding.clear();  // a charset libxml2 does not know: the document's own decides
  }
  htmlParserCtxtPtr context = htmlNewParserCtxt();
  if (!context) return;
  // Only the events the walk needs; nothing builds a tree.
  xmlSAXHandler events = {};
  events.startElement = Walker::OnStart;
  events.endElement = Walker::OnEnd;
  events.characters = Walker::OnText;
  events.ignorableWhitespace = Walker::OnText;
  events.cdataBlock = Walker::OnText;
  *context->sax = events;
  context->userData = walker;
  htmlDocPtr doc = htmlCtxtReadMemory(context, html.data(), size, nullptr,
                                      encoding.empty() ? nullptr : encoding.c_str(), options);
  if (doc) xmlFreeDoc(doc);
  htmlFreeParserCtxt(context);
}

size_t CharacterCount(const std::vector<std::string>& blocks) {
  size_t n = 0;
  for (const std::string& b : blocks) n += g_utf8_strlen(b.c_str(), static_cast<gssize>(b.size()));
  return n;
}

}  // namespace

std::string FoldWhiteSpace(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool space = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    bool white = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA0) {
      white = true;  // U+00A0 NO-BREAK SPACE
      ++i;
    }
    if (white) {
      space = !out.empty();
      continue;
    }
    if (space) out += ' ';
    space = false;
    out += static_cast<char>(c);
  }
  return out;
}

std::string VisibleTextFingerprint(const std::vector<std::string>& blocks) {
  GChecksum* sum = g_checksum_new(G_CHECKSUM_SHA256);
  for (size_t i = 0; i < blocks.size(); ++i) {
    if (i > 0) g_checksum_update(sum, reinterpret_cast<const guchar*>("\n"), 1);
    g_checksum_update(sum, reinterpret_cast<const guchar*>(blocks[i].data()),
                      static_cast<gssize>(blocks[i].size()));
  }
  std::string hex = g_checksum_get_string(sum);
  g_checksum_free(sum);
  return hex.substr(0, 32);
}

VisibleText ExtractVisibleText(std::string_view html, std::string_view charset) {
  VisibleText out;
  QuietLibxml quiet;
  Walker walker;
  Parse(html, charset, &walker);
  walker.Flush();
  out.blocks = std::move(walker.blocks());
  out.needs_scripts = walker.scripts() && CharacterCount(out.blocks) < kScriptedPageTextLimit;
  // Text that is not valid UTF-8 (a parse of broken bytes) would not survive the state file.
  for (std::string& block : out.blocks)
    if (!g_utf8_validate(block.data(), static_cast<gssize>(block.size()), nullptr)) {
      gchar* valid = g_utf8_make_valid(block.data(), static_cast<gssize>(block.size()));
      block = valid;
      g_free(valid);
    }
  out.fingerprint = VisibleTextFingerprint(out.blocks);
  return out;
}

VisibleText ExtractResponseText(std::string_view body, std::string_view mime_type,
                                std::string_view charset) {
  const std::string type = Lower(mime_type);
  if (type.empty() || type == "text/html" || type == "application/xhtml+xml")
    return ExtractVisibleText(body, charset);
  if (type.rfind("text/", 0) == 0) {
    std::string text(body);
    if (!charset.empty() && g_ascii_strcasecmp(std::string(charset).c_str(), "utf-8") != 0) {
      gchar* utf8 =
          g_convert_with_fallback(body.data(), static_cast<gssize>(body.size()), "UTF-8",
                                  std::string(charset).c_str(), "?", nullptr, nullptr, nullptr);
      if (utf8) text = utf8;
      g_free(utf8);
    }
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
      const size_t end = std::min(text.find('\n', start), text.size());
      lines.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    return VisibleTextFromBlocks(lines);
  }
  gchar* hash = g_compute_checksum_for_data(
      G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(body.data()), body.size());
  const std::string block = type + " " + std::to_string(body.size()) + " " + hash;
  g_free(hash);
  return VisibleTextFromBlocks({block});
}

VisibleText VisibleTextFromBlocks(const std::vector<std::string>& raw_blocks) {
  VisibleText out;
  for (const std::string& raw : raw_blocks) {
    std::string folded = FoldWhiteSpace(raw);
    if (folded.empty()) continue;
    if (!g_utf8_validate(folded.data(), static_cast<gssize>(folded.size()), nullptr)) {
      gchar* valid = g_utf8_make_valid(folded.data(), static_cast<gssize>(folded.size()));
      folded = valid;
      g_free(valid);
    }
    out.blocks.push_back(std::move(folded));
  }
  out.fingerprint = VisibleTextFingerprint(out.blocks);
  return out;
}

VisibleText VisibleTextFromScriptResult(std::string_view joined) {
  std::vector<std::string> raw;
  size_t start = 0;
  while (start <= joined.size()) {
    const size_t end = joined.find('\n', start);
    raw.emplace_back(joined.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return VisibleTextFromBlocks(raw);
}

// The same walk over the rendered document, where the computed style says what is hidden.
const char kVisibleTextScript[] = R"JS((function () {
  var BLOCK = {};
  ('ADDRESS ARTICLE ASIDE BLOCKQUOTE BODY BR CAPTION CENTER DD DETAILS DIALOG DIV DL DT ' +
   'FIELDSET FIGCAPTION FIGURE FOOTER FORM H1 H2 H3 H4 H5 H6 HEADER HR HTML LEGEND LI MAIN MENU ' +
   'NAV OL OPTION P PRE SECTION SUMMARY TABLE TBODY TD TEXTAREA TFOOT TH THEAD TR UL')
      .split(' ').forEach(function (n) { BLOCK[n] = true; });
  var SKIP = {};
  ('AUDIO CANVAS EMBED HEAD IFRAME NOSCRIPT OBJECT SCRIPT STYLE TEMPLATE TITLE VIDEO')
      .split(' ').forEach(function (n) { SKIP[n] = true; });
  var blocks = [], current = '';
  function flush() {
    var t = current.replace(/[\s\u00a0]+/g, ' ').trim();
    current = '';
    if (t) blocks.push(t);
  }
  function walk(node) {
    for (; node; node = node.nextSibling) {
      if (node.nodeType === 3 || node.nodeType === 4) { current += node.nodeValue; continue; }
      if (node.nodeType !== 1) continue;
      var name = node.nodeName.toUpperCase();
      if (SKIP[name] || node.hasAttribute('hidden')) continue;
      var style = window.getComputedStyle(node);
      if (style && (style.display === 'none' || style.visibility === 'hidden')) continue;
      var block = BLOCK[name] === true;
      if (block) flush();
      walk(node.firstChild);
      if (block) flush();
    }
  }
  walk(document.documentElement);
  flush();
  return blocks.join('\n');
})())JS";

}  // namespace tarvik
