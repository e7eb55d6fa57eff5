#include "system/version_info.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/app_folder.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "support/gui_test.h"
#include "system/auxiliary.h"

namespace tarvik {
namespace {

TEST(VersionTextTest, BothForms) {
  struct Row {
    int major, minor, revision;
    const char* dialog;
    const char* update;
  };
  const Row rows[] = {
      {1, 22, 0, "ver.1.22", "1.22.0000"},        {1, 5, 0, "ver.1.05", "1.05.0000"},
      {1, 123, 0, "ver.1.123", "1.123.0000"},     {1, 22, 12, "ver.1.22", "1.22.0012"},
      {1, 22, 999, "ver.1.22", "1.22.0999"},      {1, 22, 1000, "ver.1.22a", "1.22.1000"},
      {1, 22, 1050, "ver.1.22a", "1.22.1050"},    {1, 22, 1099, "ver.1.22a", "1.22.1099"},
      {1, 22, 1100, "ver.1.22a1", "1.22.1100"},   {1, 22, 1234, "ver.1.22a2", "1.22.1234"},
      {2, 0, 2999, "ver.2.00b9", "2.00.2999"},    {1, 22, 12345, "ver.1.22l3", "1.22.12345"},
      {1, 22, 32767, "ver.1.22z7", "1.22.32767"},  // past "z" the letter stays "z"
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DialogVersionText(r.major, r.minor, r.revision), r.dialog) << r.revision;
    EXPECT_EQ(UpdateVersionText(r.major, r.minor, r.revision), r.update) << r.revision;
  }
}

TEST(VersionTextTest, ThisRelease) {
  EXPECT_EQ(DialogVersionText(), "ver.1.22");
  EXPECT_EQ(UpdateVersionText(), "1.22.0000");
}

class AppFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = g_getenv("TARVIK_HOME");
    if (old) saved_ = old;
  }
  void TearDown() override {
    if (saved_)
      g_setenv("TARVIK_HOME", saved_->c_str(), TRUE);
    else
      g_unsetenv("TARVIK_HOME");
  }
  test::TempDir dir;
  std::optional<std::string> saved_;
};

TEST_F(AppFolderTest, RecordUpdateInfoFollowsTheFolderOfTheLastStart) {
  SettingsStore settings(dir.file("settings.ini"));
  settings.Save("UpdateInfo", "Other", "kept");
  for (const std::string& folder : {dir.file("first"), dir.file("second/")}) {
    g_setenv("TARVIK_HOME", folder.c_str(), TRUE);
    RecordUpdateInfo(settings, ApplicationFolder());
    std::string expected = folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
    EXPECT_EQ(settings.Get("UpdateInfo", "ApplicationPath", ""), expected);
    EXPECT_EQ(settings.Get("UpdateInfo", "CurrentVersion", ""), "1.22.0000");
  }
  EXPECT_EQ(settings.Get("UpdateInfo", "Other", ""), "kept");

  // A start of the same copy finds its values in place and does not rewrite the store.
  struct stat before {
  }, after{};
  ASSERT_EQ(stat(settings.path().c_str(), &before), 0);
  RecordUpdateInfo(settings, ApplicationFolder());
  ASSERT_EQ(stat(settings.path().c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(AppFolderTest, TheHelpIsWrittenIntoTheApplicationFolderWhenWanted) {
  g_setenv("TARVIK_HOME", dir.file("app").c_str(), TRUE);
  EnsureApplicationFolder();
  ASSERT_TRUE(EnsureHelpFile());
  EXPECT_EQ(HelpFilePath(), dir.file("app") + "/Tarvik.html");
  auto installed = ReadFileBytes(HelpFilePath());
  ASSERT_TRUE(installed);
  EXPECT_EQ(*installed, HelpHtml());
  // The manual covers the command line and the shortcut keys.
  for (const char* needle :
       {"<html lang=\"ja\">", "/j", "/u", "/h", "Ctrl+R", "ポケット", "スキン"})
    EXPECT_NE(installed->find(needle), std::string::npos) << needle;
}

// The author's page was a reserved example domain that only ever showed an error page.
TEST_F(AppFolderTest, AuthorPageIsTheManualsAboutSectionInTheApplicationFolder) {
  g_setenv("TARVIK_HOME", dir.file("app folder").c_str(), TRUE);
  EnsureApplicationFolder();
  const std::string uri = AuthorPageUri();
  EXPECT_EQ(uri, "file://" + dir.file("app%20folder") + "/Tarvik.html#about");
  // The URI names the file that is there, and the file has the section.
  gchar* path = g_filename_from_uri(uri.substr(0, uri.find('#')).c_str(), nullptr, nullptr);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(std::string(path), HelpFilePath());
  auto manual = ReadFileBytes(path);
  g_free(path);
  ASSERT_TRUE(manual);
  EXPECT_NE(manual->find("<h2 id=\"about\">"), std::string::npos);
  EXPECT_NE(HelpHtml().find("<a href=\"#about\">"), std::string::npos) << "listed in the contents";
}

TEST_F(AppFolderTest, AuthorPageRenewsAnOlderManualWithoutTheSection) {
  g_setenv("TARVIK_HOME", dir.file("app").c_str(), TRUE);
  EnsureApplicationFolder();
  ASSERT_TRUE(WriteFileAtomically(HelpFilePath(), "<html><body>old manual</body></html>"));
  EXPECT_FALSE(AuthorPageUri().empty());
  EXPECT_EQ(ReadFileBytes(HelpFilePath()), HelpHtml());
  // A manual that has the section is left as it is.
  const std::string own = "<html><body><h2 id=\"about\">mine</h2></body></html>";
  ASSERT_TRUE(WriteFileAtomically(HelpFilePath(), own));
  EXPECT_FALSE(AuthorPageUri().empty());
  EXPECT_EQ(ReadFileBytes(HelpFilePath()), own);
}

TEST_F(AppFolderTest, AuthorPageIsEmptyWhenTheManualCannotBeWritten) {
  // The application folder's place is taken by a file.
  ASSERT_TRUE(WriteFileAtomically(dir.file("app"), "not a folder"));
  g_setenv("TARVIK_HOME", dir.file("app").c_str(), TRUE);
  EXPECT_EQ(AuthorPageUri(), "");
}

TEST(ProxySettingsTest, PrefersTheRunningDesktop) {
  using Argv = std::vector<std::string>;
  struct Row {
    const char* label;
    const char* desktop;
    std::vector<std::string> installed;
    std::optional<Argv> expected;
  };
  const Row rows[] = {
      {"GNOME",
       "ubuntu:GNOME",
       {"gnome-control-center", "kcmshell5"},
       Argv{"gnome-control-center", "network"}},
      {"KDE with both", "KDE", {"gnome-control-center", "kcmshell5"}, Argv{"kcmshell5", "proxy"}},
      {"KDE 6", "KDE", {"kcmshell6", "kcmshell5"}, Argv{"kcmshell6", "kcm_proxy"}},
      {"desktop without its tool",
       "KDE",
       {"gnome-control-center"},
       Argv{"gnome-control-center", "network"}},
      {"no desktop", "", {"mate-network-properties"}, Argv{"mate-network-properties"}},
      {"nothing installed", "GNOME", {}, std::nullopt},
  };
  for (const Row& r : rows) {
    auto installed = [&](const std::string& p) {
      return std::find(r.installed.begin(), r.installed.end(), p) != r.installed.end();
    };
    EXPECT_EQ(ProxySettingsCommand(r.desktop, installed), r.expected) << r.label;
  }
}

}  // namespace
}  // namespace tarvik
