// What a round through a job reads of the page shown: its main resource as the server sent it,
// its text as it is rendered, and the quiet background behind the places that are new since the
// user's last visit. The scripts run in a world of Tarvik's own, out of the page's reach.
#include <webkit2/webkit2.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/webkit_browser.h"

namespace tarvik {

namespace {

constexpr char kRoundWorld[] = "tarvik-round";

// The background of a new place. A user style sheet with !important outranks anything the page
// sets; the places are named by a highlight of the document, where the engine has them, so the
// page's DOM is left as it is; else by an attribute.
constexpr char kRoundStyle[] =
    "::highlight(tarvik-new) { background-color: #fff1a8; color: inherit; }"
    "[data-tarvik-new] { background-color: #fff1a8 !important; }";

// Walks the rendered page into blocks by the rule of jobs/visible_text.h (its script is the one
// that reads the text; this walk has to find the same blocks): a block element or a line break
// ends the text before it; scripts, styles, frames, media and hidden elements give no text;
// white space folds to one space and a block's ends are trimmed. For each block, `found(text,
// nodes)` gets its text nodes.
constexpr char kBlockWalk[] = R"JS(
const blocksOf = (found) => {
  const blockTags = new Set(('ADDRESS ARTICLE ASIDE BLOCKQUOTE BODY BR CAPTION CENTER DD DETAILS ' +
    'DIALOG DIV DL DT FIELDSET FIGCAPTION FIGURE FOOTER FORM H1 H2 H3 H4 H5 H6 HEADER HR HTML ' +
    'LEGEND LI MAIN MENU NAV OL OPTION P PRE SECTION SUMMARY TABLE TBODY TD TEXTAREA TFOOT TH ' +
    'THEAD TR UL').split(' '));
  const skipTags = new Set(('AUDIO CANVAS EMBED HEAD IFRAME NOSCRIPT OBJECT SCRIPT STYLE TEMPLATE ' +
    'TITLE VIDEO').split(' '));
  let text = '';
  let nodes = [];
  const flush = () => {
    const t = text.replace(/[\s\u00a0]+/g, ' ').trim();
    if (t) found(t, nodes);
    text = '';
    nodes = [];
  };
  const walk = (node) => {
    for (; node; node = node.nextSibling) {
      if (node.nodeType === 3 || node.nodeType === 4) {
        text += node.nodeValue;
        nodes.push(node);
        continue;
      }
      if (node.nodeType !== 1) continue;
      const name = node.nodeName.toUpperCase();
      if (skipTags.has(name) || node.hasAttribute('hidden')) continue;
      const style = getComputedStyle(node);
      if (style && (style.display === 'none' || style.visibility === 'hidden')) continue;
      const block = blockTags.has(name);
      if (block) flush();
      walk(node.firstChild);
      if (block) flush();
    }
  };
  walk(document.documentElement);
  flush();
};
)JS";

// Expects `wanted`, the set of the new blocks' texts; answers how many places it marked.
constexpr char kHighlight[] = R"JS(
  for (const e of document.querySelectorAll('[data-tarvik-new]')) e.removeAttribute('data-tarvik-new');
  const ranges = [];
  const marked = [];
  blocksOf((t, nodes) => {
    if (!wanted.has(t) || nodes.length === 0) return;
    const r = document.createRange();
    r.setStart(nodes[0], 0);
    const last = nodes[nodes.length - 1];
    r.setEnd(last, last.length);
    ranges.push(r);
    marked.push(nodes[0].parentElement);
  });
  if (typeof Highlight === 'function' && window.CSS && CSS.highlights) {
    CSS.highlights.delete('tarvik-new');
    if (ranges.length) CSS.highlights.set('tarvik-new', new Highlight(...ranges));
  } else {
    for (const e of marked) if (e) e.setAttribute('data-tarvik-new', '');
  }
  return ranges.length;
)JS";

// The script of a reading: the block walk and `body`, in a function of its own so that nothing
// stays behind in the world between two readings.
std::string RoundScript(const std::string& body) {
  return std::string("(() => {") + kBlockWalk + body + "})()";
}

std::string HeaderOf(SoupMessageHeaders* headers, const char* name) {
  const char* value = headers ? soup_message_headers_get_one(headers, name) : nullptr;
  return value ? value : "";
}

// A string for a script: the text as a JSON string literal.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      g_snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Runs `script` in the round's world; `done` gets its result as text ("" when it failed), unless
// the browser has gone by then.
void RunInRoundWorld(WebKitWebView* view, const std::string& script, std::weak_ptr<int> alive,
                     std::function<void(std::string)> done) {
  struct Call {
    std::weak_ptr<int> alive;
    std::function<void(std::string)> done;
  };
  auto* call = new Call{std::move(alive), std::move(done)};
  webkit_web_view_evaluate_javascript(
      view, script.c_str(), -1, kRoundWorld, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Call> call(static_cast<Call*>(data));
        JSCValue* value =
            webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
        std::string text;
        if (value && (jsc_value_is_string(value) || jsc_value_is_number(value))) {
          gchar* t = jsc_value_to_string(value);
          text = t ? t : "";
          g_free(t);
        }
        if (value) g_object_unref(value);
        if (!call->alive.expired() && call->done) call->done(std::move(text));
      },
      call);
}

}  // namespace

void WebKitBrowser::AddRoundStyle(WebKitUserContentManager* content) {
  WebKitUserStyleSheet* sheet =
      webkit_user_style_sheet_new(kRoundStyle, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                  WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
  webkit_user_content_manager_add_style_sheet(content, sheet);
  webkit_user_style_sheet_unref(sheet);
}

void WebKitBrowser::ReadShownResource(std::function<void(std::optional<ShownResource>)> done) {
  WebKitWebResource* resource = webkit_web_view_get_main_resource(view_);
  if (!resource || loading_) {
    done(std::nullopt);
    return;
  }
  struct Read {
    std::weak_ptr<int> alive;
    ShownResource shown;
    std::function<void(std::optional<ShownResource>)> done;
  };
  auto* read = new Read{alive_, {}, std::move(done)};
  const char* uri = webkit_web_resource_get_uri(resource);
  read->shown.url = uri ? uri : "";
  if (WebKitURIResponse* response = webkit_web_resource_get_response(resource)) {
    read->shown.status = static_cast<int>(webkit_uri_response_get_status_code(response));
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    read->shown.content_type = HeaderOf(headers, "Content-Type");
    read->shown.etag = HeaderOf(headers, "ETag");
    read->shown.last_modified = HeaderOf(headers, "Last-Modified");
    if (read->shown.content_type.empty()) {
      const char* mime = webkit_uri_response_get_mime_type(response);
      read->shown.content_type = mime ? mime : "";
    }
  }
  ReadMainResource(view_, [read](std::optional<std::string> body) {
    std::unique_ptr<Read> owned(read);
    if (owned->alive.expired()) return;
    if (!body) return owned->done(std::nullopt);
    owned->shown.body = std::move(*body);
    owned->done(std::move(owned->shown));
  });
}

void WebKitBrowser::ReadMainResource(WebKitWebView* view,
                                     std::function<void(std::optional<std::string>)> done) {
  WebKitWebResource* resource = webkit_web_view_get_main_resource(view);
  if (!resource) return done(std::nullopt);
  using Done = std::function<void(std::optional<std::string>)>;
  webkit_web_resource_get_data(
      resource, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Done> done(static_cast<Done*>(data));
        gsize length = 0;
        guchar* bytes = webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result,
                                                            &length, nullptr);
        std::optional<std::string> body;
        if (bytes) body.emplace(reinterpret_cast<const char*>(bytes), length);
        g_free(bytes);
        (*done)(std::move(body));
      },
      new Done(std::move(done)));
}

void WebKitBrowser::RunReadingScript(const std::string& script,
                                     std::function<void(std::string)> done) {
  RunInRoundWorld(view_, script, alive_, std::move(done));
}

void WebKitBrowser::HighlightBlocks(const std::vector<std::string>& blocks,
                                    std::function<void(int)> done) {
  std::string list = "const wanted = new Set([";
  for (size_t i = 0; i < blocks.size(); ++i) list += (i ? "," : "") + JsonString(blocks[i]);
  list += "]);";
  RunInRoundWorld(view_, RoundScript(list + kHighlight), alive_,
                  [done = std::move(done)](std::string count) {
                    if (done) done(count.empty() ? 0 : std::atoi(count.c_str()));
                  });
}

}  // namespace tarvik
