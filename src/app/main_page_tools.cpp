#include "app/main_page_tools.h"

#include <glib.h>
#include <gtkmm/window.h>

#include <cmath>

#include "app/find_bar.h"
#include "app/main_status_bar.h"
#include "browse/page_saving.h"
#include "browse/site_zoom.h"
#include "platform/browser_control.h"
#include "platform/dialogs.h"

namespace tarvik {

MainPageTools::MainPageTools(Gtk::Window& window, BrowserControl& browser, MainStatusBar& status,
                             FindBar& find_bar)
    : window_(window), browser_(browser), status_(status), find_bar_(find_bar) {
  browser_.set_zoom_source(&ZoomOf);
}

double MainPageTools::ZoomOf(const std::string& url) {
  return SiteZoom::Shared().PercentFor(url) / 100.0;
}

void MainPageTools::OpenFind() { find_bar_.Open(); }
void MainPageTools::FindNext() { find_bar_.Step(true); }
void MainPageTools::FindPrevious() { find_bar_.Step(false); }

void MainPageTools::ZoomStep(int direction) {
  const int now = static_cast<int>(std::lround(browser_.Zoom() * 100));
  SetZoom(NextZoomStep(now, direction));
}

void MainPageTools::ZoomReset() { SetZoom(100); }

void MainPageTools::SetZoom(int percent) {
  // Kept first: the page made ready for the next step takes its site's level from the store.
  const bool kept = SiteZoom::Shared().Set(browser_.LocationURL(), percent);
  browser_.SetZoom(percent / 100.0);
  status_.set_zoom_text(ZoomStatusText(percent));
  if (!kept) status_.ShowNotice("ｽﾞｰﾑを保存できませんでした");
}

void MainPageTools::PageShown(const std::string& url) {
  status_.set_zoom_text(ZoomStatusText(SiteZoom::Shared().PercentFor(url)));
}

void MainPageTools::Print() { browser_.Print(); }

void MainPageTools::SavePage() {
  FileDialogOptions options;
  options.title = "名前を付けてページを保存";
  options.filters = {{"Webページ、1ファイル(*.mhtml)", {"*.mhtml", "*.mht"}},
                     {"Webページ、HTMLのみ(*.html)", {"*.html", "*.htm"}}};
  options.default_extension = "mhtml";
  const char* downloads = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
  options.initial_folder = downloads ? downloads : g_get_home_dir();
  options.file_name = ProposedPageFileName(browser_.LocationName());
  options.confirm_overwrite = true;
  const std::optional<std::string> path = AppDialogs().SaveFile(&window_, options);
  if (!path) return;
  const bool single_file = PageSaveFormFor(*path) == PageSaveForm::SingleFile;
  const std::string name = path->substr(path->rfind('/') + 1);
  // The window may close before the engine has written the file: the answer goes through a
  // weak hold on the status bar.
  sigc::slot<void(bool)> done = sigc::track_obj(
      [this, name](bool saved) {
        if (saved)
          status_.ShowNotice("保存しました: " + name);
        else
          ShowError(&window_, "ページを保存できませんでした。\r\n" + name);
      },
      status_);
  browser_.SavePage(*path, single_file, [done](bool saved) { done(saved); });
}

}  // namespace tarvik
