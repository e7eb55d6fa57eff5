// What a main window asks of the process that holds it.
#pragma once

#include <string>

namespace tarvik {

class BrowserControl;
class DownloadList;
class JobsService;
class frmMain;

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  // The process's command line, which the window's start-up acts on.
  virtual const std::string& command_line() const = 0;
  // A window for a page's new-window request from `opener`, loaded but not yet shown.
  virtual frmMain& OpenNewWindow(frmMain& opener) = 0;
  // The window has saved and hidden itself; the host releases it after the current event.
  virtual void WindowClosed(frmMain& window) = 0;
  // The browser of the process's first window, or nullptr once that window has closed.
  virtual BrowserControl* FirstBrowser() = 0;
  // The downloads of the process, and its downloads window brought to the front.
  virtual DownloadList& download_list() = 0;
  virtual void ShowDownloads() = 0;
  // The process's jobs (jobs/jobs_service.h), shared by its windows.
  virtual JobsService& jobs_service() = 0;
};

}  // namespace tarvik
