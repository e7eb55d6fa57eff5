#include <glibmm/main.h>
#include <gtkmm/clipboard.h>

#include "browse/recent_history.h"
#include "browse/script_guard.h"
#include "jobs/frm_edit_job.h"
#include "jobs/job_files.h"
#include "main_window_fixture.h"
#include "support/gui_input.h"

namespace tarvik::test {
namespace {

void gtk_tool_button_clicked_emit(Gtk::ToolButton& b) {
  g_signal_emit_by_name(b.gobj(), "clicked");
}

using BrowseTest = MainWindowTest;

TEST_F(BrowseTest, EnterInTheAddressBoxOpensTheTextAsTypedWithTheCaretAtTheEnd) {
  frmMain& w = Start("");
  w.txtURL().set_text("example.com/a b");
  w.txtURL().select_region(0, 3);
  w.txtURL().activate();
  EXPECT_EQ(browser().last_navigation(), "Navigate2:example.com/a b");
  EXPECT_EQ(w.txtURL().get_position(), static_cast<int>(Glib::ustring("example.com/a b").size()));
  int start = 0, end = 0;
  EXPECT_FALSE(w.txtURL().get_selection_bounds(start, end));

  w.txtURL().set_text("");
  w.clbComm().cmdMove().clicked();
  EXPECT_EQ(browser().last_navigation(), "Navigate2:");

  // A link dropped on the box opens its page; it was added to the text there.
  w.txtURL().set_text("typed");
  test::DropOnto(w.txtURL(), "text/plain", "http://dropped.example/page");
  EXPECT_TRUE(RunUntil(
      [&] { return browser().last_navigation() == "Navigate2:http://dropped.example/page"; }));
  EXPECT_EQ(w.txtURL().get_text(), "http://dropped.example/page");
  test::DropOnto(w.txtURL(), "text/uri-list", "# a comment\r\nhttp://list.example/\r\n");
  EXPECT_TRUE(
      RunUntil([&] { return browser().last_navigation() == "Navigate2:http://list.example/"; }));
}

TEST_F(BrowseTest, TheToolbarButtonsDriveTheBrowser) {
  settings().Save("Setting", "HomeURL", "http://home/");
  frmMain& w = Start("http://start/");
  browser().calls.clear();
  for (int i : {1, 2, 3, 5, 6}) gtk_tool_button_clicked_emit(w.clbComm().tool_button(i));
  EXPECT_EQ(browser().calls, (std::vector<std::string>{"Stop", "Refresh2", "Navigate:http://home/",
                                                       "GoBack", "GoForward"}));
}

TEST_F(BrowseTest, TheOpenUrlPromptNavigatesUnlessCancelled) {
  frmMain& w = Start("");
  browser().calls.clear();
  dialogs.AnswerInput("host.example");
  w.Run(ActionId::OpenUrl);
  dialogs.AnswerInput("");
  w.Run(ActionId::OpenUrl);
  EXPECT_EQ(browser().calls, std::vector<std::string>{"Navigate:host.example"});
  EXPECT_EQ(dialogs.shown[0].caption, "ダイレクトURL入力");
  EXPECT_EQ(dialogs.shown[0].text, "URLを入力してください");
  EXPECT_EQ(w.txtURL().get_text(), "");
}

TEST_F(BrowseTest, CopyAndPasteGoThroughTheClipboard) {
  frmMain& w = Start("");
  browser().location_url = "http://copied/";
  w.Run(ActionId::CopyUrl);
  EXPECT_EQ(Gtk::Clipboard::get()->wait_for_text(), "http://copied/");

  Gtk::Clipboard::get()->set_text("not even a url");
  browser().calls.clear();
  w.Run(ActionId::PasteUrl);
  EXPECT_EQ(browser().calls, std::vector<std::string>{"Navigate:not even a url"});

  // No page: the clipboard gets an empty text.
  browser().location_url.clear();
  w.Run(ActionId::CopyUrl);
  EXPECT_EQ(Gtk::Clipboard::get()->wait_for_text(), "");
}

TEST_F(BrowseTest, OpeningTheEditMenuEnablesPasteOnlyInDirectMode) {
  frmMain& w = Start("");
  EXPECT_TRUE(w.action(ActionId::PasteUrl).enabled());  // as designed, until the menu opens
  w.menu_item(ActionId::EditMenu)->get_submenu()->show();
  EXPECT_FALSE(w.action(ActionId::PasteUrl).enabled());
  w.menu_item(ActionId::EditMenu)->get_submenu()->hide();
  w.Run(ActionId::ToggleMode);
  EXPECT_FALSE(w.action(ActionId::PasteUrl).enabled());  // until the menu opens again
  w.menu_item(ActionId::EditMenu)->get_submenu()->show();
  EXPECT_TRUE(w.action(ActionId::PasteUrl).enabled());
}

TEST_F(BrowseTest, TheHomeUrlPromptShowsBlankAndStoresTheAnswer) {
  frmMain& w = Start("");
  dialogs.AnswerInput("");
  w.Run(ActionId::HomeUrl);
  EXPECT_EQ(dialogs.shown.back().default_text, "BLANK");
  EXPECT_EQ(dialogs.shown.back().caption, "設定－ホームURL");
  EXPECT_FALSE(settings().Find("Setting", "HomeURL"));

  dialogs.AnswerInput("blank");
  w.Run(ActionId::HomeUrl);
  EXPECT_EQ(settings().Get("Setting", "HomeURL", ""), "blank");
  dialogs.AnswerInput("BLANK");
  w.Run(ActionId::HomeUrl);
  EXPECT_EQ(dialogs.shown.back().default_text, "blank");
  EXPECT_EQ(settings().Get("Setting", "HomeURL", ""), "about:blank");
  EXPECT_EQ(w.home_url(), "about:blank");
}

TEST_F(BrowseTest, TheCaptionFollowsTheTitle) {
  frmMain& w = Start("");
  browser().RaiseTitle("about:blank");
  EXPECT_EQ(w.get_title(), "空白ページ -- Tarvik");
  browser().RaiseTitle("About:Blank");
  EXPECT_EQ(w.get_title(), "About:Blank -- Tarvik");
  browser().location_url = "http://x/";
  browser().RaiseTitle("ニュース");
  EXPECT_EQ(w.get_title(), "ニュース -- Tarvik");
  EXPECT_EQ(w.txtJob().get_text(), "ニュース [http://x/]");
}

TEST_F(BrowseTest, ACompletedNavigationFillsTheAddressBoxTheHistoryAndEnablesTheJobs) {
  frmMain& w = Start("");
  EXPECT_FALSE(w.cboJob().is_sensitive());
  browser().Complete("http://one/", "One");
  EXPECT_EQ(w.txtURL().get_text(), "http://one/");
  EXPECT_TRUE(w.cboJob().is_sensitive());
  EXPECT_EQ(w.menu_item(ActionId::Recent, 0)->get_label(), "One");
  EXPECT_TRUE(w.action(ActionId::Recent, 0).enabled());
  EXPECT_EQ(settings().Get("History", "URL01", ""), "http://one/");
  browser().Complete("http://two/", "Two");
  EXPECT_TRUE(w.menu_item(ActionId::Recent, 1)->get_visible());
  browser().calls.clear();
  w.Run(ActionId::Recent, 0);
  EXPECT_EQ(browser().calls, std::vector<std::string>{"Navigate:http://one/"});
}

// A page with a 10 MB title stalled the window: the caption, the title line and the menu laid
// out all of it. They show its start; the history keeps it whole.
TEST_F(BrowseTest, HugeTitlesAreShortenedWhereShownAndKeptWhole) {
  frmMain& w = Start("");
  const std::string huge = "タイトル" + std::string(10 << 20, 't');
  const std::string long_url = "http://big/?" + std::string(1000, 'q');  // still recorded
  browser().Complete(long_url, huge);
  const Glib::ustring caption = w.get_title();
  EXPECT_LT(caption.size(), 400u);
  EXPECT_EQ(caption.substr(0, 4), "タイトル");
  EXPECT_EQ(caption.raw().find("… -- Tarvik"), caption.bytes() - std::string("… -- Tarvik").size());
  const Glib::ustring line = w.txtJob().get_text();
  EXPECT_LT(line.size(), 800u);
  EXPECT_NE(line.raw().find("… [http://big/?q"), std::string::npos)
      << "title and address cut apart";
  EXPECT_EQ(line.raw().substr(line.bytes() - 4), "…]");
  const Glib::ustring item = w.menu_item(ActionId::Recent, 0)->get_label();
  EXPECT_LT(item.size(), 400u);
  EXPECT_EQ(item.raw().substr(item.bytes() - 3), "…");
  EXPECT_EQ(RecentHistory::Shared().slot(1).title, huge);
  EXPECT_EQ(RecentHistory::Shared().slot(1).url, long_url);
}

// Ctrl+C copied the address even when the page had the focus and a selection.
TEST_F(BrowseTest, CtrlCInThePageCopiesItsSelection) {
  frmMain& w = Start("");
  browser().Complete("http://copy/", "Copy");
  auto clipboard = Gtk::Clipboard::get();
  auto press_ctrl_c = [&] {
    clipboard->set_text("before");
    ASSERT_TRUE(gtk_accel_groups_activate(G_OBJECT(w.gobj()), GDK_KEY_c, GDK_CONTROL_MASK));
    Pump();  // the command runs once the key has been handled
  };
  browser().selection = "選択した文";
  browser().has_focus = true;
  press_ctrl_c();
  EXPECT_EQ(clipboard->wait_for_text(), "選択した文");
  browser().selection.clear();
  press_ctrl_c();
  EXPECT_EQ(clipboard->wait_for_text(), "http://copy/") << "no selection: the address";
  browser().selection = "選択した文";
  browser().has_focus = false;
  press_ctrl_c();
  EXPECT_EQ(clipboard->wait_for_text(), "http://copy/") << "the page has no focus";
}

// Ctrl+V and Ctrl+A in a text field ran the menu's commands: the text typed into the address box
// was lost to the clipboard's address, and Ctrl+A opened the author page.
TEST_F(BrowseTest, TheEditingKeysEditTheFocusedFieldAndTheMenuKeepsThemElsewhere) {
  ASSERT_TRUE(RewriteJobList(home.path(), {"News"}));
  ASSERT_TRUE(WriteJobFile(home.path(), "News", {{"A", "http://a/"}}));
  frmMain& w = Start("");
  if (w.mode() == Mode::Job) w.Run(ActionId::ToggleMode);  // the address bar
  auto clipboard = Gtk::Clipboard::get();
  clipboard->set_text("pasted");
  browser().calls.clear();
  auto typed_into = [&](Gtk::Window& window, Gtk::Entry& box) {
    box.set_text("half");
    box.grab_focus();
    box.set_position(-1);
    PressKey(window, GDK_KEY_v, GDK_CONTROL_MASK);
    EXPECT_TRUE(RunUntil([&] { return box.get_text() == "halfpasted"; })) << box.get_text();
    PressKey(window, GDK_KEY_a, GDK_CONTROL_MASK);
    int start = 0, end = 0;
    EXPECT_TRUE(box.get_selection_bounds(start, end));
    EXPECT_EQ(end - start, 10);
  };
  typed_into(w, w.txtURL());
  EXPECT_EQ(browser().calls, std::vector<std::string>{}) << "no menu command ran";

  // Everywhere else the shortcuts are the menu's.
  w.unset_focus();
  browser().has_focus = true;
  PressKey(w, GDK_KEY_v, GDK_CONTROL_MASK);
  EXPECT_EQ(browser().last_navigation(), "Navigate:pasted");
  PressKey(w, GDK_KEY_a, GDK_CONTROL_MASK);
  EXPECT_NE(browser().last_navigation(), "Navigate:pasted") << "the author page";

  // The job editor's boxes, over the main window.
  bool driven = false;
  sigc::connection drive = Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* top : Gtk::Window::list_toplevels()) {
          auto* editor = dynamic_cast<frmEditJob*>(top);
          if (!editor || !editor->get_mapped()) continue;
          typed_into(*editor, editor->txtTitle());
          typed_into(*editor, editor->txtURL());
          driven = true;
          editor->cmdCancel().clicked();
          return false;
        }
        return true;
      },
      20);
  browser().calls.clear();
  w.cboJob().set_active(0);
  browser().calls.clear();
  w.Run(ActionId::EditJob);
  drive.disconnect();
  EXPECT_TRUE(driven);
  EXPECT_EQ(browser().calls, std::vector<std::string>{});
}

// A script address in the history ran from the menu without a word.
TEST_F(BrowseTest, ScriptAddressesFromTheHistoryAskFirst) {
  frmMain& w = Start("");
  const std::string script = "javascript:alert(1)";
  browser().Complete(script, "Script");
  browser().calls.clear();
  dialogs.AnswerMessage(MsgResult::No);
  w.Run(ActionId::Recent, 0);
  EXPECT_EQ(browser().navigation_count(), 0);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kScriptAddressQuestion);
  dialogs.AnswerMessage(MsgResult::Yes);
  w.Run(ActionId::Recent, 0);
  EXPECT_EQ(browser().calls, std::vector<std::string>{"Navigate:" + script});
}

TEST_F(BrowseTest, TheTwentyFirstPageRotatesTheMenuAndARestartShowsTheLastTwenty) {
  frmMain& w = Start("");
  for (int i = 1; i <= 21; ++i)
    browser().Complete("http://p" + std::to_string(i) + "/", "P" + std::to_string(i));
  EXPECT_EQ(w.menu_item(ActionId::Recent, 0)->get_label(), "P2");
  EXPECT_EQ(w.menu_item(ActionId::Recent, 19)->get_label(), "P21");
  w.Run(ActionId::Quit);
  ASSERT_TRUE(RunUntil([&] { return last_window_closed; }));
  app.reset();
  frmMain& again = Start("");
  EXPECT_EQ(again.menu_item(ActionId::Recent, 0)->get_label(), "P2");
  EXPECT_EQ(again.menu_item(ActionId::Recent, 19)->get_label(), "P21");
  EXPECT_TRUE(again.menu_item(ActionId::Recent, 19)->get_visible());
}

// The list is the process's: another window's menu shows it as it is when opened, so an item
// opens the page its caption names.
TEST_F(BrowseTest, EveryWindowsRecentMenuShowsTheListAsItIsNow) {
  frmMain& first = Start("");
  first.NewWindow2();
  frmMain& second = *app->new_window(1);
  for (int i = 1; i <= 21; ++i)
    browser(0).Complete("http://p" + std::to_string(i) + "/", "P" + std::to_string(i));
  auto* recent = second.menu_item(ActionId::RecentMenu)->get_submenu();
  recent->show();
  EXPECT_EQ(second.menu_item(ActionId::Recent, 0)->get_label(), "P2");
  EXPECT_EQ(second.menu_item(ActionId::Recent, 19)->get_label(), "P21");
  EXPECT_TRUE(second.menu_item(ActionId::Recent, 19)->get_visible());
  browser(1).calls.clear();
  second.Run(ActionId::Recent, 0);
  EXPECT_EQ(browser(1).calls, std::vector<std::string>{"Navigate:http://p2/"});
  recent->hide();

  dialogs.AnswerMessage(MsgResult::Yes);
  first.Run(ActionId::DeleteHistory);
  recent->show();
  EXPECT_EQ(second.menu_item(ActionId::Recent, 0)->get_label(), "（空）");
  EXPECT_FALSE(second.action(ActionId::Recent, 0).enabled());
  EXPECT_FALSE(second.menu_item(ActionId::Recent, 1)->get_visible());
  recent->hide();
}

TEST_F(BrowseTest, DeletingTheHistoryAsksFirst) {
  frmMain& w = Start("");
  browser().Complete("http://one/", "One");
  browser().Complete("http://two/", "Two");
  dialogs.AnswerMessage(MsgResult::No);
  w.Run(ActionId::DeleteHistory);
  EXPECT_EQ(w.menu_item(ActionId::Recent, 1)->get_label(), "Two");
  dialogs.AnswerMessage(MsgResult::Yes);
  w.Run(ActionId::DeleteHistory);
  EXPECT_EQ(dialogs.shown.back().text, "すべての履歴を削除してよろしいですか？");
  EXPECT_EQ(dialogs.shown.back().icon, MsgIcon::Question);
  EXPECT_EQ(w.menu_item(ActionId::Recent, 0)->get_label(), "（空）");
  EXPECT_FALSE(w.action(ActionId::Recent, 0).enabled());
  EXPECT_TRUE(w.menu_item(ActionId::Recent, 0)->get_visible());
  EXPECT_FALSE(w.menu_item(ActionId::Recent, 1)->get_visible());
  EXPECT_EQ(settings().Get("History", "URL02", "absent"), "");
}

TEST_F(BrowseTest, TheProgressGraphFillsPanelTwoAndClears) {
  frmMain& w = Start("");
  Pump(100);
  browser().RaiseProgress(50, 100);
  EXPECT_GT(w.stbStat().progress_extent(), 0);
  int half = w.stbStat().progress_extent();
  browser().RaiseProgress(100, 100);
  EXPECT_NEAR(w.stbStat().progress_extent(), 2 * half, 1);
  browser().RaiseProgress(0, 100);
  EXPECT_EQ(w.stbStat().progress_extent(), -1);
  browser().RaiseProgress(-1, 0);
  EXPECT_EQ(w.stbStat().progress_extent(), -1);
  browser().RaiseStatusText("http://hover/");
  EXPECT_EQ(w.stbStat().panel(0).get_text(), "http://hover/");
}

// Whether the progress panel shows red at its middle, as painted on screen.
bool ProgressRedAtMiddle(MainStatusBar& bar) {
  Gtk::DrawingArea& area = bar.picProg();
  const int width = area.get_allocated_width(), height = area.get_allocated_height();
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, width, height);
  auto cr = Cairo::Context::create(surface);
  gtk_widget_draw(GTK_WIDGET(area.gobj()), cr->cobj());
  surface->flush();
  const unsigned char* row = surface->get_data() + surface->get_stride() * (height / 2);
  const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[width / 2];
  return ((pixel >> 16) & 0xFF) > 180 && ((pixel >> 8) & 0xFF) < 40 && (pixel & 0xFF) < 40;
}

// The graph stayed full from the second load on: its drawing was never cleared.
TEST_F(BrowseTest, ProgressGraphClearsWhenTheNextLoadStarts) {
  frmMain& w = Start("");
  Pump(100);
  browser().RaiseProgress(100, 100);
  Pump(20);
  ASSERT_TRUE(ProgressRedAtMiddle(w.stbStat())) << "the first load fills the graph";
  browser().RaiseProgress(-1, 100);  // the load ends; the next one starts
  browser().RaiseProgress(10, 100);
  Pump(20);
  EXPECT_FALSE(ProgressRedAtMiddle(w.stbStat())) << "a tenth of the second load";
  EXPECT_GT(w.stbStat().progress_extent(), 0);
}

TEST_F(BrowseTest, APageWithoutToolbarHidesTheFirstBandsAndTheWindowFollowsTheBar) {
  frmMain& w = Start("");
  Pump(200);
  int width = 0, height = 0;
  w.get_size(width, height);
  Gtk::Allocation before = w.wbwMain().get_allocation();
  int bar = w.clbComm().bar_height();
  browser().toolbar = 0;
  browser().RaiseToolBar(false);
  EXPECT_FALSE(w.clbComm().band_visible(0));
  EXPECT_FALSE(w.clbComm().band_visible(2));
  EXPECT_TRUE(w.clbComm().band_visible(3));
  int d = bar - w.clbComm().bar_height();
  ASSERT_GT(d, 0);
  EXPECT_TRUE(WaitForSize(w, width, height - d))
      << "height " << height << " d " << d << " now " << w.window_height() / 15;
  Pump(200);
  EXPECT_EQ(w.wbwMain().get_allocation().get_height(), before.get_height());
}

TEST_F(BrowseTest, APageThatSizesItsAreaMakesTheWindowFollow) {
  frmMain& w = Start("");
  const LayoutSnapshot before = w.snapshot();
  browser().RaiseResizeTo(500, 400);
  const int width = ToPixels(500 * 15 - before.BW + before.W, 15);
  const int height = ToPixels(400 * 15 - before.BH + before.H, 15);
  ASSERT_TRUE(WaitForSize(w, width, height));
  Pump(200);
  EXPECT_EQ(w.wbwMain().get_allocation().get_width(), 500);
  EXPECT_EQ(w.wbwMain().get_allocation().get_height(), 400);
  EXPECT_FLOAT_EQ(w.snapshot().BW, 7500);
  EXPECT_FLOAT_EQ(w.snapshot().BT, before.BT);
  // The user's next resize lays out from the new snapshot.
  w.resize(width + 40, height);
  ASSERT_TRUE(WaitForSize(w, width + 40, height));
  EXPECT_FLOAT_EQ(w.control_width(w.wbwMain()), 7500 + 40 * 15);
}

TEST_F(BrowseTest, MenuAndStatusBarsFollowThePage) {
  frmMain& w = Start("");
  Pump(100);
  browser().RaiseMenuBar(false);
  EXPECT_FALSE(w.menu_item(ActionId::FileMenu)->get_visible());
  EXPECT_FALSE(w.menu_item(ActionId::HelpMenu)->get_visible());
  browser().RaiseMenuBar(true);
  EXPECT_TRUE(w.menu_item(ActionId::JobMenu)->get_visible());

  int width = 0, height = 0;
  w.get_size(width, height);
  int bar = w.stbStat().get_allocated_height();
  browser().RaiseStatusBar(false);
  EXPECT_FALSE(w.stbStat().get_visible());
  ASSERT_TRUE(WaitForSize(w, width, height - bar));
  browser().RaiseStatusBar(false);
  ASSERT_TRUE(WaitForSize(w, width, height - 2 * bar));
  browser().RaiseStatusBar(true);
  EXPECT_TRUE(w.stbStat().get_visible());
  Pump(100);
  int w2 = 0, h2 = 0;
  w.get_size(w2, h2);
  EXPECT_EQ(h2, height - 2 * bar);
}

TEST_F(BrowseTest, APageClosingItsWindowAsksAndClosesOnlyThatWindow) {
  frmMain& first = Start("");
  first.NewWindow2();
  frmMain* child = app->new_window(1);
  browser(1).RaiseReadyToShow();
  ASSERT_TRUE(RunUntil([&] { return child->get_mapped(); }));
  dialogs.AnswerMessage(MsgResult::No);
  child->WindowClosing();
  EXPECT_EQ(dialogs.shown.back().text, "このウィンドウを閉じますか？");
  EXPECT_EQ(dialogs.shown.back().caption, "確認");
  EXPECT_NE(app->new_window(1), nullptr);
  EXPECT_TRUE(child->get_visible());
  dialogs.AnswerMessage(MsgResult::Yes);
  child->WindowClosing();
  EXPECT_TRUE(RunUntil([&] { return app->new_window(1) == nullptr; }));
  EXPECT_TRUE(first.get_visible());
  EXPECT_FALSE(last_window_closed);
}

TEST_F(BrowseTest, ANewWindowOfAMaximizedOpenerOpensMaximized) {
  frmMain& first = Start("");
  first.maximize();  // Start() waited for the window manager
  ASSERT_TRUE(RunUntil([&] { return first.is_maximized(); }));
  first.NewWindow2();
  frmMain* child = app->new_window(1);
  browser(1).RaiseReadyToShow();
  EXPECT_TRUE(RunUntil([&] { return child->is_maximized(); }));
}

}  // namespace
}  // namespace tarvik::test
