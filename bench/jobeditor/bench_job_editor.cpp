// Opening the job editor on a job of 32,767 entries, and moving one entry up and down in it.
// Run: scripts/with-display.sh build/bench/jobeditor/bench_job_editor
#include <benchmark/benchmark.h>
#include <glib.h>
#include <gtkmm/main.h>
#include <gtkmm/window.h>

#include <memory>
#include <string>
#include <vector>

#include "jobs/frm_edit_job.h"
#include "jobs/job_files.h"

namespace {

using tarvik::frmEditJob;

std::string g_app_folder;

// Lets GTK finish what the last step queued: layout, drawing, the view's row validation.
void Settle() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

std::unique_ptr<frmEditJob> OpenEditor(Gtk::Window& owner) {
  auto editor = std::make_unique<frmEditJob>(&owner, nullptr, g_app_folder);
  editor->SpcfIdx = 0;
  editor->Form_Load();
  editor->show();
  gint64 end = g_get_monotonic_time() + 3 * G_USEC_PER_SEC;
  while (!editor->get_mapped() && g_get_monotonic_time() < end)
    g_main_context_iteration(nullptr, FALSE);
  Settle();
  return editor;
}

// From the click on the menu to a drawn dialog: reading the file, filling the list, showing it.
void BM_OpenEditorOnLargestJob(benchmark::State& state) {
  Gtk::Window owner;
  for (auto _ : state) {
    auto editor = OpenEditor(owner);
    benchmark::DoNotOptimize(editor->EditLastIdx());
    state.PauseTiming();
    editor.reset();
    Settle();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenEditorOnLargestJob)->Unit(benchmark::kMillisecond)->Iterations(10);

// Filling the list alone, from entries already in memory.
void BM_FillEntryList(benchmark::State& state) {
  Gtk::Window owner;
  auto editor = OpenEditor(owner);
  for (auto _ : state) {
    editor->FillEntryList();
    Settle();
  }
  state.counters["rows"] = editor->EditLastIdx() + 1;
}
BENCHMARK(BM_FillEntryList)->Unit(benchmark::kMillisecond)->Iterations(10);

// One press of ↑ or ↓ on a row in the middle of the list, until the view has caught up.
void BM_MoveEntry(benchmark::State& state) {
  Gtk::Window owner;
  auto editor = OpenEditor(owner);
  Gtk::TreeModel::Path path;
  path.push_back(static_cast<int>(state.range(0)));
  editor->lsvURL().get_selection()->select(path);
  Settle();
  bool up = true;
  for (auto _ : state) {
    (up ? editor->cmdUp() : editor->cmdDown()).clicked();
    Settle();
    up = !up;
  }
  if (editor->SelectedRow() != state.range(0) && editor->SelectedRow() != state.range(0) - 1)
    state.SkipWithError("the moved row lost its selection");
}
BENCHMARK(BM_MoveEntry)->Arg(16383)->Arg(32766)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  gchar* home = g_dir_make_tmp("tarvik-bench-XXXXXX", nullptr);
  g_app_folder = home;
  g_free(home);
  g_setenv("TARVIK_HOME", g_app_folder.c_str(), TRUE);
  std::vector<tarvik::JobEntry> entries;
  for (int i = 0; i < tarvik::kMaxJobEntries; ++i)
    entries.push_back({"ページ " + std::to_string(i) + " の見出し",
                       "https://www.example.com/section/" + std::to_string(i % 97) + "/article-" +
                           std::to_string(i) + ".html"});
  if (!tarvik::WriteJobFile(g_app_folder, "Largest", entries) ||
      !tarvik::RewriteJobList(g_app_folder, {"Largest"}))
    return 1;

  Gtk::Main kit(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  gchar* rm[] = {const_cast<gchar*>("rm"), const_cast<gchar*>("-rf"),
                 const_cast<gchar*>(g_app_folder.c_str()), nullptr};
  g_spawn_sync(nullptr, rm, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, nullptr,
               nullptr, nullptr);
  return 0;
}
