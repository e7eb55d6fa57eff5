// A job made from the links of a page, read by the real engine from pages this test serves on
// 127.0.0.1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browse/address_fixup.h"
#include "jobs/frm_pick_links.h"
#include "jobs/job_files.h"
#include "platform/webkit_browser.h"
#include "support/app_fixture.h"
#include "support/loopback_server.h"
#include "support/when_shown.h"

namespace tarvik {

void PrintTo(const JobEntry& e, std::ostream* os) {
  *os << "{\"" << e.Title << "\", \"" << e.URL << "\"}";
}

namespace test {
namespace {

constexpr int kLoad = 20000;  // ms; software rendering under Xvfb is slow to start

class PageLinksTest : public AppTest {
 protected:
  frmMain& Open(const std::string& path, const std::string& title) {
    frmMain& w = StartWith(server.url(path), WebKitBrowser::Factory(FixUpAddress));
    EXPECT_TRUE(RunUntil([&] { return w.get_title() == title + " -- Tarvik"; }, kLoad));
    return w;
  }
  // What CollectLinks gives, after the command's own cleaning.
  std::vector<PageLink> Collect(frmMain& w) {
    std::vector<PageLink> links;
    bool done = false;
    w.browser().CollectLinks([&](std::vector<PageLink> found) {
      links = std::move(found);
      done = true;
    });
    EXPECT_TRUE(RunUntil([&] { return done; }, kLoad));
    return links;
  }
  LoopbackServer server;
};

// The page replaces the DOM methods and built-ins a careless reader would call; the links are
// read all the same, in document order, with the frame's links where the frame stands.
TEST_F(PageLinksTest, ThePageLinksBecomeAJobLoadedOnItsFirstEntry) {
  server.Serve(
      "/frame.html",
      "<html><body><a href=\"framed.html\">枠の中</a><a href=\"#inside\">x</a></body></html>");
  server.Serve("/dir/one.html", "<html><head><title>One</title></head><body>1</body></html>");
  server.Serve(
      "/links.html",
      "<html><head><title>Links</title><base href=\"/dir/\"><script>"
      "Document.prototype.querySelectorAll = function() { return []; };"
      "Element.prototype.getAttribute = function() { return 'http://127.0.0.1:1/evil'; };"
      "Object.defineProperty(HTMLElement.prototype, 'innerText', {get() { return 'evil'; }});"
      "window.URL = function() { throw new Error('no'); };"
      "String.prototype.replace = function() { return 'evil'; };"
      "</script></head><body>"
      "<p><a href=\"one.html\">  一つ目の\n   リンク </a>"
      "<a href=\"/top.html#sec\">top</a><a href=\"/links.html#here\">same page</a>"
      "<a href=\"javascript:void(0)\">js</a><a href=\"mailto:a@example.com\">mail</a>"
      "<a href=\"one.html#again\">duplicate</a>"
      "<a href=\"/img.html\"><img src=\"/none.png\" alt=\"画像リンク\"></a>"
      "<a href=\"three.html\" title=\"題名\"></a></p>"
      "<iframe src=\"/frame.html\"></iframe><a href=\"after.html\">after</a>"
      "</body></html>");
  frmMain& w = Open("/links.html", "Links");
  ASSERT_TRUE(RunUntil([&] { return server.served("/frame.html") > 0; }, kLoad));
  Pump(200);

  const std::vector<JobEntry> expected = {
      {"一つ目の リンク", server.url("/dir/one.html")}, {"top", server.url("/top.html#sec")},
      {"画像リンク", server.url("/img.html")},          {"題名", server.url("/dir/three.html")},
      {"枠の中", server.url("/framed.html")},           {"after", server.url("/dir/after.html")},
  };
  dialogs.AnswerInput("ページのリンク");
  WhenShown<frmPickLinks> pick([&](frmPickLinks& d) {
    EXPECT_EQ(d.Checked(), expected);
    EXPECT_EQ(d.lblCount().get_text(), "6 件中 6 件を選択");
    d.txtFilter().set_text("リンク");  // narrows to the first and the picture link
    EXPECT_EQ(d.ShownLinks(), (std::vector<int>{0, 2}));
    d.cmdClearAll().clicked();
    d.txtFilter().set_text("");
    EXPECT_EQ(d.checked_count(), 4);
    d.SetChecked(0, true);
    d.cmdOK().clicked();
  });
  w.menu_item(ActionId::JobFromPageLinks)->activate();
  ASSERT_TRUE(RunUntil([&] { return pick.opened == 1 && w.job_cursor().loaded(); }, kLoad));

  const std::vector<JobEntry> kept = {expected[0], expected[1], expected[3], expected[4],
                                      expected[5]};
  std::optional<Job> job = ReadJobFile(home.path(), "ページのリンク");
  ASSERT_TRUE(job);
  EXPECT_EQ(job->entries, kept);
  EXPECT_EQ(ReadJobList(home.path()), std::vector<std::string>{"ページのリンク"});
  EXPECT_EQ(dialogs.shown.at(0).text, "作成するジョブの名前を入力してください");
  EXPECT_EQ(w.cboJob().get_active_text(), "ページのリンク");
  EXPECT_TRUE(RunUntil([&] { return w.get_title() == "One -- Tarvik"; }, kLoad));
  EXPECT_EQ(w.job_cursor().current_index(), 0);
}

TEST_F(PageLinksTest, WithTextSelectedOnlyTheSelectedLinksAreTaken) {
  server.Serve("/sel.html",
               "<html><head><title>Sel</title></head><body onload=\""
               "getSelection().selectAllChildren(document.getElementById('part'))\">"
               "<p><a href=\"/a.html\">A</a></p><p id=part>選択 <a href=\"/b.html\">B</a> "
               "<a href=\"/c.html\">C</a></p><p><a href=\"/d.html\">D</a></p></body></html>");
  frmMain& w = Open("/sel.html", "Sel");
  EXPECT_EQ(Collect(w),
            (std::vector<PageLink>{{server.url("/b.html"), "B"}, {server.url("/c.html"), "C"}}));
}

}  // namespace
}  // namespace test
}  // namespace tarvik
