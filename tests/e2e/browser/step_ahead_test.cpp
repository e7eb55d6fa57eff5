// The next entry of a job made ready out of sight while the page shown is read, with the real
// engine against pages this test serves on 127.0.0.1.
#include <glib.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/checkmenuitem.h>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "browse/address_fixup.h"
#include "browse/recent_history.h"
#include "platform/settings_store.h"
#include "platform/webkit_browser.h"
#include "support/app_fixture.h"
#include "support/gui_test.h"
#include "support/loopback_server.h"

namespace tarvik::test {
namespace {

constexpr int kLoad = 20000;  // ms; software rendering under Xvfb is slow to start

// A page that tells the server, by the addresses it asks for, when its script runs and whether
// it saw itself hidden or shown then, when it is shown later, and when it has loaded.
std::string Page(const std::string& name, const std::string& more_script = "") {
  return "<html><head><title>Page " + name + "</title></head><body>" + name +
         "<script>fetch('/ran-" + name +
         "-' + document.visibilityState);"
         "document.addEventListener('visibilitychange', () => fetch('/seen-" +
         name + "-' + document.visibilityState));" +
         "addEventListener('load', () => setTimeout(() => fetch('/loaded-" + name + "'), 0));" +
         more_script + "</script></body></html>";
}

class StepAheadTest : public AppTest {
 protected:
  static void Press(Gtk::ToolButton& b) { g_signal_emit_by_name(b.gobj(), "clicked"); }
  // Starts Tarvik on a job of the pages named, served here, and waits for the first.
  frmMain& StartJob(const std::vector<std::string>& names) {
    std::string job;
    for (const std::string& n : names) job += n + "," + server.url("/" + n + ".html") + "\r\n";
    const std::string job_file = WriteJob(job);
    frmMain& w = StartWith("/j " + job_file, WebKitBrowser::Factory(FixUpAddress));
    EXPECT_TRUE(Shows(w, names[0]));
    return w;
  }
  bool Shows(frmMain& w, const std::string& name) {
    return RunUntil([&] { return w.get_title() == "Page " + name + " -- Tarvik"; }, kLoad);
  }
  static WebKitBrowser& Engine(frmMain& w) { return dynamic_cast<WebKitBrowser&>(w.browser()); }
  bool Prepared(frmMain& w, const std::string& name) {
    return RunUntil([&] { return Engine(w).PreparedURL() == server.url("/" + name + ".html"); },
                    kLoad) &&
           RunUntil([&] { return server.count("/ran-" + name + "-hidden") == 1; }, kLoad) &&
           RunUntil([&] { return server.count("/loaded-" + name) == 1; }, kLoad) &&
           // The engine tells the window a little after the page tells the server.
           RunUntil([&] { return Engine(w).PreparedLoaded(); }, kLoad);
  }

  bool Asked(const std::string& path, int times = 1) {
    return RunUntil([&] { return server.count(path) >= times; }, kLoad);
  }

  LoopbackServer server;
};

// A page whose parts sit where the test's pointer finds them, each telling the server what the
// user did with it.
std::string TouchPage() {
  return "<html><head><title>Page a</title><style>"
         "body { margin: 0; height: 5000px; font-size: 20px; }"
         "#f { position: fixed; left: 10px; top: 10px; width: 200px; height: 30px; }"
         "#t { position: fixed; left: 10px; top: 60px; margin: 0; }"
         "#l { position: fixed; left: 10px; top: 120px; }"
         "#r { position: fixed; left: 10px; top: 170px; width: 200px; height: 30px; }"
         "</style></head><body>"
         "<input id=f oninput=\"fetch('/typed-' + this.value)\">"
         "<p id=t>選択する文 select these words</p>"
         "<a id=l href=\"/target.html\">リンク link</a>"
         "<button id=r onclick=\"fetch('/report-' + document.getElementById('f').value + '-' +"
         " (scrollY > 0 ? 'scrolled' : 'top'))\">report</button><script>"
         "fetch('/ran-a-' + document.visibilityState);"
         "addEventListener('wheel', () => fetch('/wheel'), {once: true});"
         "addEventListener('contextmenu', () => fetch('/menu'), {once: true});"
         "document.addEventListener('selectionchange', () => {"
         "  if (getSelection().toString().length > 3) fetch('/selected'); });"
         "</script></body></html>";
}

// With the next entry made ready behind it, the page shown takes the pointer, the wheel and the
// keys as any page does; back returns to it as the user left it, with no request.
TEST_F(StepAheadTest, TheShownPageTakesEveryInputAndBackReturnsToItAsLeft) {
  server.Serve("/a.html", TouchPage());
  for (const char* n : {"b", "c"}) server.Serve(std::string("/") + n + ".html", Page(n));
  server.Serve("/target.html", "<html><head><title>Target</title></head><body>t</body></html>");
  frmMain& w = StartJob({"a", "b", "c"});
  ASSERT_TRUE(Prepared(w, "b"));

  Pointer(w, "click 1", 60, 25);
  Pointer(w, "type --delay 50 abc");
  EXPECT_TRUE(Asked("/typed-abc")) << "a click into a field and typing there";
  Pointer(w, "mousedown 1", 12, 72);
  Pointer(w, "mousemove --sync 0 0", 300, 72);
  Pointer(w, "mouseup 1");
  EXPECT_TRUE(Asked("/selected")) << "a drag selection";
  Pointer(w, "click --repeat 4 --delay 50 5", 400, 400);
  EXPECT_TRUE(Asked("/wheel")) << "the wheel";
  Pointer(w, "click 3", 400, 400);
  EXPECT_TRUE(Asked("/menu")) << "the context menu";
  Pointer(w, "key Escape");
  // Assistive technologies see one page: the one shown.
  AtkObject* frame = gtk_widget_get_accessible(w.browser().widget().gobj());
  EXPECT_EQ(atk_object_get_n_accessible_children(frame), 1);
  EXPECT_EQ(Engine(w).PreparedURL(), server.url("/b.html")) << "all the while, b stayed ready";

  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(server.count("/b.html"), 1);
  Press(w.clbComm().tool_button(5));  // back
  ASSERT_TRUE(Shows(w, "a"));
  EXPECT_EQ(w.txtURL().get_text(), server.url("/a.html"));
  Pointer(w, "click 1", 60, 185);
  EXPECT_TRUE(Asked("/report-abc-scrolled")) << "its form input and scroll place as left";
  EXPECT_EQ(server.count("/a.html"), 1) << "back asked for nothing";
  Press(w.clbComm().tool_button(6));  // forward
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(server.count("/b.html"), 1) << "forward neither";
  EXPECT_EQ(Engine(w).KeptViews(true), 1);
  Press(w.clbComm().tool_button(5));
  ASSERT_TRUE(Shows(w, "a"));
  Pointer(w, "click 1", 30, 130);
  EXPECT_TRUE(Asked("/target.html")) << "a click on a link";
  ASSERT_TRUE(RunUntil([&] { return w.get_title() == "Target -- Tarvik"; }, kLoad));
  EXPECT_EQ(Engine(w).KeptViews(false), 0) << "a new page ends the way forward";
  Press(w.clbComm().tool_button(5));
  ASSERT_TRUE(Shows(w, "a"));
  EXPECT_EQ(server.count("/a.html"), 1);
}

// A step taken while the next entry is still coming shows it as it comes, with no second
// request; a page that has been ready longer than its server allows is asked for again.
TEST_F(StepAheadTest, AQuickStepTakesThePageAsItComesAndAStaleOneIsLoadedAgain) {
  server.Serve("/a.html", Page("a"));
  const std::string b = Page("b");
  const size_t half = b.find("<script>");
  server.ServeSlowly("/b.html", b.substr(0, half), b.substr(half), 2500);
  server.Serve("/c.html", Page("c"), "text/html; charset=utf-8", "Cache-Control: max-age=1\r\n");
  frmMain& w = StartJob({"a", "b", "c"});
  ASSERT_TRUE(RunUntil([&] { return server.count("/b.html") == 1; }, kLoad));
  ASSERT_FALSE(Engine(w).PreparedLoaded());
  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(w.txtURL().get_text(), server.url("/b.html"));
  EXPECT_TRUE(Asked("/ran-b-visible"));
  EXPECT_TRUE(RunUntil([&] { return server.served("/b.html") == 1; }, kLoad));
  EXPECT_EQ(server.count("/b.html"), 1) << "no second request";
  EXPECT_EQ(server.count("/ran-b-hidden"), 0);

  ASSERT_TRUE(Prepared(w, "c"));
  ASSERT_TRUE(RunUntil([&] { return !Engine(w).PreparedReady(); }, kLoad)) << "a second old";
  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "c"));
  EXPECT_EQ(server.count("/c.html"), 2) << "loaded again on the step";
}

// A page out of sight that would act for the user, loop or keep the processor busy is given up,
// and loads as usual on the step.
TEST_F(StepAheadTest, APageThatActsOutOfSightIsGivenUp) {
  const std::string when_hidden = "if (document.visibilityState === 'hidden') ";
  server.Serve("/a.html", Page("a"));
  server.Serve("/b.html",
               "<html><head><title>Page b</title></head><body>"
               "<form method=post action=/posted><input name=x value=1></form>" +
                   Page("b", when_hidden + "document.forms[0].submit();"));
  server.Serve("/posted", "<html><head><title>Posted</title></head></html>");
  server.Serve(
      "/c.html",
      "<html><head><title>Page c</title><meta http-equiv=refresh content='0; url=/c2.html'>"
      "</head><body>c</body></html>");
  server.Serve("/c2.html", "<html><head><title>Page c2</title></head><body>c2</body></html>");
  frmMain& w = StartJob({"a", "b", "c"});
  ASSERT_TRUE(Asked("/ran-b-hidden"));
  EXPECT_TRUE(RunUntil([&] { return Engine(w).PreparedURL().empty(); }, kLoad));
  EXPECT_EQ(server.count("/posted"), 0) << "nothing was sent";
  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(server.count("/b.html"), 2);

  ASSERT_TRUE(Asked("/c.html"));
  EXPECT_TRUE(RunUntil([&] { return Engine(w).PreparedURL().empty(); }, kLoad));
  Pump(1000);
  EXPECT_LE(server.count("/c2.html"), 1) << "the refresh went no further";
  EXPECT_EQ(server.count("/c.html"), 1);
  w.cmdNav(2).clicked();
  EXPECT_TRUE(RunUntil([&] { return w.get_title() == "Page c2 -- Tarvik"; }, kLoad))
      << "shown, the page refreshes as it asks";
  EXPECT_EQ(server.count("/c.html"), 2);
  EXPECT_EQ(server.count("/posted"), 0);
}

// The next page's script spins out of sight: it is given up, and loads as usual on the step.
TEST_F(StepAheadTest, APageThatKeepsTheProcessorBusyOutOfSightIsGivenUp) {
  server.Serve("/a.html", Page("a"));
  server.Serve("/b.html", Page("b", "if (document.visibilityState === 'hidden') for (;;) {}"));
  frmMain& w = StartJob({"a", "b"});
  ASSERT_TRUE(Asked("/ran-b-hidden"));
  EXPECT_TRUE(RunUntil([&] { return Engine(w).PreparedURL().empty(); }, kLoad));
  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(server.count("/b.html"), 2);
  EXPECT_TRUE(Asked("/ran-b-visible"));
}

TEST_F(StepAheadTest, TheNextPageIsShownAsLoadedAheadAndHistoryStaysTrue) {
  for (const char* n : {"a", "b", "c"}) server.Serve(std::string("/") + n + ".html", Page(n));
  frmMain& w = StartJob({"a", "b", "c"});
  ASSERT_TRUE(Prepared(w, "b"));
  EXPECT_EQ(server.count("/b.html"), 1);
  EXPECT_EQ(server.count("/seen-b-visible"), 0);
  EXPECT_EQ(settings().Get("History", "URL02", ""), "") << "a page never shown is not recorded";
  EXPECT_EQ(w.txtURL().get_text(), server.url("/a.html"));

  // What the window hears of the step, as of a load: each once, in a load's order.
  std::vector<std::string> heard;
  w.browser().signal_status_text_change().connect(
      [&](const std::string& text) { heard.push_back("status " + text); });
  w.browser().signal_navigate_complete2().connect(
      [&](const std::string& url) { heard.push_back("complete " + url); });
  w.browser().signal_title_change().connect(
      [&](const std::string& title) { heard.push_back("title " + title); });
  w.browser().signal_document_complete().connect([&] { heard.push_back("done"); });
  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(heard,
            (std::vector<std::string>{"status 接続しています...", "status 読み込んでいます...",
                                      "complete " + server.url("/b.html"), "title Page b",
                                      "status 完了", "done"}));
  EXPECT_EQ(w.txtURL().get_text(), server.url("/b.html"));
  EXPECT_EQ(w.txtJob().get_text(), "b [" + server.url("/b.html") + "]");
  EXPECT_EQ(w.cmdNav(2).get_tooltip_text(), "c");
  EXPECT_EQ(w.stbStat().progress_extent(), -1) << "the progress graph is cleared";
  EXPECT_TRUE(RunUntil([&] { return server.count("/seen-b-visible") == 1; }, kLoad))
      << "the page learns that it is shown";
  EXPECT_EQ(server.count("/b.html"), 1) << "no second request";
  EXPECT_EQ(server.count("/ran-b-hidden") + server.count("/ran-b-visible"), 1)
      << "its script ran once";
  // The step made the entry after it ready; the recent pages hold the pages shown, once each.
  ASSERT_TRUE(Prepared(w, "c"));
  EXPECT_EQ(settings().Get("History", "URL01", ""), server.url("/a.html"));
  EXPECT_EQ(settings().Get("History", "URL02", ""), server.url("/b.html"));
  EXPECT_EQ(settings().Get("History", "Title02", ""), "Page b");
  EXPECT_EQ(settings().Get("History", "URL03", ""), "");

  Press(w.clbComm().tool_button(5));  // back
  ASSERT_TRUE(Shows(w, "a"));
  EXPECT_EQ(w.txtURL().get_text(), server.url("/a.html"));
  Press(w.clbComm().tool_button(6));  // forward
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(w.txtURL().get_text(), server.url("/b.html"));
  Press(w.clbComm().tool_button(6));  // nothing ahead: stays
  Pump(300);
  EXPECT_EQ(w.get_title(), "Page b -- Tarvik");
}

TEST_F(StepAheadTest, APageThatWantsTheUserIsGivenUpAndLoadsOnTheStep) {
  const std::string when_hidden = "if (document.visibilityState === 'hidden') ";
  server.Serve("/a.html", Page("a"));
  server.Serve("/b.html", Page("b", when_hidden + "alert('b');"));
  server.Serve("/c.html", Page("c", when_hidden + "window.open('/a.html');"));
  frmMain& w = StartJob({"a", "b", "c"});
  ASSERT_TRUE(RunUntil([&] { return server.count("/ran-b-hidden") == 1; }, kLoad));
  EXPECT_TRUE(RunUntil([&] { return Engine(w).PreparedURL().empty(); }, kLoad));
  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(server.count("/b.html"), 2) << "loaded again on the step";
  EXPECT_TRUE(RunUntil([&] { return server.count("/ran-b-visible") == 1; }, kLoad));

  ASSERT_TRUE(RunUntil([&] { return server.count("/ran-c-hidden") == 1; }, kLoad));
  EXPECT_TRUE(RunUntil([&] { return Engine(w).PreparedURL().empty(); }, kLoad));
  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "c"));
  EXPECT_EQ(server.count("/c.html"), 2);
  EXPECT_EQ(app->open_window_count(), 1) << "no window was opened";
}

TEST_F(StepAheadTest, TurnedOffEachStepAsksForItsPageAfterThePress) {
  for (const char* n : {"a", "b"}) server.Serve(std::string("/") + n + ".html", Page(n));
  frmMain& w = StartJob({"a"});  // nothing to make ready while the setting is turned off
  auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w.menu_item(ActionId::PrepareNext));
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->get_active());
  w.Run(ActionId::PrepareNext);
  EXPECT_FALSE(item->get_active());
  EXPECT_EQ(settings().Get("Setting", "PrepareNext", ""), "False");

  std::string job = "a," + server.url("/a.html") + "\r\nb," + server.url("/b.html") + "\r\n";
  g_file_set_contents(home.file("JobFiles/Job.tvj").c_str(), job.c_str(), -1, nullptr);
  ASSERT_TRUE(RunUntil([&] { return w.job_cursor().entries().size() == 2; }, kLoad));
  w.browser().Refresh2();
  ASSERT_TRUE(RunUntil([&] { return server.count("/a.html") == 2; }, kLoad));
  Pump(1500);
  EXPECT_EQ(server.count("/b.html"), 0);
  EXPECT_EQ(Engine(w).PreparedURL(), "");
  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(server.count("/b.html"), 1);
  EXPECT_TRUE(RunUntil([&] { return server.count("/ran-b-visible") == 1; }, kLoad));
}

TEST_F(StepAheadTest, AnOutsideChangeToTheJobGivesUpThePreparedPage) {
  for (const char* n : {"a", "b", "c"}) server.Serve(std::string("/") + n + ".html", Page(n));
  frmMain& w = StartJob({"a", "b"});
  ASSERT_TRUE(Prepared(w, "b"));
  std::string job = "a," + server.url("/a.html") + "\r\nc," + server.url("/c.html") + "\r\n";
  g_file_set_contents(home.file("JobFiles/Job.tvj").c_str(), job.c_str(), -1, nullptr);
  ASSERT_TRUE(RunUntil([&] { return Engine(w).PreparedURL().empty(); }, kLoad));
  w.cmdNav(2).clicked();
  ASSERT_TRUE(Shows(w, "c"));
  EXPECT_EQ(server.count("/c.html"), 1);
  EXPECT_TRUE(RunUntil([&] { return server.count("/ran-c-visible") == 1; }, kLoad));
}

}  // namespace
}  // namespace tarvik::test
