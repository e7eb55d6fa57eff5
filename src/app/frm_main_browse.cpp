// The main window's browsing: the address bar and toolbar commands, the events of its browser,
// new windows and the recent-pages menu.

#include "app/frm_main.h"
#include "app/window_host.h"
#include "app/window_system.h"
#include "browse/address_completion.h"
#include "browse/page_texts.h"
#include "browse/recent_history.h"
#include "browse/recent_menu.h"
#include "browse/script_guard.h"
#include "platform/dialogs.h"
#include "platform/settings_keys.h"

namespace tarvik {

void frmMain::AttachAddressCompletion() {
  clbComm_.CompleteAddresses(
      [](const std::string& text) { return AddressCompletions(RecentHistory::Shared(), text); });
}

// ---- Commands ----------------------------------------------------------------------------------

void frmMain::Go() { browser_->Navigate2(txtURL().get_text()); }

void frmMain::GoHome() { browser_->Navigate(home_url_); }

// The editing keys edit a focused text field before the menu shortcuts see them.
bool frmMain::on_key_press_event(GdkEventKey* event) {
  if (GiveEditingKeyToField(*this, event, browser_->EditableHasFocus())) return true;
  if (EscapeFromPage(event)) return true;
  return Gtk::Window::on_key_press_event(event);
}

void frmMain::RefreshEditMenu() { action(ActionId::PasteUrl).set_enabled(mode_ == Mode::Direct); }

void frmMain::HomeUrlPrompt() {
  std::string answer = AppDialogs().InputBox(this, "ホームに指定するURLを入力してください",
                                             "設定－ホームURL", HomeURLForPrompt(home_url_));
  if (answer.empty()) return;
  home_url_ = HomeURLFromPrompt(answer);
  SaveSetting(setting::kHomeURL, home_url_);
}

// ---- The recent pages --------------------------------------------------------------------------

void frmMain::LoadHistory() {
  RecentHistory::Shared().Load(UserSettings());
  ShowHistoryMenu();
}

// The list belongs to the process and every window changes it, so the menu is shown as the list
// is now whenever it opens, and after this window changed the list.
void frmMain::ShowHistoryMenu() {
  for (int i = 0; i < RecentHistory::kSlots; ++i) {
    const RecentMenuItem shown = RecentMenuItemFor(RecentHistory::Shared(), i);
    Gtk::MenuItem* item = menu_item(ActionId::Recent, i);
    item->set_use_underline(false);
    item->set_label(shown.caption);
    item->set_sensitive(shown.enabled);
    item->set_visible(shown.visible);
  }
}

void frmMain::RecentClick(int index) {
  const std::string url = RecentHistory::Shared().slot(index + 1).url;
  OpenStoredAddress(AppDialogs(), *browser_, this, url);
}

void frmMain::DeleteHistory() {
  if (AppDialogs().MessageBox(this, "すべての履歴を削除してよろしいですか？", kConfirmCaption,
                              MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
    return;
  RecentHistory::Shared().Clear(UserSettings());
  ShowHistoryMenu();
}

// ---- Browser events ----------------------------------------------------------------------------

void frmMain::ConnectBrowserEvents() {
  browser_->signal_status_text_change().connect(
      [this](const std::string& text) { stbStat_.set_status_text(text); });
  browser_->signal_progress_change().connect(
      [this](long progress, long maximum) { stbStat_.ShowProgress(progress, maximum); });
  browser_->signal_title_change().connect(sigc::mem_fun(*this, &frmMain::OnTitleChange));
  browser_->signal_navigate_complete2().connect(
      sigc::mem_fun(*this, &frmMain::OnNavigateComplete2));
  browser_->signal_on_tool_bar().connect(sigc::mem_fun(*this, &frmMain::OnToolBar));
  browser_->signal_on_menu_bar().connect(sigc::mem_fun(*this, &frmMain::OnMenuBar));
  browser_->signal_on_status_bar().connect(sigc::mem_fun(*this, &frmMain::OnStatusBar));
  // A page that sizes its window (window.open with a size, resizeTo) sizes the browser area;
  // the window then grows or shrinks around it.
  browser_->signal_resize_to().connect([this](int width, int height) {
    Gtk::Widget& b = wbwMain();
    layout_.Place(b, control_left(b), control_top(b), static_cast<float>(width * tx_),
                  static_cast<float>(height * ty_));
    FollowBrowserSize();
  });
}

void frmMain::OnTitleChange(const std::string& text) {
  set_title(WindowCaption(text));
  // The page was recorded when it committed, before its title came.
  if (RecentHistory::Shared().UpdateNewestTitle(browser_->LocationURL(), text, UserSettings()))
    ShowHistoryMenu();
  // A page that is not the current entry's (a followed link, a page gone back to, an address
  // opened by hand) is named by its own title, which mostly comes after the page committed.
  if (!job_.ShowsEntryTitle(shown_url_, JobSelected() && mode_ == Mode::Job)) {
    txtJob().set_text(TitleLine(ShownTitle(text), browser_->LocationURL()));
    title_line_names_entry_ = false;
  }
}

void frmMain::OnNavigateComplete2(const std::string& url) {
  txtURL().set_text(browser_->LocationURL());
  txtJob().set_text(PositionText(url));
  title_line_names_entry_ = job_.ShowsEntryTitle(url, JobSelected() && mode_ == Mode::Job);
  shown_url_ = url;
  UpdateNavTips();

  if (RecentHistory::Shared()
          .Add(browser_->LocationName(), browser_->LocationURL(), UserSettings())
          .changed)
    ShowHistoryMenu();

  cboJob().set_sensitive(true);
  FollowBrowserSize();
}

void frmMain::FollowBrowserSize() {
  Gtk::Widget& b = wbwMain();
  const float bw = control_width(b), bh = control_height(b);
  if ((bw != snapshot_.BW || bh != snapshot_.BH) && !maximized_ && !minimized_) {
    const float bt = snapshot_.BT;
    ResizeWindowInCode(bw - snapshot_.BW + snapshot_.W, bh - snapshot_.BH + snapshot_.H);
    CaptureLayoutSnapshot();
    snapshot_.BT = bt;
    in_code_resize_ = false;
  }
}

void frmMain::OnToolBar(bool show) {
  for (int band = 0; band < 3; ++band) clbComm_.set_band_visible(band, show);
}

void frmMain::OnMenuBar(bool show) {
  for (ActionId menu :
       {ActionId::FileMenu, ActionId::EditMenu, ActionId::ViewMenu, ActionId::JobMenu,
        ActionId::PocketMenu, ActionId::SettingsMenu, ActionId::HelpMenu})
    action(menu).set_visible(show);
  // An empty menu bar would still take its row.
  menubar_.set_visible(show);
}

void frmMain::OnStatusBar(bool show) {
  stbStat_.set_visible(show);
  if (!show) {
    const float bar = static_cast<float>(
        std::max(stbStat_.get_allocated_height(), ToPixels(design::kStatusBar.height, ty_)) * ty_);
    ResizeWindowInCode(window_width(), window_height() - bar);
    snapshot_.H -= bar;
    in_code_resize_ = false;
  }
}

// ---- New windows and closing -------------------------------------------------------------------

BrowserControl* frmMain::NewWindow2() {
  frmMain& window = host_.OpenNewWindow(*this);
  if (maximized_) window.maximize();
  window.browser().signal_ready_to_show().connect([&window] { window.show(); });
  return &window.browser();
}

void frmMain::OpenInNewWindow(const std::string& url) {
  frmMain& window = host_.OpenNewWindow(*this);
  window.browser().Navigate(url);
  window.show();
}

DownloadList& frmMain::download_list() { return host_.download_list(); }

void frmMain::ShowDownloads() { host_.ShowDownloads(); }

void frmMain::WindowClosing() {
  if (AppDialogs().MessageBox(this, "このウィンドウを閉じますか？", kConfirmCaption,
                              MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes)
    CloseWindow();
}

}  // namespace tarvik
