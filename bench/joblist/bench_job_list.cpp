// Start-up of the main window to a usable window, with one job in the job list against tens of
// thousands; a window following a job list that another process or a sync tool changed; and the
// look a window makes every few seconds where the system cannot watch the jobs.
// Run: scripts/with-display.sh build/bench/joblist/bench_job_list
#include <benchmark/benchmark.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <gtkmm/main.h>
#include <gtkmm/menu.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/frm_main.h"
#include "jobs/frm_pick_job.h"
#include "jobs/job_files.h"
#include "jobs/job_poll.h"
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

// A job list of `jobs` names, each with its job file (written plainly: the setup of 40,000 files
// would otherwise wait for as many flushes to disk).
std::string AppFolderWithFiles(int jobs) {
  const std::string folder = g_base + "/files-" + std::to_string(jobs);
  g_mkdir_with_parents((folder + "/JobFiles").c_str(), 0700);
  std::vector<std::string> names;
  for (int i = 0; i < jobs; ++i) {
    names.push_back("ジョブ " + std::to_string(i));
    const std::string entry = "Top,http://127.0.0.1/" + std::to_string(i) + "\r\n";
    if (!g_file_set_contents(tarvik::JobFilePath(folder, names.back()).c_str(), entry.c_str(), -1,
                             nullptr))
      return "";
  }
  return tarvik::RewriteJobList(folder, names) ? folder : "";
}

// From a job list changed outside the window to the window having followed it: its
// conflict-copy check, the lines whose files have not come, the selector refilled. The first job
// is loaded, as while the user steps through it. Argument 2 tells the change: 0, one job more
// or one fewer (a sync tool delivering a new job's line before its file); 1, the loaded job
// renamed (its file moved, its line replaced), which the window follows.
void BM_OutsideChangeWithJobs(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  const bool renamed = state.range(1) == 1;
  const std::string folder = AppFolderWithFiles(jobs);
  if (folder.empty()) {
    state.SkipWithError("could not write the jobs");
    return;
  }
  g_setenv("TARVIK_HOME", folder.c_str(), TRUE);
  std::vector<std::string> names = *tarvik::ReadJobList(folder);
  auto app = std::make_unique<tarvik::TarvikApp>(
      "", [](tarvik::BrowserControl*) { return std::make_unique<tarvik::test::FakeBrowser>(); });
  tarvik::frmMain& window = app->OpenFirstWindow();
  window.cboJob().set_active(0);
  Settle();
  int listed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (renamed) {
      const std::string to = names[0] == "ジョブ 0" ? "改名したジョブ" : "ジョブ 0";
      g_rename(tarvik::JobFilePath(folder, names[0]).c_str(),
               tarvik::JobFilePath(folder, to).c_str());
      names[0] = to;
    } else if (names.size() > static_cast<size_t>(jobs)) {
      names.pop_back();
    } else {
      names.push_back("新しいジョブ");
    }
    tarvik::RewriteJobList(folder, names);
    state.ResumeTiming();
    window.job_extras().RefreshFromFiles();
    Settle();
    listed = window.JobSelectorCount();
  }
  if (listed != static_cast<int>(names.size()) ||
      (renamed && window.job_cursor().name() != names[0]))
    state.SkipWithError("the window did not follow the list");
  app.reset();
  Settle();
  state.counters["jobs"] = jobs;
}
BENCHMARK(BM_OutsideChangeWithJobs)
    ->Args({1, 0})
    ->Args({40000, 0})
    ->Args({40000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6);

// The job menu's "表示中のページをジョブに追加" opened on a list of `jobs` jobs: from the submenu
// asked to show (which builds it) to it drawn on screen with every pending event handled.
void BM_AddToJobMenuWithJobs(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  const std::string folder = AppFolderWith(jobs);
  if (folder.empty()) {
    state.SkipWithError("could not write the job list");
    return;
  }
  g_setenv("TARVIK_HOME", folder.c_str(), TRUE);
  auto app = std::make_unique<tarvik::TarvikApp>(
      "", [](tarvik::BrowserControl*) { return std::make_unique<tarvik::test::FakeBrowser>(); });
  tarvik::frmMain& window = app->OpenFirstWindow();
  Settle();
  Gtk::Menu* menu = window.menu_item(tarvik::ActionId::AddToJobMenu)->get_submenu();
  size_t items = 0;
  for (auto _ : state) {
    menu->popup_at_widget(&window, Gdk::GRAVITY_NORTH_WEST, Gdk::GRAVITY_NORTH_WEST, nullptr);
    Settle();
    state.PauseTiming();
    items = menu->get_children().size();
    menu->popdown();
    Settle();
    state.ResumeTiming();
  }
  if (items == 0) state.SkipWithError("the submenu was empty");
  app.reset();
  Settle();
  state.counters["jobs"] = jobs;
  state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_AddToJobMenuWithJobs)
    ->Arg(30)
    ->Arg(2000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// "ほかのｼﾞｮﾌﾞ..." on a list of `jobs` jobs: from the list read to the job dialog on screen with
// its drop-down open, every job in it.
void BM_PickJobDialogWithJobs(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  const std::string folder = AppFolderWith(jobs);
  Gtk::Window owner;
  owner.show();
  Settle();
  int listed = 0;
  for (auto _ : state) {
    tarvik::frmPickJob dialog(owner, *tarvik::ReadJobList(folder));
    dialog.show();
    while (!dialog.cboJob().popup().get_visible()) g_main_context_iteration(nullptr, TRUE);
    Settle();
    state.PauseTiming();
    listed = dialog.cboJob().item_count();
    dialog.hide();
    Settle();
    state.ResumeTiming();
  }
  if (listed != jobs) state.SkipWithError("the dialog did not list every job");
  state.counters["jobs"] = jobs;
}
BENCHMARK(BM_PickJobDialogWithJobs)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3);

// One look at the jobs (JobFilesLook::Look), as a window makes every kJobPollMs where the system
// cannot watch them, with 40,000 job files and the first job loaded. Argument 2 tells what
// changed since the last look: 0, nothing; 1, the loaded job's file replaced as Tarvik and sync
// tools write (a new file renamed over it), which changes "JobFiles/" too, so that the look
// reads the folder. The looks are made as if well after the files were written, so that no
// stamp is in doubt (a stamp taken within the clock's step of a write costs one more look).
void BM_LookWithoutWatch(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  const bool change = state.range(1) == 1;
  static const std::string folder = AppFolderWithFiles(jobs);  // one writing for both cases
  if (folder.empty()) {
    state.SkipWithError("could not write the jobs");
    return;
  }
  const std::vector<std::string> names = *tarvik::ReadJobList(folder);
  const std::string path = tarvik::JobFilePath(folder, names[0]);
  const std::int64_t later = (g_get_real_time() + G_GINT64_CONSTANT(3600) * G_USEC_PER_SEC) * 1000;
  tarvik::JobFilesLook look;
  look.Follow(folder, names[0], later);
  int written = 0, wrong = 0;
  for (auto _ : state) {
    if (change) {
      state.PauseTiming();
      const std::string entry = "Top,http://127.0.0.1/" + std::to_string(++written) + "\r\n";
      g_file_set_contents((path + ".new").c_str(), entry.c_str(), -1, nullptr);
      g_rename((path + ".new").c_str(), path.c_str());
      state.ResumeTiming();
    }
    if (look.Look({}, later) != change) ++wrong;
  }
  if (wrong) state.SkipWithError("the look did not see what changed, or saw a change");
  state.counters["jobs"] = jobs;
}
BENCHMARK(BM_LookWithoutWatch)
    ->Args({40000, 0})
    ->Args({40000, 1})
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200);

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
