// Saving the page shown: the file it is proposed as, and which form a chosen file takes.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// One file with the page and everything it shows (MHTML), or the page's own HTML alone.
enum class PageSaveForm { SingleFile, Html };

// The name the save dialog proposes: the page's title made fit for a file name (characters no
// file name may hold become "_", white space at the ends goes, at most 100 characters), else
// "page", with ".mhtml".
std::string ProposedPageFileName(std::string_view title);
// The form for the chosen file: its HTML for a name ending in ".html" or ".htm" (any letter
// case), one file for anything else.
PageSaveForm PageSaveFormFor(std::string_view path);

}  // namespace tarvik
