// The main window's browsing: the address bar and toolbar commands, the events of its browser,
// new windows and the recent-pages menu.
#include <gtkmm/clipboard.h>
#include <gtkmm/entrycompletion.h>
#include <gtkmm/liststore.h>

#include "app/app.h"
#include "app/frm_main.h"
#include "app/main_window_design.h"
#include "browse/recent_history.h"
#include "platform/dialogs.h"

namespace tarvik {

namespace {

constexpr const char* kCaptionSuffix = " -- Tarvik";

// The completion list of the address box: the recent pages, then the files of the folder being
// typed.
class AddressCompletion {
 public:
  struct Columns : Gtk::TreeModel::ColumnRecord {
    Gtk::TreeModelColumn<Glib::ustring> text;
    Columns() { add(text); }
  };

  static void Attach(Gtk::Entry& entry) {
    auto store = Gtk::ListStore::create(TheColumns());
    auto completion = Gtk::EntryCompletion::create();
    completion->set_model(store);
    completion->set_text_column(TheColumns().text);
    completion->set_minimum_key_length(1);
    completion->set_popup_completion(true);
    entry.set_completion(completion);
    entry.signal_changed().connect([&entry, store] { Refill(entry.get_text(), store); });
  }

 private:
  static Columns& TheColumns() {
    static Columns columns;
    return columns;
  }

  static void Refill(const Glib::ustring& typed, const Glib::RefPtr<Gtk::ListStore>& store) {
    const Columns& columns = TheColumns();
    store->clear();
    const RecentHistory& history = RecentHistory::Shared();
    for (int n = RecentHistory::kSlots; n >= 1; --n)
      if (history.slot(n).filled()) (*store->append())[columns.text] = history.slot(n).url;
    std::string text = typed;
    if (!text.empty() && text[0] == '/') {
      std::string folder = text.substr(0, text.rfind('/') + 1);
      if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
        int shown = 0;
        while (const char* name = g_dir_read_name(dir)) {
          if (name[0] == '.') continue;
          if (++shown > 200) break;
          // A name that is not UTF-8 is offered as the desktop would show it.
          gchar* display = g_filename_display_name(name);
          (*store->append())[columns.text] = folder + display;
          g_free(display);
        }
        g_dir_close(dir);
      }
    }
  }
};

}  // namespace

void frmMain::WireBrowsingCommands() {
  txtURL_.signal_activate().connect([this] {
    // Enter: the caret goes to the end, then the address is opened.
    txtURL_.select_region(-1, -1);
    txtURL_.set_position(-1);
    Go();
  });
  cmdMove_.signal_clicked().connect([this] { Go(); });
  for (int i = 1; i <= 6; ++i)
    if (tool_buttons_[i - 1]) tool_buttons_[i - 1]->signal_clicked().connect([this, i] { ToolbarClick(i); });

  commands_["mnuOpURL"] = [this] { OpenUrlPrompt(); };
  commands_["mnuCopy"] = [this] { CopyUrl(); };
  commands_["mnuPaste"] = [this] { PasteUrl(); };
  commands_["open:mhEdit"] = [this] {
    paste_enabled_ = mode_ == 2;
    menu_item("mnuPaste")->set_sensitive(paste_enabled_);
  };
  commands_["mnuHomeURL"] = [this] { HomeUrlPrompt(); };
  commands_["mnuDelHist"] = [this] { DeleteHistory(); };
  commands_["open:mhRecent"] = [this] { ShowHistoryMenu(); };
  for (int i = 0; i < RecentHistory::kSlots; ++i)
    commands_["mnuRecent(" + std::to_string(i) + ")"] = [this, i] { RecentClick(i); };

  picProg_.signal_draw().connect(sigc::mem_fun(*this, &frmMain::DrawProgress));
}

void frmMain::AttachAutoCompletion() { AddressCompletion::Attach(txtURL_); }

// ---- Commands ----------------------------------------------------------------------------------

void frmMain::Go() { browser_->Navigate2(txtURL_.get_text()); }

void frmMain::ToolbarClick(int index) {
  switch (index) {
    case 1: browser_->Stop(); break;
    case 2: browser_->Refresh2(); break;
    case 3: browser_->Navigate(home_url_); break;
    case 5: browser_->GoBack(); break;
    case 6: browser_->GoForward(); break;
    default: break;
  }
}

void frmMain::OpenUrlPrompt() {
  std::string url = AppDialogs().InputBox(this, "URLを入力してください", "ダイレクトURL入力", "");
  if (!url.empty()) browser_->Navigate(url);
}

void frmMain::CopyUrl() {
  auto clipboard = Gtk::Clipboard::get();
  clipboard->clear();
  clipboard->set_text(browser_->LocationURL());
  clipboard->store();
}

void frmMain::PasteUrl() {
  auto clipboard = Gtk::Clipboard::get();
  if (!clipboard->wait_is_text_available()) return;
  std::string text = clipboard->wait_for_text();
  browser_->Navigate(text);
}

void frmMain::HomeUrlPrompt() {
  std::string shown = home_url_ == "about:blank" ? "BLANK" : home_url_;
  std::string answer = AppDialogs().InputBox(this, "ホームに指定するURLを入力してください",
                                             "設定－ホームURL", shown);
  if (answer.empty()) return;
  if (answer == "BLANK") answer = "about:blank";
  home_url_ = answer;
  SaveSetting("Setting", "HomeURL", home_url_);
}

// ---- The recent pages --------------------------------------------------------------------------

void frmMain::SetRecentItem(int index, const std::string& caption, bool enabled, bool visible) {
  Gtk::MenuItem* item = menu_item("mnuRecent(" + std::to_string(index) + ")");
  // Titles are shown as they are; an "_" in a title is not an access key.
  item->set_use_underline(false);
  item->set_label(caption);
  item->set_sensitive(enabled);
  item->set_visible(visible);
}

void frmMain::LoadHistoryStep() {
  RecentHistory& history = RecentHistory::Shared();
  history.Load(UserSettings());
  ShowHistoryMenu();
}

// The list belongs to the process and every window changes it, so the menu is shown as the list
// is now whenever it opens, and after this window changed the list.
void frmMain::ShowHistoryMenu() {
  const RecentHistory& history = RecentHistory::Shared();
  for (int n = 1; n <= RecentHistory::kSlots; ++n) {
    if (history.slot(n).filled())
      SetRecentItem(n - 1, history.slot(n).title, true, true);
    else
      SetRecentItem(n - 1, "（空）", false, n == 1);
  }
}

void frmMain::RecentClick(int index) {
  browser_->Navigate(RecentHistory::Shared().slot(index + 1).url);
}

void frmMain::DeleteHistory() {
  if (AppDialogs().MessageBox(this, "すべての履歴を削除してよろしいですか？", "確認", MsgIcon::Question,
                              MsgButtons::YesNo) != MsgResult::Yes)
    return;
  RecentHistory::Shared().Clear(UserSettings());
  ShowHistoryMenu();
}

// ---- Browser events ----------------------------------------------------------------------------

void frmMain::ConnectBrowserEvents() {
  browser_->signal_status_text_change().connect(sigc::mem_fun(*this, &frmMain::OnStatusTextChange));
  browser_->signal_progress_change().connect(sigc::mem_fun(*this, &frmMain::OnProgressChange));
  browser_->signal_title_change().connect(sigc::mem_fun(*this, &frmMain::OnTitleChange));
  browser_->signal_navigate_complete2().connect(sigc::mem_fun(*this, &frmMain::OnNavigateComplete2));
  browser_->signal_on_tool_bar().connect(sigc::mem_fun(*this, &frmMain::OnToolBar));
  browser_->signal_on_menu_bar().connect(sigc::mem_fun(*this, &frmMain::OnMenuBar));
  browser_->signal_on_status_bar().connect(sigc::mem_fun(*this, &frmMain::OnStatusBar));
  // A page that sizes its window (window.open with a size, resizeTo) sizes the browser area;
  // the window then grows or shrinks around it.
  browser_->signal_resize_to().connect([this](int width, int height) {
    Gtk::Widget& b = wbwMain();
    Place(b, control_left(b), control_top(b), static_cast<float>(width * tx_),
          static_cast<float>(height * ty_));
    FollowBrowserSize();
  });
}

void frmMain::OnStatusTextChange(const std::string& text) { status_text_.set_text(text); }

void frmMain::OnProgressChange(long progress, long maximum) {
  const int width = panel_frames_[1].get_allocated_width();
  const int height = stbStat_.get_allocated_height();
  if (progress < 1 || maximum < 1) {
    progress_shown_ = false;
    picProg_.queue_draw();
    return;
  }
  if (width <= 0 || height <= 0) return;
  if (!progress_surface_ || progress_surface_->get_width() != width ||
      progress_surface_->get_height() != height) {
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, width, height);
    if (progress_surface_) {
      // The drawing survives a change of the panel's size.
      auto cr = Cairo::Context::create(surface);
      cr->set_source(progress_surface_, 0, 0);
      cr->paint();
    }
    progress_surface_ = surface;
  }
  const double x = static_cast<double>(progress) / static_cast<double>(maximum) * width;
  const int m = 3;  // pixels above and below the box
  auto cr = Cairo::Context::create(progress_surface_);
  cr->set_source_rgb(220 / 255.0, 0, 0);
  cr->rectangle(0, m, std::min<double>(x, width), std::max(0, height - 2 * m));
  cr->fill();
  progress_x_ = static_cast<int>(std::min<double>(x, width));
  progress_shown_ = true;
  picProg_.queue_draw();
}

bool frmMain::DrawProgress(const Cairo::RefPtr<Cairo::Context>& cr) {
  if (!progress_shown_ || !progress_surface_) return false;
  // The surface is laid over the whole panel; the drawing area sits inside the panel's frame.
  int x = 0, y = 0;
  picProg_.translate_coordinates(panel_frames_[1], 0, 0, x, y);
  cr->set_source(progress_surface_, -x, -y);
  cr->paint();
  return true;
}

void frmMain::OnTitleChange(const std::string& text) {
  const std::string t = text == "about:blank" ? "空白ページ" : text;
  set_title(t + kCaptionSuffix);
  if (!JobSelected() || mode_ != 1) txtJob_.set_text(t + " [" + browser_->LocationURL() + "]");
}

void frmMain::OnNavigateComplete2(const std::string& url) {
  txtURL_.set_text(browser_->LocationURL());
  txtJob_.set_text(PositionText(url));

  if (RecentHistory::Shared()
          .Add(browser_->LocationName(), browser_->LocationURL(), UserSettings())
          .changed)
    ShowHistoryMenu();

  cboJob_.set_sensitive(true);
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
  for (const char* name : {"mhFile", "mhEdit", "mhJob", "mhPocket", "mhConfig", "mhHelp"})
    menu_item(name)->set_visible(show);
  // An empty menu bar would still take its row.
  menubar_.set_visible(show);
}

void frmMain::OnStatusBar(bool show) {
  stbStat_.set_visible(show);
  if (!show) {
    const float bar = static_cast<float>(std::max(stbStat_.get_allocated_height(),
                                                  ToPixels(design::kStatusBar.height, ty_)) * ty_);
    ResizeWindowInCode(window_width(), window_height() - bar);
    snapshot_.H -= bar;
    in_code_resize_ = false;
  }
}

// ---- New windows and closing -------------------------------------------------------------------

BrowserControl* frmMain::NewWindow2() {
  frmMain& window = app_.OpenNewWindow(*this);
  if (maximized_) window.maximize();
  window.browser().signal_ready_to_show().connect([&window] { window.show(); });
  return &window.browser();
}

void frmMain::WindowClosing() {
  if (AppDialogs().MessageBox(this, "このウィンドウを閉じますか？", "確認", MsgIcon::Question,
                              MsgButtons::YesNo) == MsgResult::Yes)
    CloseWindow();
}

}  // namespace tarvik
