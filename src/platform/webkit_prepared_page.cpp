#include "platform/webkit_prepared_page.h"

#include <webkit2/webkit2.h>

#include "platform/page_frame.h"
#include "platform/page_freshness.h"

namespace tarvik {

namespace {

constexpr char kOwnerKey[] = "tarvik-prepared-page";

PreparedPage* Owner(gpointer self) { return static_cast<PreparedPage*>(self); }

// Every request of a page that would reach the user: refused, and the page spoiled.
gboolean Refuse(WebKitWebView* view) {
  PreparedPage::RefuseFor(view);
  return TRUE;
}

gboolean OnScriptDialog(WebKitWebView* view, WebKitScriptDialog*, gpointer) { return Refuse(view); }

gboolean OnAuthenticate(WebKitWebView* view, WebKitAuthenticationRequest* request, gpointer) {
  webkit_authentication_request_cancel(request);
  return Refuse(view);
}

gboolean OnPermission(WebKitWebView* view, WebKitPermissionRequest* request, gpointer) {
  webkit_permission_request_deny(request);
  return Refuse(view);
}

gboolean OnTlsError(WebKitWebView* view, const char*, GTlsCertificate*, GTlsCertificateFlags,
                    gpointer) {
  return Refuse(view);
}

gboolean OnFileChooser(WebKitWebView* view, WebKitFileChooserRequest* request, gpointer) {
  webkit_file_chooser_request_cancel(request);
  return Refuse(view);
}

gboolean OnPlainRequest(WebKitWebView* view, gpointer) { return Refuse(view); }

gboolean OnNotification(WebKitWebView* view, WebKitNotification*, gpointer) { return Refuse(view); }

gboolean OnPrint(WebKitWebView* view, WebKitPrintOperation*, gpointer) { return Refuse(view); }

GtkWidget* OnCreate(WebKitWebView* view, WebKitNavigationAction*, gpointer) {
  Refuse(view);
  return nullptr;
}

// A header of the response; a header given more than once, as one list.
const char* Header(WebKitURIResponse* response, const char* name) {
  SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
  const char* value = headers ? soup_message_headers_get_list(headers, name) : nullptr;
  return value ? value : "";
}

// What the page asks for and is sent: a navigation of its own is refused, and a document the
// engine cannot show would become a download.
}  // namespace

gboolean PreparedPage::OnDecidePolicy(WebKitWebView* view, void* what, int type, gpointer self) {
  auto* decision = static_cast<WebKitPolicyDecision*>(what);
  if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
    webkit_policy_decision_ignore(decision);
    return Refuse(view);
  }
  if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
    if (Owner(self)->MayNavigate(webkit_navigation_policy_decision_get_navigation_action(
            WEBKIT_NAVIGATION_POLICY_DECISION(decision))))
      return FALSE;
    webkit_policy_decision_ignore(decision);
    return TRUE;
  }
  auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
  if (!webkit_response_policy_decision_is_main_frame_main_resource(response)) return FALSE;
  if (webkit_response_policy_decision_is_mime_type_supported(response)) {
    WebKitURIResponse* answer = webkit_response_policy_decision_get_response(response);
    Owner(self)->lifetime_ =
        FreshLifetime(Header(answer, "Cache-Control"), Header(answer, "Expires"),
                      Header(answer, "Date"), Header(answer, "Age"));
    return FALSE;
  }
  webkit_policy_decision_ignore(decision);
  return Refuse(view);
}

// The engine draws a hidden page only when asked for a picture of it. A picture of what the view
// will show, thrown away, has the page's layout, pictures and text made ready for the first
// paint once it is shown; the page sees nothing of it. The picture comes back after everything
// the page's process reported before it was asked, its title among them (which the engine may
// report after the end of the load): the page counts as finished only then.
void PreparedPage::DrawAhead() {
  if (drawing_) g_cancellable_cancel(drawing_);  // the page loaded again on its own
  g_clear_object(&drawing_);
  drawing_ = g_cancellable_new();
  webkit_web_view_get_snapshot(
      view_, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, drawing_,
      [](GObject* source, GAsyncResult* result, gpointer self) {
        GError* error = nullptr;
        cairo_surface_t* picture =
            webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, &error);
        if (picture) cairo_surface_destroy(picture);
        const bool gone = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
        g_clear_error(&error);
        // Not cancelled: the page is still here.
        if (!gone && Owner(self)->state_ == State::Settling) Owner(self)->state_ = State::Ready;
      },
      this);
}

PreparedPage::PreparedPage(WebKitWebView* shown, PageFrame* frame,
                           WebKitUserContentManager* content, std::string uri,
                           std::function<void()> on_spoiled)
    : frame_(frame), content_(content), uri_(std::move(uri)), on_spoiled_(std::move(on_spoiled)) {
  // A window asked for by the page (window.open tells Tarvik's script before it is refused).
  g_signal_connect(
      content_, "script-message-received::tarvikOpen",
      G_CALLBACK(+[](WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
        JSCValue* value = webkit_javascript_result_get_js_value(result);
        if (value && jsc_value_is_string(value)) Owner(self)->Spoil();
      }),
      this);
  // A web process of its own: in the shown page's process, a hidden page that is shown waits a
  // tenth of a second or more for its first frame, and the pages closed on every step leave their
  // memory behind; a process of its own goes with the page it held.
  view_ = WEBKIT_WEB_VIEW(g_object_new(
      WEBKIT_TYPE_WEB_VIEW, "web-context", webkit_web_view_get_context(shown), "settings",
      webkit_web_view_get_settings(shown), "user-content-manager", content_, nullptr));
  g_object_ref_sink(view_);
  g_object_set_data(G_OBJECT(view_), kOwnerKey, this);
  webkit_web_view_set_is_muted(view_, TRUE);

  g_signal_connect(view_, "load-changed",
                   G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer self) {
                     Owner(self)->OnLoadChanged(event);
                   }),
                   this);
  g_signal_connect(view_, "load-failed",
                   G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, const char*, GError*,
                                  gpointer self) -> gboolean {
                     Owner(self)->Spoil();
                     return TRUE;  // no error page: the step loads the page again
                   }),
                   this);
  g_signal_connect(view_, "resource-load-started",
                   G_CALLBACK(+[](WebKitWebView*, WebKitWebResource* resource, WebKitURIRequest*,
                                  gpointer self) { Owner(self)->CountRequest(resource); }),
                   this);
  g_signal_connect(view_, "script-dialog", G_CALLBACK(OnScriptDialog), this);
  g_signal_connect(view_, "authenticate", G_CALLBACK(OnAuthenticate), this);
  g_signal_connect(view_, "permission-request", G_CALLBACK(OnPermission), this);
  g_signal_connect(view_, "load-failed-with-tls-errors", G_CALLBACK(OnTlsError), this);
  g_signal_connect(view_, "run-file-chooser", G_CALLBACK(OnFileChooser), this);
  g_signal_connect(view_, "show-notification", G_CALLBACK(OnNotification), this);
  g_signal_connect(view_, "print", G_CALLBACK(OnPrint), this);
  g_signal_connect(view_, "enter-fullscreen", G_CALLBACK(OnPlainRequest), this);
  g_signal_connect(view_, "create", G_CALLBACK(OnCreate), this);
  g_signal_connect(
      view_, "close",
      G_CALLBACK(+[](WebKitWebView* view, gpointer) { PreparedPage::RefuseFor(view); }), this);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  // The window's widgets may go before this does (the window is closing): the view is then
  // destroyed and only let go of here.
  g_signal_connect(view_, "destroy",
                   G_CALLBACK(+[](GtkWidget*, gpointer self) { Owner(self)->destroyed_ = true; }),
                   this);
  // Beside the page shown and as large, but not mapped: the engine lays the page out at the size
  // it will be shown at, and the page is hidden until then.
  frame_->Hold(GTK_WIDGET(view_));
  gtk_widget_show(GTK_WIDGET(view_));
  webkit_web_view_load_uri(view_, uri_.c_str());
  WatchProcessor();
}

void PreparedPage::LoadAnother(std::string uri) {
  if (state_ == State::Spoiled || !view_) return;
  if (drawing_) g_cancellable_cancel(drawing_);
  g_clear_object(&drawing_);
  uri_ = std::move(uri);
  state_ = State::Loading;
  lifetime_ = std::chrono::seconds(0);
  loaded_at_ = 0;
  navigations_ = redirects_ = requests_ = 0;
  bytes_ = 0;
  webkit_web_view_load_uri(view_, uri_.c_str());
}

void PreparedPage::OnLoadChanged(int event) {
  switch (event) {
    case WEBKIT_LOAD_STARTED:
      // The page's own new address (a script's, a refresh's): it would act out of sight.
      if (++navigations_ > 1) Spoil();
      break;
    case WEBKIT_LOAD_REDIRECTED:
      if (++redirects_ > kMostRedirects) Spoil();
      break;
    case WEBKIT_LOAD_COMMITTED:
      if (state_ == State::Loading) state_ = State::Committed;
      break;
    case WEBKIT_LOAD_FINISHED:
      if (state_ == State::Spoiled) break;
      state_ = State::Settling;
      loaded_at_ = g_get_monotonic_time();
      if (draw_ahead_) DrawAhead();
      break;
    default: break;
  }
}

// Only the page asked for, fetched as a plain GET, and what it is redirected to. A form sent
// out of sight (by a script, on load) would act for the user before they asked for the page;
// frames of the page load as they would anyway.
bool PreparedPage::MayNavigate(void* action) {
  auto* navigation = static_cast<WebKitNavigationAction*>(action);
  const WebKitNavigationType how = webkit_navigation_action_get_navigation_type(navigation);
  const char* method =
      webkit_uri_request_get_http_method(webkit_navigation_action_get_request(navigation));
  const bool plain_get = !method || g_ascii_strcasecmp(method, "GET") == 0;
  if (plain_get && how != WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED &&
      how != WEBKIT_NAVIGATION_TYPE_FORM_RESUBMITTED)
    return true;
  Spoil();
  return false;
}

void PreparedPage::CountRequest(void* resource) {
  if (++requests_ > kMostRequests) return Spoil();
  // What the resource is sent counts towards the bytes. The resource may outlive this: it reaches
  // the page through its view, for as long as the view is the page's.
  g_signal_connect_object(
      resource, "notify::response", G_CALLBACK(+[](GObject* resource, GParamSpec*, gpointer view) {
        auto* page = static_cast<PreparedPage*>(g_object_get_data(G_OBJECT(view), kOwnerKey));
        WebKitURIResponse* response =
            webkit_web_resource_get_response(WEBKIT_WEB_RESOURCE(resource));
        if (page && response)
          page->CountBytes(
              static_cast<long long>(webkit_uri_response_get_content_length(response)));
      }),
      view_, GConnectFlags(0));
}

void PreparedPage::CountBytes(long long bytes) {
  bytes_ += std::max(0LL, bytes);
  if (bytes_ > kMostBytes) Spoil();
}

// Every second the page's web process is asked a trivial question in Tarvik's own script world;
// a process that leaves one unanswered too long is kept busy by the page.
void PreparedPage::WatchProcessor() {
  watch_ = g_timeout_add_seconds(
      1,
      [](gpointer self) -> gboolean {
        auto* page = Owner(self);
        if (page->state_ == State::Spoiled) return G_SOURCE_CONTINUE;
        if (page->asking_) {
          if (g_get_monotonic_time() - page->asked_at_ > kLongestSilence) page->Spoil();
          return G_SOURCE_CONTINUE;
        }
        page->asking_ = g_cancellable_new();
        page->asked_at_ = g_get_monotonic_time();
        webkit_web_view_evaluate_javascript(
            page->view_, "0", -1, "tarvik-reading", nullptr, page->asking_,
            [](GObject* view, GAsyncResult* result, gpointer self) {
              GError* error = nullptr;
              JSCValue* value =
                  webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
              if (value) g_object_unref(value);
              const bool gone = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
              g_clear_error(&error);
              if (!gone) g_clear_object(&Owner(self)->asking_);
            },
            page);
        return G_SOURCE_CONTINUE;
      },
      this);
}

PreparedPage::~PreparedPage() {
  if (idle_) g_source_remove(idle_);
  if (view_) {
    const bool busy = asking_ != nullptr;
    Disconnect();
    if (!destroyed_) {
      webkit_web_view_stop_loading(view_);
      // A process kept busy by its page would go on running it for a while: it is the page's
      // own, so it goes now.
      if (busy) webkit_web_view_terminate_web_process(view_);
      frame_->Drop(GTK_WIDGET(view_));
    }
    g_object_unref(view_);
  }
  g_object_unref(content_);
}

void PreparedPage::Disconnect() {
  if (watch_) g_source_remove(watch_);
  watch_ = 0;
  for (GCancellable** pending : {&drawing_, &asking_}) {
    if (!*pending) continue;
    g_cancellable_cancel(*pending);
    g_clear_object(pending);
  }
  g_signal_handlers_disconnect_by_data(view_, this);
  g_signal_handlers_disconnect_by_data(content_, this);
  g_object_set_data(G_OBJECT(view_), kOwnerKey, nullptr);
}

WebKitWebView* PreparedPage::Release() {
  WebKitWebView* view = view_;
  Disconnect();
  webkit_web_view_set_is_muted(view, FALSE);
  view_ = nullptr;
  return view;
}

bool PreparedPage::RefuseFor(WebKitWebView* view) {
  auto* page = static_cast<PreparedPage*>(g_object_get_data(G_OBJECT(view), kOwnerKey));
  if (!page) return false;
  page->Spoil();
  return true;
}

void PreparedPage::Spoil() {
  if (state_ == State::Spoiled) return;
  state_ = State::Spoiled;
  // The engine is inside one of the view's signals: the view goes once that has returned.
  idle_ = g_idle_add(
      [](gpointer self) -> gboolean {
        auto* page = Owner(self);
        page->idle_ = 0;
        std::function<void()> report = page->on_spoiled_;
        report();  // may destroy the page
        return G_SOURCE_REMOVE;
      },
      this);
}

}  // namespace tarvik
