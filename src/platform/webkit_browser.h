// The browser control over a WebKitGTK web view. This adapter is the only code that includes
// the WebKit headers.
#pragma once

#include "platform/browser_control.h"

#include <gtkmm/box.h>

#include <functional>
#include <optional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitJavascriptResult WebKitJavascriptResult;

namespace tarvik {

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

  WebKitWebView* view() const { return view_; }

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

  Gtk::Box frame_;
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
};

}  // namespace tarvik
