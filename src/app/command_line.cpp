#include "app/command_line.h"

#include <glib.h>

#include "platform/path_util.h"
#include "platform/text_file.h"

namespace tarvik {

StartCommand ParseCommandLine(const std::string& command_line,
                              const std::function<bool(const std::string&)>& path_exists) {
  StartCommand cmd;
  if (command_line.empty()) return cmd;

  auto exists = path_exists ? path_exists : [](const std::string& path) {
    return g_file_test(path.c_str(), G_FILE_TEST_EXISTS) != FALSE;
  };
  if (command_line.size() > 2 && command_line[0] == '/' && exists(command_line)) {
    cmd.action = StartAction::OpenText;
    cmd.argument = command_line;
    return cmd;
  }

  std::string sw = command_line.substr(0, 2);
  char kind = 0;
  if (sw.size() == 2 && sw[0] == '/') kind = g_ascii_tolower(sw[1]);
  if (kind != 'j' && kind != 'u' && kind != 'h') {
    cmd.action = StartAction::OpenText;
    cmd.argument = command_line;
    return cmd;
  }

  cmd.mode = kind == 'j' ? Mode::Job : Mode::Direct;
  cmd.argument = command_line.size() > 3 ? command_line.substr(3) : std::string();
  if (cmd.argument.empty()) {
    cmd.action = StartAction::Nothing;
    return cmd;
  }
  switch (kind) {
    case 'j': {
      // The job name is the file name up to its first "."; a name without one is used whole.
      std::string file = FileNamePart(cmd.argument);
      cmd.job_name = file.substr(0, file.find('.'));
      cmd.action = cmd.job_name.empty() ? StartAction::Nothing : StartAction::OpenJob;
      break;
    }
    case 'u': cmd.action = StartAction::OpenShortcut; break;
    default: cmd.action = StartAction::OpenPageFile; break;
  }
  return cmd;
}

std::optional<std::string> DirectStartPage(const StartCommand& command,
                                           const std::string& home_url) {
  switch (command.action) {
    case StartAction::OpenHome: return home_url;
    case StartAction::OpenText: return command.argument;
    case StartAction::OpenPageFile:
      // Only a regular file: the engine would offer to save a device such as /dev/zero, and
      // then write without end.
      if (CheckReadableFile(command.argument) != ReadFailure::None) return std::nullopt;
      return command.argument;
    default: return std::nullopt;
  }
}

std::string JoinArguments(int argc, char** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

}  // namespace tarvik
