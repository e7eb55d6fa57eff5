#include "system/folder_picker.h"

#include "platform/dialogs.h"
#include "platform/text_file.h"

namespace tarvik {

std::string BrowseForFolder(Gtk::Window* parent, const std::string& initial_folder) {
  auto chosen = AppDialogs().ChooseFolder(parent, kBrowseForFolderTitle, initial_folder);
  // The dialog lets only real folders through; a path that is no folder is treated as a cancel
  // rather than handed on as a favorites folder.
  if (!chosen || !DirectoryExists(*chosen)) return {};
  return *chosen;
}

}  // namespace tarvik
