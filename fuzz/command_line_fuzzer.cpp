// Feeds arbitrary command lines to the start-up parser and checks what it promises: a path that
// exists is opened as it stands, a switch takes its argument from the fourth character, a job
// name is a file name up to its first dot, and only a plain start opens the home page.
#include <glib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "fuzz_support.h"
#include "platform/path_util.h"

namespace {

using tarvik::StartAction;
using tarvik::fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte decides which paths "exist", so that both readings of "/x..." are reached
  // without touching the real file system.
  const unsigned char existing = data[0];
  const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
  auto exists = [existing](const std::string& path) {
    return (existing & 1) != 0 && path.size() % 3 == existing % 3;
  };

  const tarvik::StartCommand cmd = tarvik::ParseCommandLine(line, exists);
  Check(!cmd.mode || *cmd.mode == tarvik::Mode::Job || *cmd.mode == tarvik::Mode::Direct,
        "mode is kept, job or direct");
  const char kind = line.size() >= 2 && line[0] == '/' ? g_ascii_tolower(line[1]) : 0;
  const bool is_switch = kind == 'j' || kind == 'u' || kind == 'h';
  const bool named_path = line.size() > 2 && line[0] == '/' && exists(line);

  switch (cmd.action) {
    case StartAction::OpenHome:
      Check(line.empty(), "only an empty line opens the home page");
      break;
    case StartAction::OpenText:
      Check(cmd.argument == line, "text is opened as it stands");
      Check(named_path || !is_switch, "a switch is never opened as text unless it names a path");
      Check(!cmd.mode, "text keeps the mode");
      break;
    case StartAction::OpenJob: {
      Check(!named_path && kind == 'j', "a job comes from /j");
      Check(cmd.mode == tarvik::Mode::Job, "/j sets job mode");
      Check(cmd.argument == line.substr(3), "the argument starts at the fourth character");
      Check(!cmd.job_name.empty(), "a job has a name");
      Check(cmd.job_name.find('.') == std::string::npos, "a job name ends before the first dot");
      const std::string file = tarvik::FileNamePart(cmd.argument);
      Check(file.compare(0, cmd.job_name.size(), cmd.job_name) == 0,
            "the job name begins the file name");
      break;
    }
    case StartAction::OpenShortcut:
    case StartAction::OpenPageFile:
      Check(!named_path && kind == (cmd.action == StartAction::OpenShortcut ? 'u' : 'h'),
            "the switch decides the action");
      Check(cmd.mode == tarvik::Mode::Direct, "/u and /h set direct mode");
      Check(!cmd.argument.empty() && cmd.argument == line.substr(3),
            "the argument starts at the fourth character");
      break;
    case StartAction::Nothing: Check(!named_path && is_switch, "only a switch does nothing"); break;
  }

  const auto page = tarvik::DirectStartPage(cmd, "about:home");
  if (cmd.action == StartAction::OpenHome)
    Check(page == std::optional<std::string>("about:home"), "a plain start opens the home URL");
  else if (cmd.action == StartAction::OpenText)
    Check(page == cmd.argument, "text opens at once");
  else if (cmd.action == StartAction::OpenPageFile)
    Check(!page || *page == cmd.argument, "a page file opens as it stands, or not at all");
  else
    Check(!page.has_value(), "jobs, shortcuts and bare switches need more than the line");

  // The arguments as the process gets them: split at NUL bytes and joined with spaces.
  std::vector<std::string> args{"tarvik"};
  size_t start = 0;
  for (size_t i = 0; i <= line.size(); ++i) {
    if (i == line.size() || line[i] == '\0') {
      args.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  std::string expected;
  for (size_t i = 1; i < args.size(); ++i) expected += (i > 1 ? " " : "") + args[i];
  Check(tarvik::JoinArguments(static_cast<int>(argv.size()), argv.data()) == expected,
        "arguments join with single spaces");
  return 0;
}
