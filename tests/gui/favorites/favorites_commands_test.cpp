#include "favorites/favorites_commands.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <gtkmm/filefilter.h>
#include <gtkmm/window.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "favorites/favorites_folder.h"
#include "platform/dialogs.h"
#include "platform/path_util.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "support/fake_browser.h"
#include "support/gui_test.h"
#include "support/scripted_dialogs.h"

namespace tarvik {
namespace {

using test::FakeBrowser;
using test::ScriptedDialogs;
using test::ShownDialog;
using test::TempDir;
using test::WriteBytes;

std::string Bytes(const std::string& path) { return ReadFileBytes(path).value_or("<unreadable>"); }

bool FolderIsEmpty(const std::string& folder) {
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (!dir) return false;
  bool empty = g_dir_read_name(dir) == nullptr;
  g_dir_close(dir);
  return empty;
}

// Every test runs with its own settings file, home folder and favorites folder.
class FavoritesCommandsTest : public testing::Test {
 protected:
  void SetUp() override {
    SetUserSettingsPath(settings_.file("settings.ini"));
    OverrideSystemFavoritesFolder(home_.file("Favorites"));
    SaveSetting("Setting", "FavoritesPath", favorites_.path());
    ResolveFavoritesFolder();
  }
  void TearDown() override {
    EXPECT_TRUE(dialogs_.all_used());
    OverrideSystemFavoritesFolder("");
    SetUserSettingsPath("");
  }

  void ExpectFavoriteDialog(const ShownDialog& d, const char* kind, const char* title) {
    EXPECT_EQ(d.kind, kind);
    EXPECT_EQ(d.file_options.title, title);
    ASSERT_EQ(d.file_options.filters.size(), 1u);
    EXPECT_EQ(d.file_options.filters[0].name, "お気に入り(*.url)");
    EXPECT_EQ(d.file_options.filters[0].patterns, std::vector<std::string>{"*.url"});
    EXPECT_EQ(d.file_options.default_extension, "url");
    EXPECT_EQ(d.file_options.initial_folder, favorites_.path());
  }

  void ExpectErrorMessage(const ShownDialog& d, const std::string& starts_with) {
    EXPECT_EQ(d.kind, "message");
    EXPECT_EQ(d.caption, "エラー");
    EXPECT_EQ(d.icon, MsgIcon::Exclamation);
    EXPECT_EQ(d.text.rfind(starts_with, 0), 0u) << d.text;
  }

  TempDir settings_;
  TempDir home_;
  TempDir favorites_;
  Gtk::Window window_;
  FakeBrowser browser_;
  ScriptedDialogs dialogs_;
};

TEST_F(FavoritesCommandsTest, OpenFavoriteNavigatesToTheShortcutsUrl) {
  std::string path = favorites_.file("news.url");
  WriteBytes(
      path,
      "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\nURL=http://example.jp/"
      "\x95\x5c\x8e\xa6?a=b\r\nIconIndex=1\r\n");
  dialogs_.AnswerFile(path);
  EXPECT_TRUE(OpenFavorite(&window_, browser_));

  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectFavoriteDialog(dialogs_.shown[0], "open", "お気に入りを開く");
  EXPECT_EQ(dialogs_.shown[0].file_options.file_name, "");
  EXPECT_FALSE(dialogs_.shown[0].file_options.confirm_overwrite);
  EXPECT_EQ(browser_.calls, std::vector<std::string>{"Navigate:http://example.jp/表示?a=b"});
}

TEST_F(FavoritesCommandsTest, OpenFavoriteCancelledDoesNothing) {
  dialogs_.AnswerFile(std::nullopt);
  EXPECT_FALSE(OpenFavorite(&window_, browser_));
  EXPECT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_TRUE(browser_.calls.empty());
}

TEST_F(FavoritesCommandsTest, ShortcutWithoutUrlIsReportedNotNavigated) {
  struct Case {
    const char* name;
    const char* bytes;
  } cases[] = {
      {"no header", "URL=http://a.example/\r\n"},
      {"no URL line", "[InternetShortcut]\r\nIconIndex=0\r\n"},
      {"empty URL", "[InternetShortcut]\r\nURL=\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs_.shown.clear();
    std::string path = favorites_.file("broken.url");
    WriteBytes(path, c.bytes);
    dialogs_.AnswerFile(path);
    EXPECT_FALSE(OpenFavorite(&window_, browser_));
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    ExpectErrorMessage(dialogs_.shown[1], "このショートカットにはURLがありません。");
  }
  EXPECT_EQ(browser_.navigation_count(), 0);
}

TEST_F(FavoritesCommandsTest, UnreadableShortcutIsReportedNotNavigated) {
  std::string path = favorites_.file("gone.url");
  dialogs_.AnswerFile(path);  // deleted between choosing and reading
  EXPECT_FALSE(OpenFavorite(&window_, browser_));
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  ExpectErrorMessage(dialogs_.shown[1], "ショートカットを読み込めませんでした。");
  EXPECT_NE(dialogs_.shown[1].text.find(path), std::string::npos);
  EXPECT_EQ(browser_.navigation_count(), 0);
}

TEST_F(FavoritesCommandsTest, ShortcutURLToOpenForTheStartSwitch) {
  std::string good = favorites_.file("good.url");
  WriteBytes(good, "[InternetShortcut]\nurl=http://start.example/?x=1\n");
  EXPECT_EQ(ShortcutURLToOpen(good, &window_), "http://start.example/?x=1");
  EXPECT_TRUE(dialogs_.shown.empty());

  std::string empty = favorites_.file("empty.url");
  WriteBytes(empty, "");
  EXPECT_EQ(ShortcutURLToOpen(empty, &window_), std::nullopt);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectErrorMessage(dialogs_.shown[0], "このショートカットにはURLがありません。");
}

TEST_F(FavoritesCommandsTest, AddFavoriteOffersTitleAndWritesTwoLines) {
  browser_.location_url = "http://example.jp/表示?q=a=b";
  browser_.location_name = "表示 - Example";
  std::string chosen = favorites_.file("表示 - Example.url");
  dialogs_.AnswerFile(chosen);
  EXPECT_TRUE(AddFavorite(&window_, browser_));

  ASSERT_EQ(dialogs_.shown.size(), 1u);
  const ShownDialog& d = dialogs_.shown[0];
  ExpectFavoriteDialog(d, "save", "お気に入りに追加する");
  EXPECT_EQ(d.file_options.file_name, "表示 - Example.url");
  EXPECT_TRUE(d.file_options.confirm_overwrite);
  EXPECT_EQ(Bytes(chosen),
            "[InternetShortcut]\r\nURL=http://example.jp/\x95\x5c\x8e\xa6?q=a=b\r\n");
  EXPECT_EQ(browser_.navigation_count(), 0);
}

TEST_F(FavoritesCommandsTest, AddFavoriteOffersNoNameForTitleWithForbiddenCharacter) {
  browser_.location_url = "http://example.com/";
  browser_.location_name = "Tarvik: ようこそ";
  dialogs_.AnswerFile(std::nullopt);
  EXPECT_FALSE(AddFavorite(&window_, browser_));
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].file_options.file_name, "");
}

// Dialogs that let the page move on while the save dialog is open.
class PageMovesDuringDialog : public ScriptedDialogs {
 public:
  explicit PageMovesDuringDialog(FakeBrowser& browser, std::string next_url)
      : browser_(browser), next_url_(std::move(next_url)) {}
  std::optional<std::string> SaveFile(Gtk::Window* w, const FileDialogOptions& o) override {
    auto r = ScriptedDialogs::SaveFile(w, o);
    browser_.location_url = next_url_;
    return r;
  }

 private:
  FakeBrowser& browser_;
  std::string next_url_;
};

TEST_F(FavoritesCommandsTest, AddFavoriteTakesTheAddressShownWhenTheDialogCloses) {
  struct Case {
    const char* name;
    const char* after;
    bool written;
  } cases[] = {
      {"moved to another page", "http://after.example/", true},
      {"page gone", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    browser_.location_url = "http://before.example/";
    PageMovesDuringDialog moving(browser_, c.after);
    std::string chosen = favorites_.file("page.url");
    moving.AnswerFile(chosen);
    EXPECT_EQ(AddFavorite(&window_, browser_), c.written);
    if (c.written) {
      EXPECT_EQ(Bytes(chosen), std::string("[InternetShortcut]\r\nURL=") + c.after + "\r\n");
      EXPECT_EQ(moving.shown.size(), 1u);
    } else {
      EXPECT_FALSE(FileExists(chosen));
      ASSERT_EQ(moving.shown.size(), 2u);
      ExpectErrorMessage(moving.shown[1], "お気に入りに追加するページがありません。");
    }
    g_unlink(chosen.c_str());
  }
}

TEST_F(FavoritesCommandsTest, AddFavoriteWritesNothingWithoutPageOrWhenCancelled) {
  browser_.location_name = "Example";
  browser_.location_url = "";
  EXPECT_FALSE(AddFavorite(&window_, browser_));
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectErrorMessage(dialogs_.shown[0], "お気に入りに追加するページがありません。");

  browser_.location_url = "http://example.com/";
  dialogs_.AnswerFile(std::nullopt);
  EXPECT_FALSE(AddFavorite(&window_, browser_));
  EXPECT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_TRUE(FolderIsEmpty(favorites_.path()));
}

TEST_F(FavoritesCommandsTest, AddFavoriteThatCannotBeWrittenSaysSoAndKeepsTheOldFile) {
  browser_.location_url = "http://new.example/";
  browser_.location_name = "Example";
  std::string locked = favorites_.file("Example.url");
  const std::string old = "[InternetShortcut]\r\nURL=http://old.example/\r\n";
  WriteBytes(locked, old);
  ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
  WriteBytes(favorites_.file("plain"), "x");
  for (const std::string& target : {locked, favorites_.file("plain/Example.url")}) {
    SCOPED_TRACE(target);
    dialogs_.shown.clear();
    dialogs_.AnswerFile(target);
    EXPECT_FALSE(AddFavorite(&window_, browser_));
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    ExpectErrorMessage(dialogs_.shown[1], "お気に入りを保存できませんでした。");
    EXPECT_NE(dialogs_.shown[1].text.find(target), std::string::npos);
  }
  EXPECT_EQ(Bytes(locked), old);
  EXPECT_EQ(Bytes(favorites_.file("plain")), "x");
}

TEST_F(FavoritesCommandsTest, ChooseFavoritesFolderStoresTheChoice) {
  TempDir chosen;
  dialogs_.AnswerFolder(chosen.path());
  EXPECT_TRUE(ChooseFavoritesFolder(&window_));

  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].kind, "folder");
  EXPECT_EQ(dialogs_.shown[0].caption, "「お気に入り」フォルダを選択してください。");
  EXPECT_EQ(dialogs_.shown[0].default_text, favorites_.path());
  EXPECT_EQ(FavoritesFolder(), chosen.path());
  EXPECT_EQ(GetSetting("Setting", "FavoritesPath", ""), chosen.path());

  // The next favorites dialog opens there, and so does a later start-up.
  dialogs_.AnswerFile(std::nullopt);
  OpenFavorite(&window_, browser_);
  EXPECT_EQ(dialogs_.shown.back().file_options.initial_folder, chosen.path());
  EXPECT_EQ(ResolveFavoritesFolder(), chosen.path());
}

TEST_F(FavoritesCommandsTest, ChooseFavoritesFolderCancelledChangesNothing) {
  dialogs_.AnswerFolder(std::nullopt);
  EXPECT_FALSE(ChooseFavoritesFolder(&window_));
  EXPECT_EQ(FavoritesFolder(), favorites_.path());
  EXPECT_EQ(GetSetting("Setting", "FavoritesPath", ""), favorites_.path());
}

TEST_F(FavoritesCommandsTest, SystemFolderIsCreatedWhenADialogOpensOnIt) {
  browser_.location_url = "http://example.com/";
  struct Case {
    const char* name;
    std::function<void()> run;
  } cases[] = {
      {"open",
       [&] {
         dialogs_.AnswerFile(std::nullopt);
         OpenFavorite(&window_, browser_);
       }},
      {"add",
       [&] {
         dialogs_.AnswerFile(std::nullopt);
         AddFavorite(&window_, browser_);
       }},
      {"folder",
       [&] {
         dialogs_.AnswerFolder(std::nullopt);
         ChooseFavoritesFolder(&window_);
       }},
  };
  SaveSetting("Setting", "FavoritesPath", "NOT DEFINED");
  const std::string system = home_.file("Favorites");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_rmdir(system.c_str());
    ResolveFavoritesFolder();
    ASSERT_FALSE(DirectoryExists(system));
    dialogs_.shown.clear();
    c.run();
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    const ShownDialog& d = dialogs_.shown[0];
    EXPECT_EQ(d.kind == "folder" ? d.default_text : d.file_options.initial_folder, system);
    EXPECT_TRUE(DirectoryExists(system));
  }
  // Cancelling leaves the "not chosen" state in the settings.
  EXPECT_EQ(GetSetting("Setting", "FavoritesPath", ""), "NOT DEFINED");
}

TEST_F(FavoritesCommandsTest, HugeShortcutIsNamedInAMessageNotRead) {
  std::string huge = favorites_.file("huge.url");
  WriteBytes(huge, "[InternetShortcut]\nURL=http://x/\n");
  ASSERT_EQ(truncate(huge.c_str(), off_t{40} << 30), 0);
  EXPECT_EQ(ShortcutURLToOpen(huge, &window_), std::nullopt);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  ExpectErrorMessage(dialogs_.shown[0], "ファイルが大きすぎます。\r\n" + huge);
  EXPECT_EQ(browser_.navigation_count(), 0);
}

TEST_F(FavoritesCommandsTest, FavoriteFilterShowsShortcutsInAnyLetterCase) {
  // The pattern the file dialogs give GTK for the favorites filter's "*.url".
  auto filter = Gtk::FileFilter::create();
  for (const FileFilter& f : ParseFilter(kFavoriteFilter))
    for (const std::string& p : f.patterns) filter->add_pattern(CaseInsensitivePattern(p));
  auto shows = [&](const char* name) {
    GtkFileFilterInfo info{};
    info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
    info.display_name = name;
    return gtk_file_filter_filter(filter->gobj(), &info) != FALSE;
  };
  EXPECT_TRUE(shows("News.url"));
  EXPECT_TRUE(shows("News.URL"));
  EXPECT_TRUE(shows("Weather.Url"));
  EXPECT_FALSE(shows("News.urls"));
  EXPECT_FALSE(shows("notes.txt"));
}

}  // namespace
}  // namespace tarvik
