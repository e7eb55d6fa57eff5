// The main window's start-up sequence, its placement, and the commands of the pockets, the skin
// menu and the cool bar's buttons.
#include <glibmm/main.h>

#include "app/command_line.h"
#include "app/frm_main.h"
#include "app/window_host.h"
#include "app/window_placement.h"
#include "app/window_system.h"
#include "browse/script_guard.h"
#include "favorites/favorites_commands.h"
#include "favorites/favorites_folder.h"
#include "jobs/job_commands.h"
#include "jobs/jobs_service.h"
#include "jobs/outside_job_file.h"
#include "platform/accessible.h"
#include "platform/dialogs.h"
#include "platform/settings_keys.h"
#include "platform/text_file.h"

namespace tarvik {

void frmMain::Load() {
  const StartCommand command = ParseCommandLine(host_.command_line());
  ReadScreenResolution();
  ResolveFavoritesFolder();
  CaptureLayoutSnapshot();
  RestoreWindowPlacement();
  RestoreHomeAndMode();
  ApplyStoredSkin();
  LoadHistory();
  LoadJobListAtStartUp();
  AttachAddressCompletion();
  pockets_.ShowAll();
  ActOnCommandLine(command);
  clbComm_.ShowModeBar(mode_);
}

void frmMain::ReadScreenResolution() {
  tx_ = ty_ = TwipsPerPixel(kLogicalPixelsPerInch);
  layout_.SetTwipsPerPixel(tx_, ty_);
}

void frmMain::CaptureLayoutSnapshot() {
  // The bar's rows can have grown with large text since the window was built: the browser
  // starts below them, and the layout follows from there.
  Gtk::Widget& b = wbwMain();
  const float below_bar = static_cast<float>((clbComm_.bar_height() + 3) * ty_);
  if (control_top(b) < below_bar)
    layout_.Place(b, control_left(b), below_bar, control_width(b),
                  control_height(b) - (below_bar - control_top(b)));
  snapshot_.W = window_width();
  snapshot_.H = window_height();
  snapshot_.BW = control_width(wbwMain());
  snapshot_.BH = control_height(wbwMain());
  snapshot_.BT = control_top(wbwMain());
  clbComm_.CaptureInto(snapshot_);
}

void frmMain::RestoreWindowPlacement() {
  int cur_x = 0, cur_y = 0;
  get_position(cur_x, cur_y);
  const StoredPlacement p =
      ReadStoredPlacement(UserSettings(), snapshot_.W, snapshot_.H, static_cast<float>(cur_x * tx_),
                          static_cast<float>(cur_y * ty_), tx_, ty_);
  ResizeWindowInCode(p.width, p.height);
  in_code_resize_ = false;
  OnWindowResized();
  if (p.left) {
    const ScreenRect placed =
        KeepOnDisplay(get_display(), {ToPixels(*p.left, tx_), ToPixels(*p.top, ty_),
                                      ToPixels(p.width, tx_), ToPixels(p.height, ty_)});
    move(placed.x, placed.y);
  }
  if (p.maximized) maximize();
}

std::string frmMain::StoredHomeURL() { return GetSetting(setting::kHomeURL); }

void frmMain::RestoreHomeAndMode() {
  home_url_ = StoredHomeURL();
  mode_ = ModeFromNumber(ToInt16(GetSetting(setting::kMode), 1));
  clbComm_.ShowModePicture(mode_);
}

void frmMain::ApplyStoredSkin() { skin_.Apply(); }

void frmMain::WireCommands() {
  pockets_.Connect();
  skin_.Connect();
  clbComm_.picMode().signal_button_release_event().connect([this](GdkEventButton* e) {
    if (e->button == 1) Run(ActionId::ToggleMode);
    return true;
  });
  clbComm_.picMode().set_on_click([this] { Run(ActionId::ToggleMode); });
  TakeKeyboardFocus(clbComm_.picMode(), [this](unsigned keyval) {
    if (IsActivateKey(keyval)) Run(ActionId::ToggleMode);
    return IsActivateKey(keyval);
  });
  // The buttons run their actions. The favorites buttons (which run their menu items' commands)
  // and the steps may open a dialog: they run after the click has returned.
  actions_.Bind(ActionId::OpenFavorite, clbComm_.cmdOpFav(), true);
  actions_.Bind(ActionId::AddFavorite, clbComm_.cmdSvFav(), true);
  constexpr ActionId kTools[] = {ActionId::Stop, ActionId::Refresh, ActionId::Home,
                                 ActionId::None, ActionId::Back,    ActionId::Forward};
  for (int i = 1; i <= 6; ++i)
    if (i != 4) actions_.Bind(kTools[i - 1], clbComm_.tool_button(i), false);
  constexpr ActionId kSteps[] = {ActionId::FirstEntry, ActionId::PreviousEntry, ActionId::NextEntry,
                                 ActionId::LastEntry, ActionId::EntryList};
  for (int i = 0; i < 5; ++i) actions_.Bind(kSteps[i], cmdNav(i), true);
  actions_.Bind(ActionId::Go, clbComm_.cmdMove(), false);
  txtURL().signal_activate().connect([this] {
    // Enter: the caret goes to the end, then the address is opened.
    txtURL().select_region(-1, -1);
    txtURL().set_position(-1);
    Run(ActionId::Go);
  });
  clbComm_.OpenDroppedLinks([this] { Run(ActionId::Go); });  // a link dropped opens its page
  cboJob().signal_changed().connect([this] {
    if (!filling_jobs_) cboJob_Click();
    UpdateJobItems();  // the items that act on the loaded job follow it
  });
  job_extras_.sync().signal_loaded_job().connect([this] { UpdateJobItems(); });
}

void frmMain::ActOnCommandLine(const StartCommand& cmd) {
  if (cmd.mode) {
    mode_ = *cmd.mode;
    clbComm_.ShowModePicture(mode_);
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
      // A window opened for a page repeats the switch by the designed rule and asks nothing.
      if (!new_window_ && !IsInJobsFolder(cmd.argument, jobs_service().folder())) {
        const std::string added = AddJobFileFromElsewhere(*this, cmd.argument, cmd.job_name);
        if (added.empty()) break;
        LoadJobList(-1);
        SelectJobNamed(added);
      } else {
        SelectJobNamed(cmd.job_name);
      }
      cboJob_Click();
      break;
    case StartAction::OpenShortcut:
      if (auto url = ShortcutURLToOpen(cmd.argument, this))
        OpenStoredAddress(AppDialogs(), *browser_, this, *url);
      break;
    case StartAction::OpenPageFile:  // only when it cannot be opened
      ShowError(this, ReadFailureMessage(cmd.argument, CheckReadableFile(cmd.argument)));
      break;
    default: break;
  }
}

}  // namespace tarvik
