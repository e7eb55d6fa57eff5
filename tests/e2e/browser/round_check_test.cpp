// A check of a job's pages through the real engine's network side against pages served on
// 127.0.0.1: a visible change is found, an invisible one is not, a 304 counts as unchanged, an
// address that does not answer is unreachable, a page whose text only scripts write is checked
// in the hidden view; the requests carry the browser's cookie and user agent.
#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include <map>

#include "jobs/round_check.h"
#include "platform/webkit_browser.h"
#include "platform/webkit_page_fetcher.h"
#include "support/gui_test.h"
#include "support/loopback_server.h"

namespace tarvik::test {
namespace {

constexpr int kLoad = 30000;  // ms; software rendering under Xvfb is slow to start

std::string Page(const std::string& body) {
  return "<!DOCTYPE html><html><head><title>t</title></head><body>" + body + "</body></html>";
}
std::string Scripted(const std::string& text) {
  return "<!DOCTYPE html><html><body><div id=app></div><script>"
         "document.getElementById('app').textContent = '" +
         text + "';</script></body></html>";
}

// Text enough that a page with a script still counts as one that shows its text without it.
const std::string kLong =
    "The same paragraph, long enough to be the page's text whether or not its scripts run: "
    "a hundred characters and more make a page that shows itself without them.";

class RoundCheckTest : public ::testing::Test {
 protected:
  // One round: every outcome by path, applied to `state` at `now`.
  std::map<std::string, RoundOutcome> Round(RoundChecker& checker, SeenState& state, int64_t now) {
    std::map<std::string, RoundOutcome> out;
    bool finished = false;
    sigc::connection a = checker.signal_entry().connect([&](const RoundOutcome& o) {
      out[o.url.substr(o.url.find('/', 8))] = o;
      ApplyOutcome(state.At(o.url), o, now);
    });
    sigc::connection b = checker.signal_finished().connect([&] { finished = true; });
    checker.Start(urls, state);
    EXPECT_TRUE(RunUntil([&] { return finished; }, kLoad * 2));
    a.disconnect();
    b.disconnect();
    return out;
  }

  LoopbackServer server;
  std::vector<std::string> urls;
};

TEST_F(RoundCheckTest, FindsVisibleChangesOnlyThroughTheBrowsersOwnSession) {
  Gtk::Window window;
  WebKitBrowser browser;
  window.add(browser.widget());
  window.set_default_size(400, 300);
  window.show_all();
  // The user has logged in: the browser holds the site's cookie.
  server.Serve("/login.html", Page("welcome"), "text/html; charset=utf-8",
               "Set-Cookie: session=s3cret; Path=/\r\n");
  browser.Navigate(server.url("/login.html"));
  ASSERT_TRUE(RunUntil([&] { return browser.LocationName() == "t"; }, kLoad));

  server.Serve("/visible.html", Page("<p>Price 12</p><p>In stock</p>"));
  server.Serve("/invisible.html",
               Page("<form><input type=hidden name=t value=1></form><p>" + kLong +
                    "</p>"
                    "<script src=\"/app.js?build=1\"></script>"));
  server.Serve("/etag.html", Page("<p>Kept</p>"), "text/html; charset=utf-8", "ETag: \"v1\"\r\n");
  server.Serve("/scripted.html", Scripted("Rendered one"));
  for (const char* path : {"/visible.html", "/invisible.html", "/etag.html", "/scripted.html"})
    urls.push_back(server.url(path));
  urls.push_back("http://127.0.0.1:1/closed.html");
  urls.push_back("mailto:someone@example.com");  // not checked

  std::unique_ptr<PageFetcher> fetcher = MakeEnginePageFetcher(browser);
  ASSERT_TRUE(fetcher);
  RoundLimits quick;
  quick.host_spacing_s = 0.25;  // the rule itself is the benchmark's; the test keeps it short
  RoundChecker checker(*fetcher, quick);

  // The first round: nothing seen yet. Then the user looks at every page.
  SeenState state;
  std::map<std::string, RoundOutcome> first = Round(checker, state, 1000);
  EXPECT_EQ(checker.counts().total, 5);
  EXPECT_EQ(first["/visible.html"].result, CheckResult::New);
  EXPECT_EQ(first["/scripted.html"].result, CheckResult::New);
  EXPECT_TRUE(first["/scripted.html"].look.scripted);
  EXPECT_EQ(first["/scripted.html"].look.blocks, std::vector<std::string>{"Rendered one"});
  EXPECT_EQ(first["/closed.html"].result, CheckResult::Unreachable);
  EXPECT_FALSE(first["/closed.html"].reason.empty());
  EXPECT_EQ(checker.counts().rendered, 1);
  for (auto& [url, entry] : state.entries) AdoptCheckAsSeen(entry, 2000);

  const std::string head = server.head("/visible.html");
  EXPECT_EQ(LoopbackServer::HeaderValue(head, "cookie"), "session=s3cret") << head;
  EXPECT_NE(LoopbackServer::HeaderValue(head, "user-agent").find("AppleWebKit"), std::string::npos);

  // The pages change, visibly or not.
  server.Serve("/visible.html", Page("<p>Price 14</p><p>In stock</p>"));
  server.Serve("/invisible.html",
               Page("<form><input type=hidden name=t value=2></form><p>  " + kLong +
                    "</p>"
                    "<!-- node 2 --><script src=\"/app.js?build=2\"></script>"));
  server.Serve("/scripted.html", Scripted("Rendered two"));

  std::map<std::string, RoundOutcome> second = Round(checker, state, 3000);
  EXPECT_EQ(second["/visible.html"].result, CheckResult::Changed);
  EXPECT_EQ(second["/invisible.html"].result, CheckResult::Unchanged);
  EXPECT_EQ(second["/etag.html"].result, CheckResult::Unchanged);
  EXPECT_TRUE(second["/etag.html"].not_modified);
  EXPECT_EQ(LoopbackServer::HeaderValue(server.head("/etag.html"), "if-none-match"), "\"v1\"");
  EXPECT_EQ(second["/scripted.html"].result, CheckResult::Changed);
  EXPECT_EQ(second["/closed.html"].result, CheckResult::Unreachable);
  const RoundCounts& counts = checker.counts();
  EXPECT_EQ(counts.changed, 2);
  EXPECT_EQ(counts.unchanged, 2);
  EXPECT_EQ(counts.not_modified, 1);
  EXPECT_EQ(RoundProgressText(counts), "更新を確認しています 5 / 5");
  EXPECT_TRUE(IsMarked(*state.Find(server.url("/visible.html"))));
  EXPECT_FALSE(IsMarked(*state.Find(server.url("/invisible.html"))));

  // A check cancelled reports nothing more.
  int reported = 0;
  checker.signal_entry().connect([&](const RoundOutcome&) { ++reported; });
  checker.Start(urls, state);
  checker.Cancel();
  Pump(1500);
  EXPECT_EQ(reported, 0);
  EXPECT_FALSE(checker.running());
}

}  // namespace
}  // namespace tarvik::test
