#include "app/frm_main.h"

#include <gdkmm/monitor.h>
#include <gtkmm/stylecontext.h>

#include "app/window_host.h"
#include "browse/recent_history.h"
#include "platform/builtin_images.h"
#include "platform/settings_keys.h"
#include "platform/style_sheet.h"

namespace tarvik {

namespace {

// A compact look close to the designed one: the designed controls are small, and the theme's
// default padding would not fit them into their places.
constexpr const char* kCss = R"css(
window.tarvik-main, window.tarvik-main * { font-family: "IPAPGothic", sans-serif; font-size: 9pt; }
.tarvik-main entry { min-height: 0; padding: 0 4px; }
.tarvik-main button.tarvik-picture { min-height: 0; min-width: 0; padding: 0; }
.tarvik-main combobox button { min-height: 0; padding: 0 4px; }
.tarvik-main toolbar { padding: 0; background: transparent; border: none; }
.tarvik-main toolbar toolbutton button { padding: 0 2px; min-width: 0; }
.tarvik-main .tarvik-status { border-top: 1px solid alpha(black, 0.15); }
.tarvik-main .tarvik-status frame > border { border-style: inset; }
.tarvik-main .tarvik-status label { padding: 0 3px; }
)css";

}  // namespace

frmMain::frmMain(WindowHost& host, std::unique_ptr<BrowserControl> browser, bool new_window,
                 bool start_page_requested)
    : host_(host),
      browser_(std::move(browser)),
      new_window_(new_window),
      start_page_requested_(start_page_requested) {
  InstallStyleSheet(kCss);
  get_style_context()->add_class("tarvik-main");
  set_title("Tarvik");
  set_icon_list(builtin::WindowIconList());

  // Twips per pixel are needed to build the designed window; start-up reads them again.
  auto screen = Gdk::Screen::get_default();
  tx_ = ty_ = TwipsPerPixel(screen ? screen->get_resolution() : 96);

  BuildControls();
  BuildMenus();
  WireCommands();
  ConnectBrowserEvents();
  browser_->set_host(this);

  int menu_min = 0, menu_nat = 0;
  menubar_.get_preferred_height(menu_min, menu_nat);
  int w = ToPixels(design::kClientWidth, tx_);
  int h = ToPixels(design::kClientHeight, ty_) + menu_nat;
  set_default_size(w, h);
  last_width_px_ = w;
  last_height_px_ = h;
}

frmMain::~frmMain() { browser_->set_host(nullptr); }

// ---- Building the designed window ------------------------------------------------------------

void frmMain::Place(Gtk::Widget& w, float left, float top, float width, float height) {
  geometry_[&w] = {left, top, width, height};
  w.set_size_request(ToPixels(width, tx_), ToPixels(height, ty_));
  if (auto* fixed = dynamic_cast<Gtk::Fixed*>(w.get_parent()))
    fixed->move(w, ToPixels(left, tx_), ToPixels(top, ty_));
  else if (auto* layout = dynamic_cast<Gtk::Layout*>(w.get_parent()))
    layout->move(w, ToPixels(left, tx_), ToPixels(top, ty_));
}

const design::Rect& frmMain::Geometry(Gtk::Widget& w) const {
  static const design::Rect kNone{0, 0, 0, 0};
  auto it = geometry_.find(&w);
  return it == geometry_.end() ? kNone : it->second;
}

void frmMain::SetWidth(Gtk::Widget& w, float width) {
  Place(w, control_left(w), control_top(w), width, control_height(w));
}

void frmMain::SetLeft(Gtk::Widget& w, float left) {
  Place(w, left, control_top(w), control_width(w), control_height(w));
}

namespace {

void PictureButton(Gtk::Button& b, const Glib::RefPtr<Gdk::Pixbuf>& picture, const char* tip) {
  auto* image = Gtk::manage(new Gtk::Image(picture));
  b.set_image(*image);
  b.set_always_show_image(true);
  b.set_tooltip_text(tip);
  b.set_focus_on_click(false);
  b.get_style_context()->add_class("tarvik-picture");
}

}  // namespace

void frmMain::BuildControls() {
  add(vbox_);
  vbox_.pack_start(menubar_, Gtk::PACK_SHRINK);
  vbox_.pack_start(client_, Gtk::PACK_EXPAND_WIDGET);
  stbStat_.Build(tx_, ty_);
  vbox_.pack_end(stbStat_, Gtk::PACK_SHRINK);

  // The address bar, picBack(4).
  picBack_[4].put(txtURL_, 0, 0);
  Place(txtURL_, design::kURL);
  txtURL_.set_tooltip_text("URL入力欄");
  picBack_[4].put(cmdMove_, 0, 0);
  Place(cmdMove_, design::kMove);
  PictureButton(cmdMove_, builtin::DirButtonImage(1), "入力したURLに移動");
  picBack_[4].put(cmdOpFav_, 0, 0);
  Place(cmdOpFav_, design::kOpenFav);
  PictureButton(cmdOpFav_, builtin::DirButtonImage(2), "お気に入りを開く");
  picBack_[4].put(cmdSvFav_, 0, 0);
  Place(cmdSvFav_, design::kSaveFav);
  PictureButton(cmdSvFav_, builtin::DirButtonImage(3), "お気に入りに追加");

  // The job bar, picBack(3).
  picBack_[3].put(cboJob_, 0, 0);
  Place(cboJob_, design::kJob);
  cboJob_.set_tooltip_text("ジョブの選択");
  cboJob_.set_sensitive(false);
  for (int i = 0; i < 5; ++i) {
    picBack_[3].put(cmdNav_[i], 0, 0);
    Place(cmdNav_[i], design::kNav[i]);
    PictureButton(cmdNav_[i], builtin::NavButtonImage(i), kJobStepTips[i]);
  }
  picBack_[3].put(txtJob_, 0, 0);
  Place(txtJob_, design::kJobTitle);
  txtJob_.set_tooltip_text("タイトル [URL]");
  txtJob_.set_editable(false);

  // Band 4's picture holds both bars in the same place.
  picBack_[2].put(picBack_[3], 0, 0);
  Place(picBack_[3], design::kBackJob);
  picBack_[2].put(picBack_[4], 0, 0);
  Place(picBack_[4], design::kBackAddress);
  Place(picBack_[2], design::kBackBar);

  // The mode picture, picBack(1).
  picModeImage_.show();
  picMode_.add(picModeImage_);
  picBack_[1].put(picMode_, 0, 0);
  Place(picMode_, design::kMode);
  Place(picBack_[1], design::kBackMode);
  imlMethod_.add(builtin::ModeImage(1));
  imlMethod_.add(builtin::ModeImage(2));

  // The pockets, picBack(0).
  imlPocket_.add(builtin::PocketImage(false), "Empty");
  imlPocket_.add(builtin::PocketImage(true), "Full");
  for (int i = 0; i < 3; ++i) {
    picPocket_[i].add(picPocketImage_[i]);
    picBack_[0].put(picPocket_[i], 0, 0);
    Place(picPocket_[i], design::kPocket[i]);
    picPocket_[i].signal_realize().connect([this, i] {
      if (auto win = picPocket_[i].get_window()) win->set_cursor(builtin::PocketCursor(get_display()));
    });
  }
  Place(picBack_[0], design::kBackPockets);

  // The toolbar.
  for (int i = 1; i <= 5; ++i) imlToolbar_.add(builtin::ToolbarImage(i));
  static const char* const kCaptions[6] = {"中止(_B)", "更新(_R)", "_Home", "", "戻る", "進む"};
  static const int kImage[6] = {1, 2, 3, 0, 4, 5};
  for (int i = 0; i < 6; ++i) {
    if (i == 3) {
      tool_spacer_ = std::make_unique<Gtk::SeparatorToolItem>();
      tool_spacer_->set_draw(false);
      tool_spacer_->set_homogeneous(false);
      tool_spacer_->set_size_request(8, -1);
      tlbTool_.append(*tool_spacer_);
      continue;
    }
    auto* image = Gtk::manage(new Gtk::Image(imlToolbar_.get(kImage[i])));
    tool_buttons_[i] = std::make_unique<Gtk::ToolButton>(*image, kCaptions[i]);
    tool_buttons_[i]->set_use_underline(true);
    tool_buttons_[i]->set_is_important(true);
    tool_buttons_[i]->set_homogeneous(false);
    tlbTool_.append(*tool_buttons_[i]);
  }
  tlbTool_.set_toolbar_style(Gtk::TOOLBAR_BOTH);
  tlbTool_.set_show_arrow(false);
  tlbTool_.set_icon_size(Gtk::ICON_SIZE_DND);
  Place(tlbTool_, design::kToolbar);

  BuildCoolBar();

  // The hidden work surface for loading skin pictures, outside the visible client area.
  client_.put(picSkin_, 0, 0);
  Place(picSkin_, design::kSkin);

  // The browser area, below the cool bar even where the theme makes the bar a little taller
  // than designed.
  client_.put(wbwMain(), 0, 0);
  float browser_top = std::max(design::kBrowser.top,
                               static_cast<float>(clbComm_.bar_height() * ty_) + 3 * ty_);
  Place(wbwMain(), design::kBrowser.left, browser_top, design::kBrowser.width,
        design::kBrowser.height - (browser_top - design::kBrowser.top));

  vbox_.show_all();
  picSkin_.hide();
  picBack_[4].hide();  // job mode until start-up says otherwise
}

void frmMain::BuildCoolBar() {
  client_.put(clbComm_, 0, 0);
  Gtk::Widget* children[4] = {&tlbTool_, &picBack_[0], &picBack_[1], &picBack_[2]};
  for (int b = 0; b < 4; ++b) {
    const design::Band& d = design::kBands[b];
    CoolBand band;
    band.caption = d.caption;
    band.min_width = ToPixels(d.min_width, tx_);
    band.min_height = ToPixels(d.min_height, ty_);
    band.width = ToPixels(d.width, tx_);
    band.new_row = d.new_row;
    band.use_bar_picture = d.use_bar_picture;
    int index = clbComm_.add_band(*children[b], band);
    // The designed widths are those of the band's child; the gripper and caption come on top.
    int frame = clbComm_.band_frame_width(index);
    clbComm_.set_band_min_width(index, band.min_width + frame);
    clbComm_.set_band_width(index, band.width + frame);
  }
  Place(clbComm_, design::kCoolBar);
  // The bar sizes its own height to its rows.
  clbComm_.set_size_request(ToPixels(design::kCoolBar.width, tx_), -1);

  clbComm_.signal_height_changed().connect(sigc::mem_fun(*this, &frmMain::OnCoolBarHeightChanged));
  clbComm_.signal_band_change().connect(sigc::mem_fun(*this, &frmMain::OnCoolBarBandChange));
}

void frmMain::ShowModePicture(int mode) { picModeImage_.set(imlMethod_.get(mode)); }

void frmMain::ShowModeBar(int mode) {
  if (mode == 1) {
    picBack_[3].show();
    picBack_[4].hide();
  } else {
    picBack_[4].show();
    picBack_[3].hide();
  }
}

void frmMain::ToggleMode() {
  mode_ = mode_ == 1 ? 2 : 1;
  ShowModeBar(mode_);
  ShowModePicture(mode_);
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
  return Gtk::Window::on_window_state_event(event);
}

void frmMain::OnWindowResized() {
  WindowState state{window_width(), window_height(), minimized_, in_code_resize_};
  if (auto layout = ResizeRule(snapshot_, state, tx_, ty_)) ApplyResizeLayout(*layout);
}

void frmMain::ApplyResizeLayout(const ResizeLayout& l) {
  Gtk::Widget& b = wbwMain();
  Place(b, control_left(b), control_top(b), l.browser_width, l.browser_height);
  SetWidth(clbComm_, l.coolbar_width);
  clbComm_.set_size_request(ToPixels(l.coolbar_width, tx_), -1);
  clbComm_.set_band_width(3, ToPixels(l.band4_width, tx_));
  clbComm_.set_band_min_width(3, ToPixels(l.band4_width, tx_));
  // The band pictures take band 4's width as the bar lays it out.
  float band4 = static_cast<float>(std::max(clbComm_.band_width(3), ToPixels(l.band4_width, tx_)) * tx_);
  for (int i = 2; i <= 4; ++i) SetWidth(picBack_[i], band4);
  SetWidth(txtJob_, l.job_width);
  SetWidth(txtURL_, l.url_width);
  SetLeft(cmdMove_, l.move_left);
  SetLeft(cmdOpFav_, l.open_fav_left);
  SetLeft(cmdSvFav_, l.save_fav_left);
}

void frmMain::OnCoolBarHeightChanged(int height_px) {
  CoolBarHeightChange c = CoolBarHeightRule(snapshot_, static_cast<float>(height_px * ty_),
                                            browser_->ToolBar() != 0, window_height());
  Gtk::Widget& b = wbwMain();
  float height = c.browser_height.value_or(control_height(b));
  Place(b, control_left(b), c.browser_top, control_width(b), height);
  snapshot_ = c.snapshot;
  if (c.window_height) {
    ResizeWindowInCode(window_width(), *c.window_height);
    in_code_resize_ = false;
  }
}

void frmMain::OnCoolBarBandChange() {
  float band4 = static_cast<float>(clbComm_.band_width(3) * tx_);
  if (auto change = BandChangeRule(snapshot_, band4)) {
    SetWidth(txtJob_, change->job_width);
    SetWidth(txtURL_, change->url_width);
  }
}

// ---- Closing -----------------------------------------------------------------------------------

std::vector<SettingWrite> frmMain::PlacementSaves() const {
  std::vector<SettingWrite> writes;
  if (!maximized_ && !minimized_) {
    int x = 0, y = 0;
    const_cast<frmMain*>(this)->get_position(x, y);
    writes.push_back(WriteOf(setting::kWindowWidth, SingleText(window_width())));
    writes.push_back(WriteOf(setting::kWindowHeight, SingleText(window_height())));
    writes.push_back(WriteOf(setting::kWindowLeft, SingleText(static_cast<float>(x * tx_))));
    writes.push_back(WriteOf(setting::kWindowTop, SingleText(static_cast<float>(y * ty_))));
  }
  writes.push_back(WriteOf(setting::kMaximized, BooleanText(maximized_)));
  writes.push_back(WriteOf(setting::kMode, std::to_string(mode_)));
  // Every change of the history was written when it happened, and another Tarvik may have
  // changed it since: only slots the store lacks are written, so its newer pages stay.
  for (const SettingWrite& w : RecentHistory::Shared().AllWrites())
    if (!UserSettings().Find(w.section, w.key)) writes.push_back(w);
  return writes;
}

void frmMain::CloseWindow() {
  if (closed_) return;
  // One write for the close request and the unload: the unload's values are the same ones.
  UserSettings().SaveAll(PlacementSaves());
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
