// What a user does with the page shown beyond going places, through the real window and engine
// against pages served on 127.0.0.1: finding text, zoom per site, printing, the keys and the
// mouse's buttons for stepping, and full screen.
#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "browse/address_fixup.h"
#include "platform/settings_store.h"
#include "platform/webkit_browser.h"
#include "support/app_fixture.h"
#include "support/gui_test.h"
#include "support/loopback_server.h"

namespace tarvik::test {
namespace {

constexpr int kLoad = 20000;  // ms; software rendering under Xvfb is slow to start

std::string Titled(const std::string& title, const std::string& body) {
  return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

class PageToolsTest : public AppTest {
 protected:
  frmMain& Open(const std::string& path) {
    frmMain& w = StartWith(server.url(path), WebKitBrowser::Factory(FixUpAddress));
    return w;
  }
  frmMain& StartJob(const std::vector<std::string>& names) {
    std::string job;
    for (const std::string& n : names) job += n + "," + server.url("/" + n + ".html") + "\r\n";
    const std::string job_file = WriteJob(job);
    return StartWith("/j " + job_file, WebKitBrowser::Factory(FixUpAddress));
  }
  static bool Shows(frmMain& w, const std::string& title) {
    return RunUntil([&] { return w.get_title() == title + " -- Tarvik"; }, kLoad);
  }
  static WebKitBrowser& Engine(frmMain& w) { return dynamic_cast<WebKitBrowser&>(w.browser()); }
  bool Asked(const std::string& path) {
    return RunUntil([&] { return server.count(path) >= 1; }, kLoad);
  }

  LoopbackServer server;
};

// The page tells which match is selected: the number of the occurrence of "東京" it starts at.
constexpr char kFindPage[] =
    "<p>東京の天気</p><p>大阪</p><p>東京タワー</p><p>TOKYO tokyo</p><p>東京駅</p><script>"
    "document.addEventListener('selectionchange', () => {"
    "  const s = getSelection(); if (!s.rangeCount || s.isCollapsed) return;"
    "  const r = document.createRange(); r.setStart(document.body, 0);"
    "  r.setEnd(s.getRangeAt(0).startContainer, s.getRangeAt(0).startOffset);"
    "  fetch('/at-' + r.toString().split(s.toString()).length); });"
    "</script>";

TEST_F(PageToolsTest, FindCountsAndStepsThroughJapaneseTextAndEscapeGivesThePageBack) {
  server.Serve("/find.html", Titled("Find", kFindPage));
  frmMain& w = Open("/find.html");
  ASSERT_TRUE(Shows(w, "Find"));
  FindBar& bar = w.find_bar();
  Pointer(w, "key ctrl+g");
  ASSERT_TRUE(RunUntil([&] { return bar.is_open() && bar.entry().has_focus(); }));
  const int page_top = w.browser().widget().get_allocation().get_y();
  bar.entry().set_text("東京");  // typed through an input method, the entry gets the same text
  EXPECT_TRUE(RunUntil([&] { return bar.place_label().get_text() == "1 / 3 件"; }));
  EXPECT_TRUE(Asked("/at-1"));
  EXPECT_GT(w.browser().widget().get_allocation().get_y(), page_top - 1);
  Pointer(w, "key Return");
  EXPECT_TRUE(RunUntil([&] { return bar.place_label().get_text() == "2 / 3 件"; }));
  EXPECT_TRUE(Asked("/at-2"));
  Pointer(w, "key F3");
  Pointer(w, "key F3");
  EXPECT_TRUE(RunUntil([&] { return bar.place_label().get_text() == "1 / 3 件"; }))
      << "round from the last to the first";
  Pointer(w, "key shift+F3");
  EXPECT_TRUE(RunUntil([&] { return bar.place_label().get_text() == "3 / 3 件"; }));
  EXPECT_TRUE(Asked("/at-3"));
  bar.entry().set_text("tokyo");
  EXPECT_TRUE(RunUntil([&] { return bar.place_label().get_text() == "1 / 2 件"; }))
      << "letter case ignored";
  bar.entry().set_text("名古屋");
  EXPECT_TRUE(RunUntil([&] { return bar.place_label().get_text() == "見つかりません"; }));

  Pointer(w, "key Escape");
  EXPECT_TRUE(RunUntil([&] { return !bar.is_open() && w.browser().HasFocus(); }));
  Pointer(w, "key F3");
  EXPECT_TRUE(RunUntil([&] { return bar.is_open(); }));
  EXPECT_EQ(bar.entry().get_text(), "名古屋") << "the text stays while the window lives";
}

// A zoom chosen on one page holds for its site: in a new window after a restart, and on the
// next entry made ready out of sight before the step.
TEST_F(PageToolsTest, ZoomIsRememberedPerSiteAcrossARestartAndByThePreparedNextEntry) {
  for (const char* n : {"a", "b"})
    server.Serve(std::string("/") + n + ".html",
                 Titled(n,
                        "<script>addEventListener('load', () => fetch('/w-' + document.title"
                        " + '-' + innerWidth));</script>"));
  frmMain& w = StartJob({"a", "b"});
  ASSERT_TRUE(Shows(w, "a"));
  ASSERT_TRUE(RunUntil([&] { return Engine(w).PreparedURL() == server.url("/b.html"); }, kLoad));
  Pointer(w, "key ctrl+plus");
  ASSERT_TRUE(RunUntil([&] { return Engine(w).Zoom() > 1.05; }));
  Pointer(w, "keydown ctrl click 4 keyup ctrl", 300, 200);  // Ctrl and the wheel
  ASSERT_TRUE(RunUntil([&] { return Engine(w).Zoom() > 1.2; }));
  EXPECT_DOUBLE_EQ(Engine(w).Zoom(), 1.25);
  EXPECT_DOUBLE_EQ(Engine(w).PreparedZoom(), 1.25) << "the next entry, of the same site";
  EXPECT_EQ(w.stbStat().zoom_text().get_text(), "ｽﾞｰﾑ 125%");
  gchar* stored = nullptr;
  ASSERT_TRUE(g_file_get_contents(home.file("Zoom.txt").c_str(), &stored, nullptr, nullptr));
  EXPECT_STREQ(stored, "127.0.0.1\t125\r\n");
  g_free(stored);
  Pointer(w, "key alt+Next");
  ASSERT_TRUE(Shows(w, "b"));
  EXPECT_EQ(server.count("/b.html"), 1) << "the page made ready was shown";
  EXPECT_DOUBLE_EQ(Engine(w).Zoom(), 1.25);

  app.reset();
  Pump(100);
  server.Serve("/c.html", Titled("c", "<script>fetch('/width-' + innerWidth);</script>"));
  frmMain& again = Open("/c.html");
  ASSERT_TRUE(Shows(again, "c"));
  std::string width;
  ASSERT_TRUE(RunUntil(
      [&] {
        for (const std::string& path : server.requests())
          if (path.rfind("/width-", 0) == 0) width = path.substr(7);
        return !width.empty();
      },
      kLoad));
  EXPECT_NEAR(std::stoi(width), again.browser().widget().get_allocated_width() / 1.25, 5)
      << "laid out at its site's zoom from the start";
  EXPECT_DOUBLE_EQ(Engine(again).Zoom(), 1.25);
  EXPECT_EQ(again.stbStat().zoom_text().get_text(), "ｽﾞｰﾑ 125%");
  Pointer(again, "key ctrl+0");
  EXPECT_DOUBLE_EQ(Engine(again).Zoom(), 1.0);
  EXPECT_FALSE(again.stbStat().zoom_text().get_visible());
}

TEST_F(PageToolsTest, ThePagePrintsToAPdfFileAndSavesAsOneFileOrItsHtml) {
  server.Serve("/p.html", Titled("Print", "<h1>印刷するページ</h1>"));
  frmMain& w = Open("/p.html");
  ASSERT_TRUE(Shows(w, "Print"));
  const std::string pdf = home.file("page.pdf");
  int printed = -1;
  w.browser().PrintToFile(pdf, [&](bool ok) { printed = ok; });
  ASSERT_TRUE(RunUntil([&] { return printed >= 0; }, kLoad));
  EXPECT_EQ(printed, 1);
  gchar* bytes = nullptr;
  gsize size = 0;
  ASSERT_TRUE(g_file_get_contents(pdf.c_str(), &bytes, &size, nullptr));
  EXPECT_TRUE(size > 1000 && g_str_has_prefix(bytes, "%PDF")) << size;
  g_free(bytes);

  for (const char* name : {"page.mhtml", "page.html"}) {
    dialogs.AnswerFile(home.file(name));
    Pointer(w, "key ctrl+s");
    ASSERT_TRUE(
        RunUntil([&] { return g_file_test(home.file(name).c_str(), G_FILE_TEST_EXISTS); }, kLoad));
    ASSERT_TRUE(g_file_get_contents(home.file(name).c_str(), &bytes, &size, nullptr));
    const std::string text(bytes, size);
    g_free(bytes);
    if (std::string(name) == "page.html")
      EXPECT_EQ(text, Titled("Print", "<h1>印刷するページ</h1>"));
    else
      EXPECT_NE(text.find("MIME-Version"), std::string::npos);
  }
  EXPECT_EQ(dialogs.shown.back().file_options.file_name, "Print.mhtml");
}

TEST_F(PageToolsTest, StepKeysTheMouseBackButtonAndAMiddleClickOnALink) {
  for (const char* n : {"a", "b", "c"})
    server.Serve(std::string("/") + n + ".html",
                 Titled(n,
                        "<a id=l href='/t.html' style='position:fixed;left:10px;top:10px'>"
                        "link</a>"));
  server.Serve("/t.html", Titled("t", "target"));
  frmMain& w = StartJob({"a", "b", "c"});
  ASSERT_TRUE(Shows(w, "a"));
  Pointer(w, "key alt+Next");
  ASSERT_TRUE(Shows(w, "b"));
  Pointer(w, "key alt+End");
  ASSERT_TRUE(Shows(w, "c"));
  Pointer(w, "key alt+Prior");
  ASSERT_TRUE(Shows(w, "b"));
  Pointer(w, "key alt+Home");
  ASSERT_TRUE(Shows(w, "a"));
  Pointer(w, "click 8", 300, 200);  // the mouse's back button
  ASSERT_TRUE(Shows(w, "b"));
  Pointer(w, "key alt+Right");
  ASSERT_TRUE(Shows(w, "a"));

  Pointer(w, "click 2", 20, 18);
  ASSERT_TRUE(RunUntil([&] { return app->open_window_count() == 2; }, kLoad));
  frmMain& other = *app->new_window(1);
  EXPECT_TRUE(Shows(other, "t")) << "the link in a window of its own";
  EXPECT_EQ(w.get_title(), "a -- Tarvik");
}

TEST_F(PageToolsTest, FullScreenHidesTheBarsAndTheStoredPlacementIsTheOneBefore) {
  server.Serve("/f.html", Titled("Full", "page"));
  frmMain& w = Open("/f.html");
  ASSERT_TRUE(Shows(w, "Full"));
  int width = 0, height = 0;
  w.get_size(width, height);
  for (const char* leave : {"F11", "Escape"}) {
    Pointer(w, "key F11");
    ASSERT_TRUE(RunUntil([&] { return w.is_full_screen(); }));
    EXPECT_TRUE(RunUntil([&] {
      return !w.menu_bar().get_visible() && !w.stbStat().get_visible() &&
             w.browser().widget().get_allocated_height() == w.get_allocated_height();
    }));
    Pointer(w, std::string("key ") + leave);
    ASSERT_TRUE(RunUntil([&] { return !w.is_full_screen(); })) << leave;
    EXPECT_TRUE(RunUntil([&] { return w.menu_bar().get_visible() && w.stbStat().get_visible(); }));
  }
  Pointer(w, "key F11");
  ASSERT_TRUE(RunUntil([&] { return w.is_full_screen(); }));
  w.CloseWindow();
  EXPECT_EQ(settings().Get("Window", "Width", ""), std::to_string(width * 15));
  EXPECT_EQ(settings().Get("Window", "Height", ""), std::to_string(height * 15));
}

}  // namespace
}  // namespace tarvik::test
