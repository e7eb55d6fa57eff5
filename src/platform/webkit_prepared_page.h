// A page loaded out of sight in an engine view of its own, so that it can be shown the moment
// the user asks for it (BrowserControl::Prepare). Part of the WebKitGTK adapter.
#pragma once

#include <glib.h>

#include <chrono>
#include <functional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _GCancellable GCancellable;

namespace tarvik {

class PageFrame;

class PreparedPage {
 public:
  // What a page out of sight may cost before it is given up (and loaded as usual on the step):
  // redirects of its address, requests in all (pictures, scripts, frames...), bytes received,
  // and how long its web process may leave a question unanswered (a script that keeps the
  // processor busy). Its memory is not known to the engine's interface; the bytes stand for it.
  static constexpr int kMostRedirects = 5;
  static constexpr int kMostRequests = 300;
  static constexpr long long kMostBytes = 24LL << 20;
  static constexpr gint64 kLongestSilence = 5 * G_USEC_PER_SEC;

  // Starts loading `uri` in a view of its own web process that shares the web context (network
  // session, cache, cookies) and settings of `shown`, and runs the scripts of `content`, whose
  // reference this takes. The view is held out of sight in `frame`, laid out at the size of the
  // page shown but never mapped, so its page sees itself hidden, nothing of it is drawn, it takes
  // no input and assistive technologies do not see it; it is muted. The first time the page wants
  // the user (a dialog, a new window, a download, a password, a permission, a certificate error),
  // starts a navigation of its own (a form sent, a script's or a refresh's new address, more than
  // a few redirects), goes beyond a budget (requests, bytes, a busy processor) or fails to load,
  // it is spoiled: what it asked for is refused, and `on_spoiled` runs from the main loop, where
  // the owner may destroy this.
  PreparedPage(WebKitWebView* shown, PageFrame* frame, WebKitUserContentManager* content,
               std::string uri, std::function<void()> on_spoiled);
  ~PreparedPage();
  PreparedPage(const PreparedPage&) = delete;
  PreparedPage& operator=(const PreparedPage&) = delete;

  // How far the page has come. It is shown on a step from Loading on: a step while it still
  // loads shows it as it goes on loading.
  enum class State {
    Loading,    // asked for; nothing has come yet
    Committed,  // its document has come and is being shown in the view
    Settling,   // the engine has finished loading it, but may not yet have told all it learnt
    Ready,      // loaded, and the engine has told all
    Spoiled,    // it wanted the user, failed or went beyond a budget: never to be shown
  };

  // The address asked for (before any redirect).
  const std::string& uri() const { return uri_; }
  State state() const { return state_; }
  // How long the page may be shown as it is once loaded (from its response's headers).
  std::chrono::seconds lifetime() const { return lifetime_; }
  // Monotonic time (g_get_monotonic_time) at which the engine finished loading it; 0 before.
  gint64 loaded_at() const { return loaded_at_; }
  // Loads `uri` in the same view and web process, under the same rules, with the budgets counted
  // afresh: for pages loaded out of sight one after another (a check of a job). Not for a page
  // that is spoiled.
  void LoadAnother(std::string uri);
  // Whether the page is drawn once loaded, ready for its first paint (yes unless told): a page
  // that is only read and never shown need not be.
  void set_draw_ahead(bool draw) { draw_ahead_ = draw; }
  // The view, still under the rules above (a script of the owner's may read its page).
  WebKitWebView* view() const { return view_; }
  // The view's scripts; they report to this until Release.
  WebKitUserContentManager* content() const { return content_; }
  // Hands the view over to be shown, with sound, and nothing of this left connected to it; the
  // caller owns the reference, and the view stays in the frame, out of sight until the caller
  // shows it. Only once.
  WebKitWebView* Release();

  // Whether `view` is a prepared page's, still hidden; if so the page is spoiled. For what the
  // engine reports to the whole process, such as a download about to start.
  static bool RefuseFor(WebKitWebView* view);

 private:
  static gboolean OnDecidePolicy(WebKitWebView* view, void* decision, int type, gpointer self);
  void Spoil();
  void Disconnect();
  void DrawAhead();
  void OnLoadChanged(int event);
  // Whether the page's navigation may go on out of sight; if not, the page is spoiled.
  bool MayNavigate(void* action);
  void CountRequest(void* resource);
  void CountBytes(long long bytes);
  void WatchProcessor();

  WebKitWebView* view_ = nullptr;
  PageFrame* frame_ = nullptr;
  WebKitUserContentManager* content_ = nullptr;
  std::string uri_;
  std::function<void()> on_spoiled_;
  State state_ = State::Loading;
  std::chrono::seconds lifetime_{0};
  gint64 loaded_at_ = 0;
  bool draw_ahead_ = true;
  GCancellable* drawing_ = nullptr;  // the picture that readies the first paint, while asked for
  bool destroyed_ = false;           // the view's widget was destroyed with the window
  unsigned idle_ = 0;                // the main-loop source that reports the spoiling
  // What the page has cost so far.
  int navigations_ = 0;  // of the main frame, the first included
  int redirects_ = 0;
  int requests_ = 0;
  long long bytes_ = 0;
  unsigned watch_ = 0;              // the timer that asks the page's process whether it answers
  GCancellable* asking_ = nullptr;  // a question to the page's process, while unanswered
  gint64 asked_at_ = 0;
};

}  // namespace tarvik
