#include "app/app.h"

#include <glibmm/main.h>
#include <gtkmm/main.h>

#include "app/command_line.h"
#include "app/frm_main.h"
#include "platform/dialogs.h"
#include "platform/settings_store.h"

namespace tarvik {

TarvikApp::TarvikApp(std::string command_line, BrowserFactory factory)
    : command_line_(std::move(command_line)), factory_(std::move(factory)) {
  new_windows_.resize(1);
  on_last_closed_ = [] {
    if (Gtk::Main::level() > 0) Gtk::Main::quit();
  };
}

TarvikApp::~TarvikApp() = default;

frmMain& TarvikApp::OpenFirstWindow() {
  std::unique_ptr<BrowserControl> browser = factory_(nullptr);
  // The engine starts the process that draws pages only when the first page is asked for, and
  // that start takes longer than building the window. So the page that the command line opens
  // is asked for first, and the window is built while the engine starts; the window's start-up
  // then finds that page on its way. Jobs and shortcuts wait for start-up, which reads them.
  std::optional<std::string> start_page =
      DirectStartPage(ParseCommandLine(command_line_), frmMain::StoredHomeURL());
  if (start_page) browser->Navigate(*start_page);
  first_ = std::make_unique<frmMain>(*this, std::move(browser), false, start_page.has_value());
  first_->Load();
  first_->show();
  // A settings file that is there but cannot be read is never replaced; the user is told which.
  if (std::string problem = UserSettings().ReadProblem(); !problem.empty())
    ShowError(first_.get(), problem);
  return *first_;
}

frmMain& TarvikApp::OpenNewWindow(frmMain& opener) {
  new_windows_.push_back(std::make_unique<frmMain>(*this, factory_(&opener.browser()), true));
  frmMain& window = *new_windows_.back();
  window.Load();
  return window;
}

void TarvikApp::WindowClosed(frmMain& window) {
  // The window may be deep inside one of its own handlers: release it from the main loop.
  frmMain* closing = &window;
  Glib::signal_idle().connect_once([this, closing] {
    if (first_.get() == closing) {
      first_.reset();
    } else {
      for (auto& w : new_windows_)
        if (w.get() == closing) w.reset();
    }
    if (open_window_count() == 0 && on_last_closed_) on_last_closed_();
  });
}

int TarvikApp::open_window_count() const {
  int n = 0;
  if (first_ && !first_->closed()) ++n;
  for (const auto& w : new_windows_)
    if (w && !w->closed()) ++n;
  return n;
}

BrowserControl* TarvikApp::FirstBrowser() { return first_ ? &first_->browser() : nullptr; }

frmMain* TarvikApp::new_window(int position) const {
  if (position < 1 || position >= static_cast<int>(new_windows_.size())) return nullptr;
  return new_windows_[position].get();
}

}  // namespace tarvik
