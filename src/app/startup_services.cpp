#include "app/startup_services.h"

#include <glibmm/main.h>

#include <array>

#include "jobs/job_plan.h"
#include "platform/app_folder.h"
#include "platform/browser_control.h"
#include "platform/jobs_folder.h"
#include "platform/settings_keys.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "skins/shipped_skins.h"
#include "skins/skin_choice.h"
#include "system/mod_relation.h"
#include "system/version_info.h"

namespace tarvik {

namespace {

// How long the rest waits for a first page that does not finish loading.
constexpr unsigned kFirstPageWaitSeconds = 5;

using Step = void (*)();
const std::array<Step, 3> kRestSteps = {
    [] { InstallShippedSkins(ApplicationFolder()); },
    [] { RegisterAssociations(); },
    [] { RecordUpdateInfo(); },
};

struct DeferredRest {
  bool pending = false;
  std::size_t next_step = 0;
  sigc::connection page_loaded, wait, idle;

  void Cancel() {
    pending = false;
    page_loaded.disconnect();
    wait.disconnect();
    idle.disconnect();
  }
};

DeferredRest& Deferred() {
  static DeferredRest deferred;
  return deferred;
}

void StartInIdleTime() {
  DeferredRest& d = Deferred();
  d.page_loaded.disconnect();
  d.wait.disconnect();
  if (d.idle.connected()) return;
  // Low priority: the page's drawing and the user's input go first.
  d.idle = Glib::signal_idle().connect(
      [&d] {
        kRestSteps[d.next_step++]();
        if (d.next_step < kRestSteps.size()) return true;
        d.pending = false;
        return false;
      },
      Glib::PRIORITY_LOW);
}

}  // namespace

void PrepareProcess() {
  EnsureApplicationFolder();
  // What a killed writer left: temporary files, and job files an import never listed. Writes
  // do not look for them, so this is where they go.
  const std::string jobs_folder = StoredJobsFolder();
  SweepJobLeftovers(jobs_folder);
  if (ApplicationFolder() != jobs_folder) RemoveStaleTemporaryFilesIn(ApplicationFolder());
  // The chosen skin is applied as the window is built, so its files must be there; the other
  // shipped skins come later.
  const std::string skin = UserSettings().Get(setting::kSkin.section, setting::kSkin.key, "");
  if (!skin.empty()) InstallShippedSkin(ApplicationFolder(), skin);
}

void PrepareRestOfProcess() {
  for (Step step : kRestSteps) step();
}

void PrepareRestAfterFirstPage(BrowserControl& first_page) {
  DeferredRest& d = Deferred();
  d.Cancel();
  d.pending = true;
  d.next_step = 0;
  // The end of a load, finished or failed, is the progress change to -1.
  d.page_loaded = first_page.signal_progress_change().connect([](long progress, long) {
    if (progress == -1) StartInIdleTime();
  });
  d.wait = Glib::signal_timeout().connect_seconds(
      [] {
        StartInIdleTime();
        return false;
      },
      kFirstPageWaitSeconds);
}

void FinishDeferredPreparation() {
  DeferredRest& d = Deferred();
  if (!d.pending) return;
  d.Cancel();
  PrepareRestOfProcess();
}

}  // namespace tarvik
