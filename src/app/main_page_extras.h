// What the main window adds to the page it shows: the page's own menu with Tarvik's captions
// and its job rows (browse/page_menu.h), the pages' questions for leave answered in the window's
// bar and remembered per site (browse/site_permissions.h), the pop-ups refused with a way to open
// one, spell checking in the page's fields, and the downloads' word in the status bar.
#pragma once

#include <sigc++/trackable.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/job_bar_host.h"
#include "app/permission_bar.h"
#include "browse/site_permissions.h"
#include "platform/browser_control.h"

namespace tarvik {

class DownloadList;
class MainJobExtras;
class MainStatusBar;

// The page's menu puts links into jobs, so it reaches what the job features reach, and more.
class PageExtrasHost : public JobBarHost {
 public:
  virtual MainJobExtras& job_extras() = 0;
  virtual MainStatusBar& stbStat() = 0;
  // Opens `url` in a new main window, as a link to a new window does.
  virtual void OpenInNewWindow(const std::string& url) = 0;
  // The downloads of the process.
  virtual DownloadList& download_list() = 0;
};

inline constexpr char kPopupBlockedNotice[] = "ポップアップをブロックしました: ";
inline constexpr char kOpenPopupCaption[] = "開く";
// How long the status bar offers to open a pop-up refused.
inline constexpr int kPopupOfferSeconds = 15;

class MainPageExtras : public sigc::trackable {
 public:
  explicit MainPageExtras(PageExtrasHost& window);

  // The rows of the page's menu for `context`.
  std::vector<PageMenuRow> PageMenu(const PageMenuContext& context);
  PermissionBar& permission_bar() { return bar_; }
  SitePermissions& permissions() { return permissions_; }

  // Spell checking in the fields of pages: the setting, and the languages checked.
  static bool SpellCheckEnabled();
  static void SetSpellCheckEnabled(bool on, BrowserControl& browser);
  static void ApplySpellChecking(BrowserControl& browser);

 private:
  void OnPermissionRequest(const PermissionQuestion& question);
  void OnPopupBlocked(const std::string& url);
  void OnDownloadChanged(int id);
  void OnDownloadEnded(int id);

  PageExtrasHost& w_;
  SitePermissions permissions_;
  PermissionBar bar_;
  int last_percent_ = -2;        // of the download last shown running
  std::int64_t last_shown_ = 0;  // monotonic microseconds
};

}  // namespace tarvik
