// The start-up steps of the main window that other subsystems carry out, and the wiring of the
// commands that live with them.
#include "app/app.h"
#include "app/command_line.h"
#include "app/frm_main.h"
#include "favorites/favorites_commands.h"
#include "favorites/favorites_folder.h"
#include "system/mod_relation.h"
#include "system/system_commands.h"
#include "system/version_info.h"

namespace tarvik {

void frmMain::WireCommands() {
  commands_["mnuQuit"] = [this] { CloseWindow(); };
  picMode_.signal_button_release_event().connect([this](GdkEventButton* e) {
    if (e->button == 1) ToggleMode();
    return true;
  });

  // Favorites.
  commands_["mnuOpFav"] = [this] { OpenFavorite(this, *browser_); };
  commands_["mnuAddFav"] = [this] { AddFavorite(this, *browser_); };
  commands_["mnuFavPath"] = [this] { ChooseFavoritesFolder(this); };
  cmdOpFav_.signal_clicked().connect([this] { OpenFavorite(this, *browser_); });
  cmdSvFav_.signal_clicked().connect([this] { AddFavorite(this, *browser_); });

  // Desktop integration and help.
  commands_["mnuDefBro"] = [this] { mnuDefBro_Click(this); };
  commands_["mnuInet"] = [this] { mnuInet_Click(this); };
  commands_["mnuHelp"] = [this] { mnuHelp_Click(this); };
  commands_["mnuAuthorPage"] = [this] { mnuAuthorPage_Click(*browser_); };
  commands_["mnuVer"] = [this] { mnuVer_Click(this); };
}

void frmMain::RegisterAssociationsStep() { RegisterAssociations(); }

void frmMain::ResolveFavoritesFolderStep() { ResolveFavoritesFolder(); }

void frmMain::RecordUpdateInfoStep() { RecordUpdateInfo(); }

void frmMain::ApplySkinStep() {}

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
