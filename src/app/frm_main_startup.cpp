// The start-up steps and commands of the main window that belong to other subsystems, and the
// wiring of the controls to their commands.
#include "app/app.h"
#include "app/command_line.h"
#include "app/frm_main.h"
#include "browse/recent_history.h"

namespace tarvik {

void frmMain::WireCommands() {
  commands_["mnuQuit"] = [this] { CloseWindow(); };
  picMode_.signal_button_release_event().connect([this](GdkEventButton* e) {
    if (e->button == 1) ToggleMode();
    return true;
  });
}

void frmMain::RegisterAssociationsStep() {}

void frmMain::ResolveFavoritesFolderStep() {}

void frmMain::RecordUpdateInfoStep() {}

void frmMain::ApplySkinStep() {}

void frmMain::LoadHistoryStep() { RecentHistory::Shared().Load(UserSettings()); }

void frmMain::LoadJobListStep() {}

void frmMain::AttachAutoCompletion() {}

void frmMain::ActOnCommandLine() {
  StartCommand cmd = ParseCommandLine(app_.command_line());
  if (cmd.mode != 0) {
    mode_ = cmd.mode;
    ShowModePicture(mode_);
  }
  switch (cmd.action) {
    case StartAction::OpenHome:
      if (!new_window_) browser_->Navigate(home_url_);
      break;
    case StartAction::OpenText:
      if (!new_window_) browser_->Navigate(cmd.argument);
      break;
    case StartAction::OpenPageFile:
      browser_->Navigate(cmd.argument);
      break;
    case StartAction::OpenJob:
    case StartAction::OpenShortcut:
    case StartAction::Nothing:
      break;
  }
}

}  // namespace tarvik
