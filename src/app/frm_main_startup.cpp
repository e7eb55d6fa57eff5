// The main window's start-up sequence, its placement, and the commands of the pockets, the skin
// menu and the cool bar's buttons.
#include <gdkmm/monitor.h>

#include "app/command_line.h"
#include "app/frm_main.h"
#include "app/window_host.h"
#include "favorites/favorites_commands.h"
#include "favorites/favorites_folder.h"
#include "platform/settings_keys.h"
#include "skins/skin_state.h"
#include "system/mod_relation.h"
#include "system/version_info.h"

namespace tarvik {

void frmMain::Load() {
  RegisterFileAssociations();
  const StartCommand command = ParseCommandLine(host_.command_line());
  ReadScreenResolution();
  FindFavoritesFolder();
  RecordThisCopy();
  CaptureLayoutSnapshot();
  RestoreWindowPlacement();
  RestoreHomeAndMode();
  ApplyStoredSkin();
  LoadHistory();
  LoadJobListAtStartUp();
  AttachAddressCompletion();
  ShowPocketsEmpty();
  ActOnCommandLine(command);
  ShowModeBar(mode_);
}

void frmMain::RegisterFileAssociations() { RegisterAssociations(); }

void frmMain::ReadScreenResolution() {
  auto screen = get_screen();
  tx_ = ty_ = TwipsPerPixel(screen ? screen->get_resolution() : 96);
}

void frmMain::FindFavoritesFolder() { ResolveFavoritesFolder(); }

void frmMain::RecordThisCopy() { RecordUpdateInfo(); }

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

namespace {

// A stored size or position that does not convert, or is out of any sensible range, reads as
// its default.
float StoredTwips(const SettingKey& key, float fallback, float low, float high) {
  float v = ToSingle(GetSetting(key.section, key.key, SingleText(fallback)), fallback);
  return (v < low || v > high) ? fallback : v;
}

ScreenRect ToScreenRect(const Gdk::Rectangle& r) {
  return {r.get_x(), r.get_y(), r.get_width(), r.get_height()};
}

}  // namespace

void frmMain::RestoreWindowPlacement() {
  const bool maximized = ToBoolean(GetSetting(setting::kMaximized), false);
  const float max_size = 20000.0f * tx_;
  float width = StoredTwips(setting::kWindowWidth, snapshot_.W, 100.0f * tx_, max_size);
  float height = StoredTwips(setting::kWindowHeight, snapshot_.H, 100.0f * ty_, max_size);
  ResizeWindowInCode(width, height);
  in_code_resize_ = false;
  OnWindowResized();

  int cur_x = 0, cur_y = 0;
  get_position(cur_x, cur_y);
  const SettingKey &left_key = setting::kWindowLeft, &top_key = setting::kWindowTop;
  if (UserSettings().Find(left_key.section, left_key.key) ||
      UserSettings().Find(top_key.section, top_key.key)) {
    float left = StoredTwips(left_key, static_cast<float>(cur_x * tx_), -max_size, max_size);
    float top = StoredTwips(top_key, static_cast<float>(cur_y * ty_), -max_size, max_size);
    const ScreenRect stored{ToPixels(left, tx_), ToPixels(top, ty_), ToPixels(width, tx_),
                            ToPixels(height, ty_)};
    std::vector<ScreenRect> monitors;
    ScreenRect work_area;
    if (auto display = get_display()) {
      for (int m = 0; m < display->get_n_monitors(); ++m) {
        Gdk::Rectangle area;
        display->get_monitor(m)->get_geometry(area);
        monitors.push_back(ToScreenRect(area));
      }
      if (!monitors.empty()) {
        auto primary = display->get_primary_monitor();
        if (!primary) primary = display->get_monitor(0);
        Gdk::Rectangle area;
        primary->get_workarea(area);
        work_area = ToScreenRect(area);
      }
    }
    const ScreenRect placed = KeepOnScreen(stored, monitors, work_area);
    move(placed.x, placed.y);
  }
  if (maximized) maximize();
}

std::string frmMain::StoredHomeURL() { return GetSetting(setting::kHomeURL); }

void frmMain::RestoreHomeAndMode() {
  home_url_ = StoredHomeURL();
  mode_ = ToInt16(GetSetting(setting::kMode), 1);
  if (mode_ != 1 && mode_ != 2) mode_ = 1;
  ShowModePicture(mode_);
}

// Loading a skin's pictures comes with skin support; the designed look stays until then.
void frmMain::ApplyStoredSkin() {}

void frmMain::SelectSkin(int index) {
  // Item 0 is the skin named "default"; the other items come with the skin folders.
  if (index != 0) return;
  CurrentSkinName() = "default";
  SaveSetting(setting::kSkin, "default");
  ApplyStoredSkin();
}

void frmMain::ShowPocketsEmpty() {
  for (int i = 0; i < 3; ++i) picPocketImage_[i].set(imlPocket_.get("Empty"));
}

void frmMain::ClearPocket(int index) {
  pockets_[index] = PocketRecord{};
  picPocketImage_[index].set(imlPocket_.get("Empty"));
  picPocket_[index].set_tooltip_text("");
}

void frmMain::ClearAllPockets() {
  for (int i = 0; i < 3; ++i) ClearPocket(i);
}

void frmMain::WireCommands() {
  picMode_.signal_button_release_event().connect([this](GdkEventButton* e) {
    if (e->button == 1) ToggleMode();
    return true;
  });
  cmdOpFav_.signal_clicked().connect([this] { OpenFavorite(this, *browser_); });
  cmdSvFav_.signal_clicked().connect([this] { AddFavorite(this, *browser_); });
  txtURL_.signal_activate().connect([this] {
    // Enter: the caret goes to the end, then the address is opened.
    txtURL_.select_region(-1, -1);
    txtURL_.set_position(-1);
    Go();
  });
  cmdMove_.signal_clicked().connect([this] { Go(); });
  for (int i = 1; i <= 6; ++i)
    if (tool_buttons_[i - 1]) tool_buttons_[i - 1]->signal_clicked().connect([this, i] { ToolbarClick(i); });
  cboJob_.signal_changed().connect([this] {
    if (!filling_jobs_) cboJob_Click();
  });
  for (int i = 0; i < 5; ++i) cmdNav_[i].signal_clicked().connect([this, i] { cmdNav_Click(i); });
}

void frmMain::ActOnCommandLine(const StartCommand& cmd) {
  if (cmd.mode != 0) {
    mode_ = cmd.mode;
    ShowModePicture(mode_);
  }
  if (std::optional<std::string> page = DirectStartPage(cmd, home_url_)) {
    // A window opened for a page's new window shows that page; a page file is opened anyway.
    const bool wanted = !new_window_ || cmd.action == StartAction::OpenPageFile;
    if (wanted && !start_page_requested_) browser_->Navigate(*page);
    start_page_requested_ = false;
    return;
  }
  switch (cmd.action) {
    case StartAction::OpenJob:
      SelectJobNamed(cmd.job_name);
      cboJob_Click();
      break;
    case StartAction::OpenShortcut:
      if (auto url = ShortcutURLToOpen(cmd.argument, this)) browser_->Navigate(*url);
      break;
    default:
      break;
  }
}

}  // namespace tarvik
