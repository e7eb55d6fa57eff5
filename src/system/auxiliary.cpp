#include "system/auxiliary.h"

#include <glib.h>

#include "platform/app_folder.h"
#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

// Defined in the source file generated from help/Tarvik.html.
extern const char* const kEmbeddedHelpHtml;

const std::string& HelpHtml() {
  static const std::string html(kEmbeddedHelpHtml);
  return html;
}

std::string HelpFilePath() { return JoinPath(ApplicationFolder(), kHelpFileName); }

bool EnsureHelpFile() {
  const std::string path = HelpFilePath();
  return FileExists(path) || WriteFileAtomically(path, HelpHtml());
}

std::string AuthorPageUri() {
  const std::string path = HelpFilePath();
  const std::string section = std::string("id=\"") + kAboutAnchor + "\"";
  auto manual = ReadFileBytes(path);
  if (!manual || manual->find(section) == std::string::npos) {
    if (!WriteFileAtomically(path, HelpHtml())) return {};
  }
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  if (!uri) return {};
  std::string out = std::string(uri) + "#" + kAboutAnchor;
  g_free(uri);
  return out;
}

namespace {

struct ProxyTool {
  const char* desktop;  // as XDG_CURRENT_DESKTOP names it
  std::vector<std::string> argv;
};

const std::vector<ProxyTool>& ProxyTools() {
  static const std::vector<ProxyTool> tools = {
      {"GNOME", {"gnome-control-center", "network"}},
      {"Unity", {"gnome-control-center", "network"}},
      {"KDE", {"kcmshell6", "kcm_proxy"}},
      {"KDE", {"kcmshell5", "proxy"}},
      {"X-Cinnamon", {"cinnamon-settings", "network"}},
      {"MATE", {"mate-network-properties"}},
      {"Budgie", {"gnome-control-center", "network"}},
  };
  return tools;
}

}  // namespace

std::optional<std::vector<std::string>> ProxySettingsCommand(
    const std::string& current_desktop, const std::function<bool(const std::string&)>& installed) {
  gchar** names = g_strsplit(current_desktop.c_str(), ":", -1);
  for (gchar** n = names; *n; ++n) {
    for (const ProxyTool& tool : ProxyTools()) {
      if (g_ascii_strcasecmp(*n, tool.desktop) == 0 && installed(tool.argv.front())) {
        g_strfreev(names);
        return tool.argv;
      }
    }
  }
  g_strfreev(names);
  for (const ProxyTool& tool : ProxyTools())
    if (installed(tool.argv.front())) return tool.argv;
  return std::nullopt;
}

}  // namespace tarvik
