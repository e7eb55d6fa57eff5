// The job URL list dialog of a full job (32,767 entries) opening on its current entry: from
// making the dialog to the current row selected, scrolled into view and drawn.
// Run: scripts/with-display.sh build/bench/joblist/bench_list_dialog
#include <benchmark/benchmark.h>
#include <glib.h>
#include <gtkmm/main.h>
#include <gtkmm/window.h>

#include <string>

#include "jobs/frm_list.h"
#include "jobs/job_files.h"

namespace {

void Settle() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

tarvik::ListExchange FullJob(int current) {
  tarvik::ListExchange exchange;
  exchange.ListJobName = "長いジョブ";
  for (int i = 0; i < tarvik::kMaxJobEntries; ++i) {
    exchange.ListTitles.push_back("見出し " + std::to_string(i) + " のページ");
    exchange.ListURLs.push_back("http://127.0.0.1/page/" + std::to_string(i) + "?q=a");
  }
  exchange.ListLastIdx = tarvik::kMaxJobEntries - 1;
  exchange.ListCurrentIdx = current;
  return exchange;
}

// Arg: the current entry (-1 for none: the designed opening at the top).
void BM_ListDialogOpensOnCurrentEntry(benchmark::State& state) {
  tarvik::ListExchange exchange = FullJob(static_cast<int>(state.range(0)));
  Gtk::Window owner;
  owner.show();
  Settle();
  bool in_view = true;
  for (auto _ : state) {
    tarvik::frmList dialog(owner, exchange);
    dialog.show();
    Settle();
    state.PauseTiming();
    if (exchange.ListCurrentIdx >= 0) {
      Gtk::TreeModel::Path first, last;
      in_view = dialog.lsvList().get_visible_range(first, last) &&
                first[0] <= exchange.ListCurrentIdx && exchange.ListCurrentIdx <= last[0];
    }
    dialog.hide();
    Settle();
    state.ResumeTiming();
  }
  if (!in_view) state.SkipWithError("the current entry was not in view");
}
BENCHMARK(BM_ListDialogOpensOnCurrentEntry)
    ->Arg(-1)
    ->Arg(16000)
    ->Arg(tarvik::kMaxJobEntries - 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
