#include "app/frm_main.h"

#include <glibmm/datetime.h>
#include <glibmm/main.h>
#include <gdkmm/monitor.h>
#include <gtkmm/stylecontext.h>

#include <cmath>

#include "app/app.h"
#include "app/command_line.h"
#include "app/main_window_design.h"
#include "browse/recent_history.h"
#include "skins/skin_state.h"
#include "platform/builtin_images.h"
#include "platform/style_sheet.h"

namespace tarvik {

namespace {

constexpr const char* kWindow = "Window";
constexpr const char* kSetting = "Setting";

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

frmMain::frmMain(TarvikApp& app, std::unique_ptr<BrowserControl> browser, bool new_window,
                 bool start_page_requested)
    : app_(app),
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
  WireBrowsingCommands();
  WireJobCommands();
  ConnectBrowserEvents();
  browser_->set_host(this);

  int menu_min = 0, menu_nat = 0;
  menubar_.get_preferred_height(menu_min, menu_nat);
  int w = ToPixels(design::kClientWidth, tx_);
  int h = ToPixels(design::kClientHeight, ty_) + menu_nat;
  set_default_size(w, h);
  last_width_px_ = w;
  last_height_px_ = h;

  clock_ = Glib::signal_timeout().connect_seconds(
      [this] {
        UpdateClock();
        return true;
      },
      1);
  UpdateClock();
}

frmMain::~frmMain() {
  clock_.disconnect();
  browser_->set_host(nullptr);
}

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

float frmMain::control_left(Gtk::Widget& w) const { return Geometry(w).left; }
float frmMain::control_top(Gtk::Widget& w) const { return Geometry(w).top; }
float frmMain::control_width(Gtk::Widget& w) const { return Geometry(w).width; }
float frmMain::control_height(Gtk::Widget& w) const { return Geometry(w).height; }

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
  BuildStatusBar();
  vbox_.pack_end(stbStat_, Gtk::PACK_SHRINK);

  // The address bar, picBack(4).
  picBack_[4].put(txtURL_, 0, 0);
  Place(txtURL_, design::kURL.left, design::kURL.top, design::kURL.width, design::kURL.height);
  txtURL_.set_tooltip_text("URL入力欄");
  picBack_[4].put(cmdMove_, 0, 0);
  Place(cmdMove_, design::kMove.left, design::kMove.top, design::kMove.width, design::kMove.height);
  PictureButton(cmdMove_, builtin::DirButtonImage(1), "入力したURLに移動");
  picBack_[4].put(cmdOpFav_, 0, 0);
  Place(cmdOpFav_, design::kOpenFav.left, design::kOpenFav.top, design::kOpenFav.width,
        design::kOpenFav.height);
  PictureButton(cmdOpFav_, builtin::DirButtonImage(2), "お気に入りを開く");
  picBack_[4].put(cmdSvFav_, 0, 0);
  Place(cmdSvFav_, design::kSaveFav.left, design::kSaveFav.top, design::kSaveFav.width,
        design::kSaveFav.height);
  PictureButton(cmdSvFav_, builtin::DirButtonImage(3), "お気に入りに追加");

  // The job bar, picBack(3).
  picBack_[3].put(cboJob_, 0, 0);
  Place(cboJob_, design::kJob.left, design::kJob.top, design::kJob.width, design::kJob.height);
  cboJob_.set_tooltip_text("ジョブの選択");
  cboJob_.set_sensitive(false);
  static const char* const kNavTips[5] = {"先頭へ", "一つ前", "次", "最後へ", "一覧から選択"};
  for (int i = 0; i < 5; ++i) {
    picBack_[3].put(cmdNav_[i], 0, 0);
    Place(cmdNav_[i], design::kNav[i].left, design::kNav[i].top, design::kNav[i].width,
          design::kNav[i].height);
    PictureButton(cmdNav_[i], builtin::NavButtonImage(i), kNavTips[i]);
  }
  picBack_[3].put(txtJob_, 0, 0);
  Place(txtJob_, design::kJobTitle.left, design::kJobTitle.top, design::kJobTitle.width,
        design::kJobTitle.height);
  txtJob_.set_tooltip_text("タイトル [URL]");
  txtJob_.set_editable(false);

  // Band 4's picture holds both bars in the same place.
  picBack_[2].put(picBack_[3], 0, 0);
  Place(picBack_[3], design::kBackJob.left, design::kBackJob.top, design::kBackJob.width,
        design::kBackJob.height);
  picBack_[2].put(picBack_[4], 0, 0);
  Place(picBack_[4], design::kBackAddress.left, design::kBackAddress.top,
        design::kBackAddress.width, design::kBackAddress.height);
  Place(picBack_[2], design::kBackBar.left, design::kBackBar.top, design::kBackBar.width,
        design::kBackBar.height);

  // The mode picture, picBack(1).
  picModeImage_.show();
  picMode_.add(picModeImage_);
  picBack_[1].put(picMode_, 0, 0);
  Place(picMode_, design::kMode.left, design::kMode.top, design::kMode.width, design::kMode.height);
  Place(picBack_[1], design::kBackMode.left, design::kBackMode.top, design::kBackMode.width,
        design::kBackMode.height);
  imlMethod_.add(builtin::ModeImage(1));
  imlMethod_.add(builtin::ModeImage(2));

  // The pockets, picBack(0).
  imlPocket_.add(builtin::PocketImage(false), "Empty");
  imlPocket_.add(builtin::PocketImage(true), "Full");
  for (int i = 0; i < 3; ++i) {
    picPocket_[i].add(picPocketImage_[i]);
    picBack_[0].put(picPocket_[i], 0, 0);
    Place(picPocket_[i], design::kPocket[i].left, design::kPocket[i].top, design::kPocket[i].width,
          design::kPocket[i].height);
    picPocket_[i].signal_realize().connect([this, i] {
      if (auto win = picPocket_[i].get_window()) win->set_cursor(builtin::PocketCursor(get_display()));
    });
  }
  Place(picBack_[0], design::kBackPockets.left, design::kBackPockets.top,
        design::kBackPockets.width, design::kBackPockets.height);

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
  Place(tlbTool_, design::kToolbar.left, design::kToolbar.top, design::kToolbar.width,
        design::kToolbar.height);

  BuildCoolBar();

  // The hidden work surface for loading skin pictures, outside the visible client area.
  client_.put(picSkin_, 0, 0);
  Place(picSkin_, design::kSkin.left, design::kSkin.top, design::kSkin.width, design::kSkin.height);

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
  Place(clbComm_, design::kCoolBar.left, design::kCoolBar.top, design::kCoolBar.width,
        design::kCoolBar.height);
  // The bar sizes its own height to its rows.
  clbComm_.set_size_request(ToPixels(design::kCoolBar.width, tx_), -1);

  clbComm_.signal_height_changed().connect(sigc::mem_fun(*this, &frmMain::OnCoolBarHeightChanged));
  clbComm_.signal_band_change().connect(sigc::mem_fun(*this, &frmMain::OnCoolBarBandChange));
  for (auto& back : picBack_)
    back.signal_size_allocate().connect([this](Gtk::Allocation&) { OnBandPictureResized(); });
}

void frmMain::BuildStatusBar() {
  stbStat_.get_style_context()->add_class("tarvik-status");
  panels_ = {&status_text_, nullptr, &status_date_, &status_time_};
  static const char* const kTips[4] = {"ブラウザの状況などが表示されます", "進捗グラフを表示します",
                                       "今日の日付", "現在の時刻"};
  for (int i = 0; i < 4; ++i) {
    Gtk::Frame& f = panel_frames_[i];
    f.set_shadow_type(Gtk::SHADOW_IN);
    f.set_tooltip_text(kTips[i]);
    if (i == 1) {
      f.add(picProg_);
    } else {
      panels_[i]->set_xalign(i == 0 ? 0.0f : 0.5f);
      panels_[i]->set_ellipsize(Pango::ELLIPSIZE_END);
      f.add(*panels_[i]);
    }
    // The text panel takes what the others leave, so the window can still be made narrow.
    f.set_size_request(i == 0 ? -1 : ToPixels(design::kPanelWidths[i], tx_),
                       ToPixels(design::kStatusBar.height, ty_));
    stbStat_.pack_start(f, i == 0 ? Gtk::PACK_EXPAND_WIDGET : Gtk::PACK_SHRINK);
  }
  status_text_.set_size_request(1, -1);  // the text panel gives way when the window narrows
}

void frmMain::UpdateClock() {
  Glib::DateTime now = Glib::DateTime::create_now_local();
  status_date_.set_text(now.format("%Y/%m/%d"));
  status_time_.set_text(now.format("%H:%M"));
}

Gtk::ToolButton& frmMain::tool_button(int index) { return *tool_buttons_.at(index - 1); }

// ---- Start-up ----------------------------------------------------------------------------------

void frmMain::Load() {
  RegisterAssociationsStep();                                         // 1
  const StartCommand command = ParseCommandLine(app_.command_line()); // 2
  auto screen = get_screen();                                         // 3
  tx_ = ty_ = TwipsPerPixel(screen ? screen->get_resolution() : 96);
  ResolveFavoritesFolderStep();                                       // 4
  RecordUpdateInfoStep();                                             // 5
  CaptureLayoutSnapshot();                                            // 6
  RestoreWindowPlacement();                                           // 7
  home_url_ = StoredHomeURL();                                        // 8
  mode_ = ToInt16(GetSetting(kSetting, "Mode", "1"), 1);              // 9
  if (mode_ != 1 && mode_ != 2) mode_ = 1;
  ShowModePicture(mode_);
  ApplySkinStep();                                                    // 10
  LoadHistoryStep();                                                  // 11
  LoadJobListStep();                                                  // 12
  AttachAutoCompletion();                                             // 13
  ShowPocketsEmpty();                                                 // 14
  ActOnCommandLine(command);                                          // 15
  ShowModeBar(mode_);                                                 // 16
}

std::string frmMain::StoredHomeURL() { return GetSetting(kSetting, "HomeURL", "about:blank"); }

void frmMain::ShowPocketsEmpty() {
  for (int i = 0; i < 3; ++i) picPocketImage_[i].set(imlPocket_.get("Empty"));
}

void frmMain::CaptureLayoutSnapshot() {
  snapshot_.W = window_width();
  snapshot_.H = window_height();
  snapshot_.BW = control_width(wbwMain());
  snapshot_.BH = control_height(wbwMain());
  snapshot_.BT = control_top(wbwMain());
  snapshot_.CW = control_width(clbComm_);
  snapshot_.CH = static_cast<float>(clbComm_.bar_height() * ty_);
  snapshot_.B4 = static_cast<float>(clbComm_.band_width(3) * tx_);
  snapshot_.JW = control_width(txtJob_);
  snapshot_.UW = control_width(txtURL_);
  snapshot_.GL = control_left(cmdMove_);
  snapshot_.OL = control_left(cmdOpFav_);
  snapshot_.SL = control_left(cmdSvFav_);
}

float frmMain::window_width() const { return last_width_px_ * tx_; }
float frmMain::window_height() const { return last_height_px_ * ty_; }

namespace {

// A stored size or position that does not convert, or is out of any sensible range, reads as
// its default.
float StoredTwips(const char* key, float fallback, float low, float high) {
  float v = ToSingle(GetSetting(kWindow, key, SingleText(fallback)), fallback);
  return (v < low || v > high) ? fallback : v;
}

}  // namespace

void frmMain::RestoreWindowPlacement() {
  const bool maximized = ToBoolean(GetSetting(kWindow, "Maximized", "False"), false);
  const float max_size = 20000.0f * tx_;
  float width = StoredTwips("Width", snapshot_.W, 100.0f * tx_, max_size);
  float height = StoredTwips("Height", snapshot_.H, 100.0f * ty_, max_size);
  ResizeWindowInCode(width, height);
  in_code_resize_ = false;
  OnWindowResized();

  int cur_x = 0, cur_y = 0;
  get_position(cur_x, cur_y);
  auto left_text = UserSettings().Find(kWindow, "Left");
  auto top_text = UserSettings().Find(kWindow, "Top");
  if (left_text || top_text) {
    float left = StoredTwips("Left", static_cast<float>(cur_x * tx_), -max_size, max_size);
    float top = StoredTwips("Top", static_cast<float>(cur_y * ty_), -max_size, max_size);
    int x = ToPixels(left, tx_), y = ToPixels(top, ty_);
    int w = ToPixels(width, tx_), h = ToPixels(height, ty_);
    // A window that would lie entirely off every monitor (a monitor since unplugged, an edited
    // value) is brought back onto the primary one.
    auto display = get_display();
    bool visible = false;
    for (int m = 0; display && m < display->get_n_monitors(); ++m) {
      Gdk::Rectangle area;
      display->get_monitor(m)->get_geometry(area);
      Gdk::Rectangle win(x, y, w, h);
      bool overlap = false;
      win.intersect(area, overlap);
      if (overlap) visible = true;
    }
    if (!visible && display && display->get_n_monitors() > 0) {
      Gdk::Rectangle area;
      auto primary = display->get_primary_monitor();
      if (!primary) primary = display->get_monitor(0);
      primary->get_workarea(area);
      x = area.get_x() + std::max(0, (area.get_width() - w) / 2);
      y = area.get_y() + std::max(0, (area.get_height() - h) / 2);
    }
    move(x, y);
  }
  if (maximized) maximize();
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

void frmMain::OnBandPictureResized() {
  if (!CurrentSkinName().empty()) PaintBandBackgrounds();
}

void frmMain::PaintBandBackgrounds() {
  // Tiling the skin's background into the band pictures comes with skin support; until a skin
  // can be applied, CurrentSkinName() stays empty and this is never reached.
}

// ---- Closing -----------------------------------------------------------------------------------

std::vector<SettingWrite> frmMain::PlacementSaves() const {
  std::vector<SettingWrite> writes;
  if (!maximized_ && !minimized_) {
    int x = 0, y = 0;
    const_cast<frmMain*>(this)->get_position(x, y);
    writes.push_back({kWindow, "Width", SingleText(window_width())});
    writes.push_back({kWindow, "Height", SingleText(window_height())});
    writes.push_back({kWindow, "Left", SingleText(static_cast<float>(x * tx_))});
    writes.push_back({kWindow, "Top", SingleText(static_cast<float>(y * ty_))});
  }
  writes.push_back({kWindow, "Maximized", BooleanText(maximized_)});
  writes.push_back({kSetting, "Mode", std::to_string(mode_)});
  // Every change of the history was written when it happened, and another Tarvik may have
  // changed it since: only slots the store lacks are written, so its newer pages stay.
  for (const SettingWrite& w : RecentHistory::Shared().AllWrites())
    if (!UserSettings().Find(w.section, w.key)) writes.push_back(w);
  return writes;
}

void frmMain::SaveOnClose() {
  // One write for the close request and the unload: the unload's values are the same ones.
  UserSettings().SaveAll(PlacementSaves());
}

void frmMain::CloseWindow() {
  if (closed_) return;
  SaveOnClose();
  closed_ = true;
  clock_.disconnect();
  hide();
  app_.WindowClosed(*this);
}

bool frmMain::on_delete_event(GdkEventAny*) {
  CloseWindow();
  return true;  // the window is released by the application, not destroyed by GTK
}

}  // namespace tarvik
