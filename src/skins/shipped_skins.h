// The skins that come with Tarvik, compiled into it, and their installation into the application
// folder.
#pragma once

#include <array>
#include <string>

namespace tarvik {

// "default" is the skin behind the menu entry "ﾃﾞﾌｫﾙﾄ(&D)".
inline constexpr std::array<const char*, 2> kShippedSkinNames = {"default", "Sakura"};

// The bytes of file `file` (one of kSkinFiles) of shipped skin `skin`, or empty.
std::string ShippedSkinFile(const std::string& skin, const std::string& file);

// Writes every shipped skin into application folder + "/Skins/<name>" when that folder is missing
// or incomplete, adding only the files it lacks (in any letter case): nothing that is there is
// replaced. "default" is always made whole; a shipped skin the user deleted stays deleted (the
// skins once written are listed in the hidden file "Skins/.shipped"). Returns false when a folder
// or file could not be written.
bool InstallShippedSkins(const std::string& app_folder);
// The same for the one shipped skin `skin`; a name that is not a shipped skin's does nothing.
bool InstallShippedSkin(const std::string& app_folder, const std::string& skin);

}  // namespace tarvik
