#include "platform/webkit_browser.h"

#include <webkit2/webkit2.h>

#include <gtkmm/window.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/hardware_rendering.h"
#include "platform/page_freshness.h"
#include "platform/webkit_prepared_page.h"

namespace tarvik {

namespace {

WebKitWebContext* SharedContext() {
  static WebKitWebContext* context = [] {
    WebKitWebContext* ctx = webkit_web_context_get_default();
    // A browser of windows, not of tabs: pages are documents the user steps through, so a
    // cache tuned for browsing keeps going back and forward quick.
    webkit_web_context_set_cache_model(ctx, WEBKIT_CACHE_MODEL_WEB_BROWSER);
    // Web pages run in a sandbox wherever the system allows one: bubblewrap is installed and we
    // are not root (the sandbox cannot start for root).
    if (getuid() != 0) {
      if (gchar* bwrap = g_find_program_in_path("bwrap")) {
        webkit_web_context_set_sandbox_enabled(ctx, TRUE);
        g_free(bwrap);
      }
    }
    FollowDownloads(ctx);
    return ctx;
  }();
  return context;
}

WebKitSettings* SharedSettings() {
  static WebKitSettings* settings = [] {
    WebKitSettings* s = webkit_settings_new();
    // Pages may open windows only from a user's click.
    webkit_settings_set_javascript_can_open_windows_automatically(s, FALSE);
    // Pages that do not say their encoding are read as UTF-8, as today's pages mostly are.
    webkit_settings_set_default_charset(s, "UTF-8");
    // Without a graphics processor the engine composites pages with Mesa's software renderer,
    // which only adds work: the web process then takes about 70 MB more and the first page comes
    // later than when the engine draws pages straight away (bench/launch). Where a processor's
    // render node is at hand and software rendering is not forced, the engine keeps its choice.
    if (!HardwareRendering())
      webkit_settings_set_hardware_acceleration_policy(s,
                                                       WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    return s;
  }();
  return settings;
}

// The engine reports the new window's toolbar wrongly: hidden for a page that gave no features at
// all, shown for one that asked for "toolbar=no". So the page's own request is taken where it is
// made: this script stands in front of window.open and tells the browser the features it is given
// (an empty text for none) until the call returns.
constexpr char kOpenHandler[] = "tarvikOpen";
constexpr char kOpenWatch[] =
    "(function() {"
    "  const handlers = window.webkit && window.webkit.messageHandlers;"
    "  const handler = handlers && handlers.tarvikOpen;"
    "  const open = window.open;"
    "  if (!handler || typeof open !== 'function') return;"
    "  const blocked = handlers.tarvikBlocked;"
    "  const tell = (m) => { try { handler.postMessage(m); } catch (e) {} };"
    "  const active = () => !!navigator.userActivation && navigator.userActivation.isActive;"
    "  window.open = { open(url, target, features) {"
    "    tell(features === undefined || features === null ? '' : String(features));"
    "    let opened = null;"
    "    try { opened = open.apply(this, arguments); return opened; } finally {"
    "      tell(null);"
    "      if (opened === null && !active() && blocked) {"
    "        try { blocked.postMessage(new URL(String(url || ''), document.baseURI).href); }"
    "        catch (e) {}"
    "      }"
    "    }"
    "  } }.open;"
    "})();";

// Where the page's keyboard focus is, for the editing keys (see EditableHasFocus). It runs in a
// world of its own, out of the pages' reach.
constexpr char kFocusWorld[] = "tarvik";
constexpr char kFocusHandler[] = "tarvikFocus";
constexpr char kFocusWatch[] =
    "(function() {"
    "  const handler = window.webkit.messageHandlers.tarvikFocus;"
    "  const notText = ['button', 'checkbox', 'color', 'file', 'hidden', 'image', 'radio',"
    "                   'range', 'reset', 'submit'];"
    "  const editable = (e) => !!e && (e.isContentEditable || e.localName === 'textarea' ||"
    "      (e.localName === 'input' && !notText.includes(e.type)));"
    "  const tell = (m) => { try { handler.postMessage(m); } catch (e) {} };"
    "  document.addEventListener('focusin', (e) => tell(editable(e.target)), true);"
    "  document.addEventListener('focusout', () => tell(false), true);"
    "  const links = window.webkit.messageHandlers.tarvikSelectionLinks;"
    "  document.addEventListener('contextmenu', () => {"
    "    const s = document.getSelection();"
    "    let has = false;"
    "    if (s && s.rangeCount > 0 && !s.isCollapsed)"
    "      has = Array.prototype.some.call(document.querySelectorAll('a[href], area[href]'),"
    "                                      (a) => s.containsNode(a, true));"
    "    try { links.postMessage(has); } catch (e) {}"
    "  }, true);"
    "})();";

// A window.open feature text asks for no toolbar when it names "toolbar" with a value that is not
// yes: the features are read as browsers read them (names and values separated by spaces, commas
// or "=", letter case ignored; no value, "yes", "true" or a number other than 0 mean yes).
bool FeaturesRefuseToolbar(std::string_view features) {
  auto separator = [](char c) {
    return c == ' ' || c == ',' || c == '=' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
  };
  auto lower = [](std::string_view v) {
    std::string out(v);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  size_t i = 0;
  const size_t n = features.size();
  bool refused = false;
  while (i < n) {
    while (i < n && separator(features[i])) ++i;
    size_t start = i;
    while (i < n && !separator(features[i])) ++i;
    const std::string name = lower(features.substr(start, i - start));
    if (name.empty()) break;
    // Up to the "=", if there is one, then the value.
    while (i < n && (features[i] == ' ' || features[i] == '\t')) ++i;
    std::string value;
    if (i < n && features[i] == '=') {
      ++i;
      while (i < n && separator(features[i]) && features[i] != ',') ++i;
      start = i;
      while (i < n && !separator(features[i])) ++i;
      value = lower(features.substr(start, i - start));
    }
    if (name != "toolbar") continue;
    bool yes = value.empty() || value == "yes" || value == "true";
    if (!yes) {
      const char* text = value.c_str();
      char* end = nullptr;
      const long number = std::strtol(text, &end, 10);
      yes = end != text && number != 0;
    }
    refused = !yes;
  }
  return refused;
}

std::string MessageText(WebKitJavascriptResult* result, bool* is_null = nullptr) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  if (is_null) *is_null = !value || jsc_value_is_null(value) || jsc_value_is_undefined(value);
  if (!value || !jsc_value_is_string(value)) return "";
  gchar* text = jsc_value_to_string(value);
  std::string out = text ? text : "";
  g_free(text);
  return out;
}

}  // namespace

// The scripts Tarvik runs in every page of a view, and the handlers of their messages.
WebKitUserContentManager* WebKitBrowser::NewContentManager() {
  WebKitUserContentManager* content = webkit_user_content_manager_new();
  webkit_user_content_manager_register_script_message_handler(content, kOpenHandler);
  webkit_user_content_manager_register_script_message_handler_in_world(content, kFocusHandler,
                                                                       kFocusWorld);
  webkit_user_content_manager_register_script_message_handler_in_world(
      content, "tarvikSelectionLinks", kFocusWorld);
  webkit_user_content_manager_register_script_message_handler(content, "tarvikBlocked");
  WebKitUserScript* open_watch =
      webkit_user_script_new(kOpenWatch, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                             WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
  webkit_user_content_manager_add_script(content, open_watch);
  webkit_user_script_unref(open_watch);
  WebKitUserScript* focus_watch = webkit_user_script_new_for_world(
      kFocusWatch, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kFocusWorld, nullptr, nullptr);
  webkit_user_content_manager_add_script(content, focus_watch);
  webkit_user_script_unref(focus_watch);
  AddRoundStyle(content);
  return content;
}

WebKitBrowser::WebKitBrowser(WebKitBrowser* related, AddressFixUp fix_up)
    : fix_up_(std::move(fix_up)) {
  // Each view has scripts of its own, so that what their pages report comes from this view.
  content_ = NewContentManager();
  ConnectContent();
  if (related) {
    view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", related->view_,
                                         "user-content-manager", content_, nullptr));
  } else {
    view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedContext(),
                                         "settings", SharedSettings(), "user-content-manager",
                                         content_, nullptr));
  }
  g_object_ref_sink(view_);
  frame_.Show(GTK_WIDGET(view_));
  gtk_widget_show(GTK_WIDGET(view_));
  ConnectView();
  frame_.show();
  freshness_ = g_timeout_add_seconds(
      5,
      [](gpointer self) -> gboolean {
        static_cast<WebKitBrowser*>(self)->KeepPreparedFresh();
        return G_SOURCE_CONTINUE;
      },
      this);
}

void WebKitBrowser::ConnectContent() {
  g_signal_connect(content_, "script-message-received::tarvikOpen", G_CALLBACK(OnOpenMessage),
                   this);
  g_signal_connect(content_, "script-message-received::tarvikFocus", G_CALLBACK(OnFocusMessage),
                   this);
  g_signal_connect(content_, "script-message-received::tarvikSelectionLinks",
                   G_CALLBACK(OnSelectionLinksMessage), this);
  g_signal_connect(content_, "script-message-received::tarvikBlocked", G_CALLBACK(OnBlockedMessage),
                   this);
}

void WebKitBrowser::ConnectView() {
  g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
  g_signal_connect(view_, "load-failed", G_CALLBACK(OnLoadFailed), this);
  g_signal_connect(view_, "notify::title", G_CALLBACK(OnTitle), this);
  g_signal_connect(view_, "notify::estimated-load-progress", G_CALLBACK(OnProgress), this);
  g_signal_connect(view_, "mouse-target-changed", G_CALLBACK(OnMouseTarget), this);
  g_signal_connect(view_, "create", G_CALLBACK(OnCreate), this);
  g_signal_connect(view_, "ready-to-show", G_CALLBACK(OnReadyToShow), this);
  g_signal_connect(view_, "close", G_CALLBACK(OnClose), this);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(view_, "context-menu", G_CALLBACK(OnContextMenu), this);
  g_signal_connect(view_, "permission-request", G_CALLBACK(OnPermissionRequest), this);
  ConnectTools();
}

WebKitBrowser::~WebKitBrowser() {
  g_source_remove(freshness_);
  prepared_.reset();
  for (auto* kept : {&behind_, &ahead_})
    for (KeptView& view : *kept) Release(view);
  if (left_at_) g_object_unref(left_at_);
  for (WebKitBackForwardListItem* item : history_before_) g_object_unref(item);
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_window_properties(view_), this);
  g_signal_handlers_disconnect_by_data(view_, this);
  DisconnectTools(view_);
  g_signal_handlers_disconnect_by_data(content_, this);
  g_object_unref(view_);
  g_object_unref(content_);
}

BrowserFactory WebKitBrowser::Factory(AddressFixUp fix_up) {
  return [fix_up](BrowserControl* related) -> std::unique_ptr<BrowserControl> {
    return std::make_unique<WebKitBrowser>(dynamic_cast<WebKitBrowser*>(related), fix_up);
  };
}

void WebKitBrowser::Navigate(const std::string& url) {
  std::string uri = fix_up_ ? fix_up_(url) : url;
  if (uri.empty()) return;
  if (PreparedReady() && prepared_->uri() == uri) return ShowPrepared();
  DropPrepared();
  // Laid out at its site's zoom from the start: set only when the page commits, a small page
  // could be laid out (and tell its scripts its size) at the zoom of the page before.
  ZoomFor(view_, uri);
  webkit_web_view_load_uri(view_, uri.c_str());
}

void WebKitBrowser::Navigate2(const std::string& url) { Navigate(url); }

// ---- The prepared page -------------------------------------------------------------------------

void WebKitBrowser::Prepare(const std::string& uri) {
  if (uri.empty()) return;
  if (prepared_ && prepared_->uri() == uri && PreparedReady()) return;
  DropPrepared();
  prepared_ = std::make_unique<PreparedPage>(view_, &frame_, NewContentManager(), uri,
                                             [this] { DropPrepared(); });
  // Shown at the size its site is shown at: the step changes nothing of its layout.
  ZoomFor(prepared_->view(), uri);
}

void WebKitBrowser::DropPrepared() { prepared_.reset(); }

std::string WebKitBrowser::PreparedURL() const { return prepared_ ? prepared_->uri() : ""; }

bool WebKitBrowser::PreparedReady() const {
  if (!prepared_) return false;
  switch (prepared_->state()) {
    case PreparedPage::State::Spoiled: return false;
    case PreparedPage::State::Loading:
    case PreparedPage::State::Committed: return true;
    default: {
      const Seconds age((g_get_monotonic_time() - prepared_->loaded_at()) / G_USEC_PER_SEC);
      return StillFresh(age, prepared_->lifetime());
    }
  }
}

bool WebKitBrowser::PreparedLoaded() const {
  return PreparedReady() && prepared_->state() == PreparedPage::State::Ready;
}

void WebKitBrowser::KeepPreparedFresh() {
  if (!prepared_ || prepared_->loaded_at() == 0) return;
  const gint64 now = g_get_monotonic_time();
  const Seconds age((now - prepared_->loaded_at()) / G_USEC_PER_SEC);
  const Seconds on_page((now - shown_since_) / G_USEC_PER_SEC);
  const std::optional<Seconds> wait = RefreshIn(on_page, age);
  if (!wait || wait->count() > 0) return;
  const std::string uri = prepared_->uri();
  DropPrepared();
  Prepare(uri);
}

void WebKitBrowser::ResolveHostsAhead(const std::vector<std::string>& urls) {
  std::vector<std::string> asked;
  for (const std::string& url : urls) {
    GUri* uri = g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (!uri) continue;
    const char* host = g_uri_get_host(uri);
    if (host && *host && std::find(asked.begin(), asked.end(), host) == asked.end()) {
      asked.emplace_back(host);
      webkit_web_context_prefetch_dns(webkit_web_view_get_context(view_), host);
    }
    g_uri_unref(uri);
  }
}

void WebKitBrowser::ShowView(WebKitWebView* fresh, WebKitUserContentManager* content,
                             std::vector<KeptView>* keep) {
  WebKitWebView* old = view_;
  const bool had_focus = gtk_widget_is_focus(GTK_WIDGET(old));
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_window_properties(old), this);
  g_signal_handlers_disconnect_by_data(old, this);
  DisconnectTools(old);
  g_signal_handlers_disconnect_by_data(content_, this);
  if (keep) {
    // Left for a newer page, the view is left at its item; left for an older one, it keeps
    // what it was left at before.
    KeptView kept{old, content_, left_at_};
    if (keep == &behind_) {
      if (kept.left_at) g_object_unref(kept.left_at);
      kept.left_at =
          webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(old));
      if (kept.left_at) g_object_ref(kept.left_at);
    }
    keep->push_back(kept);
    webkit_web_view_set_is_muted(old, TRUE);
  } else {
    if (left_at_) g_object_unref(left_at_);
    frame_.Drop(GTK_WIDGET(old));
    // The old view may be inside a signal of its own: it goes once the main loop is back.
    for (gpointer gone : {static_cast<gpointer>(old), static_cast<gpointer>(content_)})
      g_idle_add(
          [](gpointer object) -> gboolean {
            g_object_unref(object);
            return G_SOURCE_REMOVE;
          },
          gone);
  }
  left_at_ = nullptr;
  for (WebKitBackForwardListItem* item : history_before_) g_object_unref(item);
  history_before_.clear();
  view_ = fresh;
  content_ = content;
  editable_focused_ = false;
  open_features_.reset();
  frame_.Show(GTK_WIDGET(view_));
  gtk_widget_show(GTK_WIDGET(view_));
  webkit_web_view_set_is_muted(view_, FALSE);
  ConnectContent();
  ConnectView();
  if (had_focus) gtk_widget_grab_focus(GTK_WIDGET(view_));
  shown_since_ = g_get_monotonic_time();
  TrimKept();
}

// The prepared page takes the shown page's place, which is kept for back. It is shown as far as
// it has come: a step while it still loads shows it loading, with no second request.
void WebKitBrowser::ShowPrepared() {
  std::unique_ptr<PreparedPage> page = std::move(prepared_);
  const PreparedPage::State state = page->state();
  EndForwardHistory();
  WebKitUserContentManager* content = page->content();
  g_object_ref(content);
  ShowView(page->Release(), content, &behind_);
  page.reset();
  ReportPlaced(state == PreparedPage::State::Loading     ? Came::Asked
               : state == PreparedPage::State::Committed ? Came::Committed
                                                         : Came::Loaded);
}

void WebKitBrowser::Stop() { webkit_web_view_stop_loading(view_); }

void WebKitBrowser::Refresh2() { webkit_web_view_reload(view_); }

std::string WebKitBrowser::LocationURL() const {
  const char* uri = webkit_web_view_get_uri(view_);
  return uri ? uri : "";
}

bool WebKitBrowser::HasFocus() const { return gtk_widget_is_focus(GTK_WIDGET(view_)); }

void WebKitBrowser::FocusPage() { gtk_widget_grab_focus(GTK_WIDGET(view_)); }

bool WebKitBrowser::EditableHasFocus() const { return HasFocus() && editable_focused_; }

void WebKitBrowser::OnOpenMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                  gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  bool done = false;
  std::string features = MessageText(result, &done);
  b->open_features_ = done ? std::nullopt : std::optional<std::string>(std::move(features));
}

void WebKitBrowser::OnFocusMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                   gpointer self) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  static_cast<WebKitBrowser*>(self)->editable_focused_ =
      value && jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
}

void WebKitBrowser::CopySelectionIfAny(std::function<void(bool)> done) {
  // The engine keeps Copy enabled without a selection, so the page is asked whether it has
  // one: selected text, or a selection inside a text field.
  static const char kHasSelection[] =
      "(function() { const e = document.activeElement;"
      "  if (e && typeof e.selectionStart === 'number' && e.selectionEnd > e.selectionStart)"
      "    return true;"
      "  const s = window.getSelection(); return !!s && s.toString().length > 0; })()";
  auto* held = new std::function<void(bool)>(std::move(done));
  webkit_web_view_evaluate_javascript(
      view_, kHasSelection, -1, nullptr, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<std::function<void(bool)>> callback(
            static_cast<std::function<void(bool)>*>(data));
        WebKitWebView* view = WEBKIT_WEB_VIEW(source);
        JSCValue* value = webkit_web_view_evaluate_javascript_finish(view, result, nullptr);
        const bool selected = value && jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
        if (value) g_object_unref(value);
        if (selected) webkit_web_view_execute_editing_command(view, WEBKIT_EDITING_COMMAND_COPY);
        if (*callback) (*callback)(selected);
      },
      held);
}

namespace {

// The script world in which Tarvik reads pages. Its DOM objects and built-ins are its own: what a
// page's scripts define or replace (methods of the DOM, URL, String) never reaches it, and it
// leaves nothing behind that the page could see.
constexpr char kReadingWorld[] = "tarvik-reading";

// Gives the links of the page, each as [address, text, title, [alt texts of its pictures], an
// area's alt]: document order, a same-origin frame's links where the frame stands; with a
// selection in any of these documents, only the links that a selection touches. Addresses come
// from the URL parser; the texts come as the page has them, for LinkTitle (jobs/link_list.h) to
// make the title of, by the rule that makes it for pages saved as files.
constexpr char kCollectLinks[] = R"JS((() => {
  const frameDocument = (frame) => { try { return frame.contentDocument; } catch (e) { return null; } };
  const selectionOf = (doc) => {
    const s = doc.getSelection && doc.getSelection();
    return s && s.rangeCount > 0 && !s.isCollapsed ? s : null;
  };
  const anySelection = (doc) => {
    if (selectionOf(doc)) return true;
    for (const f of doc.querySelectorAll('iframe, frame')) {
      const d = frameDocument(f);
      if (d && anySelection(d)) return true;
    }
    return false;
  };
  const onlySelected = anySelection(document);
  const out = [];
  const walk = (doc) => {
    const page = doc.URL.split('#')[0];
    const selection = onlySelected ? selectionOf(doc) : null;
    for (const el of doc.querySelectorAll('a[href], area[href], iframe, frame')) {
      const tag = el.localName;
      if (tag === 'iframe' || tag === 'frame') {
        const d = frameDocument(el);
        if (d) walk(d);
        continue;
      }
      if (onlySelected && !(selection && selection.containsNode(el, true))) continue;
      let url;
      try { url = new URL(el.getAttribute('href'), doc.baseURI).href; } catch (e) { continue; }
      if (url.includes('#') && url.split('#')[0] === page) continue;
      const text = el.childElementCount === 0 || !('innerText' in el) ? el.textContent : el.innerText;
      const alts = [];
      for (const img of el.querySelectorAll('img[alt]')) alts.push(img.getAttribute('alt'));
      out.push([url, text || '', el.getAttribute('title') || '', alts,
                tag === 'area' ? el.getAttribute('alt') || '' : '']);
    }
  };
  walk(document);
  return out;
})())JS";

// Calls `each` with every item of a script's array; with nothing for what is not an array.
template <typename Each>
void ForEachItem(JSCValue* array, Each&& each) {
  if (!array || !jsc_value_is_array(array)) return;
  JSCValue* length = jsc_value_object_get_property(array, "length");
  const int count = jsc_value_to_int32(length);
  g_object_unref(length);
  for (int i = 0; i < count; ++i) {
    JSCValue* item = jsc_value_object_get_property_at_index(array, static_cast<guint>(i));
    each(item);
    g_object_unref(item);
  }
}

// The strings of a script's array, "" for an item that is not a string.
std::vector<std::string> Strings(JSCValue* array) {
  std::vector<std::string> out;
  ForEachItem(array, [&out](JSCValue* item) {
    gchar* text = jsc_value_is_string(item) ? jsc_value_to_string(item) : nullptr;
    out.emplace_back(text ? text : "");
    g_free(text);
  });
  return out;
}

// The links kCollectLinks gives.
std::vector<PageLink> PageLinks(JSCValue* value) {
  std::vector<PageLink> links;
  ForEachItem(value, [&links](JSCValue* item) {
    std::vector<std::string> parts = Strings(item);
    if (parts.size() != 5) return;
    JSCValue* alts = jsc_value_object_get_property_at_index(item, 3);
    links.push_back(PageLink{std::move(parts[0]), std::move(parts[1]), std::move(parts[2]),
                             Strings(alts), std::move(parts[4])});
    g_object_unref(alts);
  });
  return links;
}

}  // namespace

void WebKitBrowser::CollectLinks(std::function<void(std::vector<PageLink>)> done) {
  auto* held = new std::function<void(std::vector<PageLink>)>(std::move(done));
  webkit_web_view_evaluate_javascript(
      view_, kCollectLinks, -1, kReadingWorld, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<std::function<void(std::vector<PageLink>)>> callback(
            static_cast<std::function<void(std::vector<PageLink>)>*>(data));
        JSCValue* value =
            webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
        std::vector<PageLink> links = PageLinks(value);
        if (value) g_object_unref(value);
        if (*callback) (*callback)(std::move(links));
      },
      held);
}

std::string WebKitBrowser::LocationName() const {
  const char* title = webkit_web_view_get_title(view_);
  if (title && *title) return title;
  return LocationURL();
}

void WebKitBrowser::SetStatus(const std::string& text) {
  if (text == status_) return;
  status_ = text;
  status_text_change_.emit(text);
}

void WebKitBrowser::OnLoadChanged(WebKitWebView*, int event, gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  b->FollowHistory(event);
  b->Report(event, true);
}

void WebKitBrowser::Report(int event, bool from_engine) {
  switch (event) {
    case WEBKIT_LOAD_STARTED:
      DropPrepared();  // a load in the window gives up the page made ready for the next
      loading_ = true;
      SetStatus("接続しています...");
      progress_change_.emit(0, 100);  // a new load: the window clears its progress graph
      break;
    case WEBKIT_LOAD_COMMITTED: {
      editable_focused_ = false;  // the focus was in the page that has gone
      ZoomFor(view_, LocationURL());
      SetStatus("読み込んでいます...");
      // The page is the one shown from now on: the address box and the history follow at once,
      // however long the rest of the page takes. Its title, when it has one, comes by itself
      // from the engine; a view put in place has its title already. The engine tells of a
      // title only when it changes: a page without one, after another page without one (or as
      // the first page of all), would leave the caption as it was.
      navigate_complete2_.emit(LocationURL());
      const char* title = webkit_web_view_get_title(view_);
      if (!from_engine || !title || !*title) title_change_.emit(LocationName());
      break;
    }
    case WEBKIT_LOAD_FINISHED:
      loading_ = false;
      SetStatus("完了");
      progress_change_.emit(-1, 100);
      document_complete_.emit();
      break;
    default: break;
  }
}

void WebKitBrowser::ReportPlaced(Came came) {
  Report(WEBKIT_LOAD_STARTED, false);
  if (came == Came::Asked) return;  // the engine tells the rest
  Report(WEBKIT_LOAD_COMMITTED, false);
  if (came == Came::Committed) return OnProgress(nullptr, nullptr, this);
  progress_change_.emit(100, 100);
  Report(WEBKIT_LOAD_FINISHED, false);
}

gboolean WebKitBrowser::OnLoadFailed(WebKitWebView*, int, const char*, GError*, gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  b->progress_change_.emit(-1, 100);
  return FALSE;  // the engine shows its own error page
}

void WebKitBrowser::OnTitle(GObject*, GParamSpec*, gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  const char* title = webkit_web_view_get_title(b->view_);
  b->title_change_.emit(title && *title ? std::string(title) : b->LocationURL());
}

// What the engine does with a page or file it has been sent. What it can show, it shows, and an
// attachment is saved: the engine's own rule. Anything else that the user asked for in the
// page area (a link to an archive, say) is saved too, through the same question as any other
// download; the engine alone would drop it without a word.
gboolean WebKitBrowser::OnDecidePolicy(WebKitWebView*, void* decision, int type, gpointer self) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
    return static_cast<WebKitBrowser*>(self)->OpenMiddleClick(decision);
  auto* response_decision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
  if (webkit_response_policy_decision_is_mime_type_supported(response_decision)) return FALSE;
  // A frame inside a page cannot make the user answer questions.
  if (!webkit_response_policy_decision_is_main_frame_main_resource(response_decision)) return FALSE;
  WebKitURIResponse* response = webkit_response_policy_decision_get_response(response_decision);
  // "No content" answers leave the page as it is.
  const guint status = webkit_uri_response_get_status_code(response);
  if (status == 204 || status == 205) return FALSE;
  webkit_policy_decision_download(WEBKIT_POLICY_DECISION(decision));
  return TRUE;
}

void WebKitBrowser::OnProgress(GObject*, GParamSpec*, gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  if (!b->loading_) return;
  double p = webkit_web_view_get_estimated_load_progress(b->view_);
  b->progress_change_.emit(static_cast<long>(p * 100.0), 100);
}

void WebKitBrowser::OnMouseTarget(WebKitWebView*, void* hit, guint, gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  auto* result = static_cast<WebKitHitTestResult*>(hit);
  if (webkit_hit_test_result_context_is_link(result)) {
    const char* uri = webkit_hit_test_result_get_link_uri(result);
    b->SetStatus(uri ? uri : "");
  } else if (!b->loading_) {
    b->SetStatus("");
  }
}

GtkWidget* WebKitBrowser::OnCreate(WebKitWebView*, void*, gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  if (!b->host_) return nullptr;
  auto* child = dynamic_cast<WebKitBrowser*>(b->host_->NewWindow2());
  if (!child) return nullptr;
  // A link, or window.open without features, gives a window with all its bars.
  child->toolbar_ = b->open_features_ && FeaturesRefuseToolbar(*b->open_features_) ? 0 : 1;
  return GTK_WIDGET(child->view_);
}

void WebKitBrowser::OnReadyToShow(WebKitWebView*, gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  WebKitWindowProperties* props = webkit_web_view_get_window_properties(b->view_);
  b->on_tool_bar_.emit(b->toolbar_ != 0);
  b->on_menu_bar_.emit(webkit_window_properties_get_menubar_visible(props));
  b->on_status_bar_.emit(webkit_window_properties_get_statusbar_visible(props));
  b->EmitRequestedSize();
  b->ready_to_show_.emit();
  g_signal_connect(props, "notify::geometry", G_CALLBACK(+[](GObject*, GParamSpec*, gpointer self) {
                     static_cast<WebKitBrowser*>(self)->EmitRequestedSize();
                   }),
                   b);
}

void WebKitBrowser::EmitRequestedSize() {
  WebKitWindowProperties* props = webkit_web_view_get_window_properties(view_);
  GdkRectangle geometry{};
  webkit_window_properties_get_geometry(props, &geometry);
  if (geometry.width > 0 && geometry.height > 0) resize_to_.emit(geometry.width, geometry.height);
}

void WebKitBrowser::OnClose(WebKitWebView*, gpointer self) {
  auto* b = static_cast<WebKitBrowser*>(self);
  if (b->host_) b->host_->WindowClosing();
}

}  // namespace tarvik
