// What a main window does with the process command line when it starts.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/window_mode.h"

namespace tarvik {

enum class StartAction {
  OpenHome,      // empty command line: the home URL
  OpenText,      // any other text: navigate to it as it stands
  OpenJob,       // "/j": select the job named by the file
  OpenShortcut,  // "/u": navigate to the Internet Shortcut's URL
  OpenPageFile,  // "/h": navigate to the page file
  Nothing,       // a switch without its argument
};

struct StartCommand {
  StartAction action = StartAction::OpenHome;
  std::string argument;      // the file path of a switch, or the whole text
  std::string job_name;      // OpenJob: the job to select
  std::optional<Mode> mode;  // the mode the switch sets; none keeps the stored mode
};

// The switch is the first two characters, compared case-insensitively; its argument starts at
// the fourth character, whatever the third one is. Quotes are not removed. On this system an
// absolute path such as "/home/u/page.html" begins like a switch, so a command line that names
// an existing file or folder is taken as a path to open, never as a switch.
StartCommand ParseCommandLine(const std::string& command_line,
                              const std::function<bool(const std::string&)>& path_exists = {});

// The page a first window opens straight from its command line, needing neither the job list
// nor a file read: the home URL for an empty command line, the text of any other command line,
// the path of a page file that is a regular file one can read. None for a job, a shortcut, a bare
// switch, or a page file that cannot be opened.
std::optional<std::string> DirectStartPage(const StartCommand& command,
                                           const std::string& home_url);

// argv[1..] joined with single spaces.
std::string JoinArguments(int argc, char** argv);

}  // namespace tarvik
