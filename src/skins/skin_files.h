// A skin is a folder below "Skins" in the application folder holding one fixed set of 18 bitmaps.
// Skins made on Windows arrive with their names in any letter case ("clbback.bmp"), so names
// match without regard to case.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// The 18 files of a skin, in the order a skin is checked.
inline constexpr std::array<const char*, 18> kSkinFiles = {
    "ClbBack.bmp",  // cool bar background and band tile
    "TlbIcon1.bmp", "TlbIcon2.bmp", "TlbIcon3.bmp",
    "TlbIcon4.bmp", "TlbIcon5.bmp",  // toolbar images 1 to 5
    "PktIcon0.bmp", "PktIcon1.bmp",  // pocket "Empty" and "Full"
    "OprBtnJ.bmp",  "OprBtnD.bmp",   // mode pictures 1 and 2
    "NavBtn1.bmp",  "NavBtn2.bmp",  "NavBtn3.bmp",
    "NavBtn4.bmp",  "NavBtn5.bmp",                  // cmdNav(0) to cmdNav(4)
    "DirBtn1.bmp",  "DirBtn2.bmp",  "DirBtn3.bmp",  // cmdMove, cmdOpFav, cmdSvFav
};

// The name of the skin behind the menu entry "ﾃﾞﾌｫﾙﾄ(&D)".
inline constexpr const char* kDefaultSkinName = "default";

// application folder + "/Skins".
std::string SkinsFolder(const std::string& app_folder);
// application folder + "/Skins/" + name.
std::string SkinFolder(const std::string& app_folder, const std::string& name);

// True when every one of the 18 files is a regular file in `folder` (a symbolic link to one
// counts). Directories and hidden files do not count; the contents are not opened.
bool IsSkinFolderComplete(const std::string& folder);

// The path of skin file `name` in `folder`: the exact name when it is a regular file there, else
// a regular file whose name differs only in letter case (the first in file-name order when there
// are several). Nothing when there is none.
std::optional<std::string> ResolveSkinFile(const std::string& folder, const std::string& name);

// The captions of the run-time items of the skin menu: every entry of the Skins folder that is a
// directory or a plain file and not hidden, except "default" in any letter case, sorted by the
// desktop's file-name collation. Empty when the folder is missing.
std::vector<std::string> ListSkinMenuEntries(const std::string& app_folder);

}  // namespace tarvik
