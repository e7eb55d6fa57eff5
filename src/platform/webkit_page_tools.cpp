// What the user does with the page shown beyond going places: finding text in it, its zoom,
// printing and saving it, and the mouse's extra buttons over it. Part of the WebKitGTK adapter.
#include <webkit2/webkit2.h>

#include <glib/gi18n.h>

#include <memory>

#include "platform/text_file.h"
#include "platform/webkit_browser.h"
#include "platform/webkit_prepared_page.h"

namespace tarvik {

namespace {

// More matches than this are counted as this many.
constexpr guint kMostMatches = 9999;

// The print settings the user chose last, for the next print of any window.
GtkPrintSettings*& LastPrintSettings() {
  static GtkPrintSettings* settings = nullptr;
  return settings;
}

// The name of the desktop's printer that writes files: GTK's own, in the user's language.
const char* FilePrinterName() { return g_dgettext("gtk30", "Print to File"); }

template <typename Done>
Done* Hold(Done done) {
  return new Done(std::move(done));
}

}  // namespace

void WebKitBrowser::ConnectTools() {
  WebKitFindController* find = webkit_web_view_get_find_controller(view_);
  g_signal_connect(
      find, "found-text", G_CALLBACK(+[](WebKitFindController*, guint count, gpointer self) {
        static_cast<WebKitBrowser*>(self)->find_count_.emit(count > kMostMatches ? kMostMatches
                                                                                 : count);
      }),
      this);
  g_signal_connect(find, "failed-to-find-text",
                   G_CALLBACK(+[](WebKitFindController*, gpointer self) {
                     static_cast<WebKitBrowser*>(self)->find_count_.emit(0);
                   }),
                   this);
  // Ctrl and the wheel ask the window for another zoom; the engine would not keep it per site.
  g_signal_connect(view_, "scroll-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventScroll* event, gpointer self) -> gboolean {
                     if (!(event->state & GDK_CONTROL_MASK)) return FALSE;
                     int step = 0;
                     if (event->direction == GDK_SCROLL_UP) step = 1;
                     if (event->direction == GDK_SCROLL_DOWN) step = -1;
                     if (event->direction == GDK_SCROLL_SMOOTH && event->delta_y != 0)
                       step = event->delta_y < 0 ? 1 : -1;
                     if (step) static_cast<WebKitBrowser*>(self)->zoom_wheel_.emit(step);
                     return TRUE;
                   }),
                   this);
  // The mouse's back and forward buttons (8 and 9 on X11).
  g_signal_connect(view_, "button-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventButton* event, gpointer self) -> gboolean {
                     if (event->button != 8 && event->button != 9) return FALSE;
                     if (event->type == GDK_BUTTON_PRESS)
                       static_cast<WebKitBrowser*>(self)->history_button_.emit(event->button == 8);
                     return TRUE;
                   }),
                   this);
}

void WebKitBrowser::DisconnectTools(WebKitWebView* view) {
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_find_controller(view), this);
}

// ---- Find
// ----------------------------------------------------------------------------------------

void WebKitBrowser::Find(const std::string& text, FindStep step) {
  WebKitFindController* find = webkit_web_view_get_find_controller(view_);
  const char* searched = webkit_find_controller_get_search_text(find);
  if (step == FindStep::First || !searched || text != searched) {
    if (text.empty()) return EndFind();
    webkit_find_controller_search(
        find, text.c_str(), WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND,
        kMostMatches);
  } else if (step == FindStep::Next) {
    webkit_find_controller_search_next(find);
  } else {
    webkit_find_controller_search_previous(find);
  }
}

void WebKitBrowser::EndFind() {
  webkit_find_controller_search_finish(webkit_web_view_get_find_controller(view_));
}

// ---- Zoom
// ----------------------------------------------------------------------------------------

void WebKitBrowser::SetZoom(double level) {
  webkit_web_view_set_zoom_level(view_, level);
  // The page made ready takes the level its site has now.
  if (prepared_ && prepared_->view()) ZoomFor(prepared_->view(), prepared_->uri());
}

double WebKitBrowser::Zoom() const { return webkit_web_view_get_zoom_level(view_); }

double WebKitBrowser::PreparedZoom() const {
  return prepared_ && prepared_->view() ? webkit_web_view_get_zoom_level(prepared_->view()) : 0;
}

void WebKitBrowser::ZoomFor(WebKitWebView* view, const std::string& uri) {
  if (!zoom_source_ || uri.empty()) return;
  const double level = zoom_source_(uri);
  if (level > 0 && level != webkit_web_view_get_zoom_level(view))
    webkit_web_view_set_zoom_level(view, level);
}

// ---- Print and save
// ------------------------------------------------------------------------------

void WebKitBrowser::Print() {
  WebKitPrintOperation* print = webkit_print_operation_new(view_);
  if (LastPrintSettings()) webkit_print_operation_set_print_settings(print, LastPrintSettings());
  GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(view_));
  const WebKitPrintOperationResponse answer =
      webkit_print_operation_run_dialog(print, GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr);
  if (answer == WEBKIT_PRINT_OPERATION_RESPONSE_PRINT) {
    if (LastPrintSettings()) g_object_unref(LastPrintSettings());
    LastPrintSettings() =
        GTK_PRINT_SETTINGS(g_object_ref(webkit_print_operation_get_print_settings(print)));
  }
  g_object_unref(print);
}

void WebKitBrowser::PrintToFile(const std::string& pdf_path, std::function<void(bool)> done) {
  gchar* uri = g_filename_to_uri(pdf_path.c_str(), nullptr, nullptr);
  if (!uri) {
    if (done) done(false);
    return;
  }
  GtkPrintSettings* settings = gtk_print_settings_new();
  gtk_print_settings_set_printer(settings, FilePrinterName());
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
  g_free(uri);
  WebKitPrintOperation* print = webkit_print_operation_new(view_);
  webkit_print_operation_set_print_settings(print, settings);
  g_object_unref(settings);
  // The operation holds itself until it has finished or failed.
  struct Job {
    std::function<void(bool)> done;
    bool failed = false;
  };
  auto* job = Hold(Job{std::move(done)});
  g_signal_connect(print, "failed", G_CALLBACK(+[](WebKitPrintOperation*, GError*, gpointer job) {
                     static_cast<Job*>(job)->failed = true;
                   }),
                   job);
  g_signal_connect(print, "finished", G_CALLBACK(+[](WebKitPrintOperation* print, gpointer data) {
                     std::unique_ptr<Job> job(static_cast<Job*>(data));
                     g_signal_handlers_disconnect_by_data(print, data);
                     g_object_unref(print);
                     if (job->done) job->done(!job->failed);
                   }),
                   job);
  webkit_print_operation_print(print);
}

void WebKitBrowser::SavePage(const std::string& path, bool single_file,
                             std::function<void(bool)> done) {
  using Done = std::function<void(bool)>;
  if (single_file) {
    GFile* file = g_file_new_for_path(path.c_str());
    webkit_web_view_save_to_file(
        view_, file, WEBKIT_SAVE_MODE_MHTML, nullptr,
        [](GObject* view, GAsyncResult* result, gpointer data) {
          std::unique_ptr<Done> done(static_cast<Done*>(data));
          const bool saved =
              webkit_web_view_save_to_file_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
          if (*done) (*done)(saved);
        },
        Hold(Done(std::move(done))));
    g_object_unref(file);
    return;
  }
  ReadMainResource(view_, [path, done = std::move(done)](std::optional<std::string> body) {
    const bool saved = body && WriteFileAtomically(path, *body);
    if (done) done(saved);
  });
}

// ---- A middle click on a link
// --------------------------------------------------------------------

bool WebKitBrowser::OpenMiddleClick(void* decision) {
  auto* navigation = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(navigation);
  if (webkit_navigation_action_get_mouse_button(action) != 2 ||
      webkit_navigation_action_get_navigation_type(action) != WEBKIT_NAVIGATION_TYPE_LINK_CLICKED)
    return false;
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  webkit_policy_decision_ignore(WEBKIT_POLICY_DECISION(decision));
  if (!host_ || !uri || !*uri) return true;
  auto* child = dynamic_cast<WebKitBrowser*>(host_->NewWindow2());
  if (!child) return true;
  webkit_web_view_load_uri(child->view_, uri);
  child->ready_to_show_.emit();
  return true;
}

}  // namespace tarvik
