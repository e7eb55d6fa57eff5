// "ﾍﾟｰｼﾞのﾘﾝｸからｼﾞｮﾌﾞを作成" on a page of many links, with the real engine: from asking the page
// for its links to the pick dialog drawn with every link listed. The page is served on 127.0.0.1.
// Run: scripts/with-display.sh build/bench/links/bench_page_links
#include <benchmark/benchmark.h>
#include <glib.h>
#include <gtkmm/main.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>
#include <vector>

#include "jobs/frm_pick_links.h"
#include "jobs/link_list.h"
#include "platform/webkit_browser.h"
#include "support/loopback_server.h"

namespace {

void Settle() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

bool RunUntil(const std::function<bool()>& done, int timeout_ms) {
  const gint64 end = g_get_monotonic_time() + gint64{timeout_ms} * 1000;
  while (!done()) {
    if (g_get_monotonic_time() > end) return false;
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(1000);
  }
  return true;
}

// Every `markup_every`-th link holds markup (a search result's title in bold, say); the others
// are plain text.
std::string PageOfLinks(int count, int markup_every) {
  std::string page = "<html><head><title>Links</title></head><body><ul>";
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    page += "<li><a href=\"/item/" + n + "?q=a\">見出し " + n +
            (i % markup_every == 0 ? " の <b>ページ</b>" : " のページ") + "</a> <a href=\"#note" +
            n + "\">注</a></li>";
  }
  return page + "</ul></body></html>";
}

// Args: the number of links of the page; every how many links one holds markup.
void BM_PageLinksDialogOpens(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  tarvik::test::LoopbackServer server;
  server.Serve("/links.html", PageOfLinks(count, static_cast<int>(state.range(1))));
  Gtk::Window window;
  window.set_default_size(1000, 700);
  tarvik::WebKitBrowser browser;
  window.add(browser.widget());
  window.show_all();
  bool finished = false;
  browser.signal_progress_change().connect([&](long p, long) { finished = p < 0; });
  browser.Navigate(server.url("/links.html"));
  if (!RunUntil([&] { return finished && browser.LocationName() == "Links"; }, 60000)) {
    state.SkipWithError("the page did not load");
    return;
  }
  Settle();
  size_t listed = 0;
  for (auto _ : state) {
    std::vector<tarvik::PageLink> found;
    bool done = false;
    browser.CollectLinks([&](std::vector<tarvik::PageLink> links) {
      found = std::move(links);
      done = true;
    });
    while (!done) g_main_context_iteration(nullptr, TRUE);
    std::vector<tarvik::JobEntry> entries;
    entries.reserve(found.size());
    for (const tarvik::PageLink& link : found) entries.push_back({link.text, link.url});
    tarvik::frmPickLinks dialog(window, tarvik::LinksForJob(std::move(entries)));
    dialog.show();
    Settle();
    state.PauseTiming();
    listed = dialog.ShownLinks().size();
    dialog.hide();
    Settle();
    state.ResumeTiming();
  }
  if (listed != static_cast<size_t>(count)) state.SkipWithError("not every link was listed");
}
BENCHMARK(BM_PageLinksDialogOpens)
    ->Args({100, 2})
    ->Args({10000, 2})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
