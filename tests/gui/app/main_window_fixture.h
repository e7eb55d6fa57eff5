// A main window with the fake browser.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/app_fixture.h"
#include "support/fake_browser.h"

namespace tarvik::test {

class MainWindowTest : public AppTest {
 protected:
  // Starts the process with a command line and the fake browser.
  frmMain& Start(const std::string& command_line = "") {
    return StartWith(command_line, [this](BrowserControl*) {
      auto b = std::make_unique<FakeBrowser>();
      browsers.push_back(b.get());
      return b;
    });
  }

  FakeBrowser& browser(int i = 0) { return *browsers.at(i); }

  // Waits until the window reports the size.
  bool WaitForSize(frmMain& w, int width, int height) {
    return RunUntil([&] {
      int cw = 0, ch = 0;
      w.get_size(cw, ch);
      return cw == width && ch == height;
    });
  }

  std::vector<FakeBrowser*> browsers;
};

}  // namespace tarvik::test
