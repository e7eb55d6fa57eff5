#include "favorites/favorites_folder.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "support/gui_test.h"

namespace tarvik {
namespace {

using test::TempDir;

TEST(FavoritesFolderFromSetting, OnlyExactNotDefinedMeansTheSystemFolder) {
  struct Case {
    const char* setting;
    const char* folder;
  } cases[] = {
      {"NOT DEFINED", "/sys/Favorites"},
      {"not defined", "not defined"},
      {"NOT DEFINED ", "NOT DEFINED "},
      {"/home/user/links", "/home/user/links"},
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FavoritesFolderFromSetting(c.setting, "/sys/Favorites"), c.folder) << c.setting;
}

class ResolveFavoritesFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    SetUserSettingsPath(settings_dir_.file("settings.ini"));
    OverrideSystemFavoritesFolder(home_.file("Favorites"));
  }
  void TearDown() override {
    OverrideSystemFavoritesFolder("");
    SetUserSettingsPath("");
  }
  std::string SettingsText() {
    return ReadFileBytes(settings_dir_.file("settings.ini")).value_or("");
  }

  TempDir settings_dir_;
  TempDir home_;
};

TEST_F(ResolveFavoritesFolderTest, NoChoiceMeansSystemFolderAndIsNotStored) {
  EXPECT_EQ(ResolveFavoritesFolder(), home_.file("Favorites"));
  EXPECT_EQ(FavoritesFolder(), home_.file("Favorites"));
  EXPECT_EQ(SettingsText().find("FavoritesPath"), std::string::npos);
  // Resolving alone creates nothing on disk.
  EXPECT_FALSE(DirectoryExists(home_.file("Favorites")));

  SaveSetting("Setting", "FavoritesPath", "NOT DEFINED");
  EXPECT_EQ(ResolveFavoritesFolder(), home_.file("Favorites"));
  EXPECT_EQ(GetSetting("Setting", "FavoritesPath", ""), "NOT DEFINED");
}

TEST_F(ResolveFavoritesFolderTest, ChosenFolderPersistsForALaterStart) {
  TempDir chosen;
  ResolveFavoritesFolder();
  SetFavoritesFolder(chosen.path());
  EXPECT_EQ(FavoritesFolder(), chosen.path());
  EXPECT_EQ(GetSetting("Setting", "FavoritesPath", ""), chosen.path());
  // A later start-up (or a new window) reads it back instead of the system folder.
  OverrideSystemFavoritesFolder(home_.file("Elsewhere"));
  EXPECT_EQ(ResolveFavoritesFolder(), chosen.path());
}

TEST_F(ResolveFavoritesFolderTest, SystemFolderIsCreatedWhenUsed) {
  ResolveFavoritesFolder();
  EXPECT_EQ(FavoritesFolderForUse(), home_.file("Favorites"));
  EXPECT_TRUE(DirectoryExists(home_.file("Favorites")));
}

TEST_F(ResolveFavoritesFolderTest, ChosenFolderThatIsGoneIsNotCreated) {
  std::string gone = home_.file("unplugged/links");
  SaveSetting("Setting", "FavoritesPath", gone);
  ResolveFavoritesFolder();
  EXPECT_EQ(FavoritesFolderForUse(), gone);
  EXPECT_FALSE(DirectoryExists(gone));
}

}  // namespace
}  // namespace tarvik
