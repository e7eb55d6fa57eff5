#include "platform/webkit_page_fetcher.h"

#include <gtkmm/offscreenwindow.h>
#include <webkit2/webkit2.h>

#include "platform/page_frame.h"
#include "platform/webkit_browser.h"
#include "platform/webkit_prepared_page.h"

namespace tarvik {
namespace {

constexpr int kMostRedirects = 5;
constexpr guint kReadChunk = 64 * 1024;
// A rendered page's text is taken this long after the engine has finished loading it, for
// scripts that write the page a moment after its load.
constexpr gint64 kRenderSettle = G_USEC_PER_SEC * 15 / 100;
constexpr gint64 kLongestRender = 30 * G_USEC_PER_SEC;
// How long the hidden view waits for the next page of a check before it goes (ms).
constexpr guint kKeepIdleView = 3000;
// The script world of the check; its DOM objects and built-ins are its own.
constexpr char kCheckWorld[] = "tarvik-rounds";

bool IsRedirect(guint status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

class EnginePageFetcher : public PageFetcher {
 public:
  explicit EnginePageFetcher(WebKitWebView* view)
      : context_(WEBKIT_WEB_CONTEXT(g_object_ref(webkit_web_view_get_context(view)))),
        settings_(WEBKIT_SETTINGS(g_object_ref(webkit_web_view_get_settings(view)))),
        cancel_(g_cancellable_new()) {
    // The languages of the user's locale, as the engine asks for pages in them; responses come
    // decoded (gzip, brotli), as the session decodes them by default.
    session_ = soup_session_new_with_options(
        "user-agent", webkit_settings_get_user_agent(settings_), "timeout", 30, "idle-timeout", 30,
        "max-conns", 16, "accept-language-auto", TRUE, nullptr);
  }

  ~EnginePageFetcher() override {
    CancelAll();
    g_object_unref(cancel_);
    g_object_unref(session_);
    if (template_) g_object_unref(template_);
    g_object_unref(settings_);
    g_object_unref(context_);
  }

  void Fetch(const FetchRequest& request, std::function<void(FetchResponse)> done) override {
    auto* op = new Op{
        this, G_CANCELLABLE(g_object_ref(cancel_)), request, request.url, 0, nullptr, nullptr, {},
        {}};
    op->done = std::move(done);
    AskCookies(op);
  }

  void FetchRendered(const std::string& url, const std::string& script,
                     std::function<void(RenderedPage)> done) override;

  void CancelAll() override {
    g_cancellable_cancel(cancel_);
    g_object_unref(cancel_);
    cancel_ = g_cancellable_new();
    EndRender();
  }

 private:
  // One fetch, from its cookies to the end of its body. The callbacks look at the cancellable
  // first: once it is cancelled, the fetcher may be gone.
  struct Op {
    EnginePageFetcher* owner;
    GCancellable* cancellable;
    FetchRequest request;
    std::string url;  // after redirects
    int redirects = 0;
    SoupMessage* message = nullptr;  // the request under way
    GInputStream* stream = nullptr;
    FetchResponse response;
    std::function<void(FetchResponse)> done;
    ~Op() {
      if (stream) g_object_unref(stream);
      if (message) g_object_unref(message);
      g_object_unref(cancellable);
    }
    bool cancelled() const { return g_cancellable_is_cancelled(cancellable); }
  };

  void AskCookies(Op* op) {
    WebKitCookieManager* cookies = webkit_website_data_manager_get_cookie_manager(
        webkit_web_context_get_website_data_manager(context_));
    webkit_cookie_manager_get_cookies(
        cookies, op->url.c_str(), op->cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
          auto* op = static_cast<Op*>(data);
          GList* list = webkit_cookie_manager_get_cookies_finish(WEBKIT_COOKIE_MANAGER(source),
                                                                 result, nullptr);
          if (op->cancelled()) {
            g_list_free_full(list, reinterpret_cast<GDestroyNotify>(soup_cookie_free));
            delete op;
            return;
          }
          std::string header;
          for (GList* l = list; l; l = l->next) {
            auto* cookie = static_cast<SoupCookie*>(l->data);
            if (!header.empty()) header += "; ";
            header +=
                std::string(soup_cookie_get_name(cookie)) + "=" + soup_cookie_get_value(cookie);
          }
          g_list_free_full(list, reinterpret_cast<GDestroyNotify>(soup_cookie_free));
          op->owner->Send(op, header);
        },
        op);
  }

  void Send(Op* op, const std::string& cookie_header) {
    if (op->message) g_clear_object(&op->message);
    op->message = soup_message_new("GET", op->url.c_str());
    if (!op->message) {
      op->response.error = "アドレスが正しくありません";
      return Finish(op);
    }
    soup_message_add_flags(op->message, SOUP_MESSAGE_NO_REDIRECT);
    SoupMessageHeaders* headers = soup_message_get_request_headers(op->message);
    soup_message_headers_replace(headers, "Accept",
                                 "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    if (!cookie_header.empty())
      soup_message_headers_replace(headers, "Cookie", cookie_header.c_str());
    if (op->redirects == 0) {
      if (!op->request.etag.empty())
        soup_message_headers_replace(headers, "If-None-Match", op->request.etag.c_str());
      if (!op->request.last_modified.empty())
        soup_message_headers_replace(headers, "If-Modified-Since",
                                     op->request.last_modified.c_str());
    }
    soup_session_send_async(
        session_, op->message, G_PRIORITY_DEFAULT, op->cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
          auto* op = static_cast<Op*>(data);
          GError* error = nullptr;
          GInputStream* stream = soup_session_send_finish(SOUP_SESSION(source), result, &error);
          if (op->cancelled()) {
            if (stream) g_object_unref(stream);
            g_clear_error(&error);
            delete op;
            return;
          }
          op->owner->OnSent(op, stream, error);
        },
        op);
  }

  void OnSent(Op* op, GInputStream* stream, GError* error) {
    if (!stream) {
      op->response.error = std::string("接続できません: ") + (error ? error->message : "");
      g_clear_error(&error);
      return Finish(op);
    }
    const guint status = soup_message_get_status(op->message);
    SoupMessageHeaders* headers = soup_message_get_response_headers(op->message);
    const char* location = soup_message_headers_get_one(headers, "Location");
    if (IsRedirect(status) && location && op->redirects < kMostRedirects) {
      gchar* next = g_uri_resolve_relative(op->url.c_str(), location, G_URI_FLAGS_NONE, nullptr);
      g_object_unref(stream);
      if (!next) {
        op->response.error = "転送先のアドレスが正しくありません";
        return Finish(op);
      }
      op->url = next;
      g_free(next);
      ++op->redirects;
      return AskCookies(op);
    }
    FetchResponse& r = op->response;
    r.reached = true;
    r.status = static_cast<int>(status);
    if (const char* phrase = soup_message_get_reason_phrase(op->message)) r.reason_phrase = phrase;
    GHashTable* params = nullptr;
    if (const char* type = soup_message_headers_get_content_type(headers, &params))
      r.mime_type = type;
    if (params) {
      if (const char* charset = static_cast<const char*>(g_hash_table_lookup(params, "charset")))
        r.charset = charset;
      g_hash_table_destroy(params);
    }
    auto header = [headers](const char* name) {
      const char* value = soup_message_headers_get_one(headers, name);
      return std::string(value ? value : "");
    };
    r.etag = header("ETag");
    r.last_modified = header("Last-Modified");
    r.retry_after = header("Retry-After");
    op->stream = stream;
    if (status == 304 || status >= 400) {
      return Finish(op);  // no body wanted
    }
    ReadMore(op);
  }

  void ReadMore(Op* op) {
    g_input_stream_read_bytes_async(
        op->stream, kReadChunk, G_PRIORITY_DEFAULT, op->cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
          auto* op = static_cast<Op*>(data);
          GError* error = nullptr;
          GBytes* bytes = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
          if (op->cancelled()) {
            if (bytes) g_bytes_unref(bytes);
            g_clear_error(&error);
            delete op;
            return;
          }
          if (!bytes) {
            op->response.reached = false;
            op->response.error =
                std::string("読み込みが途中で止まりました: ") + (error ? error->message : "");
            g_clear_error(&error);
            return op->owner->Finish(op);
          }
          gsize size = 0;
          const char* data_bytes = static_cast<const char*>(g_bytes_get_data(bytes, &size));
          std::string& body = op->response.body;
          if (size == 0) {
            g_bytes_unref(bytes);
            return op->owner->Finish(op);
          }
          const size_t room = kMostFetchedBytes - body.size();
          body.append(data_bytes, std::min<size_t>(size, room));
          g_bytes_unref(bytes);
          if (size > room) {
            op->response.cut = true;
            return op->owner->Finish(op);
          }
          op->owner->ReadMore(op);
        },
        op);
  }

  void Finish(Op* op) {
    std::function<void(FetchResponse)> done = std::move(op->done);
    FetchResponse response = std::move(op->response);
    delete op;
    if (done) done(std::move(response));
  }

  // ---- Rendered pages ----

  void PollRender();
  void RunScript();
  void EndRender(bool report = false, RenderedPage page = {});

  WebKitWebContext* context_;
  WebKitSettings* settings_;
  SoupSession* session_ = nullptr;
  GCancellable* cancel_;

  std::unique_ptr<Gtk::OffscreenWindow> window_;  // holds the frame of the hidden views
  PageFrame* frame_ = nullptr;
  WebKitWebView* template_ = nullptr;  // gives the hidden views their context and settings
  std::unique_ptr<PreparedPage> page_;
  std::function<void(RenderedPage)> render_done_;
  std::string script_;
  unsigned render_timer_ = 0;
  unsigned idle_timer_ = 0;  // lets go of the view kept after its page
  gint64 render_started_ = 0;
  GCancellable* script_cancel_ = nullptr;
};

void EnginePageFetcher::FetchRendered(const std::string& url, const std::string& script,
                                      std::function<void(RenderedPage)> done) {
  EndRender();
  if (!window_) {
    window_ = std::make_unique<Gtk::OffscreenWindow>();
    frame_ = Gtk::manage(new PageFrame());
    frame_->set_size_request(1280, 900);
    window_->add(*frame_);
    window_->show_all();
    template_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context_,
                                             "settings", settings_, nullptr));
    g_object_ref_sink(template_);
  }
  render_done_ = std::move(done);
  script_ = script;
  render_started_ = g_get_monotonic_time();
  if (idle_timer_) g_source_remove(idle_timer_);
  idle_timer_ = 0;
  // The view of the page before, and its web process, serve the next: a process of its own for
  // each page would cost more than the page.
  if (page_ && page_->state() != PreparedPage::State::Spoiled) {
    page_->LoadAnother(url);
  } else {
    page_ = std::make_unique<PreparedPage>(template_, frame_, webkit_user_content_manager_new(),
                                           url, [this] {
                                             RenderedPage page;
                                             page.error = "隠れたビューでページを読み込めません";
                                             page_.reset();
                                             EndRender(true, page);
                                           });
    page_->set_draw_ahead(false);
  }
  render_timer_ = g_timeout_add(
      20,
      [](gpointer self) -> gboolean {
        static_cast<EnginePageFetcher*>(self)->PollRender();
        return G_SOURCE_CONTINUE;
      },
      this);
}

void EnginePageFetcher::PollRender() {
  if (!page_ || script_cancel_) return;
  const gint64 now = g_get_monotonic_time();
  if (now - render_started_ > kLongestRender) {
    RenderedPage page;
    page.error = "時間内に読み込まれませんでした";
    return EndRender(true, page);
  }
  const PreparedPage::State state = page_->state();
  const bool loaded = state == PreparedPage::State::Settling || state == PreparedPage::State::Ready;
  if (loaded && now - page_->loaded_at() >= kRenderSettle) {
    RunScript();
  }
}

void EnginePageFetcher::RunScript() {
  script_cancel_ = g_cancellable_new();
  webkit_web_view_evaluate_javascript(
      page_->view(), script_.c_str(), -1, kCheckWorld, nullptr, script_cancel_,
      [](GObject* source, GAsyncResult* result, gpointer self) {
        GError* error = nullptr;
        JSCValue* value =
            webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
        if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
          g_clear_error(&error);
          if (value) g_object_unref(value);
          return;  // the fetcher may be gone
        }
        RenderedPage page;
        if (value && jsc_value_is_string(value)) {
          gchar* text = jsc_value_to_string(value);
          page.ok = true;
          page.text = text;
          g_free(text);
        } else {
          page.error = std::string("ページの文字を取り出せません") +
                       (error ? std::string(": ") + error->message : "");
        }
        g_clear_error(&error);
        if (value) g_object_unref(value);
        static_cast<EnginePageFetcher*>(self)->EndRender(true, std::move(page));
      },
      this);
}

void EnginePageFetcher::EndRender(bool report, RenderedPage page) {
  if (render_timer_) g_source_remove(render_timer_);
  render_timer_ = 0;
  if (script_cancel_) {
    g_cancellable_cancel(script_cancel_);
    g_clear_object(&script_cancel_);
  }
  if (idle_timer_) g_source_remove(idle_timer_);
  idle_timer_ = 0;
  if (report && page.ok && page_) {
    // Kept for the next page of the check, and let go of when none comes. (Not emptied with a
    // blank page: a load cut short by the next one counts as failed, which spoils the view.)
    webkit_web_view_stop_loading(page_->view());
    idle_timer_ = g_timeout_add(
        kKeepIdleView,
        [](gpointer self) -> gboolean {
          auto* fetcher = static_cast<EnginePageFetcher*>(self);
          fetcher->idle_timer_ = 0;
          fetcher->page_.reset();
          return G_SOURCE_REMOVE;
        },
        this);
  } else {
    page_.reset();
  }
  std::function<void(RenderedPage)> done = std::move(render_done_);
  render_done_ = nullptr;
  if (report && done) done(std::move(page));
}

}  // namespace

std::unique_ptr<PageFetcher> MakeEnginePageFetcher(BrowserControl& browser) {
  auto* engine = dynamic_cast<WebKitBrowser*>(&browser);
  if (!engine || !engine->view()) return nullptr;
  return std::make_unique<EnginePageFetcher>(engine->view());
}

}  // namespace tarvik
