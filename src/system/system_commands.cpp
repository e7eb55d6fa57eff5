#include "system/system_commands.h"

#include <giomm/appinfo.h>
#include <glibmm/convert.h>
#include <glibmm/main.h>
#include <glibmm/miscutils.h>
#include <glibmm/spawn.h>

#include "platform/browser_control.h"
#include "platform/dialogs.h"
#include "platform/text_file.h"
#include "system/auxiliary.h"
#include "system/frm_ver.h"
#include "system/mod_relation.h"

namespace tarvik {

void mnuDefBro_Click(Gtk::Window* parent) {
  // A start registers after its first page; the command may come first.
  RegisterAssociations();
  MakeDefaultBrowser(ClassesRoot(), [parent](const std::string& text, const std::string& caption,
                                             MsgIcon icon, MsgButtons buttons) {
    return AppDialogs().MessageBox(parent, text, caption, icon, buttons);
  });
}

void mnuInet_Click(Gtk::Window*) {
  auto command = ProxySettingsCommand(
      Glib::getenv("XDG_CURRENT_DESKTOP"),
      [](const std::string& program) { return !Glib::find_program_in_path(program).empty(); });
  if (!command) return;
  try {
    // The settings run as a process of their own; Tarvik does not wait for them.
    Glib::spawn_async("", *command, Glib::SPAWN_SEARCH_PATH);
  } catch (const Glib::Error&) {
    // A tool that cannot be started leaves the screen unchanged.
  }
}

void mnuHelp_Click(Gtk::Window*) {
  // The manual is written out when it is first wanted (or was deleted since).
  const std::string path = HelpFilePath();
  if (!EnsureHelpFile()) return;
  try {
    Gio::AppInfo::launch_default_for_uri(Glib::filename_to_uri(path));
  } catch (const Glib::Error&) {
  }
}

void mnuAuthorPage_Click(BrowserControl& browser) {
  // Tarvik has no public home page yet; its manual tells who makes it.
  const std::string uri = AuthorPageUri();
  if (!uri.empty()) browser.Navigate(uri);
}

void mnuVer_Click(Gtk::Window* parent) {
  frmVer dialog(parent);
  dialog.set_modal(true);
  auto loop = Glib::MainLoop::create();
  dialog.signal_hide().connect([loop] { loop->quit(); });
  dialog.show();
  loop->run();
}

}  // namespace tarvik
