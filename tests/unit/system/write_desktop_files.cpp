// Runs the per-user registration into the folders given, as a first start does, so that the
// desktop's own validators can check what it writes (scripts/validate-desktop-files.sh).
//
//   write_desktop_files DATA_HOME CONFIG_HOME EXECUTABLE [--default-browser]
#include <cstring>
#include <iostream>

#include "platform/settings_store.h"
#include "system/desktop_mirror.h"
#include "system/mod_relation.h"

int main(int argc, char** argv) {
  using namespace tarvik;
  if (argc < 4 || argc > 5 || (argc == 5 && std::strcmp(argv[4], "--default-browser") != 0)) {
    std::cerr
        << "usage: write_desktop_files DATA_HOME CONFIG_HOME EXECUTABLE [--default-browser]\n";
    return 2;
  }
  // No system folders: every file is written for the user, as on a machine without Tarvik
  // installed.
  DesktopFolders folders{argv[1], argv[2], {}};
  DesktopMirror mirror(folders, argv[3], [](const std::vector<std::string>&) {});
  KeyFileClassRegistry store(folders.classes_file());
  store.set_on_change([&mirror](const ClassRegistry& root) { mirror.Sync(root); });
  SettingsStore settings(std::string(argv[2]) + "/tarvik/settings.ini");
  RegisterAssociations(store, settings, argv[3]);
  if (argc == 5) MakeDefaultBrowser(store, [](auto&&...) { return MsgResult::Yes; });
  return settings.Get("Setting", "RelationDone", "") == kRelationDoneMarker ? 0 : 1;
}
