#include "app/startup_services.h"

#include "platform/app_folder.h"
#include "system/auxiliary.h"

namespace tarvik {

void PrepareProcess() {
  InstallSystemFiles();
  EnsureApplicationFolder();
}

}  // namespace tarvik
