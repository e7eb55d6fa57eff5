// The next entry of a job made ready out of sight while the page shown is read, with the real
// engine against pages this test serves on 127.0.0.1.
#include <glib.h>
#include <gtest/gtest.h>
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
    g_file_set_contents(home.file("TVJob.lst").c_str(), "Job\r\n", -1, nullptr);
    g_mkdir_with_parents(home.file("JobFiles").c_str(), 0755);
    g_file_set_contents(home.file("JobFiles/Job.tvj").c_str(), job.c_str(), -1, nullptr);
    frmMain& w =
        StartWith("/j " + home.file("JobFiles/Job.tvj"), WebKitBrowser::Factory(FixUpAddress));
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

  LoopbackServer server;
};

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
  auto* item = dynamic_cast<Gtk::CheckMenuItem*>(w.menu_item("mnuPrepareNext"));
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->get_active());
  w.activate_menu("mnuPrepareNext");
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
