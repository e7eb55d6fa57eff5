// Start-up of the main window to a usable window, with one job in the job list against tens of
// thousands. Run: scripts/with-display.sh build/bench/joblist/bench_job_list
#include <benchmark/benchmark.h>
#include <glib.h>
#include <gtkmm/main.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/frm_main.h"
#include "jobs/job_files.h"
#include "platform/settings_store.h"
#include "support/fake_browser.h"

namespace {

std::string g_base;  // the private home of this run

// Lets GTK finish what start-up queued: layout, drawing, idle work.
void Settle() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

// An application folder whose job list holds `jobs` names; only the first has a job file.
std::string AppFolderWith(int jobs) {
  const std::string folder = g_base + "/app-" + std::to_string(jobs);
  g_mkdir_with_parents((folder + "/JobFiles").c_str(), 0700);
  std::vector<std::string> names;
  for (int i = 0; i < jobs; ++i) names.push_back("ジョブ " + std::to_string(i));
  if (!tarvik::RewriteJobList(folder, names) ||
      !tarvik::WriteJobFile(folder, names[0], {{"Top", "http://127.0.0.1/"}}))
    return "";
  return folder;
}

// From making the process's first window to its Load() returned and every pending event
// handled: the window is on screen and its job selector holds every job.
void BM_StartUpWithJobs(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  const std::string folder = AppFolderWith(jobs);
  if (folder.empty()) {
    state.SkipWithError("could not write the job list");
    return;
  }
  g_setenv("TARVIK_HOME", folder.c_str(), TRUE);
  int listed = 0;
  for (auto _ : state) {
    auto app = std::make_unique<tarvik::TarvikApp>(
        "", [](tarvik::BrowserControl*) { return std::make_unique<tarvik::test::FakeBrowser>(); });
    tarvik::frmMain& window = app->OpenFirstWindow();
    Settle();
    state.PauseTiming();
    listed = window.JobSelectorCount();
    app.reset();
    Settle();
    state.ResumeTiming();
  }
  if (listed != jobs) state.SkipWithError("the job selector did not list every job");
  state.counters["jobs"] = jobs;
}
BENCHMARK(BM_StartUpWithJobs)
    ->Arg(1)
    ->Arg(4000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  // Start-up registers Tarvik with the desktop and stores settings: all of it goes to a
  // private home. GLib reads these once, so they are set first.
  gchar* home = g_dir_make_tmp("tarvik-bench-XXXXXX", nullptr);
  g_base = home;
  g_free(home);
  g_setenv("XDG_DATA_HOME", (g_base + "/data").c_str(), TRUE);
  g_setenv("XDG_CONFIG_HOME", (g_base + "/config").c_str(), TRUE);
  g_setenv("XDG_CACHE_HOME", (g_base + "/cache").c_str(), TRUE);
  g_setenv("HOME", g_base.c_str(), TRUE);
  tarvik::SetUserSettingsPath(g_base + "/config/settings.ini");

  Gtk::Main kit(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  gchar* rm[] = {const_cast<gchar*>("rm"), const_cast<gchar*>("-rf"),
                 const_cast<gchar*>(g_base.c_str()), nullptr};
  g_spawn_sync(nullptr, rm, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, nullptr,
               nullptr, nullptr);
  return 0;
}
