// The process: its command line, its main windows and the state they share.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/window_host.h"
#include "browse/download_list.h"
#include "jobs/jobs_service.h"
#include "platform/browser_control.h"

namespace tarvik {

class frmDownloads;
class frmMain;

class TarvikApp : public WindowHost {
 public:
  TarvikApp(std::string command_line, BrowserFactory factory);
  ~TarvikApp() override;

  const std::string& command_line() const override { return command_line_; }

  // The first main window: created, loaded and shown.
  frmMain& OpenFirstWindow();
  // A window for a page's new-window request from `opener`: created with NewWdwFlag set and
  // loaded; the caller shows it. It takes the next position of the new-window list.
  frmMain& OpenNewWindow(frmMain& opener) override;

  // Closes every open main window through its own closing path, saves included; the process
  // then ends as it does after the last window's close.
  void CloseAllWindows();
  // The end of the desktop session (logging out, shutting down) ends its programs with SIGTERM
  // or SIGHUP rather than by closing their windows. From this call on, either signal closes
  // every window as CloseAllWindows() does.
  void CloseAllWindowsOnSessionEnd();

  // Called by a window once it has saved and hidden itself. The window is released after the
  // current event; its list position is never reused.
  void WindowClosed(frmMain& window) override;

  int open_window_count() const;
  // Positions 1..count of the new-window list; nullptr for a window that has closed.
  frmMain* new_window(int position) const;
  int new_window_count() const { return static_cast<int>(new_windows_.size()) - 1; }
  frmMain* first_window() const { return first_.get(); }
  BrowserControl* FirstBrowser() override;
  DownloadList& download_list() override { return downloads_; }
  void ShowDownloads() override;
  frmDownloads* downloads_window() const { return downloads_window_.get(); }
  // The jobs of the process: made before the first window and gone after the last.
  JobsService& jobs_service() override { return jobs_; }

  // Runs when the last main window has closed; by default it ends the main loop.
  void set_on_last_window_closed(std::function<void()> fn) { on_last_closed_ = std::move(fn); }

 private:
  // An open window for a word that concerns the whole process, or nullptr.
  frmMain* AnyOpenWindow() const;

  std::string command_line_;
  BrowserFactory factory_;
  JobsService jobs_;
  std::unique_ptr<frmMain> first_;
  // Position 0 stays empty; windows are released when they close but keep their positions.
  std::vector<std::unique_ptr<frmMain>> new_windows_;
  std::function<void()> on_last_closed_;
  std::vector<unsigned> signal_sources_;
  sigc::connection session_end_;
  std::vector<sigc::connection> releases_;  // of closed windows, still to run
  bool session_ending_ = false;
  int loading_ = 0;  // windows whose start-up is running

  // The engine's downloads, followed from the first browser on.
  void FollowDownloads(DownloadSource* source);
  // A download has ended: the desktop is told when no window of Tarvik is active.
  void OnDownloadEnded(int id);
  DownloadList downloads_;
  DownloadSource* download_source_ = nullptr;
  std::vector<sigc::connection> download_links_;
  std::unique_ptr<frmDownloads> downloads_window_;
};

}  // namespace tarvik
