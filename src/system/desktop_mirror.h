// Mirrors Tarvik's entries of the class registry to the freedesktop.org places the desktop
// reads: a .desktop entry per associated name (plus the application menu entry), the MIME type
// of job files, and, for the names whose default verb is Tarvik's, the entry's MIME types and
// the default handlers in mimeapps.list, and the icons those entries name. A verb that is not the
// default claims no MIME type: the desktop would otherwise pick Tarvik wherever the user has set
// no default of their own. Where an installed Tarvik already provides a file system-wide (its
// menu entry, job file entry, MIME package or icons), no copy of it is written for the user: the
// user's copy would hide the installed one, and outlive it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "system/class_registry.h"

namespace tarvik {

struct DesktopFolders {
  std::string data_home;                           // $XDG_DATA_HOME
  std::string config_home;                         // $XDG_CONFIG_HOME
  std::vector<std::string> system_data_dirs = {};  // $XDG_DATA_DIRS

  std::string classes_file() const;   // data_home/tarvik/classes.ini
  std::string applications() const;   // data_home/applications
  std::string mime_package() const;   // data_home/mime/packages/tarvik.xml
  std::string mimeapps_list() const;  // config_home/mimeapps.list
  // Whether a file below the data folders ("applications/tarvik.desktop") exists in one of
  // the system's.
  bool provided_by_system(const std::string& relative_path) const;
};

DesktopFolders DefaultDesktopFolders();

inline constexpr char kJobMimeType[] = "application/x-tarvik-job";
inline constexpr char kMenuEntryId[] = "tarvik.desktop";
// The MIME package's name below mime/packages, for the user and when installed.
inline constexpr char kMimePackageName[] = "tarvik.xml";

// The MIME package that describes job files to the desktop, with the job file icon's name.
// `content_type` is the type they are a kind of ("text/plain"), empty for none.
std::string JobMimePackage(const std::string& description, const std::string& content_type);

// One name of the class root that Tarvik associates itself with, and where it goes on the
// desktop.
struct DesktopAssociation {
  const char* name;                     // ".tvj", ".url", ".htm", "http"
  const char* desktop_id;               // "tarvik-tvj.desktop"
  std::vector<const char*> mime_types;  // the MIME types and URI schemes it stands for
  bool is_protocol;                     // the command receives a URL (%u), not a file (%f)
};
const std::vector<DesktopAssociation>& DesktopAssociations();

// A registered command line ("\"/opt/tarvik\" /h %1") as the Exec value of a desktop entry
// ("\"/opt/tarvik\" /h %u"): "%1" becomes %f for files or %u for URLs, arguments are quoted as
// the desktop entry format wants, and "%" elsewhere is doubled. Empty for an empty command.
std::string DesktopExecLine(const std::string& command_line, bool is_protocol);

// The program of a registered command line: its first argument, unquoted.
std::string CommandProgram(const std::string& command_line);

class DesktopMirror {
 public:
  // Runs a helper program without waiting for it; the default starts it a few seconds later
  // when it is installed, one tool at a time and at the lowest priority, and ignores how it
  // ends.
  using ToolRunner = std::function<void(const std::vector<std::string>& argv)>;

  DesktopMirror(DesktopFolders folders, std::string exe_path, ToolRunner run_tool = {});

  // Brings the desktop files up to date with `root`. Files are rewritten only when their text
  // changes, and the desktop's caches are refreshed only then.
  void Sync(const ClassRegistry& root);

  const DesktopFolders& folders() const { return folders_; }

 private:
  bool IsOurs(const std::string& command_line) const;
  std::string OurVerb(const ClassRegistry& root, const std::string& type) const;
  bool DefaultVerbIsOurs(const ClassRegistry& root, const std::string& type) const;
  // Writes a file below the user's data folder (when its text changed), or removes the user's
  // copy when the system provides the file. True when the user's file changed.
  bool WriteUnlessInstalled(const std::string& relative_path, const std::string& text);
  bool SetDefaultHandlers(const std::vector<std::pair<std::string, std::string>>& defaults);

  DesktopFolders folders_;
  std::string exe_path_;
  ToolRunner run_tool_;
};

}  // namespace tarvik
