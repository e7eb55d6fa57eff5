#include "platform/webkit_prepared_page.h"

#include <webkit2/webkit2.h>

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

// What the page is sent: a document the engine cannot show would become a download.
gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                        WebKitPolicyDecisionType type, gpointer) {
  if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
    webkit_policy_decision_ignore(decision);
    return Refuse(view);
  }
  if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
  auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
  if (!webkit_response_policy_decision_is_main_frame_main_resource(response)) return FALSE;
  if (webkit_response_policy_decision_is_mime_type_supported(response)) return FALSE;
  webkit_policy_decision_ignore(decision);
  return Refuse(view);
}

}  // namespace

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
        if (!gone) Owner(self)->finished_ = true;  // not cancelled: the page is still here
      },
      this);
}

PreparedPage::PreparedPage(WebKitWebView* shown, GtkWidget* overlay,
                           WebKitUserContentManager* content, std::string uri,
                           std::function<void()> on_spoiled)
    : overlay_(overlay),
      content_(content),
      uri_(std::move(uri)),
      on_spoiled_(std::move(on_spoiled)) {
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
                     if (event == WEBKIT_LOAD_COMMITTED) Owner(self)->committed_ = true;
                     if (event == WEBKIT_LOAD_FINISHED) {
                       Owner(self)->load_finished_ = true;
                       Owner(self)->DrawAhead();
                     }
                   }),
                   this);
  g_signal_connect(view_, "load-failed",
                   G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, const char*, GError*,
                                  gpointer self) -> gboolean {
                     Owner(self)->Spoil();
                     return TRUE;  // no error page: the step loads the page again
                   }),
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
  // Over the page shown and as large, but not mapped: the engine lays the page out at the size it
  // will be shown at, and the page is hidden until then.
  gtk_widget_set_child_visible(GTK_WIDGET(view_), FALSE);
  gtk_overlay_add_overlay(GTK_OVERLAY(overlay_), GTK_WIDGET(view_));
  gtk_widget_show(GTK_WIDGET(view_));
  if (gtk_widget_get_realized(overlay_)) gtk_widget_realize(GTK_WIDGET(view_));
  webkit_web_view_load_uri(view_, uri_.c_str());
}

PreparedPage::~PreparedPage() {
  if (idle_) g_source_remove(idle_);
  if (view_) {
    Disconnect();
    if (!destroyed_) {
      webkit_web_view_stop_loading(view_);
      if (gtk_widget_get_parent(GTK_WIDGET(view_)) == overlay_)
        gtk_container_remove(GTK_CONTAINER(overlay_), GTK_WIDGET(view_));
    }
    g_object_unref(view_);
  }
  g_object_unref(content_);
}

void PreparedPage::Disconnect() {
  if (drawing_) {
    g_cancellable_cancel(drawing_);
    g_clear_object(&drawing_);
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
  if (spoiled_) return;
  spoiled_ = true;
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
