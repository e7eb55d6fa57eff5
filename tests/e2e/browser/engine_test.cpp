// The real engine against pages this test serves on 127.0.0.1.
#include <gdkmm/window.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <gtkmm/clipboard.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/frm_main.h"
#include "browse/address_fixup.h"
#include "favorites/shortcut_file.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "platform/webkit_browser.h"
#include "support/app_fixture.h"
#include "support/gui_input.h"
#include "support/gui_test.h"
#include "support/loopback_server.h"
#include "support/scripted_dialogs.h"

namespace tarvik::test {
namespace {

constexpr int kLoad = 20000;  // ms; software rendering under Xvfb is slow to start

class EngineTest : public AppTest {
 protected:
  frmMain& Start(const std::string& command_line) {
    return StartWith(command_line, WebKitBrowser::Factory(FixUpAddress));
  }

  bool WaitForTitle(Gtk::Window& w, const std::string& title) {
    return RunUntil([&] { return w.get_title() == title; }, kLoad);
  }

  // A real click of the mouse at (x, y) of the widget.
  void Click(Gtk::Widget& widget, int x, int y) {
    int ox = 0, oy = 0;
    widget.get_window()->get_origin(ox, oy);
    Gtk::Allocation a = widget.get_allocation();
    if (!widget.get_has_window()) {
      ox += a.get_x();
      oy += a.get_y();
    }
    std::string cmd =
        "xdotool mousemove " + std::to_string(ox + x) + " " + std::to_string(oy + y) + " click 1";
    ASSERT_TRUE(g_spawn_command_line_sync(cmd.c_str(), nullptr, nullptr, nullptr, nullptr));
  }

  // The job News of the pages A and B served here.
  void WriteNewsJob() {
    g_file_set_contents(home.file("TVJob.lst").c_str(), "News\r\n", -1, nullptr);
    g_mkdir_with_parents(home.file("JobFiles").c_str(), 0755);
    std::string job = "A," + server.url("/a.html") + "\r\nB," + server.url("/b.html") + "\r\n";
    g_file_set_contents(home.file("JobFiles/News.tvj").c_str(), job.c_str(), -1, nullptr);
  }

  LoopbackServer server;
};

TEST_F(EngineTest, APageLoadsAndItsTitleAddressAndHistoryFollow) {
  server.Serve("/page.html",
               "<html><head><title>テストページ</title></head><body>本文</body></html>");
  frmMain& w = Start(server.url("/page.html"));
  ASSERT_TRUE(WaitForTitle(w, "テストページ -- Tarvik"));
  EXPECT_TRUE(RunUntil([&] { return w.txtURL().get_text() == server.url("/page.html"); }, kLoad));
  EXPECT_EQ(w.browser().LocationURL(), server.url("/page.html"));
  EXPECT_EQ(w.browser().LocationName(), "テストページ");
  EXPECT_EQ(UserSettings().Get("History", "URL01", ""), server.url("/page.html"));
  EXPECT_EQ(UserSettings().Get("History", "Title01", ""), "テストページ");
  EXPECT_EQ(w.menu_item(ActionId::Recent, 0)->get_label(), "テストページ");
  EXPECT_TRUE(w.cboJob().is_sensitive());
}

// Ctrl+C in the page copied its address over the text the user had selected.
TEST_F(EngineTest, CtrlCInThePageCopiesTheSelectedText) {
  server.Serve("/sel.html",
               "<html><head><title>Sel</title></head><body onload=\""
               "getSelection().selectAllChildren(document.getElementById('t'))\">"
               "<p id=t>選ばれた文</p><p>other</p></body></html>");
  server.Serve("/none.html", "<html><head><title>None</title></head><body>text</body></html>");
  frmMain& w = Start(server.url("/sel.html"));
  ASSERT_TRUE(WaitForTitle(w, "Sel -- Tarvik"));
  auto* engine = dynamic_cast<WebKitBrowser*>(&w.browser());
  ASSERT_NE(engine, nullptr);
  auto clipboard = Gtk::Clipboard::get();
  auto ctrl_c_gives = [&](const std::string& expected) {
    gtk_widget_grab_focus(GTK_WIDGET(engine->view()));
    EXPECT_TRUE(w.browser().HasFocus());
    clipboard->set_text("before");
    EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(w.gobj()), GDK_KEY_c, GDK_CONTROL_MASK));
    return RunUntil([&] { return clipboard->wait_for_text() == expected; }, kLoad);
  };
  EXPECT_TRUE(ctrl_c_gives("選ばれた文")) << clipboard->wait_for_text();
  w.browser().Navigate(server.url("/none.html"));
  ASSERT_TRUE(WaitForTitle(w, "None -- Tarvik"));
  EXPECT_TRUE(ctrl_c_gives(server.url("/none.html"))) << clipboard->wait_for_text();
}

// Ctrl+V in a field of the page ran "URLの貼り付け": the page went to the clipboard's text and what
// the user had typed was lost.
TEST_F(EngineTest, TheEditingKeysEditAFieldOfThePage) {
  server.Serve("/form.html",
               "<html><head><title>Form</title></head><body>"
               "<input id=f value=half "
               "oninput='document.title = this.value || \"Empty\"; if (!this.value) this.blur()'>"
               "<script>const f = document.getElementById('f'); f.focus();"
               "f.setSelectionRange(4, 4);</script></body></html>");
  server.Serve("/pasted.html", "<html><head><title>Pasted</title></head><body>p</body></html>");
  frmMain& w = Start(server.url("/form.html"));
  ASSERT_TRUE(WaitForTitle(w, "Form -- Tarvik"));
  auto* engine = dynamic_cast<WebKitBrowser*>(&w.browser());
  ASSERT_NE(engine, nullptr);
  gtk_widget_grab_focus(GTK_WIDGET(engine->view()));
  ASSERT_TRUE(RunUntil([&] { return w.browser().EditableHasFocus(); }, kLoad));
  // An address of this server, so that a paste that goes wrong goes nowhere else.
  const std::string pasted = server.url("/pasted.html");
  auto clipboard = Gtk::Clipboard::get();
  clipboard->set_text(pasted);
  PressKey(w, GDK_KEY_v, GDK_CONTROL_MASK);
  ASSERT_TRUE(WaitForTitle(w, "half" + pasted + " -- Tarvik")) << w.get_title();
  // Ctrl+A, Ctrl+X: the field's text moves to the clipboard, and the emptied field lets the
  // focus go.
  PressKey(w, GDK_KEY_a, GDK_CONTROL_MASK);
  PressKey(w, GDK_KEY_x, GDK_CONTROL_MASK);
  ASSERT_TRUE(WaitForTitle(w, "Empty -- Tarvik")) << w.get_title();
  EXPECT_EQ(clipboard->wait_for_text(), "half" + pasted);
  EXPECT_EQ(w.browser().LocationURL(), server.url("/form.html"));

  // Out of the field, Ctrl+V is the menu's again.
  ASSERT_TRUE(RunUntil([&] { return !w.browser().EditableHasFocus(); }, kLoad));
  clipboard->set_text(pasted);
  PressKey(w, GDK_KEY_v, GDK_CONTROL_MASK);
  EXPECT_TRUE(WaitForTitle(w, "Pasted -- Tarvik"));
}

TEST_F(EngineTest, APageWithoutATitleIsNamedByItsAddress) {
  server.Serve("/untitled.html", "<html><body>no title here</body></html>");
  frmMain& w = Start(server.url("/untitled.html"));
  ASSERT_TRUE(
      RunUntil([&] { return w.browser().LocationURL() == server.url("/untitled.html"); }, kLoad));
  EXPECT_TRUE(RunUntil(
      [&] { return w.txtJob().get_text().find(server.url("/untitled.html")) == 0; }, kLoad));
  EXPECT_EQ(w.browser().LocationName(), server.url("/untitled.html"));
}

// The engine tells of a new title only when it changes, and an untitled page after another
// untitled page keeps the empty title: the caption must follow all the same.
TEST_F(EngineTest, TheCaptionIgnoresUntitledPages) {
  server.Serve("/first.html", "<html><body>first, no title</body></html>");
  server.Serve("/second.html", "<html><body>second, no title</body></html>");
  frmMain& w = Start(server.url("/first.html"));
  ASSERT_TRUE(WaitForTitle(w, server.url("/first.html") + " -- Tarvik"));
  w.browser().Navigate(server.url("/second.html"));
  ASSERT_TRUE(WaitForTitle(w, server.url("/second.html") + " -- Tarvik"))
      << "caption: " << w.get_title();
  EXPECT_EQ(w.txtJob().get_text(),
            server.url("/second.html") + " [" + server.url("/second.html") + "]");
}

TEST_F(EngineTest, TheCaptionIgnoresUntitledPagesOnAFirstStartOnTheBlankPage) {
  frmMain& w = Start("");
  ASSERT_TRUE(WaitForTitle(w, "空白ページ -- Tarvik")) << "caption: " << w.get_title();
  EXPECT_EQ(w.browser().LocationURL(), "about:blank");
}

// A page that is slow to arrive: the address box and the title line show it as soon as the
// engine shows its first part, not once it has all come.
TEST_F(EngineTest, TheAddressBoxLagsOnSlowPages) {
  server.Serve("/quick.html", "<title>Quick</title>quick");
  // The engine looks at the first 512 bytes of a response before it starts on it.
  server.ServeSlowly(
      "/slow.html",
      "<html><body><p>the first part of a slow page</p><!--" + std::string(2048, '-') + "-->",
      "<title>Slow</title><p>the rest</p></body></html>", 5000);
  frmMain& w = Start(server.url("/quick.html"));
  ASSERT_TRUE(WaitForTitle(w, "Quick -- Tarvik"));
  ASSERT_TRUE(RunUntil([&] { return w.txtURL().get_text() == server.url("/quick.html"); }, kLoad));
  Pump(500);  // the first page is quite done with
  std::vector<std::string> completed;
  w.browser().signal_navigate_complete2().connect(
      [&](const std::string& url) { completed.push_back(url); });

  w.browser().Navigate(server.url("/slow.html"));
  ASSERT_TRUE(RunUntil([&] { return !completed.empty(); }, 4000)) << "no NavigateComplete2 yet";
  EXPECT_EQ(server.served("/slow.html"), 0) << "the page had already come whole";
  EXPECT_EQ(completed[0], server.url("/slow.html"));
  EXPECT_EQ(w.txtURL().get_text(), server.url("/slow.html"));
  EXPECT_EQ(w.txtJob().get_text(),
            server.url("/slow.html") + " [" + server.url("/slow.html") + "]");
  EXPECT_EQ(w.get_title(), server.url("/slow.html") + " -- Tarvik");

  // The title follows when it comes; the completed navigation is not reported again.
  ASSERT_TRUE(WaitForTitle(w, "Slow -- Tarvik"));
  EXPECT_EQ(w.browser().LocationName(), "Slow");
  // The page went into the history under its address; the title takes the address's place.
  EXPECT_EQ(UserSettings().Get("History", "URL02", ""), server.url("/slow.html"));
  EXPECT_EQ(UserSettings().Get("History", "Title02", ""), "Slow");
  EXPECT_EQ(w.menu_item(ActionId::Recent, 1)->get_label(), "Slow");
  EXPECT_TRUE(RunUntil([&] { return server.served("/slow.html") == 1; }, kLoad));
  Pump(300);
  EXPECT_EQ(completed.size(), 1u);
}

TEST_F(EngineTest, BackAndForward) {
  server.Serve("/one.html", "<title>One</title>1");
  server.Serve("/two.html", "<title>Two</title>2");
  frmMain& w = Start(server.url("/one.html"));
  ASSERT_TRUE(WaitForTitle(w, "One -- Tarvik"));
  w.txtURL().set_text(server.url("/two.html"));
  w.txtURL().activate();
  ASSERT_TRUE(WaitForTitle(w, "Two -- Tarvik"));
  w.Run(ActionId::Back);
  ASSERT_TRUE(WaitForTitle(w, "One -- Tarvik"));
  EXPECT_EQ(w.txtURL().get_text(), server.url("/one.html"));
  w.Run(ActionId::Back);  // nothing further back: nothing happens
  w.Run(ActionId::Forward);
  ASSERT_TRUE(WaitForTitle(w, "Two -- Tarvik"));
}

TEST_F(EngineTest, AFailedLoadShowsTheEnginesPageAndTarvikGoesOn) {
  server.Serve("/ok.html", "<title>OK</title>fine");
  // A port nobody listens on.
  LoopbackServer* gone = new LoopbackServer();
  std::string dead = gone->url("/x.html");
  delete gone;
  frmMain& w = Start(dead);
  Pump(1500);
  w.browser().Navigate(server.url("/ok.html"));
  EXPECT_TRUE(WaitForTitle(w, "OK -- Tarvik"));
}

TEST_F(EngineTest, AClickedWindowOpenGivesASecondWindowWithoutBarsAndItsCloseAsksFirst) {
  server.Serve(
      "/opener.html",
      "<title>Opener</title><body style='margin:0'>"
      "<button id=b style='position:fixed;left:0;top:0;width:300px;height:200px' "
      "onclick=\"window.open('/child.html','_blank','toolbar=no,menubar=no,status=no,width=500,height=400')\">"
      "open</button></body>");
  server.Serve("/child.html",
               "<title>Child</title><body style='margin:0'>"
               "<button style='position:fixed;left:0;top:0;width:300px;height:200px' "
               "onclick='window.close()'>close</button></body>");
  frmMain& first = Start(server.url("/opener.html"));
  ASSERT_TRUE(WaitForTitle(first, "Opener -- Tarvik"));
  Pump(500);
  Click(first.wbwMain(), 100, 80);
  ASSERT_TRUE(RunUntil([&] { return app->new_window(1) != nullptr; }, kLoad)) << "no new window";
  frmMain& child = *app->new_window(1);
  ASSERT_TRUE(WaitForTitle(child, "Child -- Tarvik"));
  EXPECT_TRUE(RunUntil([&] { return child.get_mapped(); }, kLoad));
  EXPECT_TRUE(child.NewWdwFlag());
  EXPECT_FALSE(child.clbComm().band_visible(0));
  EXPECT_FALSE(child.clbComm().band_visible(1));
  EXPECT_FALSE(child.clbComm().band_visible(2));
  EXPECT_TRUE(child.clbComm().band_visible(3));
  EXPECT_FALSE(child.menu_item(ActionId::FileMenu)->get_visible());
  EXPECT_FALSE(child.stbStat().get_visible());
  EXPECT_EQ(child.browser().ToolBar(), 0);
  // The size the page asked for is the size of the new window's page area.
  EXPECT_TRUE(RunUntil([&] { return child.wbwMain().get_allocation().get_width() == 500; }, kLoad));
  EXPECT_EQ(child.wbwMain().get_allocation().get_height(), 400);
  // The opener keeps its page and its bars.
  EXPECT_EQ(first.get_title(), "Opener -- Tarvik");
  EXPECT_TRUE(first.clbComm().band_visible(0));

  Pump(500);
  dialogs.AnswerMessage(MsgResult::No);
  Click(child.wbwMain(), 100, 80);
  ASSERT_TRUE(RunUntil([&] { return dialogs.shown.size() == 1; }, kLoad));
  EXPECT_EQ(dialogs.shown[0].text, "このウィンドウを閉じますか？");
  Pump(300);
  EXPECT_NE(app->new_window(1), nullptr);

  dialogs.AnswerMessage(MsgResult::Yes);
  Click(child.wbwMain(), 100, 80);
  EXPECT_TRUE(RunUntil([&] { return app->new_window(1) == nullptr; }, kLoad));
  EXPECT_TRUE(first.get_visible());
  EXPECT_FALSE(last_window_closed);
}

// A window opened by a plain link or by window.open without features had no toolbar, pockets
// or mode picture, and nothing brought them back; only a page that asks for no toolbar hides them.
TEST_F(EngineTest, AWindowOpenedWithoutFeaturesKeepsItsBands) {
  // Three openers, one above the other: a link, window.open without and with "toolbar=no".
  std::string page = "<title>Openers</title><body style='margin:0'>";
  const char* openers[] = {
      "<a href='/child.html' target='_blank'", "<a href='#' onclick=\"window.open('/child.html')\"",
      "<a href='#' onclick=\"window.open('/child.html','_blank','toolbar=no,width=400')\""};
  for (int i = 0; i < 3; ++i)
    page += std::string(openers[i]) +
            " style='position:fixed;left:0;top:" + std::to_string(i * 60) +
            "px;width:300px;height:50px;display:block'>x</a>";
  server.Serve("/openers.html", page + "</body>");
  server.Serve("/child.html", "<title>Child</title><body>child</body>");
  frmMain& first = Start(server.url("/openers.html"));
  ASSERT_TRUE(WaitForTitle(first, "Openers -- Tarvik"));
  Pump(500);
  for (int number = 1; number <= 3; ++number) {
    Click(first.wbwMain(), 100, number * 60 - 35);
    ASSERT_TRUE(RunUntil([&] { return app->new_window(number) != nullptr; }, kLoad)) << number;
    frmMain& child = *app->new_window(number);
    ASSERT_TRUE(WaitForTitle(child, "Child -- Tarvik"));
    ASSERT_TRUE(RunUntil([&] { return child.get_mapped(); }, kLoad));
    const bool bars = number < 3;
    for (int band = 0; band < 3; ++band)
      EXPECT_EQ(child.clbComm().band_visible(band), bars)
          << "opener " << number << " band " << band;
    EXPECT_EQ(child.browser().ToolBar(), bars ? 1 : 0) << "opener " << number;
    // Without a window manager it would cover the opener's links.
    child.CloseWindow();
    RunUntil([&] { return app->new_window(number) == nullptr; }, kLoad);
  }
}

TEST_F(EngineTest, APageCannotOpenAWindowWithoutTheUsersClick) {
  server.Serve("/popup.html",
               "<title>Popup</title><body onload=\"window.open('/ad.html','_blank')\">x</body>");
  server.Serve("/ad.html", "<title>Ad</title>");
  frmMain& w = Start(server.url("/popup.html"));
  ASSERT_TRUE(WaitForTitle(w, "Popup -- Tarvik"));
  Pump(1500);
  EXPECT_EQ(app->new_window_count(), 0);
  EXPECT_EQ(server.count("/ad.html"), 0);
}

TEST_F(EngineTest, ADownloadIsSavedWhereTheDialogSaid) {
  server.Serve("/data.bin", "tarvik download body", "application/octet-stream",
               "Content-Disposition: attachment; filename=\"data.bin\"\r\n");
  server.Serve("/start.html", "<title>Start</title>");
  frmMain& w = Start(server.url("/start.html"));
  ASSERT_TRUE(WaitForTitle(w, "Start -- Tarvik"));
  std::string target = home.file("saved.bin");
  dialogs.AnswerFile(target);
  w.browser().Navigate(server.url("/data.bin"));
  ASSERT_TRUE(RunUntil(
      [&] {
        auto bytes = ReadFileBytes(target);
        return bytes && *bytes == "tarvik download body";
      },
      kLoad));
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown[0].kind, "save");
  EXPECT_EQ(dialogs.shown[0].file_options.file_name, "data.bin");
}

// A link to a file the engine cannot show, served without "Content-Disposition: attachment":
// the file is saved where the user says, and the page stays.
TEST_F(EngineTest, LinksToFilesThatTheEngineCannotShowDoNothing) {
  const std::string zip("PK\x05\x06\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 22);  // an empty archive
  server.Serve("/files/archive.zip", zip, "application/zip");
  server.Serve("/links.html",
               "<title>Links</title><body style='margin:0'>"
               "<a href='/files/archive.zip' style='display:block;position:fixed;left:0;top:0;"
               "width:300px;height:200px;background:#ccc'>archive</a></body>");
  frmMain& w = Start(server.url("/links.html"));
  ASSERT_TRUE(WaitForTitle(w, "Links -- Tarvik"));
  Pump(500);
  std::string target = home.file("saved.zip");
  dialogs.AnswerFile(target);
  Click(w.wbwMain(), 100, 80);
  ASSERT_TRUE(RunUntil(
      [&] {
        auto bytes = ReadFileBytes(target);
        return bytes && *bytes == zip;
      },
      kLoad))
      << "the archive never arrived";
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "save");
  EXPECT_EQ(dialogs.shown[0].file_options.file_name, "archive.zip");
  EXPECT_EQ(w.browser().LocationURL(), server.url("/links.html"));
  EXPECT_EQ(w.get_title(), "Links -- Tarvik");

  // What the engine can show, it shows: plain text is a page, not a download.
  server.Serve("/notes.txt", "plain notes", "text/plain");
  w.browser().Navigate(server.url("/notes.txt"));
  EXPECT_TRUE(RunUntil([&] { return w.txtURL().get_text() == server.url("/notes.txt"); }, kLoad));
  Pump(300);
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(EngineTest, AnInternetShortcutOnTheCommandLineOpensItsPageInDirectMode) {
  server.Serve("/fav.html", "<title>Favorite</title>");
  UserSettings().Save("Setting", "Mode", "1");
  std::string shortcut = home.file("Site.url");
  ASSERT_TRUE(WriteShortcut(shortcut, server.url("/fav.html")));
  frmMain& w = Start("/u " + shortcut);
  ASSERT_TRUE(WaitForTitle(w, "Favorite -- Tarvik"));
  EXPECT_EQ(w.mode(), Mode::Direct);
  EXPECT_TRUE(w.clbComm().picBack(4).get_visible());
  EXPECT_EQ(w.txtURL().get_text(), server.url("/fav.html"));
}

TEST_F(EngineTest, AJobFileOnTheCommandLineOpensTheJobsFirstPage) {
  server.Serve("/a.html", "<title>Page A</title>");
  server.Serve("/b.html", "<title>Page B</title>");
  WriteNewsJob();
  frmMain& w = Start("/j " + home.file("JobFiles/News.tvj"));
  ASSERT_TRUE(WaitForTitle(w, "Page A -- Tarvik"));
  EXPECT_EQ(w.txtJob().get_text(), "A [" + server.url("/a.html") + "]");
  w.cmdNav(2).clicked();
  ASSERT_TRUE(WaitForTitle(w, "Page B -- Tarvik"));
  EXPECT_EQ(w.txtJob().get_text(), "B [" + server.url("/b.html") + "]");
  EXPECT_EQ(w.cmdNav(2).get_tooltip_text(), "現在最後です");
}

// A page that is not the current entry's showed "URL [URL]" in the title line for good: its
// title comes after the page committed, and the title line did not follow it in job mode.
TEST_F(EngineTest, TheTitleLineOfAPageOffTheJobShowsItsTitleOnceItComes) {
  server.Serve("/a.html",
               "<title>Page A</title><body style='margin:0'><a href='/c.html' "
               "style='display:block;width:400px;height:300px'>link</a></body>");
  server.Serve("/b.html", "<title>Page B</title>b");
  server.Serve("/c.html", "<title>Page C</title>c");
  server.Serve("/d.html", "<title>Page D</title>d");
  WriteNewsJob();
  // The link is followed with the mouse, with B made ready behind the page.
  frmMain& w = Start("/j " + home.file("JobFiles/News.tvj"));
  ASSERT_TRUE(WaitForTitle(w, "Page A -- Tarvik"));
  auto line_becomes = [&](const std::string& expected) {
    return RunUntil([&] { return w.txtJob().get_text() == expected; }, kLoad);
  };
  EXPECT_TRUE(line_becomes("A [" + server.url("/a.html") + "]")) << w.txtJob().get_text();

  Pump(500);
  Click(w.wbwMain(), 100, 80);  // the link
  ASSERT_TRUE(WaitForTitle(w, "Page C -- Tarvik"));
  EXPECT_TRUE(line_becomes("Page C [" + server.url("/c.html") + "]")) << w.txtJob().get_text();

  w.cmdNav(2).clicked();
  ASSERT_TRUE(WaitForTitle(w, "Page B -- Tarvik"));
  w.Run(ActionId::Back);  // back to the followed link's page
  ASSERT_TRUE(WaitForTitle(w, "Page C -- Tarvik"));
  EXPECT_TRUE(line_becomes("Page C [" + server.url("/c.html") + "]")) << w.txtJob().get_text();

  dialogs.AnswerInput(server.url("/d.html"));
  w.Run(ActionId::OpenUrl);  // "URLを開く"
  ASSERT_TRUE(WaitForTitle(w, "Page D -- Tarvik"));
  EXPECT_TRUE(line_becomes("Page D [" + server.url("/d.html") + "]")) << w.txtJob().get_text();
  EXPECT_EQ(w.cboJob().get_active_text(), "News") << "the job stays selected";
}

}  // namespace
}  // namespace tarvik::test
