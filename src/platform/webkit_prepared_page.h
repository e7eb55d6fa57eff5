// A page loaded out of sight in an engine view of its own, so that it can be shown the moment
// the user asks for it (BrowserControl::Prepare). Part of the WebKitGTK adapter.
#pragma once

#include <functional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _GtkWidget GtkWidget;
typedef struct _GCancellable GCancellable;

namespace tarvik {

class PreparedPage {
 public:
  // Starts loading `uri` in a view of its own web process that shares the web context (network
  // session, cache, cookies) and settings of `shown`, and runs the scripts of `content`, whose
  // reference this takes. The view is put over
  // `shown` in `overlay`, laid out at its size but never mapped, so its page sees itself hidden
  // and nothing of it is drawn; it is muted. The first time the page wants the user (a
  // dialog, a new window, a download, a password, a permission, a certificate error) or fails to
  // load, it is spoiled: what it asked for is refused, and `on_spoiled` runs from the main loop,
  // where the owner may destroy this.
  PreparedPage(WebKitWebView* shown, GtkWidget* overlay, WebKitUserContentManager* content,
               std::string uri, std::function<void()> on_spoiled);
  ~PreparedPage();
  PreparedPage(const PreparedPage&) = delete;
  PreparedPage& operator=(const PreparedPage&) = delete;

  // The address asked for (before any redirect).
  const std::string& uri() const { return uri_; }
  // The page has started to show: its document has come.
  bool committed() const { return committed_; }
  // It has finished loading, and the engine has told all it learnt on the way.
  bool finished() const { return finished_; }
  // The engine has finished loading it, but may not yet have told all it learnt on the way.
  bool settling() const { return load_finished_ && !finished_; }
  bool spoiled() const { return spoiled_; }
  // The view's scripts; they report to this until Release.
  WebKitUserContentManager* content() const { return content_; }
  // Hands the view over to be shown, with sound, and nothing of this left connected to it; the
  // caller owns the reference, and the view stays in the overlay, unmapped until the caller
  // makes it a visible child. Only once.
  WebKitWebView* Release();

  // Whether `view` is a prepared page's, still hidden; if so the page is spoiled. For what the
  // engine reports to the whole process, such as a download about to start.
  static bool RefuseFor(WebKitWebView* view);

 private:
  void Spoil();
  void Disconnect();
  void DrawAhead();

  WebKitWebView* view_ = nullptr;
  GtkWidget* overlay_ = nullptr;
  WebKitUserContentManager* content_ = nullptr;
  std::string uri_;
  std::function<void()> on_spoiled_;
  bool committed_ = false;
  bool load_finished_ = false;
  bool finished_ = false;
  GCancellable* drawing_ = nullptr;  // the picture that readies the first paint, while asked for
  bool spoiled_ = false;
  bool destroyed_ = false;  // the view's widget was destroyed with the window
  unsigned idle_ = 0;       // the main-loop source that reports the spoiling
};

}  // namespace tarvik
