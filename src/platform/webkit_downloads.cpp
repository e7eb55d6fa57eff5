// The engine's downloads: where each file goes (asked of the user), and what the rest of Tarvik
// hears of them through DownloadSource.
#include <webkit2/webkit2.h>

#include <gtkmm/window.h>

#include <map>
#include <optional>
#include <set>

#include "platform/dialogs.h"
#include "platform/downloads.h"
#include "platform/webkit_browser.h"
#include "platform/webkit_prepared_page.h"

namespace tarvik {

namespace {

class EngineDownloadSource : public DownloadSource {
 public:
  void Cancel(int id) override {
    auto it = running_.find(id);
    if (it != running_.end()) webkit_download_cancel(it->second);
  }
  void Retry(int id) override;
  void Adopt(WebKitDownload* download);

  WebKitWebContext* context = nullptr;

 private:
  struct Known {
    std::string uri, path;
  };
  static int IdOf(WebKitDownload* d) {
    return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(d), "tarvik-download-id"));
  }
  static gboolean OnDecideDestination(WebKitDownload* d, const char* suggested, gpointer self);
  void Started(WebKitDownload* d, const char* destination);
  void Progress(WebKitDownload* d, bool force);

  int next_id_ = 1;
  std::map<int, WebKitDownload*> running_;
  std::map<int, Known> known_;  // every download that got its file, for Retry
  std::map<int, gint64> last_report_;
  std::set<int> trailing_;  // a report is due shortly
};

EngineDownloadSource& Source() {
  static EngineDownloadSource source;
  return source;
}

// Asks where a download goes; cancelling the question cancels the download. A retried one
// goes where it went before.
gboolean EngineDownloadSource::OnDecideDestination(WebKitDownload* download, const char* suggested,
                                                   gpointer) {
  if (const char* again =
          static_cast<const char*>(g_object_get_data(G_OBJECT(download), "tarvik-retry-uri"))) {
    webkit_download_set_allow_overwrite(download, TRUE);
    webkit_download_set_destination(download, again);
    return TRUE;
  }
  // A page made ready out of sight starts no download.
  if (WebKitWebView* view = webkit_download_get_web_view(download);
      view && PreparedPage::RefuseFor(view)) {
    webkit_download_cancel(download);
    return TRUE;
  }
  Gtk::Window* parent = nullptr;
  if (WebKitWebView* view = webkit_download_get_web_view(download)) {
    GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(view));
    if (GTK_IS_WINDOW(top)) parent = Glib::wrap(GTK_WINDOW(top));
  }
  FileDialogOptions opts;
  opts.title = "名前を付けて保存";
  opts.file_name = suggested && *suggested ? suggested : "download";
  const char* downloads = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
  opts.initial_folder = downloads ? downloads : g_get_home_dir();
  opts.confirm_overwrite = true;
  std::optional<std::string> path = AppDialogs().SaveFile(parent, opts);
  if (!path) {
    webkit_download_cancel(download);
    return TRUE;
  }
  gchar* uri = g_filename_to_uri(path->c_str(), nullptr, nullptr);
  if (!uri) {
    webkit_download_cancel(download);
    return TRUE;
  }
  // The user has already agreed to replace an existing file.
  webkit_download_set_allow_overwrite(download, TRUE);
  webkit_download_set_destination(download, uri);
  g_free(uri);
  return TRUE;
}

void EngineDownloadSource::Adopt(WebKitDownload* download) {
  if (g_object_get_data(G_OBJECT(download), "tarvik-adopted")) return;
  g_object_set_data(G_OBJECT(download), "tarvik-adopted", GINT_TO_POINTER(1));
  g_signal_connect(download, "decide-destination", G_CALLBACK(OnDecideDestination), this);
  g_signal_connect(download, "created-destination",
                   G_CALLBACK(+[](WebKitDownload* d, const char* destination, gpointer self) {
                     static_cast<EngineDownloadSource*>(self)->Started(d, destination);
                   }),
                   this);
  g_signal_connect(download, "received-data",
                   G_CALLBACK(+[](WebKitDownload* d, guint64, gpointer self) {
                     static_cast<EngineDownloadSource*>(self)->Progress(d, false);
                   }),
                   this);
  g_signal_connect(
      download, "failed", G_CALLBACK(+[](WebKitDownload* d, GError* error, gpointer self) {
        auto* s = static_cast<EngineDownloadSource*>(self);
        const int id = IdOf(d);
        g_object_set_data(G_OBJECT(d), "tarvik-failed", GINT_TO_POINTER(1));
        if (!id || !s->running_.erase(id)) return;
        const bool cancelled =
            g_error_matches(error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER);
        s->failed.emit(id, cancelled, error ? error->message : "");
        g_object_unref(d);
      }),
      this);
  g_signal_connect(
      download, "finished", G_CALLBACK(+[](WebKitDownload* d, gpointer self) {
        auto* s = static_cast<EngineDownloadSource*>(self);
        const int id = IdOf(d);
        // The engine tells of the end of a failed download too.
        if (!id || g_object_get_data(G_OBJECT(d), "tarvik-failed") || !s->running_.count(id))
          return;
        s->Progress(d, true);
        s->running_.erase(id);
        s->finished.emit(id);
        g_object_unref(d);
      }),
      this);
}

void EngineDownloadSource::Started(WebKitDownload* d, const char* destination) {
  int id = IdOf(d);
  if (!id) {
    id = next_id_++;
    g_object_set_data(G_OBJECT(d), "tarvik-download-id", GINT_TO_POINTER(id));
  }
  g_object_ref(d);
  running_[id] = d;
  gchar* path = destination ? g_filename_from_uri(destination, nullptr, nullptr) : nullptr;
  const char* uri = webkit_uri_request_get_uri(webkit_download_get_request(d));
  known_[id] = Known{uri ? uri : "", path ? path : ""};
  g_free(path);
  started.emit(id, known_[id].uri, known_[id].path);
  Progress(d, true);
}

void EngineDownloadSource::Progress(WebKitDownload* d, bool force) {
  const int id = IdOf(d);
  if (!id) return;
  // The engine tells of every few kilobytes; the list needs a few reports a second.
  const gint64 now = g_get_monotonic_time();
  gint64& last = last_report_[id];
  if (!force && now - last < G_USEC_PER_SEC / 5) {
    // What came last is told a moment later, should nothing more come for a while.
    if (!trailing_.count(id)) {
      trailing_.insert(id);
      auto* held = new std::pair<EngineDownloadSource*, int>(this, id);
      g_timeout_add_full(
          G_PRIORITY_DEFAULT, 200,
          [](gpointer data) -> gboolean {
            auto [source, id] = *static_cast<std::pair<EngineDownloadSource*, int>*>(data);
            source->trailing_.erase(id);
            if (auto it = source->running_.find(id); it != source->running_.end())
              source->Progress(it->second, true);
            return G_SOURCE_REMOVE;
          },
          held,
          [](gpointer data) { delete static_cast<std::pair<EngineDownloadSource*, int>*>(data); });
    }
    return;
  }
  last = now;
  WebKitURIResponse* response = webkit_download_get_response(d);
  const guint64 total = response ? webkit_uri_response_get_content_length(response) : 0;
  progress.emit(id, webkit_download_get_received_data_length(d), total);
}

void EngineDownloadSource::Retry(int id) {
  auto it = known_.find(id);
  if (it == known_.end() || running_.count(id) || !context) return;
  WebKitDownload* d = webkit_web_context_download_uri(context, it->second.uri.c_str());
  gchar* file_uri = g_filename_to_uri(it->second.path.c_str(), nullptr, nullptr);
  g_object_set_data_full(G_OBJECT(d), "tarvik-retry-uri", file_uri, g_free);
  g_object_set_data(G_OBJECT(d), "tarvik-download-id", GINT_TO_POINTER(id));
  Adopt(d);
  g_object_unref(d);
}

}  // namespace

void FollowDownloads(WebKitWebContext* context) {
  Source().context = context;
  g_signal_connect(
      context, "download-started",
      G_CALLBACK(+[](WebKitWebContext*, WebKitDownload* d, gpointer) { Source().Adopt(d); }),
      nullptr);
}

DownloadSource& EngineDownloads() { return Source(); }

}  // namespace tarvik
