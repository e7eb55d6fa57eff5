#include "app/startup_services.h"

#include "platform/app_folder.h"
#include "skins/shipped_skins.h"

namespace tarvik {

void PrepareProcess() {
  EnsureApplicationFolder();
  // The skins that come with Tarvik, "default" among them, where they are missing or incomplete.
  InstallShippedSkins(ApplicationFolder());
}

}  // namespace tarvik
