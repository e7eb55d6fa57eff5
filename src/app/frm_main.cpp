#include "app/frm_main.h"

#include <gdkmm/monitor.h>
#include <gtkmm/stylecontext.h>

#include "app/window_host.h"
#include "app/window_placement.h"
#include "app/window_system.h"
#include "browse/recent_history.h"
#include "platform/builtin_images.h"
#include "platform/style_sheet.h"

namespace tarvik {

frmMain::frmMain(WindowHost& host, std::unique_ptr<BrowserControl> browser, bool new_window,
                 bool start_page_requested)
    : host_(host),
      browser_(std::move(browser)),
      new_window_(new_window),
      start_page_requested_(start_page_requested) {
  InstallStyleSheet(design::kMainWindowCss);
  get_style_context()->add_class("tarvik-main");
  set_title("Tarvik");
  set_icon_list(builtin::WindowIconList());

  // Twips per pixel are needed to build the designed window; start-up reads them again.
  tx_ = ty_ = TwipsPerPixel(kLogicalPixelsPerInch);
  layout_.SetTwipsPerPixel(tx_, ty_);

  BuildControls();
  BuildPageTools();
  actions_.BuildMenus(menubar_);
  WireCommands();
  ConnectBrowserEvents();
  browser_->set_host(this);
  signal_hide().connect(sigc::mem_fun(step_ahead_, &MainStepAhead::Drop));

  int menu_min = 0, menu_nat = 0;
  menubar_.get_preferred_height(menu_min, menu_nat);
  int w = ToPixels(design::kClientWidth, tx_);
  int h = ToPixels(design::kClientHeight, ty_) + menu_nat;
  set_default_size(w, h);
  last_width_px_ = w;
  last_height_px_ = h;
}

frmMain::~frmMain() {
  fill_pending_.disconnect();
  browser_->set_host(nullptr);
}

// ---- Building the designed window ------------------------------------------------------------

void frmMain::BuildControls() {
  add(vbox_);
  vbox_.pack_start(menubar_, Gtk::PACK_SHRINK);
  vbox_.pack_start(client_, Gtk::PACK_EXPAND_WIDGET);
  stbStat_.Build(tx_, ty_);
  vbox_.pack_end(stbStat_, Gtk::PACK_SHRINK);
  // A page's question, above the status bar while it is open.
  vbox_.pack_end(page_extras_.permission_bar(), Gtk::PACK_SHRINK);

  client_.put(clbComm_, 0, 0);
  clbComm_.Build(layout_, tx_, ty_);
  clbComm_.signal_height_changed().connect(sigc::mem_fun(*this, &frmMain::OnCoolBarHeightChanged));
  clbComm_.signal_band_change().connect(sigc::mem_fun(*this, &frmMain::OnCoolBarBandChange));

  // The hidden work surface for loading skin pictures, outside the visible client area.
  client_.put(picSkin_, 0, 0);
  layout_.Place(picSkin_, design::kSkin);

  // The browser area, below the cool bar even where the theme makes the bar a little taller
  // than designed.
  client_.put(wbwMain(), 0, 0);
  float browser_top =
      std::max(design::kBrowser.top, static_cast<float>(clbComm_.bar_height() * ty_) + 3 * ty_);
  layout_.Place(wbwMain(), design::kBrowser.left, browser_top, design::kBrowser.width,
                design::kBrowser.height - (browser_top - design::kBrowser.top));

  vbox_.show_all();
  picSkin_.hide();
  clbComm_.picBack(4).hide();  // job mode until start-up says otherwise
}

void frmMain::ToggleMode() {
  mode_ = OtherMode(mode_);
  clbComm_.ShowModeBar(mode_);
  clbComm_.ShowModePicture(mode_);
}

// ---- Layout ------------------------------------------------------------------------------------

void frmMain::ResizeWindowInCode(float width, float height) {
  in_code_resize_ = true;
  last_width_px_ = static_cast<float>(std::max(1, ToPixels(width, tx_)));
  last_height_px_ = static_cast<float>(std::max(1, ToPixels(height, ty_)));
  resize(static_cast<int>(last_width_px_), static_cast<int>(last_height_px_));
}

bool frmMain::on_configure_event(GdkEventConfigure* event) {
  bool r = Gtk::Window::on_configure_event(event);
  int w = 0, h = 0;
  get_size(w, h);
  if (w != static_cast<int>(last_width_px_) || h != static_cast<int>(last_height_px_)) {
    last_width_px_ = static_cast<float>(w);
    last_height_px_ = static_cast<float>(h);
    // A size the window system reports is never the window's own in-code change.
    in_code_resize_ = false;
    OnWindowResized();
  }
  return r;
}

bool frmMain::on_window_state_event(GdkEventWindowState* event) {
  maximized_ = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  minimized_ = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  const bool full = (event->new_window_state & GDK_WINDOW_STATE_FULLSCREEN) != 0;
  if (full != full_screen_) ShowFullScreen(full);
  return Gtk::Window::on_window_state_event(event);
}

void frmMain::OnWindowResized() {
  WindowState state{window_width(), window_height(), minimized_, in_code_resize_};
  if (auto layout = ResizeRule(snapshot_, state, tx_, ty_)) ApplyResizeLayout(*layout);
}

void frmMain::ApplyResizeLayout(const ResizeLayout& l) {
  Gtk::Widget& b = wbwMain();
  layout_.Place(b, control_left(b), control_top(b), l.browser_width, l.browser_height);
  clbComm_.ApplyResize(l);
}

void frmMain::OnCoolBarHeightChanged(int height_px) {
  if (full_screen_) return;  // the bands are hidden; the page fills the screen
  CoolBarHeightChange c = CoolBarHeightRule(snapshot_, static_cast<float>(height_px * ty_),
                                            browser_->ToolBar() != 0, window_height());
  Gtk::Widget& b = wbwMain();
  float height = c.browser_height.value_or(control_height(b));
  layout_.Place(b, control_left(b), c.browser_top, control_width(b), height);
  snapshot_ = c.snapshot;
  if (c.window_height) {
    ResizeWindowInCode(window_width(), *c.window_height);
    in_code_resize_ = false;
  }
}

void frmMain::OnCoolBarBandChange() {
  float band4 = static_cast<float>(clbComm_.band_width(3) * tx_);
  if (auto change = BandChangeRule(snapshot_, band4))
    clbComm_.SetTextWidths(change->job_width, change->url_width);
}

// ---- Closing -----------------------------------------------------------------------------------

ClosingPlacement frmMain::PlacementNow() {
  int x = 0, y = 0;
  get_position(x, y);
  return ClosingPlacement{window_width(),
                          window_height(),
                          static_cast<float>(x * tx_),
                          static_cast<float>(y * ty_),
                          maximized_,
                          minimized_,
                          mode_,
                          ReportsWindowPosition(get_display())};
}

void frmMain::CloseWindow() {
  if (closed_) return;
  ClosingPlacement now = PlacementNow();
  // Full screen is not a placement: the window is stored as it was before.
  if (full_screen_ && before_full_screen_) {
    now = *before_full_screen_;
    now.mode = mode_;
  }
  // One write for the close request and the unload: the unload's values are the same ones.
  UserSettings().SaveAll(ClosingWrites(now, RecentHistory::Shared(), UserSettings()));
  closed_ = true;
  stbStat_.StopClock();
  hide();
  host_.WindowClosed(*this);
}

bool frmMain::on_delete_event(GdkEventAny*) {
  CloseWindow();
  return true;  // the window is released by the application, not destroyed by GTK
}

}  // namespace tarvik
