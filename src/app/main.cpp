// Tarvik: a web browser that organises browsing into jobs.
#include <glib.h>
#include <gtkmm/main.h>

#include "app/app.h"
#include "app/command_line.h"
#include "app/frm_main.h"
#include "app/startup_services.h"
#include "browse/address_fixup.h"
#include "platform/webkit_browser.h"

int main(int argc, char** argv) {
  // The command line belongs to the process; GTK must not take options out of it.
  std::string command_line = tarvik::JoinArguments(argc, argv);
  int gtk_argc = 1;
  char** gtk_argv = argv;
  Gtk::Main kit(gtk_argc, gtk_argv);
  g_set_application_name("Tarvik");
  g_set_prgname("tarvik");

  tarvik::PrepareProcess();
  tarvik::TarvikApp app(command_line, tarvik::WebKitBrowser::Factory(tarvik::FixUpAddress));
  // Logging out or shutting down saves what closing the windows saves. The end of the X
  // session itself cannot: when the display goes, GTK ends the process on the spot. Session
  // managers send SIGTERM (or SIGHUP) first, and that closes the windows in order.
  app.CloseAllWindowsOnSessionEnd();
  // The first page comes first; the rest of the setup waits for it.
  tarvik::PrepareRestAfterFirstPage(app.OpenFirstWindow().browser());
  Gtk::Main::run();
  tarvik::FinishDeferredPreparation();
  return 0;
}
