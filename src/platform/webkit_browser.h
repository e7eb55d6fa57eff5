// The browser control over WebKitGTK web views. The adapter is this class's three files
// (webkit_browser.cpp; webkit_history.cpp, the history across the views kept for back and
// forward; webkit_prepared_page, the page made ready out of sight): they alone include the WebKit
// headers, and this header includes none of them.
#pragma once

#include "platform/browser_control.h"
#include "platform/downloads.h"
#include "platform/page_frame.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitJavascriptResult WebKitJavascriptResult;
typedef struct _WebKitBackForwardListItem WebKitBackForwardListItem;
typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitContextMenu WebKitContextMenu;
typedef struct _WebKitHitTestResult WebKitHitTestResult;
typedef struct _WebKitPermissionRequest WebKitPermissionRequest;
typedef union _GdkEvent GdkEvent;

namespace tarvik {

class PreparedPage;

// The engine's downloads (webkit_downloads.cpp): what the web context reports of them, and
// where each file goes.
void FollowDownloads(WebKitWebContext* context);
DownloadSource& EngineDownloads();

// Turns a typed or stored address into the URI the engine loads (browse/address_fixup.h gives
// Tarvik's rule; the program hands it in).
using AddressFixUp = std::function<std::string(const std::string&)>;

class WebKitBrowser : public BrowserControl {
 public:
  // `related` is the browser whose page asked for this one, or nullptr. Every address Navigate is
  // asked for goes through `fix_up` first (without one it is loaded as it is); Prepare is given
  // one fixed up already.
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
  void FocusPage() override;
  bool EditableHasFocus() const override;
  void CopySelectionIfAny(std::function<void(bool)> done) override;
  void CollectLinks(std::function<void(std::vector<PageLink>)> done) override;
  void Prepare(const std::string& uri) override;
  void DropPrepared() override;
  void ResolveHostsAhead(const std::vector<std::string>& urls) override;
  // A round's readings of the page shown (webkit_page_reading.cpp).
  void ReadShownResource(std::function<void(std::optional<ShownResource>)> done) override;
  void RunReadingScript(const std::string& script, std::function<void(std::string)> done) override;
  void HighlightBlocks(const std::vector<std::string>& blocks,
                       std::function<void(int)> done) override;
  DownloadSource* downloads() override { return &EngineDownloads(); }
  void SetSpellChecking(bool on, const std::vector<std::string>& languages) override;
  void Find(const std::string& text, FindStep step) override;
  void EndFind() override;
  void SetZoom(double level) override;
  double Zoom() const override;
  void set_zoom_source(std::function<double(const std::string&)> level_of) override {
    zoom_source_ = std::move(level_of);
  }
  void Print() override;
  void PrintToFile(const std::string& pdf_path, std::function<void(bool)> done) override;
  void SavePage(const std::string& path, bool single_file, std::function<void(bool)> done) override;

  // The view that shows the page; another one after a prepared page has been shown.
  WebKitWebView* view() const { return view_; }
  // The address of the page being prepared, "" for none.
  std::string PreparedURL() const;
  // A step to the prepared page shows it: it is loading or loaded, and still fresh.
  bool PreparedReady() const;
  // ... and it has loaded in full: a step to it shows it as loaded.
  bool PreparedLoaded() const;
  // The zoom level of the page being prepared, 0 for none.
  double PreparedZoom() const;
  // How many views of pages the user left are kept for back (or forward).
  int KeptViews(bool back) const { return static_cast<int>((back ? behind_ : ahead_).size()); }

  // How many views of pages left are kept each way. Each holds its page as the user left it
  // (form input, scroll place), in a web process of its own, which costs about as much memory
  // as the prepared page (bench/step); further back, pages load again (from the cache where
  // their server allows).
  static constexpr size_t kKeptViews = 1;

  static BrowserFactory Factory(AddressFixUp fix_up);

 private:
  // A view out of sight with a page the user left, its scripts, and for a view left for a newer
  // one, the history item the user left it at: its own history ahead of that item is gone.
  struct KeptView {
    WebKitWebView* view = nullptr;
    WebKitUserContentManager* content = nullptr;
    WebKitBackForwardListItem* left_at = nullptr;  // a reference, or nullptr
  };

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
  static void OnSelectionLinksMessage(WebKitUserContentManager*, WebKitJavascriptResult*,
                                      gpointer self);
  static void OnBlockedMessage(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer self);
  // The page's menu and a page's questions for leave (webkit_page_menu.cpp).
  static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*,
                                WebKitHitTestResult* hit, gpointer self);
  static gboolean OnPermissionRequest(WebKitWebView*, WebKitPermissionRequest* request,
                                      gpointer self);

  static WebKitUserContentManager* NewContentManager();
  // The bytes of the main resource of the page `view` shows, as the server sent them; nothing
  // when it has none or they cannot be read (webkit_page_reading.cpp).
  static void ReadMainResource(WebKitWebView* view,
                               std::function<void(std::optional<std::string>)> done);
  // The style of the places a round marks as new (webkit_page_reading.cpp).
  static void AddRoundStyle(WebKitUserContentManager* content);
  // The history's part of a load of the page shown: a new page ends the way forward.
  void FollowHistory(int event);
  void SetStatus(const std::string& text);
  void EmitRequestedSize();
  void ConnectView();
  // The find, zoom-wheel and mouse-button handlers of the view shown (webkit_page_tools.cpp).
  void ConnectTools();
  void DisconnectTools(WebKitWebView* view);
  // Gives `view` the zoom level of the page at `uri`.
  void ZoomFor(WebKitWebView* view, const std::string& uri);
  // A middle click on a link opens it in a new window: true when `decision` was one (and has
  // been answered).
  bool OpenMiddleClick(void* decision);
  void ConnectContent();
  // What the window hears of a load of the page shown, at each of its stages; the one place the
  // load events come from, whether the engine loaded the page or a view was put in its place.
  // `from_engine`: the engine is loading the page, rather than a view having been put in place.
  void Report(int event, bool from_engine);
  // How far the page of a view put in place had come.
  enum class Came { Asked, Committed, Loaded };
  // The load events of a view put in place, through Report, as far as its page has come; the
  // engine tells the rest of a page still loading.
  void ReportPlaced(Came came);
  // Puts `fresh` (with its scripts `content`) in the place of the view shown, which is kept out
  // of sight at the end of `keep` (nearest last), or goes when `keep` is null. The caller then
  // tells the window of the page (ReportPlaced).
  void ShowView(WebKitWebView* fresh, WebKitUserContentManager* content,
                std::vector<KeptView>* keep);
  void ShowPrepared();
  // Back (or forward) to the nearest view kept that way.
  void ShowKept(bool back);
  // Back (or forward) from the first (or last) page of the view's own history, to a page that
  // another view showed and that is no longer kept: it loads again.
  void CrossHistory(bool back);
  // Keeps at most kKeptViews each way; the views beyond leave their addresses in the history.
  void TrimKept();
  void Release(KeptView& kept);
  // A new page in the window: the pages ahead of it go.
  void EndForwardHistory();
  // Whether the user is at the history item where the view was left for a newer one.
  bool AtLeftItem() const;
  // Every few seconds: the page made ready is made ready again when it has grown old.
  void KeepPreparedFresh();

  // The view shown and, out of sight beside it, the views of the prepared page and of the pages
  // kept for back and forward.
  PageFrame frame_;
  WebKitWebView* view_ = nullptr;
  WebKitUserContentManager* content_ = nullptr;  // this view's own scripts
  BrowserHost* host_ = nullptr;
  AddressFixUp fix_up_;
  std::function<double(const std::string&)> zoom_source_;
  int toolbar_ = 1;
  std::string status_;
  bool loading_ = false;
  // The features of the window.open call the page is making, while it makes one.
  std::optional<std::string> open_features_;
  bool editable_focused_ = false;     // the page's focus is in a field the user types into
  bool selection_has_links_ = false;  // as the page's menu was last asked for
  std::unique_ptr<PreparedPage> prepared_;
  unsigned freshness_ = 0;  // the timer of KeepPreparedFresh
  gint64 shown_since_ = 0;  // when the page shown came (monotonic)
  // The views kept with pages the user left, nearest last.
  std::vector<KeptView> behind_;
  std::vector<KeptView> ahead_;
  WebKitBackForwardListItem* left_at_ = nullptr;  // of the view shown, as in KeptView
  // The history of the window beyond the views kept: the addresses of pages in views that went,
  // before the first kept (oldest first) and after the last (nearest last).
  std::vector<std::string> carried_back_;
  std::vector<std::string> carried_forward_;
  bool crossing_ = false;  // a load of CrossHistory, which keeps the pages ahead
  // The items of the view's history when its last load started (references), to tell a new page
  // from a step through the history when the load commits.
  std::vector<WebKitBackForwardListItem*> history_before_;
  // Held while the control lives: the answers of readings that come after it went are dropped.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace tarvik
