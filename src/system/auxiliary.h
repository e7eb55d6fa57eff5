// The display-free side of the auxiliary commands: the help file, the author's page and the
// choice of the desktop's proxy settings.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

inline constexpr char kHelpFileName[] = "Tarvik.html";
// The manual's section about Tarvik and its author, which stands in for a home page until
// Tarvik has a public one.
inline constexpr char kAboutAnchor[] = "about";

// The manual compiled into the program.
const std::string& HelpHtml();
// The application folder + "/Tarvik.html".
std::string HelpFilePath();
// Writes the manual to HelpFilePath() when it is not there. False when it cannot be written.
bool EnsureHelpFile();

// What the author's-page command shows: the manual's "about" section, as a file: URI with that
// anchor. The manual is written first when it is missing, or when it is an older one without
// that section. Empty when it cannot be written.
std::string AuthorPageUri();

// The program that shows the network-proxy settings of the running desktop, or nothing when
// none is installed. `current_desktop` is $XDG_CURRENT_DESKTOP (names separated by ":");
// `installed` tells whether a program is found in PATH. A tool of the running desktop comes
// first; otherwise the first one installed.
std::optional<std::vector<std::string>> ProxySettingsCommand(
    const std::string& current_desktop, const std::function<bool(const std::string&)>& installed);

}  // namespace tarvik
