// A main window with the fake browser, a private application folder and a private settings
// store.
#pragma once

#include <gtest/gtest.h>
#include <glib.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/frm_main.h"
#include "platform/settings_store.h"
#include "support/fake_browser.h"
#include "support/gui_test.h"
#include "support/scripted_dialogs.h"

namespace tarvik::test {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_setenv("TARVIK_HOME", home.path().c_str(), TRUE);
    SetUserSettingsPath(config.file("settings.ini"));
    // An installed Tarvik has a job list, empty at first.
    g_file_set_contents(home.file("TVJob.lst").c_str(), "", 0, nullptr);
  }
  void TearDown() override {
    app.reset();
    Pump(20);
    SetUserSettingsPath("");
  }

  SettingsStore& settings() { return UserSettings(); }

  // Starts the process with a command line: the first window is loaded and shown.
  frmMain& Start(const std::string& command_line = "") {
    app = std::make_unique<TarvikApp>(command_line, [this](BrowserControl*) {
      auto b = std::make_unique<FakeBrowser>();
      browsers.push_back(b.get());
      return b;
    });
    app->set_on_last_window_closed([this] { last_window_closed = true; });
    frmMain& w = app->OpenFirstWindow();
    WaitUntilManaged(w);
    return w;
  }

  FakeBrowser& browser(int i = 0) { return *browsers.at(i); }

  // Waits until the window manager has mapped the window: requests to maximize or minimize
  // made before that are lost.
  static void WaitUntilManaged(Gtk::Window& w) {
    RunUntil([&] {
      auto win = w.get_window();
      return w.get_mapped() && win && !(win->get_state() & Gdk::WINDOW_STATE_WITHDRAWN);
    });
    Pump(150);
  }

  // Waits until the window reports the size.
  bool WaitForSize(frmMain& w, int width, int height) {
    return RunUntil([&] {
      int cw = 0, ch = 0;
      w.get_size(cw, ch);
      return cw == width && ch == height;
    });
  }

  TempDir home;
  TempDir config;
  ScriptedDialogs dialogs;
  std::unique_ptr<TarvikApp> app;
  std::vector<FakeBrowser*> browsers;
  bool last_window_closed = false;
};

}  // namespace tarvik::test
