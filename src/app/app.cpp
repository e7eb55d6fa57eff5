#include "app/app.h"

#include <glib-unix.h>
#include <glibmm/main.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <csignal>

#include "app/command_line.h"
#include "app/frm_downloads.h"
#include "app/frm_main.h"
#include "app/main_page_tools.h"
#include "platform/desktop_notify.h"
#include "platform/dialogs.h"
#include "platform/downloads.h"
#include "platform/settings_store.h"

namespace tarvik {

TarvikApp::TarvikApp(std::string command_line, BrowserFactory factory)
    : command_line_(std::move(command_line)), factory_(std::move(factory)) {
  new_windows_.resize(1);
  on_last_closed_ = [] {
    if (Gtk::Main::level() > 0) Gtk::Main::quit();
  };
  jobs_.StartWatching();
  // A merge of conflict copies that failed is the process's news, told once over one window;
  // the status bars tell what was merged.
  jobs_.signal_merge_report().connect([this](const ConflictMergeReport& report) {
    if (report.failure.empty()) return;
    if (frmMain* window = AnyOpenWindow()) ShowError(window, report.failure);
  });
}

TarvikApp::~TarvikApp() {
  for (unsigned id : signal_sources_) g_source_remove(id);
  session_end_.disconnect();
  for (sigc::connection& release : releases_) release.disconnect();
  for (sigc::connection& link : download_links_) link.disconnect();
}

void TarvikApp::FollowDownloads(DownloadSource* source) {
  if (!source || download_source_) return;
  download_source_ = source;
  using Clock = DownloadList::Clock;
  download_links_ = {
      source->started.connect([this](int id, const std::string& url, const std::string& path) {
        downloads_.Started(id, url, path, Clock::now());
      }),
      source->progress.connect([this](int id, std::uint64_t received, std::uint64_t total) {
        downloads_.Progress(id, received, total, Clock::now());
      }),
      source->finished.connect([this](int id) { downloads_.Finished(id); }),
      source->failed.connect([this](int id, bool cancelled, const std::string& error) {
        downloads_.Failed(id, cancelled, error);
      }),
  };
  downloads_.signal_ended().connect(sigc::mem_fun(*this, &TarvikApp::OnDownloadEnded));
}

void TarvikApp::OnDownloadEnded(int id) {
  const DownloadItem* item = downloads_.Find(id);
  if (!item) return;
  if (downloads_window_ && downloads_window_->is_active()) return;
  if (first_ && first_->is_active()) return;
  for (const auto& window : new_windows_)
    if (window && window->is_active()) return;
  NotifyDesktop("download-" + std::to_string(id), "Tarvik", DownloadStatusText(*item));
}

void TarvikApp::ShowDownloads() {
  if (!downloads_window_)
    downloads_window_ = std::make_unique<frmDownloads>(downloads_, download_source_);
  downloads_window_->present();
}

frmMain& TarvikApp::OpenFirstWindow() {
  // A damaged settings file is kept aside before the start-up's first save replaces it.
  const std::string settings_damage = UserSettings().SetAsideDamage();
  std::unique_ptr<BrowserControl> browser = factory_(nullptr);
  FollowDownloads(browser->downloads());
  // The engine starts the process that draws pages only when the first page is asked for, and
  // that start takes longer than building the window. So the page that the command line opens
  // is asked for first, and the window is built while the engine starts; the window's start-up
  // then finds that page on its way. Jobs and shortcuts wait for start-up, which reads them.
  std::optional<std::string> start_page =
      DirectStartPage(ParseCommandLine(command_line_), frmMain::StoredHomeURL());
  browser->set_zoom_source(&MainPageTools::ZoomOf);  // the page is laid out at its site's zoom
  if (start_page) browser->Navigate(*start_page);
  first_ = std::make_unique<frmMain>(*this, std::move(browser), false, start_page.has_value());
  ++loading_;
  first_->Load();
  --loading_;
  first_->show();
  // A settings file that is there but cannot be read is never replaced; the user is told which.
  if (std::string problem = UserSettings().ReadProblem(); !problem.empty())
    ShowError(first_.get(), problem);
  if (!settings_damage.empty()) ShowError(first_.get(), settings_damage);
  return *first_;
}

frmMain& TarvikApp::OpenNewWindow(frmMain& opener) {
  new_windows_.push_back(std::make_unique<frmMain>(*this, factory_(&opener.browser()), true));
  frmMain& window = *new_windows_.back();
  ++loading_;
  window.Load();
  --loading_;
  return window;
}

void TarvikApp::CloseAllWindows() {
  bool closed_one = false;
  // Each window is released after the current event, so the list stays as it is meanwhile.
  if (first_ && !first_->closed()) {
    first_->CloseWindow();
    closed_one = true;
  }
  for (auto& w : new_windows_) {
    if (w && !w->closed()) {
      w->CloseWindow();
      closed_one = true;
    }
  }
  // With no window left to close, nothing else would end the process.
  if (!closed_one && open_window_count() == 0 && on_last_closed_) on_last_closed_();
}

void TarvikApp::CloseAllWindowsOnSessionEnd() {
  auto on_signal = +[](gpointer self) -> gboolean {
    auto* app = static_cast<TarvikApp*>(self);
    if (app->session_ending_) return G_SOURCE_CONTINUE;
    app->session_ending_ = true;
    // A window must not go while it is loading or one of its handlers waits for a modal dialog
    // (a question, a file dialog, the job editor): the code would go on in a released window.
    // Open modal windows are closed, which answers them as cancelled, and the main windows
    // close once every handler has returned to the main loop.
    app->session_end_ = Glib::signal_timeout().connect(
        [app] {
          if (g_main_depth() > 1 || app->loading_ > 0) {
            GList* windows = gtk_window_list_toplevels();
            for (GList* l = windows; l; l = l->next) {
              GtkWindow* window = GTK_WINDOW(l->data);
              if (gtk_window_get_modal(window) && gtk_widget_get_visible(GTK_WIDGET(window)))
                gtk_window_close(window);
            }
            g_list_free(windows);
            return true;
          }
          app->CloseAllWindows();
          return false;
        },
        20);
    return G_SOURCE_CONTINUE;
  };
  signal_sources_.push_back(g_unix_signal_add(SIGTERM, on_signal, this));
  signal_sources_.push_back(g_unix_signal_add(SIGHUP, on_signal, this));
}

void TarvikApp::WindowClosed(frmMain& window) {
  // The window may be deep inside one of its own handlers: release it from the main loop.
  frmMain* closing = &window;
  std::erase_if(releases_, [](const sigc::connection& c) { return !c.connected(); });
  releases_.push_back(Glib::signal_idle().connect([this, closing] {
    if (first_.get() == closing) {
      first_.reset();
    } else {
      for (auto& w : new_windows_)
        if (w.get() == closing) w.reset();
    }
    if (open_window_count() == 0 && on_last_closed_) on_last_closed_();
    return false;
  }));
}

int TarvikApp::open_window_count() const {
  int n = 0;
  if (first_ && !first_->closed()) ++n;
  for (const auto& w : new_windows_)
    if (w && !w->closed()) ++n;
  return n;
}

frmMain* TarvikApp::AnyOpenWindow() const {
  if (first_ && !first_->closed()) return first_.get();
  for (const auto& w : new_windows_)
    if (w && !w->closed()) return w.get();
  return nullptr;
}

BrowserControl* TarvikApp::FirstBrowser() { return first_ ? &first_->browser() : nullptr; }

frmMain* TarvikApp::new_window(int position) const {
  if (position < 1 || position >= static_cast<int>(new_windows_.size())) return nullptr;
  return new_windows_[position].get();
}

}  // namespace tarvik
