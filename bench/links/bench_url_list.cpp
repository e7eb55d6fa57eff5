// "URLﾘｽﾄの読み込み" on a large file of addresses: the file read and parsed until the pick dialog
// is drawn with every link listed, and then one key typed into the dialog's filter until the
// links that match are shown. Beside the time, the longest stretch the main loop could not answer
// (a timer that should tick every 5 ms measures it).
// Run: scripts/with-display.sh build/bench/links/bench_url_list
#include <benchmark/benchmark.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <gtkmm/main.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "jobs/frm_pick_links.h"
#include "jobs/link_jobs.h"
#include "jobs/link_list.h"
#include "jobs/url_list_file.h"

namespace {

void Settle() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

// The longest gap between the ticks of a 5 ms timer on the main loop while it runs.
class StallMeter {
 public:
  StallMeter() : last_(g_get_monotonic_time()) { id_ = g_timeout_add(5, &StallMeter::Tick, this); }
  ~StallMeter() { g_source_remove(id_); }
  double worst_ms() {
    Tick(this);
    return static_cast<double>(worst_) / 1000.0;
  }

 private:
  static gboolean Tick(gpointer self) {
    auto* meter = static_cast<StallMeter*>(self);
    const gint64 now = g_get_monotonic_time();
    meter->worst_ = std::max(meter->worst_, now - meter->last_);
    meter->last_ = now;
    return G_SOURCE_CONTINUE;
  }
  gint64 last_;
  gint64 worst_ = 0;
  guint id_ = 0;
};

// A Markdown list of about `megabytes` MB: one titled link a line, each to a page of its own.
std::string WriteList(int megabytes) {
  gchar* dir = g_dir_make_tmp("tarvik-urllist-XXXXXX", nullptr);
  const std::string path = std::string(dir) + "/links.md";
  g_free(dir);
  std::string text;
  const size_t size = static_cast<size_t>(megabytes) << 20;
  text.reserve(size + 200);
  for (int i = 0; text.size() < size; ++i) {
    const std::string n = std::to_string(i);
    text += "- [記事 " + n + " の見出し](https://site" + std::to_string(i % 100) +
            ".example/articles/" + n + "?from=list)\n";
  }
  g_file_set_contents(path.c_str(), text.data(), static_cast<gssize>(text.size()), nullptr);
  return path;
}

// Arg: the size of the file in MB.
void BM_UrlListDialogOpens(benchmark::State& state) {
  const std::string path = WriteList(static_cast<int>(state.range(0)));
  Gtk::Window window;
  window.set_default_size(800, 600);
  window.show_all();
  Settle();
  size_t listed = 0;
  double stall = 0;
  for (auto _ : state) {
    StallMeter meter;
    std::string error;
    std::optional<tarvik::PickList> list = tarvik::ReadUrlListForPicking(window, path, &error);
    if (!list) {
      state.SkipWithError("the file was not read");
      break;
    }
    tarvik::frmPickLinks dialog(window, std::move(*list));
    dialog.show();
    Settle();
    stall = std::max(stall, meter.worst_ms());
    state.PauseTiming();
    listed = dialog.ShownLinks().size();
    dialog.hide();
    Settle();
    state.ResumeTiming();
  }
  g_unlink(path.c_str());
  state.counters["links"] = static_cast<double>(listed);
  state.counters["stall_ms"] = stall;
}
BENCHMARK(BM_UrlListDialogOpens)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(2);

// One key typed into the filter of the dialog of a `megabytes` MB list, until the links that
// match are shown: "7" leaves about a third of them.
void BM_UrlListFilterKey(benchmark::State& state) {
  const std::string path = WriteList(static_cast<int>(state.range(0)));
  Gtk::Window window;
  window.set_default_size(800, 600);
  window.show_all();
  std::optional<std::vector<tarvik::JobEntry>> links = tarvik::ReadUrlListFile(path);
  g_unlink(path.c_str());
  tarvik::frmPickLinks dialog(window, std::move(*links));
  dialog.show();
  Settle();
  double stall = 0;
  size_t shown = 0;
  bool typed = false;
  for (auto _ : state) {
    StallMeter meter;
    typed = !typed;
    dialog.txtFilter().set_text(typed ? "7" : "");
    while (dialog.filtering()) g_main_context_iteration(nullptr, TRUE);
    Settle();
    stall = std::max(stall, meter.worst_ms());
    if (typed) shown = dialog.ShownLinks().size();
  }
  state.counters["shown"] = static_cast<double>(shown);
  state.counters["stall_ms"] = stall;
}
BENCHMARK(BM_UrlListFilterKey)->Arg(20)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
