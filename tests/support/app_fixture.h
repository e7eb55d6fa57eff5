// A Tarvik process for window and end-to-end tests: a private application folder and settings
// store, scripted dialogs, and the first main window started with a given browser.
#pragma once

#include <glib.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/app.h"
#include "app/frm_main.h"
#include "platform/settings_store.h"
#include "support/gui_test.h"
#include "support/scripted_dialogs.h"

namespace tarvik::test {

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_setenv("TARVIK_HOME", home.path().c_str(), TRUE);
    SetUserSettingsPath(config.file("settings.ini"));
    // An installed Tarvik has a job list, empty at first.
    g_file_set_contents(home.file("TVJob.lst").c_str(), "", 0, nullptr);
  }
  void TearDown() override {
    app.reset();
    Pump(50);
    SetUserSettingsPath("");
  }

  SettingsStore& settings() { return UserSettings(); }

  // Starts the process with a command line: the first window is loaded and shown.
  // The real pointer and keys through the display, at (x, y) of the page area.
  static void Pointer(frmMain& w, const std::string& what, int x = -1, int y = -1) {
    std::string command = "xdotool ";
    if (x >= 0) {
      Gtk::Widget& page = w.browser().widget();
      int ox = 0, oy = 0;
      page.get_window()->get_origin(ox, oy);
      ox += page.get_allocation().get_x();
      oy += page.get_allocation().get_y();
      command += "mousemove --sync " + std::to_string(ox + x) + " " + std::to_string(oy + y) + " ";
    }
    command += what;
    ASSERT_TRUE(g_spawn_command_line_sync(command.c_str(), nullptr, nullptr, nullptr, nullptr));
    Pump(100);
  }
  // Lists one job, "Job", of the entries `lines` ("title,url\r\n" each); its file's path.
  std::string WriteJob(const std::string& lines) {
    g_file_set_contents(home.file("TVJob.lst").c_str(), "Job\r\n", -1, nullptr);
    g_mkdir_with_parents(home.file("JobFiles").c_str(), 0755);
    g_file_set_contents(home.file("JobFiles/Job.tvj").c_str(), lines.c_str(), -1, nullptr);
    return home.file("JobFiles/Job.tvj");
  }
  frmMain& StartWith(const std::string& command_line, BrowserFactory factory) {
    app = std::make_unique<TarvikApp>(command_line, std::move(factory));
    app->set_on_last_window_closed([this] { last_window_closed = true; });
    frmMain& w = app->OpenFirstWindow();
    WaitUntilManaged(w);
    return w;
  }

  // Waits until the window manager has mapped the window: requests to maximize or minimize
  // made before that are lost.
  static void WaitUntilManaged(Gtk::Window& w) {
    RunUntil([&] {
      auto win = w.get_window();
      return w.get_mapped() && win && !(win->get_state() & Gdk::WINDOW_STATE_WITHDRAWN);
    });
    Pump(150);
  }

  TempDir home;
  TempDir config;
  ScriptedDialogs dialogs;
  std::unique_ptr<TarvikApp> app;
  bool last_window_closed = false;
};

}  // namespace tarvik::test
