#include "app/startup_services.h"

#include "platform/app_folder.h"

namespace tarvik {

void PrepareProcess() {
  EnsureApplicationFolder();
}

}  // namespace tarvik
