// The browser control over a WebKitGTK web view. This adapter is the only code that includes
// the WebKit headers.
#pragma once

#include "platform/browser_control.h"

#include <gtkmm/overlay.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitJavascriptResult WebKitJavascriptResult;

namespace tarvik {

class PreparedPage;

// Turns a typed or stored address into the URI the engine loads (browse/address_fixup.h gives
// Tarvik's rule; the program hands it in).
using AddressFixUp = std::function<std::string(const std::string&)>;

class WebKitBrowser : public BrowserControl {
 public:
  // `related` is the browser whose page asked for this one, or nullptr. Every address asked for
  // goes through `fix_up` first; without one it is loaded as it is.
  explicit WebKitBrowser(WebKitBrowser* related = nullptr, AddressFixUp fix_up = {});
  ~WebKitBrowser() override;

  Gtk::Widget& widget() override { return frame_; }
  void set_host(BrowserHost* host) override { host_ = host; }

  void Navigate(const std::string& url) override;
  void Navigate2(const std::string& url) override;
  void GoBack() override;
  void GoForward() override;
  void Stop() override;
  void Refresh2() override;

  std::string LocationURL() const override;
  std::string LocationName() const override;
  int ToolBar() const override { return toolbar_; }
  bool HasFocus() const override;
  bool EditableHasFocus() const override;
  void CopySelectionIfAny(std::function<void(bool)> done) override;
  void CollectLinks(std::function<void(std::vector<PageLink>)> done) override;
  void Prepare(const std::string& url) override;
  void DropPrepared() override;
  void ResolveHostsAhead(const std::vector<std::string>& urls) override;

  // The view that shows the page; another one after a prepared page has been shown.
  WebKitWebView* view() const { return view_; }
  // The address of the page being prepared, "" for none.
  std::string PreparedURL() const;
  // The prepared page has started to show in its view: a step to it shows it.
  bool PreparedReady() const;
  // ... and has loaded in full: a step to it shows it as loaded.
  bool PreparedLoaded() const;

  static BrowserFactory Factory(AddressFixUp fix_up);

 private:
  static void OnLoadChanged(WebKitWebView*, int event, gpointer self);
  static void OnTitle(GObject*, GParamSpec*, gpointer self);
  static void OnProgress(GObject*, GParamSpec*, gpointer self);
  static void OnMouseTarget(WebKitWebView*, void* hit, guint modifiers, gpointer self);
  static GtkWidget* OnCreate(WebKitWebView*, void* action, gpointer self);
  static void OnReadyToShow(WebKitWebView*, gpointer self);
  static void OnClose(WebKitWebView*, gpointer self);
  static gboolean OnLoadFailed(WebKitWebView*, int event, const char* uri, GError* error,
                               gpointer self);
  static gboolean OnDecidePolicy(WebKitWebView*, void* decision, int type, gpointer self);
  static void OnOpenMessage(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer self);
  static void OnFocusMessage(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer self);

  void SetStatus(const std::string& text);
  void EmitRequestedSize();
  void ConnectView();
  void ConnectContent();
  // Puts `fresh` in the place of the view shown, which goes.
  void ReplaceView(WebKitWebView* fresh);
  void ShowPrepared();
  // Back (or forward) from the first (or last) page of the view's own history, to a page that
  // another view showed before a prepared page took its place.
  void CrossHistory(bool back);

  // The view shown, and over it, unmapped and so out of sight, the view of a prepared page.
  Gtk::Overlay frame_;
  WebKitWebView* view_ = nullptr;
  WebKitUserContentManager* content_ = nullptr;  // this view's own scripts
  BrowserHost* host_ = nullptr;
  AddressFixUp fix_up_;
  int toolbar_ = 1;
  std::string status_;
  bool loading_ = false;
  // The features of the window.open call the page is making, while it makes one.
  std::optional<std::string> open_features_;
  bool editable_focused_ = false;  // the page's focus is in a field the user types into
  std::unique_ptr<PreparedPage> prepared_;
  // The history of the window beyond the view's own: the addresses shown in views that were
  // replaced, before the view's first page (oldest first) and after its last (nearest last).
  std::vector<std::string> carried_back_;
  std::vector<std::string> carried_forward_;
  bool crossing_ = false;  // a load of CrossHistory, which keeps the pages ahead
};

}  // namespace tarvik
