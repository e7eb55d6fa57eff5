#include "app/startup_services.h"

#include "jobs/job_plan.h"
#include "platform/app_folder.h"
#include "skins/shipped_skins.h"

namespace tarvik {

void PrepareProcess() {
  EnsureApplicationFolder();
  // What a killed writer left: temporary files, and job files an import never listed.
  SweepJobLeftovers(ApplicationFolder());
  // The skins that come with Tarvik, "default" among them, where they are missing or incomplete.
  InstallShippedSkins(ApplicationFolder());
}

}  // namespace tarvik
