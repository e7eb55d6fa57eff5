#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/command_line.h"

namespace tarvik {
namespace {

struct Row {
  const char* name;
  const char* line;
  StartAction action;
  const char* argument;
  const char* job;
  int mode;  // the number of the mode the switch sets, 0 for none
};

TEST(ParseCommandLine, SwitchesArgumentsAndModes) {
  const Row rows[] = {
      {"empty_opens_home", "", StartAction::OpenHome, "", "", 0},
      {"bare_url", "http://example.com/", StartAction::OpenText, "http://example.com/", "", 0},
      {"host_without_scheme", "example.com", StartAction::OpenText, "example.com", "", 0},
      {"job", "/j /home/u/Jobs/News.tvj", StartAction::OpenJob, "/home/u/Jobs/News.tvj", "News", 1},
      {"upper_case_switch", "/J C:\\Jobs\\News.tvj", StartAction::OpenJob, "C:\\Jobs\\News.tvj",
       "News", 1},
      {"no_space_skips_one_character", "/jX:\\a.tvj", StartAction::OpenJob, ":\\a.tvj", "a", 1},
      {"first_dot_ends_the_job_name", "/j C:\\Jobs\\Old.News.tvj", StartAction::OpenJob,
       "C:\\Jobs\\Old.News.tvj", "Old", 1},
      {"name_without_dot_is_used_whole", "/j /tmp/Morning", StartAction::OpenJob, "/tmp/Morning",
       "Morning", 1},
      {"quotes_are_kept", "/j \"/tmp/A.tvj\"", StartAction::OpenJob, "\"/tmp/A.tvj\"", "A", 1},
      {"shortcut", "/u C:\\Fav\\Site.url", StartAction::OpenShortcut, "C:\\Fav\\Site.url", "", 2},
      {"page_file", "/h C:\\page.htm", StartAction::OpenPageFile, "C:\\page.htm", "", 2},
      {"upper_page_file", "/H /tmp/p.html", StartAction::OpenPageFile, "/tmp/p.html", "", 2},
      {"bare_job_switch", "/j", StartAction::Nothing, "", "", 1},
      {"job_switch_and_space", "/j ", StartAction::Nothing, "", "", 1},
      {"bare_shortcut_switch", "/u", StartAction::Nothing, "", "", 2},
      {"bare_page_switch", "/h", StartAction::Nothing, "", "", 2},
      {"job_file_named_only_extension", "/j /tmp/.tvj", StartAction::Nothing, "/tmp/.tvj", "", 1},
      {"other_switch_is_text", "/x something", StartAction::OpenText, "/x something", "", 0},
      {"existing_path_is_not_a_switch", "/home/u/page.html", StartAction::OpenText,
       "/home/u/page.html", "", 0},
      {"existing_folder_is_not_a_switch", "/usr/share/doc", StartAction::OpenText, "/usr/share/doc",
       "", 0},
      {"missing_path_reads_as_a_switch", "/home/u/gone.html", StartAction::OpenPageFile,
       "me/u/gone.html", "", 2},
  };
  auto exists = [](const std::string& path) {
    return path == "/home/u/page.html" || path == "/usr/share/doc";
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    StartCommand cmd = ParseCommandLine(r.line, exists);
    EXPECT_EQ(cmd.action, r.action);
    EXPECT_EQ(cmd.argument, r.argument);
    EXPECT_EQ(cmd.job_name, r.job);
    EXPECT_EQ(cmd.mode ? ModeNumber(*cmd.mode) : 0, r.mode);
  }
}

// Only what needs neither the job list nor a file read is asked for before the window exists.
TEST(DirectStartPage, OnlyHomeAddressesAndPageFiles) {
  auto page = [](const char* line) {
    return DirectStartPage(ParseCommandLine(line, [](const std::string&) { return false; }),
                           "http://home/");
  };
  EXPECT_EQ(page(""), "http://home/");
  EXPECT_EQ(page("example.com"), "example.com");
  // A page file is opened only when it is a regular file (the start-up tells why not).
  gchar* file = nullptr;
  const int fd = g_file_open_tmp("tarvik-page-XXXXXX.html", &file, nullptr);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_EQ(page(("/h " + std::string(file)).c_str()), file);
  g_unlink(file);
  g_free(file);
  EXPECT_EQ(page("/h /tmp/tarvik-no-such-page.html"), std::nullopt);
  EXPECT_EQ(page("/h /dev/zero"), std::nullopt);
  EXPECT_EQ(page("/j /tmp/News.tvj"), std::nullopt);
  EXPECT_EQ(page("/u /tmp/Site.url"), std::nullopt);
  EXPECT_EQ(page("/h"), std::nullopt);
}

TEST(JoinArguments, JoinsWithSingleSpaces) {
  char a0[] = "tarvik", a1[] = "/j", a2[] = "/tmp/My Jobs/News.tvj";
  char* argv[] = {a0, a1, a2};
  EXPECT_EQ(JoinArguments(3, argv), "/j /tmp/My Jobs/News.tvj");
  EXPECT_EQ(JoinArguments(1, argv), "");
}

}  // namespace
}  // namespace tarvik
