// The main window: a browser window around one browser control, with the cool bar (toolbar,
// pockets, mode picture, job bar or address bar), the menus and the status bar. Its decisions
// live in the subsystems (jobs/job_cursor.h, browse/, app/layout_rules.h); it wires widgets.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/layout.h>
#include <gtkmm/menubar.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/window.h>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/find_bar.h"
#include "app/layout_rules.h"
#include "app/main_action_set.h"
#include "app/main_actions.h"
#include "app/main_cool_bar.h"
#include "app/main_job_extras.h"
#include "app/main_page_extras.h"
#include "app/main_page_tools.h"
#include "app/main_rounds.h"
#include "app/main_status_bar.h"
#include "app/main_step_ahead.h"
#include "app/main_window_pockets.h"
#include "app/main_window_skin.h"
#include "app/twips_layout.h"
#include "app/window_mode.h"
#include "app/window_placement.h"
#include "jobs/job_cursor.h"
#include "jobs/job_host.h"
#include "platform/browser_control.h"
#include "platform/settings_store.h"

namespace tarvik {

class WindowHost;

class frmMain : public Gtk::Window,
                public BrowserHost,
                public JobHost,
                public JobExtrasHost,
                public MainCommandHost,
                public RoundsHost,
                public PageExtrasHost {
 public:
  // `new_window` is NewWdwFlag: the window was opened for a page's new-window request, so its
  // start-up navigates nowhere. `start_page_requested`: the process has already asked the browser
  // for the page the command line opens, so start-up does not ask again.
  frmMain(WindowHost& host, std::unique_ptr<BrowserControl> browser, bool new_window,
          bool start_page_requested = false);
  ~frmMain() override;

  // The start-up sequence; the window is shown by the caller.
  void Load();

  BrowserControl& browser() override { return *browser_; }
  Mode mode() const override { return mode_; }
  const std::string& home_url() const { return home_url_; }
  // The "HomeURL" setting, "about:blank" when it was never set.
  static std::string StoredHomeURL();
  bool NewWdwFlag() const { return new_window_; }
  // The window has saved and hidden itself; the host releases it.
  bool closed() const { return closed_; }
  const LayoutSnapshot& snapshot() const { return snapshot_; }
  void ToggleMode() override;

  // The window's size in twips and its state, as last reported by the window system or last
  // asked for by the program.
  float window_width() const { return last_width_px_ * tx_; }
  float window_height() const { return last_height_px_ * ty_; }
  bool is_maximized() const { return maximized_; }
  bool is_minimized() const { return minimized_; }

  // Full screen: the page fills the screen, without the menus, the bands and the status bar;
  // again, or Escape, brings them back. The placement stored on closing is the one before.
  void ToggleFullScreen() override;
  bool is_full_screen() const { return full_screen_; }
  MainPageTools& page_tools() override { return page_tools_; }
  FindBar& find_bar() { return find_bar_; }

  // Closing: the saves of a close request, then of the unload. Ctrl+Q and the close box both
  // come here; nothing is asked.
  void CloseWindow() override;

  // The window's actions by their ids (app/main_actions.h): a menu item (nullptr for an action
  // with none), an action's state, and running it as a click would.
  Gtk::MenuItem* menu_item(ActionId id, int index = 0) override {
    return actions_.menu_item(id, index);
  }
  MainActionSet::Action action(ActionId id, int index = 0) { return actions_.action(id, index); }
  void Run(ActionId id, int index = 0) { actions_.Run(id, index); }

  // Controls, for the command code and for tests; the cool bar holds most of them.
  MainCoolBar& clbComm() { return clbComm_; }
  Gtk::Entry& txtURL() { return clbComm_.txtURL(); }
  Gtk::Entry& txtJob() { return clbComm_.txtJob(); }
  ListSelector& cboJob() override { return clbComm_.cboJob(); }
  Gtk::Button& cmdNav(int i) { return clbComm_.cmdNav(i); }
  Gtk::Widget& wbwMain() { return browser_->widget(); }
  MainStatusBar& stbStat() override { return stbStat_; }
  void ShowStatusNotice(const std::string& text) override { stbStat_.ShowNotice(text); }
  Gtk::MenuBar& menu_bar() { return menubar_; }

  // Geometry of a control in twips, as the layout reads it.
  float control_left(Gtk::Widget& w) const { return layout_.Geometry(w).left; }
  float control_width(Gtk::Widget& w) const { return layout_.Geometry(w).width; }

  // BrowserHost.
  BrowserControl* NewWindow2() override;
  void WindowClosing() override;
  std::optional<std::vector<PageMenuRow>> PlanPageMenu(const PageMenuContext& context) override {
    return page_extras_.PageMenu(context);
  }

  // What the window adds to the page (main_page_extras.h).
  MainPageExtras& page_extras() { return page_extras_; }
  void OpenInNewWindow(const std::string& url) override;
  DownloadList& download_list() override;
  void ShowDownloads() override;

  // The job bar.
  void LoadJobList(int select_index) override;
  bool LoadSelectedJob(bool keep_position) override;
  void cboJob_Click();
  void UpdateNavTips() override;  // the step buttons' tooltips and the job place, from the cursor
  const JobCursor& job_cursor() const { return job_; }
  JobCursor& job_cursor() override { return job_; }
  int CurJobIdx() const override { return cur_job_idx_; }

  // JobHost.
  Gtk::Window& job_window() override { return *this; }
  int JobSelectorIndex() override { return cboJob().get_active_row_number(); }
  int JobSelectorCount() override;
  bool JobSelected() override;
  bool NewJobFlag() const override { return new_job_flag_; }
  void SetNewJobFlag(bool on) override { new_job_flag_ = on; }
  BrowserControl* FirstWindowBrowser() override;
  JobsService& jobs_service() override;

  // Browsing and menu commands (app/main_actions.cpp holds the table's share of them).
  void Go() override;  // Enter in the address box, the Go button
  void GoHome() override;
  void StepJob(int step) override;  // a step button's JobStep
  void RefreshEditMenu() override;  // as the Edit menu opens
  void HomeUrlPrompt() override;
  void RecentClick(int index) override;
  void DeleteHistory() override;
  void ShowHistoryMenu() override;  // the recent-pages items as the shared history holds them now
  MainWindowPockets& pockets() override { return pockets_; }
  MainWindowSkin& skin() override { return skin_; }
  MainJobExtras& job_extras() override { return job_extras_; }
  Gtk::Window& command_window() override { return *this; }
  JobHost& job_host() override { return *this; }  // the job features beyond the design
  MainRounds& rounds() override { return rounds_; }

  // RoundsHost.
  bool JobShown() override { return mode_ == Mode::Job && JobSelected() && job_.loaded(); }
  const std::string& ShownURL() const override { return shown_url_; }
  void GoToEntry(int index) override;

 protected:
  bool on_delete_event(GdkEventAny* event) override;
  bool on_configure_event(GdkEventConfigure* event) override;
  bool on_window_state_event(GdkEventWindowState* event) override;
  // The editing keys go to a focused text field before the menu shortcuts see them.
  bool on_key_press_event(GdkEventKey* event) override;

 private:
  float control_top(Gtk::Widget& w) const { return layout_.Geometry(w).top; }
  float control_height(Gtk::Widget& w) const { return layout_.Geometry(w).height; }

  void BuildControls();
  void BuildPageTools();  // frm_main_page.cpp
  void ShowFullScreen(bool on);
  // Escape outside the find bar: leaves full screen, else stops the page's load (and the page
  // has the key too).
  bool EscapeFromPage(GdkEventKey* event);
  void WireCommands();
  void ConnectBrowserEvents();

  void ResizeWindowInCode(float width, float height);
  void UpdateJobItems() { actions_.FollowLoadedJob(job_.loaded() && JobSelected()); }
  // The placement a close would store now.
  ClosingPlacement PlacementNow();

  // The start-up steps, in their order.
  void ReadScreenResolution();
  void CaptureLayoutSnapshot();
  void RestoreWindowPlacement();
  void RestoreHomeAndMode();
  void ApplyStoredSkin();
  void LoadHistory();
  void LoadJobListAtStartUp();
  void AttachAddressCompletion();
  void ActOnCommandLine(const StartCommand& command);

  // Layout.
  void OnWindowResized();
  void OnCoolBarHeightChanged(int height_px);
  void OnCoolBarBandChange();
  void ApplyResizeLayout(const ResizeLayout& l);
  // After the browser area changed size from the page's side: the window follows it.
  void FollowBrowserSize();

  // The job bar and the browser's events.
  void SelectJobNamed(const std::string& name);
  std::string PositionText(const std::string& url);
  void OnTitleChange(const std::string& text);
  void OnNavigateComplete2(const std::string& url);
  void OnToolBar(bool show);
  void OnMenuBar(bool show);
  void OnStatusBar(bool show);

  WindowHost& host_;
  std::unique_ptr<BrowserControl> browser_;
  bool new_window_;

  Mode mode_ = Mode::Job;
  std::string home_url_ = "about:blank";
  // The process has already asked the browser for the page the command line opens.
  bool start_page_requested_ = false;
  LayoutSnapshot snapshot_;
  bool in_code_resize_ = false;  // set while the window's own code changes its size
  int tx_ = 15;                  // twips per pixel
  int ty_ = 15;
  bool maximized_ = false;
  bool minimized_ = false;
  bool closed_ = false;
  float last_width_px_ = 0;  // the size last configured or asked for, in pixels
  float last_height_px_ = 0;
  TwipsLayout layout_{tx_, ty_};  // each placed control's place, in twips

  JobCursor job_;
  int cur_job_idx_ = -1;                 // the selector's index of the loaded job
  std::string shown_url_;                // the address of the last navigation completed
  bool title_line_names_entry_ = false;  // the title line shows a job entry's own title
  bool new_job_flag_ = false;
  bool filling_jobs_ = false;  // the selector is being refilled; its changes are not clicks
  // The next entry made ready while a job is stepped through in the job bar.
  MainStepAhead step_ahead_{*browser_, job_,
                            [this] { return mode_ == Mode::Job && JobSelected(); }};

  // Full screen, and the window as it was before it.
  bool full_screen_ = false;
  std::optional<ClosingPlacement> before_full_screen_;
  std::array<bool, 3> bars_before_full_screen_{};  // the menus, the bands, the status bar
  sigc::connection fill_pending_;

  // Widgets, in the order of the window design.
  Gtk::Box vbox_{Gtk::ORIENTATION_VERTICAL};
  Gtk::MenuBar menubar_;
  Gtk::Layout client_;
  Gtk::Image picSkin_;
  MainCoolBar clbComm_;
  MainStatusBar stbStat_;
  FindBar find_bar_{*browser_};  // over the top of the page area while open
  MainPageTools page_tools_{*this, *browser_, stbStat_, find_bar_};

  MainActionSet actions_{*this, *this};
  // After the menus: the skin items leave the skin menu before it goes.
  MainWindowPockets pockets_{clbComm_, stbStat_, *this, *browser_};
  MainWindowSkin skin_{*this, clbComm_, pockets_, layout_};
  MainRounds rounds_{*this};
  MainJobExtras job_extras_{*this, *this};  // made after, and gone before, everything it uses
  MainPageExtras page_extras_{*this};       // the same, with the job features
};

}  // namespace tarvik
